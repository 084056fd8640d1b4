// Internal to the dataset engine: makes a row the active record for the length
// of a scope (calculations, views reading a row, filters testing one).
#pragma once

#include "client/core/dataset/Record.h"

namespace qv::client {

class RecordScope {
public:
    RecordScope(Record *&slot, Record *record)
        : m_slot(slot)
        , m_saved(slot)
    {
        slot = record;
    }
    ~RecordScope() { m_slot = m_saved; }
    RecordScope(const RecordScope &) = delete;
    RecordScope &operator=(const RecordScope &) = delete;

private:
    Record *&m_slot;
    Record *m_saved;
};

} // namespace qv::client
