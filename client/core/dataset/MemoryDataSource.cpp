#include "client/core/dataset/MemoryDataSource.h"

namespace qv::client {

DataSource::~DataSource() = default;

MemoryDataSource::MemoryDataSource() = default;
MemoryDataSource::~MemoryDataSource() = default;

void MemoryDataSource::setTable(const QString &provider, const FieldDefs &fields,
                                const QList<RowValues> &rows)
{
    Table &t = m_tables[provider.toUpper()];
    t.fields = fields;
    t.rows.clear();
    for (RowValues row : rows) {
        row.resize(fields.size());
        t.rows << row;
    }
}

bool MemoryDataSource::hasTable(const QString &provider) const
{
    return table(provider) != nullptr;
}

QList<RowValues> MemoryDataSource::rows(const QString &provider) const
{
    const Table *t = table(provider);
    return t ? t->rows : QList<RowValues>();
}

FieldDefs MemoryDataSource::fields(const QString &provider) const
{
    const Table *t = table(provider);
    return t ? t->fields : FieldDefs();
}

void MemoryDataSource::setGeneratesKeys(const QString &provider, bool on)
{
    if (Table *t = table(provider))
        t->generatesKeys = on;
}

void MemoryDataSource::failRow(const QString &provider, const RowValues &key, const QString &message)
{
    if (Table *t = table(provider))
        t->failures << Failure{key, message};
}

void MemoryDataSource::clearFailures()
{
    for (Table &t : m_tables)
        t.failures.clear();
}

void MemoryDataSource::setQueryHandler(const QString &provider, QueryHandler handler)
{
    if (Table *t = table(provider))
        t->query = std::move(handler);
}

MemoryDataSource::Table *MemoryDataSource::table(const QString &provider)
{
    const auto it = m_tables.find(provider.toUpper());
    return it == m_tables.end() ? nullptr : &*it;
}

const MemoryDataSource::Table *MemoryDataSource::table(const QString &provider) const
{
    const auto it = m_tables.constFind(provider.toUpper());
    return it == m_tables.constEnd() ? nullptr : &*it;
}

QList<int> MemoryDataSource::keyColumns(const Table &table)
{
    QList<int> columns;
    for (qsizetype i = 0; i < table.fields.size(); ++i) {
        if (table.fields[i].flags.testFlag(FieldFlag::RowKey))
            columns << int(i);
    }
    if (columns.isEmpty()) {
        for (qsizetype i = 0; i < table.fields.size(); ++i) {
            if (table.fields[i].flags.testFlag(FieldFlag::Locating))
                columns << int(i);
        }
    }
    if (columns.isEmpty()) {
        for (qsizetype i = 0; i < table.fields.size(); ++i) {
            const FieldDef &f = table.fields[i];
            if (f.isWrittenBack() && f.type != FieldType::Blob && f.type != FieldType::Memo)
                columns << int(i);
        }
    }
    return columns;
}

RowValues MemoryDataSource::keyOf(const QList<int> &columns, const RowValues &row)
{
    RowValues key;
    for (int c : columns)
        key << row.value(c);
    return key;
}

bool MemoryDataSource::sameKey(const RowValues &a, const RowValues &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!sameValue(a[i], b[i], Qt::CaseInsensitive))
            return false;
    }
    return true;
}

qsizetype MemoryDataSource::findRow(const QList<RowValues> &rows, const QList<int> &columns,
                                    const RowValues &key)
{
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (sameKey(keyOf(columns, rows[i]), key))
            return i;
    }
    return -1;
}

RowValues MemoryDataSource::stripOnDemand(const Table &table, RowValues row) const
{
    for (qsizetype i = 0; i < table.fields.size() && i < row.size(); ++i) {
        if (table.fields[i].flags.testFlag(FieldFlag::BlobOnDemand))
            row[i] = QVariant();
    }
    return row;
}

OpenResult MemoryDataSource::open(const OpenRequest &request)
{
    ++m_openCount;
    OpenResult result;
    if (!m_unavailable.isEmpty()) {
        result.error = m_unavailable;
        return result;
    }
    const Table *t = table(request.provider);
    if (!t) {
        result.error = QStringLiteral("没有数据集提供者'%1'").arg(request.provider);
        return result;
    }
    QList<RowValues> rows = t->rows;
    if (!request.commandText.isEmpty()) {
        m_statements << request.commandText;
        if (t->query) {
            const auto answered = t->query(request.commandText);
            if (!answered) {
                result.error = QStringLiteral("语句执行出错: %1").arg(request.commandText);
                return result;
            }
            rows = *answered;
        }
    }
    Cursor cursor;
    for (const RowValues &row : rows)
        cursor.rows << stripOnDemand(*t, row);
    const qsizetype first = std::min<qsizetype>(request.packetSize, cursor.rows.size());
    result.ok = true;
    result.fields = t->fields;
    result.rows = cursor.rows.mid(0, first);
    cursor.position = first;
    result.endOfData = cursor.position >= cursor.rows.size();
    if (!result.endOfData) {
        result.cursor = m_nextCursor++;
        m_cursors.insert(result.cursor, cursor);
    }
    return result;
}

FetchResult MemoryDataSource::fetch(int cursorId, int count)
{
    ++m_fetchCount;
    FetchResult result;
    if (!m_unavailable.isEmpty()) {
        result.error = m_unavailable;
        return result;
    }
    auto it = m_cursors.find(cursorId);
    if (it == m_cursors.end()) {
        result.error = QStringLiteral("游标已关闭");
        return result;
    }
    result.ok = true;
    result.rows = it->rows.mid(it->position, count);
    it->position += result.rows.size();
    result.endOfData = it->position >= it->rows.size();
    if (result.endOfData)
        m_cursors.erase(it);
    return result;
}

