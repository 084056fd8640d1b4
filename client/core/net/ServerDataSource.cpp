#include "client/core/net/ServerDataSource.h"

#include "protocol/WireValue.h"

#include <QSet>

namespace qv::client {

namespace {

FieldType clientType(protocol::FieldType type)
{
    using W = protocol::FieldType;
    switch (type) {
    case W::Integer:
    case W::SmallInt:
    case W::AutoNumber:
        return FieldType::Integer;
    case W::Double:
    case W::Decimal:
    case W::Currency:
        return FieldType::Double;
    case W::Date:
        return FieldType::Date;
    case W::DateTime:
        return FieldType::DateTime;
    case W::YesNo:
        return FieldType::YesNo;
    case W::Memo:
        return FieldType::Memo;
    case W::Blob:
        return FieldType::Blob;
    case W::Text:
    case W::Unknown:
        break;
    }
    return FieldType::Text;
}

FieldFlags clientFlags(protocol::FieldFlags flags)
{
    using W = protocol::FieldFlag;
    static const std::pair<W, FieldFlag> pairs[] = {
        {W::RowKey, FieldFlag::RowKey},         {W::Locating, FieldFlag::Locating},
        {W::UpdateOnly, FieldFlag::UpdateOnly}, {W::ReadOnly, FieldFlag::ReadOnly},
        {W::Computed, FieldFlag::Computed},     {W::Required, FieldFlag::Required},
        {W::BlobOnDemand, FieldFlag::BlobOnDemand},
    };
    FieldFlags out;
    for (const auto &[wire, client] : pairs) {
        if (flags.testFlag(wire))
            out |= client;
    }
    return out;
}

// The type the values of a computed column show, when the server could not
// settle one.
std::optional<FieldType> typeOfValue(const QVariant &value)
{
    if (!value.isValid() || protocol::isNotFetched(value))
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return FieldType::YesNo;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldType::Double;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        return FieldType::DateTime;
    case QMetaType::QByteArray:
        return FieldType::Blob;
    case QMetaType::QString:
        return FieldType::Text;
    default:
        return FieldType::Integer;
    }
}

void settleUnknownTypes(FieldDefs &fields, const QList<protocol::FieldInfo> &infos,
                        const QList<protocol::Row> &rows)
{
    for (qsizetype i = 0; i < infos.size() && i < fields.size(); ++i) {
        if (infos[i].type != protocol::FieldType::Unknown)
            continue;
        for (const protocol::Row &row : rows) {
            if (const auto type = typeOfValue(row.value(i))) {
                fields[i].type = *type;
                break;
            }
        }
    }
}

// Rows from the wire: the not-fetched marker reads as null, as the dataset
// engine expects of a blob it has not fetched yet.
QList<RowValues> clientRows(const QList<protocol::Row> &rows)
{
    QList<RowValues> out = rows; // shared, not copied: most rows have no marker
    for (qsizetype r = 0; r < out.size(); ++r) {
        const protocol::Row &row = rows[r];
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (protocol::isNotFetched(row[i]))
                out[r][i] = QVariant();
        }
    }
    return out;
}

// Old values: a blob the client never fetched goes back as "not fetched", never
// as a null the server could take for the column's value.
protocol::Row oldRow(const FieldDefs &fields, const RowValues &values)
{
    protocol::Row row = values;
    row.resize(fields.size());
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].flags.testFlag(FieldFlag::BlobOnDemand) && !row[i].isValid())
            row[i] = protocol::notFetched();
    }
    return row;
}

protocol::Row newRow(const FieldDefs &fields, const RowValues &values)
{
    protocol::Row row = values;
    row.resize(fields.size());
    return row;
}

ChangeKind clientKind(protocol::ChangeKind kind)
{
    switch (kind) {
    case protocol::ChangeKind::Insert: return ChangeKind::Insert;
    case protocol::ChangeKind::Modify: return ChangeKind::Modify;
    case protocol::ChangeKind::Delete: return ChangeKind::Delete;
    }
    return ChangeKind::Modify;
}

const QList<int> &rowsOfKind(const WirePacket &sent, protocol::ChangeKind kind)
{
    switch (kind) {
    case protocol::ChangeKind::Insert: return sent.insertedRows;
    case protocol::ChangeKind::Modify: return sent.modifiedRows;
    case protocol::ChangeKind::Delete: break;
    }
    return sent.deletedRows;
}

} // namespace

ServerDataSource::ServerDataSource(ServerConnection &connection)
    : m_connection(connection)
{
}

ServerDataSource::~ServerDataSource() = default;

