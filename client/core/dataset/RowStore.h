// The rows of a dataset in their natural order (as fetched, with local inserts
// placed where they were made). Deleted rows stay here, flagged, until the
// deletion is applied or undone, so undoing puts them back where they were.
#pragma once

#include "client/core/dataset/Record.h"

#include <QHash>

#include <vector>

namespace qv::client {

class RowStore {
public:
    RecordPtr create(int valueCount, int calcCount);
    // Places the record before `before` (at the end when `before` is null or
    // not held).
    void insertBefore(const Record *before, const RecordPtr &record);
    void append(const RecordPtr &record);
    void remove(const Record *record);
    void clear();

    int size() const { return int(m_records.size()); }
    const std::vector<RecordPtr> &records() const { return m_records; }
    RecordPtr find(quint64 id) const { return m_byId.value(id); }

private:
    std::vector<RecordPtr> m_records;
    QHash<quint64, RecordPtr> m_byId;
    quint64 m_nextId = 1;
};

} // namespace qv::client
