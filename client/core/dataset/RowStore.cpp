#include "client/core/dataset/RowStore.h"

#include <algorithm>

namespace qv::client {

RecordPtr RowStore::create(int valueCount, int calcCount)
{
    auto record = std::make_shared<Record>();
    record->id = m_nextId++;
    // Built at their exact size: growing an empty list rounds its capacity up,
    // which on a wide row costs more than the values themselves.
    record->values = QVariantList(valueCount);
    if (calcCount > 0)
        record->calc = QVariantList(calcCount);
    return record;
}

void RowStore::insertBefore(const Record *before, const RecordPtr &record)
{
    auto it = std::find_if(m_records.begin(), m_records.end(),
                           [before](const RecordPtr &r) { return r.get() == before; });
    m_records.insert(it, record);
    m_byId.insert(record->id, record);
}

void RowStore::append(const RecordPtr &record)
{
    m_records.push_back(record);
    m_byId.insert(record->id, record);
}

void RowStore::remove(const Record *record)
{
    auto it = std::find_if(m_records.begin(), m_records.end(),
                           [record](const RecordPtr &r) { return r.get() == record; });
    if (it == m_records.end())
        return;
    m_byId.remove((*it)->id);
    m_records.erase(it);
}

void RowStore::clear()
{
    m_records.clear();
    m_byId.clear();
}

} // namespace qv::client