QString ServerDataSource::errorText(const protocol::ErrorInfo &error)
{
    QString text = error.text.isEmpty() ? QStringLiteral("服务器调用失败") : error.text;
    if (error.line > 0 && error.column > 0)
        text += QStringLiteral("（第%1行第%2列）").arg(error.line).arg(error.column);
    else if (error.column > 0)
        text += QStringLiteral("（第%1列）").arg(error.column);
    return text;
}

FieldDef ServerDataSource::fieldDef(const protocol::FieldInfo &info)
{
    FieldDef def;
    def.name = info.name;
    def.type = clientType(info.type);
    def.size = (def.type == FieldType::Text) ? info.size : 0;
    def.flags = clientFlags(info.flags);
    return def;
}

OpenResult ServerDataSource::openWith(const protocol::OpenArgs &args)
{
    OpenResult result;
    const auto outcome = m_connection.request(args);
    if (!outcome.ok()) {
        result.error = errorText(outcome.error);
        return result;
    }
    const protocol::OpenReply &reply = *outcome;
    const QString widthProblem = protocol::checkRowWidth(reply.rows, reply.fields.size());
    if (!widthProblem.isEmpty()) {
        result.error = widthProblem;
        return result;
    }
    for (const protocol::FieldInfo &info : reply.fields)
        result.fields.append(fieldDef(info));
    settleUnknownTypes(result.fields, reply.fields, reply.rows);
    result.rows = clientRows(reply.rows);
    result.endOfData = reply.endOfData;
    result.cursor = reply.endOfData ? 0 : int(reply.cursor);
    if (!reply.endOfData)
        m_cursors.insert(result.cursor, result.fields);
    m_providerFields.insert(args.dataset.toUpper(), result.fields);
    result.ok = true;
    return result;
}

OpenResult ServerDataSource::open(const OpenRequest &request)
{
    protocol::OpenArgs args;
    args.dataset = request.provider;
    if (!request.commandText.isEmpty())
        args.statement = request.commandText;
    args.packetSize = request.packetSize > 0 ? request.packetSize : 2000;
    return openWith(args);
}

OpenResult ServerDataSource::openAll(const QString &provider, const QString &statement)
{
    protocol::OpenArgs args;
    args.dataset = provider;
    args.statement = statement;
    args.packetSize = protocol::kAllRows;
    return openWith(args);
}

FetchResult ServerDataSource::fetch(int cursor, int count)
{
    FetchResult result;
    const auto known = m_cursors.constFind(cursor);
    if (known == m_cursors.constEnd()) {
        result.error = QStringLiteral("数据集的游标已经关闭");
        return result;
    }
    const auto outcome =
        m_connection.request(protocol::FetchArgs{cursor, count > 0 ? count : protocol::kAllRows});
    if (!outcome.ok()) {
        m_cursors.remove(cursor);
        result.error = errorText(outcome.error);
        return result;
    }
    const QString widthProblem = protocol::checkRowWidth(outcome->rows, known->size());
    if (!widthProblem.isEmpty()) {
        m_cursors.remove(cursor);
        result.error = widthProblem;
        return result;
    }
    result.rows = clientRows(outcome->rows);
    result.endOfData = outcome->endOfData;
    if (result.endOfData)
        m_cursors.remove(cursor);
    result.ok = true;
    return result;
}

void ServerDataSource::closeCursor(int cursor)
{
    if (!m_cursors.remove(cursor))
        return;
    // A cursor left open costs the server memory until the connection ends; a
    // failure here changes nothing for the client.
    if (m_connection.isConnected())
        m_connection.request(protocol::CloseCursorArgs{cursor});
}

WirePacket ServerDataSource::toWire(const ChangePacket &packet, int maxErrors)
{
    WirePacket sent;
    sent.rows = packet.rows;
    for (const FieldDef &f : packet.fields)
        sent.packet.fields.append(f.name);
    sent.packet.maxErrors = maxErrors < 0 ? -1 : maxErrors;
    for (const ChangeRow &row : packet.rows) {
        switch (row.kind) {
        case ChangeKind::Insert:
            sent.packet.inserted.append(newRow(packet.fields, row.newValues));
            sent.insertedRows.append(row.index);
            break;
        case ChangeKind::Modify: {
            protocol::ModifiedRow modified;
            modified.oldValues = oldRow(packet.fields, row.oldValues);
            for (int i : row.changedFields) {
                if (i >= 0 && i < packet.fields.size())
                    modified.newValues.insert(i, row.newValues.value(i));
            }
            sent.packet.modified.append(std::move(modified));
            sent.modifiedRows.append(row.index);
            break;
        }
        case ChangeKind::Delete:
            sent.packet.deleted.append(oldRow(packet.fields, row.oldValues));
            sent.deletedRows.append(row.index);
            break;
        }
    }
    return sent;
}

