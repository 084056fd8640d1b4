// DataSet: inserting, editing, posting, cancelling and deleting rows, and
// setting field values.
#include "client/core/dataset/DataSet.h"

#include "client/core/dataset/DataSetScopes.h"

#include <QScopedValueRollback>

namespace qv::client {

namespace {

const QString kReadOnly = QStringLiteral("数据集是只读的");

} // namespace

bool DataSet::checkBrowseMode()
{
    if (!isEditing())
        return true;
    // Controls holding typed text write it first, so that it counts as a change.
    emit updateRecordRequested();
    if (!m_edit)
        return true;
    if (m_edit->modified)
        return post();
    return cancel();
}

bool DataSet::setFieldValue(Field &field, const QVariant &value)
{
    clearError();
    Record *active = activeRecord();
    if (m_calculating) {
        if (!field.isCalculated())
            return fail(QStringLiteral("calc"), QStringLiteral("计算时只能给计算字段赋值"), field.name());
        const auto converted = toFieldValue(field.type(), value);
        if (!converted)
            return fail(QStringLiteral("calc"), QStringLiteral("计算结果不是有效的值"), field.name());
        EditBuffer *e = (m_edit && m_edit->record == active) ? &*m_edit : nullptr;
        QVariantList &calc = e ? e->calc : active->calc;
        calc[field.slot()] = *converted;
        return true;
    }
    if (!checkActive(QStringLiteral("set")))
        return false;
    if (m_scopeRecord && m_scopeRecord != currentRecord())
        return fail(QStringLiteral("set"), QStringLiteral("只能修改当前记录"), field.name());
    if (field.kind() == FieldKind::Calculated)
        return fail(QStringLiteral("set"), QStringLiteral("计算字段'%1'不能修改").arg(field.displayLabel()),
                    field.name(), m_current);
    if (field.isReadOnly())
        return fail(QStringLiteral("set"), QStringLiteral("字段'%1'是只读的").arg(field.displayLabel()),
                    field.name(), m_current);
    if (m_readOnly)
        return fail(QStringLiteral("set"), kReadOnly, field.name(), m_current);

    if (field.isLookup()) {
        // Choosing a shown text sets the key fields of the row it belongs to.
        const LookupSpec &spec = field.lookup();
        if (!spec.isValid())
            return fail(QStringLiteral("set"), QStringLiteral("查找字段没有设置"), field.name());
        const QStringList keys = spec.keyFields.split(u';', Qt::SkipEmptyParts);
        const QStringList lookupKeys =
            (spec.lookupKeyFields.isEmpty() ? spec.keyFields : spec.lookupKeyFields)
                .split(u';', Qt::SkipEmptyParts);
        if (keys.size() != lookupKeys.size())
            return fail(QStringLiteral("set"), QStringLiteral("查找字段的键不匹配"), field.name());
        for (qsizetype i = 0; i < keys.size(); ++i) {
            Field *key = m_fields.find(keys[i].trimmed());
            if (!key)
                return fail(QStringLiteral("set"), QStringLiteral("没有字段'%1'").arg(keys[i]), field.name());
            QVariant keyValue;
            if (value.isValid()) {
                keyValue = spec.dataSet->lookup(spec.resultField, {value}, lookupKeys[i].trimmed());
                if (!keyValue.isValid())
                    return fail(QStringLiteral("set"),
                                QStringLiteral("'%1'不在'%2'的列表中").arg(value.toString(), field.displayLabel()),
                                field.name(), m_current);
            }
            if (!setFieldValue(*key, keyValue))
                return false;
        }
        return true;
    }

    const auto converted = toFieldValue(field.type(), value);
    if (!converted)
        return fail(QStringLiteral("set"),
                    QStringLiteral("'%1'不是字段'%2'的有效值").arg(value.toString(), field.displayLabel()),
                    field.name(), m_current);
    if (!isEditing() && !edit())
        return false;
    if (!m_edit)
        return fail(QStringLiteral("set"), QStringLiteral("数据集不在编辑状态"), field.name());
    EditBuffer &e = *m_edit;
    const QVariant &stored = e.record->values.value(field.slot());
    if (sameValue(*converted, stored) && converted->metaType() == stored.metaType())
        e.changed.remove(field.slot());
    else
        e.changed.insert(field.slot(), *converted);
    e.modified = true;
    recalc(e.record);
    emitRowChanged(m_current);
    if (!m_controlsDisabled)
        emit fieldChanged(&field);
    fireDataChange(&field);
    return true;
}

bool DataSet::beginInsert(bool atEnd)
{
    clearError();
    const QString op = atEnd ? QStringLiteral("append") : QStringLiteral("insert");
    if (!checkActive(op))
        return false;
    if (m_readOnly)
        return fail(op, kReadOnly);
    if (m_running & OpInsert)
        return fail(op, QStringLiteral("数据集正在插入记录"));
    if (!checkBrowseMode())
        return false;
    if (atEnd && !fetchRemaining(true))
        return false;
    {
        QScopedValueRollback running(m_running, m_running | OpInsert);
        if (!runGuard(m_hooks.beforeInsert, op) || !runGuard(m_hooks.beforeScroll, op))
            return false;
    }
    if (isEditing() && !checkBrowseMode())
        return false;

    const int row = atEnd ? m_view.count() : std::max(m_current, 0);
    RecordPtr record = m_store.create(m_fields.dataCount(), m_fields.calculatedCount());
    record->pendingInsert = true;
    record->blobsFetched = true;
    if (Record *before = m_view.at(row))
        m_store.insertBefore(before, record);
    else
        m_store.append(record);
    emit rowsAboutToBeInserted(row, row);
    m_view.insert(row, record.get());
    emit rowsInserted(row, row);

    m_current = row;
    m_bof = m_eof = false;
    m_edit = EditBuffer{record.get(), {}, QVariantList(m_fields.calculatedCount()), false};
    recalc(record.get());
    setState(DataSetState::Insert);
    emitCurrent();
    fire(m_hooks.newRecord);
    // Defaults set by the new-record hook are not the user's changes: leaving
    // such a row untouched discards it.
    if (m_edit)
        m_edit->modified = false;
    fireDataChange(nullptr);
    fire(m_hooks.afterInsert);
    fire(m_hooks.afterScroll);
    return true;
}

bool DataSet::append()
{
    return beginInsert(true);
}

bool DataSet::insert()
{
    return beginInsert(false);
}

bool DataSet::edit()
{
    clearError();
    if (!checkActive(QStringLiteral("edit")))
        return false;
    if (isEditing())
        return true;
    if (isEmpty())
        return insert();
    if (m_readOnly)
        return fail(QStringLiteral("edit"), kReadOnly);
    if (m_running & OpEdit)
        return fail(QStringLiteral("edit"), QStringLiteral("数据集正在进入编辑状态"));
    {
        QScopedValueRollback running(m_running, m_running | OpEdit);
        if (!runGuard(m_hooks.beforeEdit, QStringLiteral("edit")))
            return false;
    }
    if (isEditing())
        return true;
    Record *r = currentRecord();
    if (!r)
        return fail(QStringLiteral("edit"), QStringLiteral("没有记录"));
    m_edit = EditBuffer{r, {}, r->calc, false};
    setState(DataSetState::Edit);
    fireDataChange(nullptr);
    fire(m_hooks.afterEdit);
    return true;
}

bool DataSet::checkRequired()
{
    for (Field *f : m_fields) {
        if (!f->isRequired() || f->kind() != FieldKind::Data)
            continue;
        const QVariant v = m_edit->value(f->slot());
        const bool missing = !v.isValid() || (isTextual(f->type()) && v.toString().isEmpty());
        if (!missing)
            continue;
        const QString message = m_hooks.requiredMessage
                                    ? m_hooks.requiredMessage(*f)
                                    : QStringLiteral("'%1'未录入, 请继续录入!").arg(f->displayLabel());
        return fail(QStringLiteral("post"), message, f->name(), m_current);
    }
    return true;
}

bool DataSet::post()
{
    clearError();
    if (!checkActive(QStringLiteral("post")))
        return false;
    if (!isEditing())
        return true;
    if (m_running & OpPost)
        return fail(QStringLiteral("post"), QStringLiteral("数据集正在保存记录"));
    {
        QScopedValueRollback running(m_running, m_running | OpPost);
        emit updateRecordRequested();
        if (!isEditing())
            return true;
        if (!runGuard(m_hooks.beforePost, QStringLiteral("post")))
            return false;
        if (!isEditing())
            return true;
        if (!checkRequired())
            return false;

        Record *r = m_edit->record;
        RecordPtr ptr = recordPtr(r);
        const bool inserting = m_state == DataSetState::Insert;
        const QVariantList before = r->values;
        for (auto it = m_edit->changed.cbegin(); it != m_edit->changed.cend(); ++it)
            r->values[it.key()] = it.value();
        r->calc = m_edit->calc;
        m_edit.reset();
        if (inserting) {
            r->pendingInsert = false;
            m_log.recordInsert(ptr);
        } else {
            m_log.recordModify(ptr, before);
        }
        m_state = DataSetState::Browse;
        resortAfterPost(r);
        emitRowChanged(m_current);
    }
    announceState();
    fireDataChange(nullptr);
    fire(m_hooks.afterPost);
    return true;
}

void DataSet::discardEdit()
{
    if (!m_edit)
        return;
    Record *r = m_edit->record;
    if (!r->pendingInsert) {
        m_edit.reset();
        emitRowChanged(m_current);
        return;
    }
    RecordPtr keep = recordPtr(r);
    m_edit.reset();
    const int row = m_view.indexOf(r);
    if (row >= 0) {
        emit rowsAboutToBeRemoved(row, row);
        m_view.removeAt(row);
        m_store.remove(r);
        emit rowsRemoved(row, row);
    } else {
        m_store.remove(r);
    }
    m_current = std::min(row >= 0 ? row : m_current, m_view.count() - 1);
    m_bof = m_current <= 0;
    m_eof = isEmpty();
    emitCurrent();
}

bool DataSet::cancel()
{
    clearError();
    if (!checkActive(QStringLiteral("cancel")))
        return false;
    if (!isEditing())
        return true;
    if (m_running & OpCancel)
        return fail(QStringLiteral("cancel"), QStringLiteral("数据集正在取消编辑"));
    {
        QScopedValueRollback running(m_running, m_running | OpCancel);
        if (!runGuard(m_hooks.beforeCancel, QStringLiteral("cancel")))
            return false;
    }
    if (!isEditing())
        return true;
    discardEdit();
    setState(DataSetState::Browse);
    fireDataChange(nullptr);
    fire(m_hooks.afterCancel);
    return true;
}

bool DataSet::remove()
{
    clearError();
    if (!checkActive(QStringLiteral("delete")))
        return false;
    if (m_state == DataSetState::Insert)
        return cancel();
    if (isEmpty())
        return fail(QStringLiteral("delete"), QStringLiteral("没有记录"));
    if (m_readOnly)
        return fail(QStringLiteral("delete"), kReadOnly);
    if (m_running & OpDelete)
        return fail(QStringLiteral("delete"), QStringLiteral("数据集正在删除记录"));
    {
        QScopedValueRollback running(m_running, m_running | OpDelete);
        if (!runGuard(m_hooks.beforeDelete, QStringLiteral("delete"))
            || !runGuard(m_hooks.beforeScroll, QStringLiteral("delete")))
            return false;
    }
    if (m_state == DataSetState::Insert)
        return cancel();
    Record *r = currentRecord();
    if (!r)
        return fail(QStringLiteral("delete"), QStringLiteral("没有记录"));
    // An unposted edit of the row goes with it; the server's values are what a
    // delete sends.
    const bool wasEditing = m_state == DataSetState::Edit;
    m_edit.reset();
    RecordPtr ptr = recordPtr(r);
    const bool purge = m_log.recordDelete(ptr);
    const int row = m_current;
    emit rowsAboutToBeRemoved(row, row);
    m_view.removeAt(row);
    if (purge)
        m_store.remove(r);
    else
        r->deleted = true;
    emit rowsRemoved(row, row);
    m_current = std::min(row, m_view.count() - 1);
    m_bof = m_current <= 0;
    m_eof = isEmpty();
    emitCurrent();
    if (wasEditing)
        setState(DataSetState::Browse);
    fireDataChange(nullptr);
    fire(m_hooks.afterDelete);
    fire(m_hooks.afterScroll);
    return true;
}

void DataSet::resortAfterPost(Record *record)
{
    if (!needsAllRows())
        return;
    RowIndex probe;
    probe.rebuild(m_store.records(), acceptor(), RowIndex::comparator(m_fields, m_sort));
    if (probe.rows() == m_view.rows())
        return;
    rebuildView(record);
}

} // namespace qv::client
