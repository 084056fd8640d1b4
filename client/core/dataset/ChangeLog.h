// The pending changes of a dataset against the rows as the server last gave
// them. One entry per row, merged as the row changes again: a row inserted and
// then edited is still one insert; a row edited and then deleted is one delete
// with the values it had on the server; a row inserted and then deleted leaves
// no trace; an edit that brings a row back to its original values drops out.
#pragma once

#include "client/core/dataset/Record.h"

#include <QHash>
#include <QList>

namespace qv::client {

enum class ChangeKind : quint8 { Insert, Modify, Delete };

struct Change {
    ChangeKind kind = ChangeKind::Modify;
    RecordPtr record;
    QVariantList original; // the server's values (modify and delete)
    quint64 sequence = 0;  // order of the first change of the row
};

class ChangeLog {
public:
    int count() const { return int(m_changes.size()); }
    bool isEmpty() const { return m_changes.isEmpty(); }
    const Change *find(quint64 recordId) const;

    void recordInsert(const RecordPtr &record);
    // `before` are the values the row had before this edit was posted.
    void recordModify(const RecordPtr &record, const QVariantList &before);
    // Returns true when the row was inserted locally and simply disappears.
    bool recordDelete(const RecordPtr &record);
    // Puts an entry back as it was (loading a saved dataset).
    void restore(ChangeKind kind, const RecordPtr &record, const QVariantList &original);
    // Updates the server's values of a row (its blob fields were read later).
    void setOriginalValue(quint64 recordId, int slot, const QVariant &value);
    void forget(quint64 recordId);
    void clear() { m_changes.clear(); }

    // The entries in the order their rows were first changed.
    QList<const Change *> inOrder() const;

private:
    QHash<quint64, Change> m_changes;
    quint64 m_sequence = 0;
};

} // namespace qv::client
