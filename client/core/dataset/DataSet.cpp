// DataSet: opening, closing, packets, the cursor, field access and events.
// Editing is in DataSetEditing.cpp, searching in DataSetSearch.cpp, pending
// changes in DataSetUpdates.cpp and the local file in DataSetFile.cpp.
#include "client/core/dataset/DataSet.h"

#include "client/core/dataset/DataSetScopes.h"

#include <QScopedValueRollback>

namespace qv::client {

ScopedHooks::ScopedHooks(DataSet &dataSet)
    : m_dataSet(dataSet)
    , m_saved(dataSet.hooks())
{
}

ScopedHooks::~ScopedHooks()
{
    m_dataSet.setHooks(m_saved);
}

DataSet::DataSet(const QString &name, QObject *parent)
    : QObject(parent)
{
    setObjectName(name);
}

// The source is not called here: a data module may free its connection before
// its datasets, and the server frees a client's cursors when it disconnects.
DataSet::~DataSet() = default;

// ---------------------------------------------------------------------------
// Errors and events

bool DataSet::fail(const QString &operation, const QString &message, const QString &field, int row)
{
    m_error = DataSetError{operation, field, row, message};
    return false;
}

bool DataSet::checkActive(const QString &operation)
{
    if (isActive())
        return true;
    return fail(operation, QStringLiteral("数据集没有打开"));
}

bool DataSet::runGuard(const DataSetHooks::Guard &guard, const QString &operation)
{
    if (!guard)
        return true;
    m_abortMessage.clear();
    if (guard(*this))
        return true;
    return fail(operation, m_abortMessage.isEmpty() ? QStringLiteral("操作被取消") : m_abortMessage,
                QString(), m_current);
}

void DataSet::fire(const DataSetHooks::Event &event)
{
    if (event)
        event(*this);
}

void DataSet::fireDataChange(Field *field)
{
    if (m_hooks.dataChange)
        m_hooks.dataChange(*this, field);
}

void DataSet::setState(DataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    announceState();
}

void DataSet::announceState()
{
    if (!m_controlsDisabled)
        emit stateChanged(m_state);
    if (m_hooks.stateChange)
        m_hooks.stateChange(*this, m_state);
}

void DataSet::emitCurrent()
{
    if (!m_controlsDisabled)
        emit currentRowChanged(m_current);
}

void DataSet::emitRowChanged(int row)
{
    if (!m_controlsDisabled && row >= 0)
        emit rowChanged(row);
}

void DataSet::enableControls()
{
    if (m_controlsDisabled > 0 && --m_controlsDisabled == 0)
        emit refreshed();
}

// ---------------------------------------------------------------------------
// Fields

Field *DataSet::addCalculatedField(const QString &name, FieldType type, int size)
{
    if (isActive()) {
        fail(QStringLiteral("fields"), QStringLiteral("数据集打开时不能增加字段"), name);
        return nullptr;
    }
    return m_fields.addClientField(this, FieldDef{name, type, size, {}}, FieldKind::Calculated);
}

Field *DataSet::addLookupField(const QString &name, FieldType type, const LookupSpec &spec, int size)
{
    if (isActive()) {
        fail(QStringLiteral("fields"), QStringLiteral("数据集打开时不能增加字段"), name);
        return nullptr;
    }
    Field *f = m_fields.addClientField(this, FieldDef{name, type, size, {}}, FieldKind::Lookup);
    if (f)
        f->setLookup(spec);
    return f;
}

RecordPtr DataSet::recordPtr(const Record *record) const
{
    return record ? m_store.find(record->id) : RecordPtr();
}

QVariant DataSet::recordValue(Record *record, const Field &field)
{
    EditBuffer *e = (m_edit && m_edit->record == record) ? &*m_edit : nullptr;
    if (field.kind() == FieldKind::Data) {
        if (field.hasFlag(FieldFlag::BlobOnDemand) && !record->blobsFetched)
            ensureBlobs(record);
        return e ? e->value(field.slot()) : record->values.value(field.slot());
    }
    return e ? e->calc.value(field.slot()) : record->calc.value(field.slot());
}

QVariant DataSet::fieldValue(const Field &field)
{
    Record *r = activeRecord();
    return r ? recordValue(r, field) : QVariant();
}

QVariant DataSet::fieldOldValue(const Field &field)
{
    Record *r = activeRecord();
    if (!r || field.kind() != FieldKind::Data)
        return fieldValue(field);
    if (const Change *c = m_log.find(r->id)) {
        if (c->kind == ChangeKind::Insert)
            return QVariant();
        return c->original.value(field.slot());
    }
    return r->values.value(field.slot());
}

void DataSet::reportFieldError(const Field &field, const QString &message)
{
    fail(QStringLiteral("set"), message, field.name(), m_current);
}

bool DataSet::setFieldText(Field &field, const QString &text)
{
    clearError();
    if (m_hooks.setText)
        return m_hooks.setText(field, text);
    if (field.m_setText)
        return field.m_setText(field, text);
    return field.assignText(text);
}

void DataSet::ensureBlobs(Record *record)
{
    record->blobsFetched = true;
    if (!m_source || record->pendingInsert)
        return;
    const Change *change = m_log.find(record->id);
    if (change && change->kind == ChangeKind::Insert)
        return;
    RowValues key;
    for (Field *f : m_fields) {
        if (f->kind() == FieldKind::Data && f->hasFlag(FieldFlag::RowKey))
            key << (change ? change->original.value(f->slot()) : record->values.value(f->slot()));
    }
    if (key.isEmpty())
        return;
    const BlobResult result = m_source->fetchBlobs(m_provider, key);
    if (!result.ok) {
        fail(QStringLiteral("blobs"), result.error);
        return;
    }
    for (Field *f : m_fields) {
        if (f->kind() != FieldKind::Data || !f->hasFlag(FieldFlag::BlobOnDemand))
            continue;
        for (auto it = result.values.constBegin(); it != result.values.constEnd(); ++it) {
            if (it.key().compare(f->name(), Qt::CaseInsensitive) != 0)
                continue;
            const QVariant v = toFieldValue(f->type(), *it).value_or(*it);
            record->values[f->slot()] = v;
            m_log.setOriginalValue(record->id, f->slot(), v);
        }
    }
}

bool DataSet::fetchBlobs()
{
    clearError();
    Record *r = currentRecord();
    if (!r)
        return fail(QStringLiteral("blobs"), QStringLiteral("没有记录"));
    r->blobsFetched = false;
    ensureBlobs(r);
    emitRowChanged(m_current);
    return m_error.isNull();
}

void DataSet::recalc(Record *record)
{
    const int count = m_fields.calculatedCount();
    if (count == 0)
        return;
    EditBuffer *e = (m_edit && m_edit->record == record) ? &*m_edit : nullptr;
    QVariantList &calc = e ? e->calc : record->calc;
    calc = QVariantList(count);
    QScopedValueRollback scope(m_scopeRecord, record);
    QScopedValueRollback calculating(m_calculating, true);
    for (Field *f : m_fields) {
        if (!f->isLookup() || !f->lookup().isValid())
            continue;
        const LookupSpec &spec = f->lookup();
        QVariantList keys;
        for (const QString &name : spec.keyFields.split(u';', Qt::SkipEmptyParts)) {
            const Field *k = m_fields.find(name.trimmed());
            keys << (k ? recordValue(record, *k) : QVariant());
        }
        const QString lookupKeys = spec.lookupKeyFields.isEmpty() ? spec.keyFields : spec.lookupKeyFields;
        const QVariant v = spec.dataSet->lookup(lookupKeys, keys, spec.resultField);
        calc[f->slot()] = toFieldValue(f->type(), v).value_or(v);
    }
    if (m_hooks.calcFields)
        m_hooks.calcFields(*this);
}

// ---------------------------------------------------------------------------
// Rows and packets

RecordPtr DataSet::makeRecord(const RowValues &values)
{
    RecordPtr record = m_store.create(m_fields.dataCount(), m_fields.calculatedCount());
    for (Field *f : m_fields) {
        if (f->kind() != FieldKind::Data)
            continue;
        const QVariant &v = values.value(f->slot());
        // A value that does not fit its column's type is kept as it came rather
        // than lost; it shows as its text.
        record->values[f->slot()] = toFieldValue(f->type(), v).value_or(v);
    }
    return record;
}

void DataSet::appendFetchedRows(const QList<RowValues> &rows, bool announce)
{
    if (rows.isEmpty())
        return;
    std::vector<Record *> visible;
    visible.reserve(size_t(rows.size()));
    for (const RowValues &values : rows) {
        RecordPtr record = makeRecord(values);
        m_store.append(record);
        recalc(record.get());
        if (m_filter) {
            RecordScope scope(m_scopeRecord, record.get());
            if (!m_filter(*this))
                continue;
        }
        visible.push_back(record.get());
    }
    if (visible.empty())
        return;
    const int first = m_view.count();
    const int last = first + int(visible.size()) - 1;
    if (announce)
        emit rowsAboutToBeInserted(first, last);
    for (Record *r : visible)
        m_view.append(r);
    if (announce)
        emit rowsInserted(first, last);
}

int DataSet::fetchMore()
{
    if (!isActive() || m_allFetched || !m_source)
        return 0;
    const FetchResult result = m_source->fetch(m_cursor, m_packetSize);
    if (!result.ok) {
        // The rows held stay usable; a lost connection is not retried packet
        // after packet.
        m_allFetched = true;
        fail(QStringLiteral("fetch"), result.error);
        return -1;
    }
    if (result.endOfData)
        m_allFetched = true;
    const int before = m_view.count();
    appendFetchedRows(result.rows, true);
    if (m_current < 0 && m_view.count() > 0) {
        m_current = 0;
        m_eof = false;
        emitCurrent();
    }
    return m_view.count() - before;
}

bool DataSet::fetchRemaining(bool announce)
{
    while (!m_allFetched && m_source) {
        if (announce) {
            if (fetchMore() < 0)
                return false;
            continue;
        }
        const FetchResult result = m_source->fetch(m_cursor, m_packetSize);
        if (!result.ok) {
            m_allFetched = true;
            return fail(QStringLiteral("fetch"), result.error);
        }
        m_allFetched = result.endOfData;
        appendFetchedRows(result.rows, false);
    }
    return true;
}

bool DataSet::fetchAll()
{
    clearError();
    return fetchRemaining(true);
}

// ---------------------------------------------------------------------------
// Opening and closing

bool DataSet::finishOpen(const OpenResult &result, bool fireOpenEvents, int keepRow,
                         const std::function<void()> &fill)
{
    emit aboutToReset();
    m_edit.reset();
    m_store.clear();
    m_view.clear();
    m_log.clear();
    m_fields.setDataFields(this, result.fields);
    m_cursor = result.cursor;
    m_allFetched = result.endOfData;
    appendFetchedRows(result.rows, false);
    if (fill)
        fill();
    bool ok = true;
    if (needsAllRows() || fill) {
        ok = fetchRemaining(false);
        m_view.rebuild(m_store.records(), acceptor(), RowIndex::comparator(m_fields, m_sort));
    }
    m_current = m_view.count() == 0 ? -1 : std::clamp(keepRow, 0, m_view.count() - 1);
    m_bof = true;
    m_eof = m_view.count() == 0;
    const bool wasActive = isActive();
    m_state = DataSetState::Browse;
    emit wasReset();
    if (!wasActive)
        announceState();
    if (fireOpenEvents)
        fire(m_hooks.afterOpen);
    if (!isEmpty())
        fire(m_hooks.afterScroll);
    fireDataChange(nullptr);
    emitCurrent();
    return ok;
}

bool DataSet::open()
{
    clearError();
    if (isActive())
        return true;
    if (!m_source)
        return fail(QStringLiteral("open"), QStringLiteral("数据集没有数据来源"));
    if (m_running & OpOpen)
        return fail(QStringLiteral("open"), QStringLiteral("数据集正在打开"));
    QScopedValueRollback running(m_running, m_running | OpOpen);
    if (!runGuard(m_hooks.beforeOpen, QStringLiteral("open")))
        return false;
    const OpenResult result = m_source->open(OpenRequest{m_provider, m_commandText, m_packetSize});
    if (!result.ok)
        return fail(QStringLiteral("open"), result.error);
    return finishOpen(result, true, 0);
}

bool DataSet::createDataSet(const FieldDefs &defs)
{
    clearError();
    close();
    if (isActive())
        return false;
    if (!runGuard(m_hooks.beforeOpen, QStringLiteral("open")))
        return false;
    OpenResult result;
    result.ok = true;
    result.fields = defs;
    result.endOfData = true;
    return finishOpen(result, true, 0);
}

bool DataSet::refresh()
{
    clearError();
    if (!checkActive(QStringLiteral("refresh")))
        return false;
    if (isEditing() || changeCount() > 0)
        return fail(QStringLiteral("refresh"), QStringLiteral("有未保存的修改，不能刷新"));
    if (!m_source)
        return true;
    const OpenResult result = m_source->open(OpenRequest{m_provider, m_commandText, m_packetSize});
    if (!result.ok)
        return fail(QStringLiteral("refresh"), result.error);
    if (!m_allFetched)
        m_source->closeCursor(m_cursor);
    return finishOpen(result, false, m_current);
}

void DataSet::close()
{
    if (!isActive() || (m_running & OpClose))
        return;
    clearError();
    QScopedValueRollback running(m_running, m_running | OpClose);
    if (!runGuard(m_hooks.beforeClose, QStringLiteral("close")))
        return;
    emit aboutToReset();
    m_edit.reset();
    m_store.clear();
    m_view.clear();
    m_log.clear();
    if (!m_allFetched && m_source)
        m_source->closeCursor(m_cursor);
    m_allFetched = true;
    m_current = -1;
    m_bof = m_eof = true;
    m_state = DataSetState::Inactive;
    emit wasReset();
    announceState();
    fire(m_hooks.afterClose);
    emitCurrent();
}

// ---------------------------------------------------------------------------
// The cursor

bool DataSet::scrollTo(int row)
{
    if (row == m_current)
        return true;
    if (m_running & OpScroll)
        return fail(QStringLiteral("scroll"), QStringLiteral("数据集正在移动"));
    Record *target = m_view.at(row);
    {
        QScopedValueRollback running(m_running, m_running | OpScroll);
        if (!runGuard(m_hooks.beforeScroll, QStringLiteral("scroll")))
            return false;
    }
    // A guard may have started an edit or changed the rows.
    if (isEditing() && !checkBrowseMode())
        return false;
    row = m_view.indexOf(target);
    if (row < 0)
        return fail(QStringLiteral("scroll"), QStringLiteral("记录已不存在"));
    m_current = row;
    emitCurrent();
    fire(m_hooks.afterScroll);
    fireDataChange(nullptr);
    return true;
}

bool DataSet::first()
{
    clearError();
    if (!checkActive(QStringLiteral("first")) || !checkBrowseMode())
        return false;
    m_bof = true;
    m_eof = isEmpty();
    if (isEmpty())
        return false;
    return scrollTo(0);
}

bool DataSet::last()
{
    clearError();
    if (!checkActive(QStringLiteral("last")) || !checkBrowseMode())
        return false;
    fetchRemaining(true);
    m_eof = true;
    m_bof = isEmpty();
    if (isEmpty())
        return false;
    return scrollTo(m_view.count() - 1);
}

bool DataSet::next()
{
    clearError();
    if (!checkActive(QStringLiteral("next")) || !checkBrowseMode())
        return false;
    if (m_current + 1 >= m_view.count() && !m_allFetched)
        fetchMore();
    if (m_current + 1 >= m_view.count()) {
        m_eof = true;
        return false;
    }
    if (!scrollTo(m_current + 1))
        return false;
    m_bof = m_eof = false;
    return true;
}

bool DataSet::prior()
{
    clearError();
    if (!checkActive(QStringLiteral("prior")) || !checkBrowseMode())
        return false;
    if (m_current <= 0) {
        m_bof = true;
        return false;
    }
    if (!scrollTo(m_current - 1))
        return false;
    m_bof = m_eof = false;
    return true;
}

int DataSet::moveBy(int distance)
{
    clearError();
    if (!checkActive(QStringLiteral("move")) || !checkBrowseMode() || isEmpty())
        return 0;
    const int start = m_current;
    int target = start + distance;
    while (target >= m_view.count() && !m_allFetched) {
        if (fetchMore() <= 0)
            break;
    }
    const int clamped = std::clamp(target, 0, m_view.count() - 1);
    if (clamped != start && !scrollTo(clamped))
        return 0;
    m_eof = distance > 0 && target != clamped;
    m_bof = distance < 0 && target != clamped;
    return m_current - start;
}

bool DataSet::moveTo(int row)
{
    clearError();
    if (!checkActive(QStringLiteral("move")))
        return false;
    while (row >= m_view.count() && !m_allFetched) {
        if (fetchMore() <= 0)
            break;
    }
    Record *target = m_view.at(row);
    if (!target)
        return fail(QStringLiteral("move"), QStringLiteral("没有第%1行").arg(row + 1), QString(), row);
    if (row == m_current)
        return true;
    if (!checkBrowseMode())
        return false;
    const int now = m_view.indexOf(target);
    if (now < 0)
        return fail(QStringLiteral("move"), QStringLiteral("记录已不存在"), QString(), row);
    if (!scrollTo(now))
        return false;
    m_bof = m_eof = false;
    return true;
}

// ---------------------------------------------------------------------------
// Reading rows for views

void DataSet::withRecordAt(int row, const std::function<void()> &read)
{
    Record *r = m_view.at(row);
    if (!r)
        return;
    RecordScope scope(m_scopeRecord, r);
    read();
}

QVariant DataSet::valueAt(int row, const Field &field)
{
    Record *r = m_view.at(row);
    return r ? recordValue(r, field) : QVariant();
}

QString DataSet::displayTextAt(int row, const Field &field)
{
    QString text;
    withRecordAt(row, [&] { text = field.displayText(); });
    return text;
}

QString DataSet::textAt(int row, const Field &field)
{
    QString text;
    withRecordAt(row, [&] { text = field.text(); });
    return text;
}

} // namespace qv::client