ApplyResult ServerDataSource::fromWire(const protocol::ApplyUpdatesReply &reply,
                                       const WirePacket &sent)
{
    ApplyResult result;
    result.ok = true;
    result.errorCount = reply.errorCount;

    QHash<int, const ChangeRow *> byIndex;
    for (const ChangeRow &row : sent.rows)
        byIndex.insert(row.index, &row);
    // Rows read back come in the server's column order and may leave columns
    // out (joined display columns); those keep the values the client has.
    const QStringList &fields = sent.packet.fields;
    QList<int> columnOf(fields.size(), -1);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        for (qsizetype k = 0; k < reply.savedFields.size(); ++k) {
            if (reply.savedFields[k].compare(fields[i], Qt::CaseInsensitive) == 0) {
                columnOf[i] = int(k);
                break;
            }
        }
    }
    const auto merged = [&](RowValues values, const protocol::Row &server) {
        values.resize(fields.size());
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (columnOf[i] < 0)
                continue;
            const QVariant &v = server.value(columnOf[i]);
            values[i] = protocol::isNotFetched(v) ? QVariant() : v;
        }
        return values;
    };

    QSet<int> failed;
    for (const protocol::FailedRow &f : reply.failed) {
        const QList<int> &map = rowsOfKind(sent, f.kind);
        if (f.index < 0 || f.index >= map.size())
            continue;
        RowFailure failure;
        failure.index = map[f.index];
        failure.kind = clientKind(f.kind);
        failure.message = f.error.isEmpty() ? QStringLiteral("服务器没有保存这一行") : f.error;
        if (f.hasCurrent) {
            const ChangeRow *row = byIndex.value(failure.index);
            failure.serverHasRow = true;
            failure.serverValues = merged(row ? row->oldValues : RowValues(), f.current);
        }
        result.failures.append(failure);
        failed.insert(failure.index);
    }
    result.errorCount = std::max<int>(result.errorCount, int(result.failures.size()));
    if (!reply.committed)
        return result; // rolled back: nothing of the packet was kept

    QSet<int> saved;
    for (const protocol::SavedRow &s : reply.saved) {
        const QList<int> &map = rowsOfKind(sent, s.kind);
        if (s.index < 0 || s.index >= map.size() || failed.contains(map[s.index]))
            continue;
        const int index = map[s.index];
        const ChangeRow *row = byIndex.value(index);
        result.saved.append(SavedRow{index, merged(row ? row->newValues : RowValues(), s.values)});
        saved.insert(index);
    }
    // Every row that did not fail was applied with the commit: deletions (which
    // are never read back) and rows the server did not read back are saved as
    // the client sent them.
    for (const ChangeRow &row : sent.rows) {
        if (failed.contains(row.index) || saved.contains(row.index))
            continue;
        result.saved.append(
            SavedRow{row.index, row.kind == ChangeKind::Delete ? RowValues() : row.newValues});
    }
    return result;
}

ApplyResult ServerDataSource::applyUpdates(const ChangePacket &packet, int maxErrors)
{
    const WirePacket sent = toWire(packet, maxErrors);
    const auto outcome = m_connection.request(protocol::ApplyUpdatesArgs{packet.provider, sent.packet});
    if (!outcome.ok()) {
        ApplyResult result;
        result.error = errorText(outcome.error);
        return result;
    }
    return fromWire(*outcome, sent);
}

ExecResult ServerDataSource::execute(const QString &provider, const QString &statement)
{
    protocol::ExecuteArgs args;
    if (!provider.isEmpty())
        args.dataset = provider;
    args.statement = statement;
    ExecResult result;
    const auto outcome = m_connection.request(args);
    if (!outcome.ok()) {
        result.error = errorText(outcome.error);
        return result;
    }
    result.ok = true;
    result.rowsAffected = outcome->rowsAffected;
    return result;
}

BlobResult ServerDataSource::fetchBlobs(const QString &provider, const RowValues &rowKey)
{
    BlobResult result;
    protocol::FetchBlobsArgs args;
    args.dataset = provider;
    for (const FieldDef &f : m_providerFields.value(provider.toUpper())) {
        if (f.flags.testFlag(FieldFlag::RowKey))
            args.keyFields.append(f.name);
    }
    if (args.keyFields.isEmpty() || args.keyFields.size() != rowKey.size()) {
        result.error = QStringLiteral("数据集'%1'没有可以找到这一行的主键").arg(provider);
        return result;
    }
    args.keyValues = rowKey;
    const auto outcome = m_connection.request(args);
    if (!outcome.ok()) {
        result.error = errorText(outcome.error);
        return result;
    }
    for (qsizetype i = 0; i < outcome->fields.size(); ++i) {
        const QVariant &v = outcome->values.value(i);
        result.values.insert(outcome->fields[i], protocol::isNotFetched(v) ? QVariant() : v);
    }
    result.ok = true;
    return result;
}

} // namespace qv::client
