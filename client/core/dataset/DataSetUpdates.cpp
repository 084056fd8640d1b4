// DataSet: the pending changes and their way to the server.
#include "client/core/dataset/DataSet.h"

#include "client/core/dataset/DataSetScopes.h"

#include <QScopedValueRollback>

#include <vector>

namespace qv::client {

UpdateStatus DataSet::updateStatus() const
{
    const Record *r = currentRecord();
    if (!r)
        return UpdateStatus::Unmodified;
    if (r->pendingInsert)
        return UpdateStatus::Inserted;
    const Change *c = m_log.find(r->id);
    if (!c)
        return UpdateStatus::Unmodified;
    switch (c->kind) {
    case ChangeKind::Insert: return UpdateStatus::Inserted;
    case ChangeKind::Modify: return UpdateStatus::Modified;
    case ChangeKind::Delete: return UpdateStatus::Deleted;
    }
    return UpdateStatus::Unmodified;
}

ChangePacket DataSet::buildPacket(QList<const Change *> &entries) const
{
    ChangePacket packet;
    packet.provider = m_provider;
    packet.fields = m_fields.dataDefs();
    entries = m_log.inOrder();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const Change &c = *entries[i];
        ChangeRow row;
        row.index = int(i);
        row.kind = c.kind;
        if (c.kind != ChangeKind::Insert)
            row.oldValues = c.original;
        if (c.kind != ChangeKind::Delete)
            row.newValues = c.record->values;
        if (c.kind == ChangeKind::Modify) {
            for (qsizetype k = 0; k < c.record->values.size(); ++k) {
                if (!sameValue(c.original.value(k), c.record->values.at(k)))
                    row.changedFields << int(k);
            }
        }
        packet.rows << row;
    }
    return packet;
}

void DataSet::assignValues(Record *record, const RowValues &values, bool keepMissingBlobs)
{
    for (Field *f : m_fields) {
        if (f->kind() != FieldKind::Data)
            continue;
        const QVariant &v = values.value(f->slot());
        // The server leaves blobs out of what it sends back; the local ones stay.
        if (keepMissingBlobs && !v.isValid() && f->hasFlag(FieldFlag::BlobOnDemand))
            continue;
        record->values[f->slot()] = toFieldValue(f->type(), v).value_or(v);
    }
    recalc(record);
}

void DataSet::takeSavedRow(const Change &change, const RowValues &values)
{
    Record *r = change.record.get();
    m_log.forget(r->id);
    if (change.kind == ChangeKind::Delete) {
        m_store.remove(r);
        return;
    }
    if (!values.isEmpty())
        assignValues(r, values, true);
    emitRowChanged(m_view.indexOf(r));
}

void DataSet::dropRecord(Record *record)
{
    RecordPtr keep = recordPtr(record);
    const int row = m_view.indexOf(record);
    if (row < 0) {
        m_store.remove(record);
        return;
    }
    emit rowsAboutToBeRemoved(row, row);
    m_view.removeAt(row);
    m_store.remove(record);
    emit rowsRemoved(row, row);
    if (row < m_current)
        --m_current;
    m_current = std::min(m_current, m_view.count() - 1);
    m_eof = isEmpty();
    emitCurrent();
}

bool DataSet::revertChange(const Change &change)
{
    Record *r = change.record.get();
    m_log.forget(r->id);
    switch (change.kind) {
    case ChangeKind::Insert:
        dropRecord(r);
        return false;
    case ChangeKind::Modify:
        assignValues(r, change.original, false);
        emitRowChanged(m_view.indexOf(r));
        return needsAllRows();
    case ChangeKind::Delete:
        assignValues(r, change.original, false);
        r->deleted = false;
        return true;
    }
    return false;
}

bool DataSet::reconcile(const Change &change, const RowFailure &failure)
{
    Record *r = change.record.get();
    ReconcileError error;
    error.kind = change.kind;
    error.message = failure.message;
    error.row = m_view.indexOf(r);
    error.oldValues = change.original;
    error.newValues = change.kind == ChangeKind::Delete ? QVariantList() : r->values;
    error.serverHasRow = failure.serverHasRow;
    error.serverValues = failure.serverValues;

    ReconcileAction action = ReconcileAction::Skip;
    if (m_hooks.reconcileError) {
        // The failing row is the active record while the handler decides, so a
        // dialog can show its fields.
        RecordScope scope(m_scopeRecord, r);
        action = m_hooks.reconcileError(*this, error);
    }
    switch (action) {
    case ReconcileAction::Skip:
        return false;
    case ReconcileAction::Cancel:
        return revertChange(change);
    case ReconcileAction::Correct: {
        if (change.kind == ChangeKind::Delete)
            return false;
        const QVariantList before = r->values;
        assignValues(r, error.newValues, false);
        if (change.kind == ChangeKind::Modify) {
            // Back to the server's values: nothing left to send for this row.
            m_log.recordModify(change.record, change.original);
        }
        emitRowChanged(m_view.indexOf(r));
        return needsAllRows();
    }
    case ReconcileAction::Refresh:
        m_log.forget(r->id);
        if (!failure.serverHasRow) {
            dropRecord(r);
            return false;
        }
        assignValues(r, failure.serverValues, false);
        r->blobsFetched = false;
        if (r->deleted) {
            r->deleted = false;
            return true;
        }
        emitRowChanged(m_view.indexOf(r));
        return needsAllRows();
    }
    return false;
}

