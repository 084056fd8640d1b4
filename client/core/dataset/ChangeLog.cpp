#include "client/core/dataset/ChangeLog.h"

#include "client/core/dataset/FieldType.h"

#include <algorithm>

namespace qv::client {

namespace {

bool sameValues(const QVariantList &a, const QVariantList &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!sameValue(a[i], b[i]))
            return false;
    }
    return true;
}

} // namespace

const Change *ChangeLog::find(quint64 recordId) const
{
    const auto it = m_changes.constFind(recordId);
    return it == m_changes.constEnd() ? nullptr : &*it;
}

void ChangeLog::recordInsert(const RecordPtr &record)
{
    m_changes.insert(record->id, Change{ChangeKind::Insert, record, {}, ++m_sequence});
}

void ChangeLog::recordModify(const RecordPtr &record, const QVariantList &before)
{
    auto it = m_changes.find(record->id);
    if (it == m_changes.end()) {
        if (!sameValues(before, record->values))
            m_changes.insert(record->id, Change{ChangeKind::Modify, record, before, ++m_sequence});
        return;
    }
    if (it->kind == ChangeKind::Modify && sameValues(it->original, record->values))
        m_changes.erase(it);
}

bool ChangeLog::recordDelete(const RecordPtr &record)
{
    auto it = m_changes.find(record->id);
    if (it == m_changes.end()) {
        m_changes.insert(record->id,
                         Change{ChangeKind::Delete, record, record->values, ++m_sequence});
        return false;
    }
    if (it->kind == ChangeKind::Insert) {
        m_changes.erase(it);
        return true;
    }
    it->kind = ChangeKind::Delete;
    return false;
}

void ChangeLog::restore(ChangeKind kind, const RecordPtr &record, const QVariantList &original)
{
    m_changes.insert(record->id, Change{kind, record, original, ++m_sequence});
}

void ChangeLog::setOriginalValue(quint64 recordId, int slot, const QVariant &value)
{
    auto it = m_changes.find(recordId);
    if (it != m_changes.end() && slot >= 0 && slot < it->original.size())
        it->original[slot] = value;
}

void ChangeLog::forget(quint64 recordId)
{
    m_changes.remove(recordId);
}

QList<const Change *> ChangeLog::inOrder() const
{
    QList<const Change *> list;
    list.reserve(m_changes.size());
    for (const Change &c : m_changes)
        list.append(&c);
    std::sort(list.begin(), list.end(),
              [](const Change *a, const Change *b) { return a->sequence < b->sequence; });
    return list;
}

} // namespace qv::client
