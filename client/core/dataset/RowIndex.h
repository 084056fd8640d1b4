// The rows a dataset shows, in the order it shows them: the natural order, or
// the order of a sort, without the rows a filter hides and without deleted rows.
// The cursor and the views count positions in this index.
#pragma once

#include "client/core/dataset/Record.h"

#include <QList>
#include <QString>

#include <functional>
#include <vector>

namespace qv::client {

class FieldList;

struct SortKey {
    QString field;
    bool descending = false;
    bool caseInsensitive = true;

    friend bool operator==(const SortKey &, const SortKey &) = default;
};

class RowIndex {
public:
    using Accept = std::function<bool(Record *)>;
    using Less = std::function<bool(const Record *, const Record *)>;

    int count() const { return int(m_rows.size()); }
    Record *at(int row) const
    {
        return row >= 0 && row < count() ? m_rows[size_t(row)] : nullptr;
    }
    int indexOf(const Record *record) const;
    const std::vector<Record *> &rows() const { return m_rows; }

    void insert(int row, Record *record);
    void append(Record *record) { m_rows.push_back(record); }
    void removeAt(int row);
    void clear() { m_rows.clear(); }

    // Rebuilds from the store's natural order: deleted rows and rows the filter
    // refuses are left out, and a sort orders the rest (stable, so equal keys
    // keep their natural order).
    void rebuild(const std::vector<RecordPtr> &store, const Accept &accept, const Less &less);

    // The ordering for sort keys over these fields; an empty function when a
    // key names no field (the caller reports it).
    static Less comparator(const FieldList &fields, const QList<SortKey> &keys);

private:
    std::vector<Record *> m_rows;
};

} // namespace qv::client