int DataSet::applyUpdates(int maxErrors)
{
    clearError();
    if (!isActive())
        return 0;
    const std::optional<PendingUpdates> updates = takeUpdates();
    if (!updates)
        return std::max(1, changeCount());
    if (updates->isEmpty())
        return 0;
    if (!m_source) {
        fail(QStringLiteral("apply"), QStringLiteral("数据集没有数据来源"));
        return changeCount();
    }
    return takeAnswer(*updates, m_source->applyUpdates(updates->packet(), maxErrors));
}

std::optional<PendingUpdates> DataSet::takeUpdates()
{
    clearError();
    PendingUpdates updates;
    if (!isActive())
        return updates;
    if (m_running & OpApply) {
        fail(QStringLiteral("apply"), QStringLiteral("正在提交修改"));
        return std::nullopt;
    }
    if (!checkBrowseMode())
        return std::nullopt;
    if (m_log.isEmpty())
        return updates;
    QScopedValueRollback running(m_running, m_running | OpApply);
    if (!runGuard(m_hooks.beforeApplyUpdates, QStringLiteral("apply")))
        return std::nullopt;
    QList<const Change *> entries;
    updates.m_packet = buildPacket(entries);
    updates.m_changes.reserve(size_t(entries.size()));
    for (const Change *c : entries)
        updates.m_changes.push_back(*c);
    return updates;
}

int DataSet::takeAnswer(const PendingUpdates &updates, const ApplyResult &result)
{
    clearError();
    const std::vector<Change> &changes = updates.m_changes;
    if (changes.empty())
        return 0;
    if (!isActive()) {
        fail(QStringLiteral("apply"), QStringLiteral("数据集已经关闭"));
        return int(changes.size());
    }
    QScopedValueRollback running(m_running, m_running | OpApply);
    if (!result.ok) {
        fail(QStringLiteral("apply"), result.error);
        return int(changes.size());
    }
    auto valid = [&changes](int index) { return index >= 0 && size_t(index) < changes.size(); };
    for (const SavedRow &saved : result.saved) {
        if (valid(saved.index))
            takeSavedRow(changes[size_t(saved.index)], saved.values);
    }
    bool rebuild = false;
    for (const RowFailure &failure : result.failures) {
        if (valid(failure.index))
            rebuild = reconcile(changes[size_t(failure.index)], failure) || rebuild;
    }
    Record *current = currentRecord();
    if (rebuild)
        rebuildView(current);
    else
        resortAfterPost(current);
    if (!result.failures.isEmpty()) {
        const RowFailure &first = result.failures.first();
        fail(QStringLiteral("apply"), first.message, QString(),
             valid(first.index) ? m_view.indexOf(changes[size_t(first.index)].record.get()) : -1);
    }
    fireDataChange(nullptr);
    fire(m_hooks.afterApplyUpdates);
    return std::max(result.errorCount, int(result.failures.size()));
}

void DataSet::cancelUpdates()
{
    clearError();
    if (!isActive())
        return;
    if (isEditing() && !cancel()) {
        discardEdit();
        setState(DataSetState::Browse);
    }
    if (m_log.isEmpty())
        return;
    Record *keep = currentRecord();
    if (keep) {
        const Change *c = m_log.find(keep->id);
        if (c && c->kind == ChangeKind::Insert)
            keep = nullptr;
    }
    rebuildView(keep, [this] {
        const QList<const Change *> entries = m_log.inOrder();
        std::vector<Change> changes;
        for (const Change *c : entries)
            changes.push_back(*c);
        m_log.clear();
        for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
            Record *r = it->record.get();
            if (it->kind == ChangeKind::Insert) {
                m_store.remove(r);
                continue;
            }
            r->deleted = false;
            assignValues(r, it->original, false);
        }
    });
    fireDataChange(nullptr);
}

bool DataSet::revertRecord()
{
    clearError();
    if (!checkActive(QStringLiteral("revert")))
        return false;
    if (isEditing() && !cancel())
        return false;
    Record *r = currentRecord();
    if (!r)
        return true;
    const Change *c = m_log.find(r->id);
    if (!c)
        return true;
    const Change copy = *c;
    if (revertChange(copy))
        rebuildView(currentRecord());
    fireDataChange(nullptr);
    return true;
}

void DataSet::mergeChangeLog()
{
    clearError();
    if (!isActive() || !checkBrowseMode())
        return;
    for (const Change *c : m_log.inOrder()) {
        if (c->kind == ChangeKind::Delete)
            m_store.remove(c->record.get());
    }
    m_log.clear();
}

} // namespace qv::client
