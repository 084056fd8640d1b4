// A row held by a dataset, and the edit buffer of the row being edited.
#pragma once

#include <QHash>
#include <QList>
#include <QVariant>

#include <memory>

namespace qv::client {

struct Record {
    quint64 id = 0;       // stable for the life of the row: bookmarks, the change log
    QVariantList values;  // the data fields, as last posted
    QVariantList calc;    // calculated and lookup fields, recomputed from `values`
    bool deleted = false; // deleted locally, kept until the deletion is applied or undone
    bool pendingInsert = false; // appended or inserted, not yet posted
    bool blobsFetched = false;  // the blob-on-demand fields have been read
};

using RecordPtr = std::shared_ptr<Record>;

// Only the fields changed since edit or insert began are held; the rest read
// through to the record, so cancelling is dropping the buffer.
struct EditBuffer {
    Record *record = nullptr;
    QHash<int, QVariant> changed; // data slot → new value
    QVariantList calc;
    bool modified = false; // a field was set after the new-record defaults

    QVariant value(int slot) const
    {
        const auto it = changed.constFind(slot);
        return it != changed.constEnd() ? *it : record->values.value(slot);
    }
};

} // namespace qv::client