void MemoryDataSource::closeCursor(int cursorId)
{
    m_cursors.remove(cursorId);
}

QString MemoryDataSource::applyOne(const Table &t, QList<RowValues> &rows, ChangeRow change,
                                   RowValues &saved) const
{
    const QList<int> columns = keyColumns(t);
    const RowValues key = keyOf(columns, change.kind == ChangeKind::Insert ? change.newValues
                                                                            : change.oldValues);
    for (const Failure &f : t.failures) {
        if (sameKey(f.key, key))
            return f.message;
    }
    auto stillAsRead = [&](const RowValues &row) {
        for (qsizetype i = 0; i < t.fields.size(); ++i) {
            if (t.fields[i].flags.testFlag(FieldFlag::Locating)
                && !sameValue(row.value(i), change.oldValues.value(i)))
                return false;
        }
        return true;
    };
    switch (change.kind) {
    case ChangeKind::Insert: {
        RowValues row = change.newValues;
        row.resize(t.fields.size());
        if (t.generatesKeys && columns.size() == 1 && !row[columns[0]].isValid()) {
            qint64 top = 0;
            for (const RowValues &r : rows)
                top = std::max(top, r.value(columns[0]).toLongLong());
            row[columns[0]] = top + 1;
        }
        if (findRow(rows, columns, keyOf(columns, row)) >= 0)
            return QStringLiteral("主键重复，不能插入");
        rows << row;
        saved = stripOnDemand(t, row);
        return QString();
    }
    case ChangeKind::Modify: {
        const qsizetype at = findRow(rows, columns, key);
        if (at < 0)
            return QStringLiteral("记录已被其他用户删除");
        if (!stillAsRead(rows[at]))
            return QStringLiteral("记录已被其他用户修改");
        for (int i : change.changedFields) {
            if (i >= 0 && i < rows[at].size())
                rows[at][i] = change.newValues.value(i);
        }
        saved = stripOnDemand(t, rows[at]);
        return QString();
    }
    case ChangeKind::Delete: {
        const qsizetype at = findRow(rows, columns, key);
        if (at < 0)
            return QStringLiteral("记录已被其他用户删除");
        if (!stillAsRead(rows[at]))
            return QStringLiteral("记录已被其他用户修改");
        rows.removeAt(at);
        saved.clear();
        return QString();
    }
    }
    return QStringLiteral("不认识的修改");
}

ApplyResult MemoryDataSource::applyUpdates(const ChangePacket &packet, int maxErrors)
{
    ++m_applyCount;
    m_lastPacket = packet;
    ApplyResult result;
    if (!m_unavailable.isEmpty()) {
        result.error = m_unavailable;
        return result;
    }
    Table *t = table(packet.provider);
    if (!t) {
        result.error = QStringLiteral("没有数据集提供者'%1'").arg(packet.provider);
        return result;
    }
    if (packet.fields.size() != t->fields.size()) {
        result.error = QStringLiteral("修改包的字段与数据集提供者'%1'不一致").arg(packet.provider);
        return result;
    }
    result.ok = true;
    QList<RowValues> work = t->rows; // the transaction
    QList<SavedRow> saved;
    const QList<int> columns = keyColumns(*t);
    for (const ChangeRow &change : packet.rows) {
        RowValues values;
        const QString error = applyOne(*t, work, change, values);
        if (error.isEmpty()) {
            saved << SavedRow{change.index, values};
            continue;
        }
        RowFailure failure;
        failure.index = change.index;
        failure.kind = change.kind;
        failure.message = error;
        const RowValues key = keyOf(columns, change.kind == ChangeKind::Insert ? change.newValues
                                                                               : change.oldValues);
        const qsizetype at = findRow(work, columns, key);
        if (at >= 0 && change.kind != ChangeKind::Insert) {
            failure.serverHasRow = true;
            failure.serverValues = stripOnDemand(*t, work[at]);
        }
        result.failures << failure;
        ++result.errorCount;
        if (maxErrors >= 0 && result.errorCount > maxErrors)
            return result; // rolled back: nothing applied
    }
    t->rows = work;
    result.saved = saved;
    return result;
}

ExecResult MemoryDataSource::execute(const QString &, const QString &statement)
{
    ExecResult result;
    if (!m_unavailable.isEmpty()) {
        result.error = m_unavailable;
        return result;
    }
    m_statements << statement;
    if (m_execute)
        return m_execute(statement);
    result.ok = true;
    return result;
}

BlobResult MemoryDataSource::fetchBlobs(const QString &provider, const RowValues &rowKey)
{
    ++m_blobFetchCount;
    BlobResult result;
    if (!m_unavailable.isEmpty()) {
        result.error = m_unavailable;
        return result;
    }
    const Table *t = table(provider);
    if (!t) {
        result.error = QStringLiteral("没有数据集提供者'%1'").arg(provider);
        return result;
    }
    const qsizetype at = findRow(t->rows, keyColumns(*t), rowKey);
    if (at < 0) {
        result.error = QStringLiteral("记录不存在");
        return result;
    }
    result.ok = true;
    for (qsizetype i = 0; i < t->fields.size(); ++i) {
        if (t->fields[i].flags.testFlag(FieldFlag::BlobOnDemand))
            result.values.insert(t->fields[i].name, t->rows[at].value(i));
    }
    return result;
}

} // namespace qv::client
