#include "client/core/dataset/RowIndex.h"

#include "client/core/dataset/FieldList.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <memory>

namespace qv::client {

int RowIndex::indexOf(const Record *record) const
{
    if (!record)
        return -1;
    const auto it = std::find(m_rows.begin(), m_rows.end(), record);
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
}

void RowIndex::insert(int row, Record *record)
{
    row = std::clamp(row, 0, count());
    m_rows.insert(m_rows.begin() + row, record);
}

void RowIndex::removeAt(int row)
{
    if (row >= 0 && row < count())
        m_rows.erase(m_rows.begin() + row);
}

void RowIndex::rebuild(const std::vector<RecordPtr> &store, const Accept &accept, const Less &less)
{
    m_rows.clear();
    m_rows.reserve(store.size());
    for (const RecordPtr &r : store) {
        if (r->deleted)
            continue;
        if (accept && !accept(r.get()))
            continue;
        m_rows.push_back(r.get());
    }
    if (less)
        std::stable_sort(m_rows.begin(), m_rows.end(), less);
}

RowIndex::Less RowIndex::comparator(const FieldList &fields, const QList<SortKey> &keys)
{
    struct Part {
        bool calculated;
        int slot;
        bool descending;
        std::shared_ptr<QCollator> collator;
    };
    if (keys.isEmpty())
        return {};
    std::vector<Part> parts;
    for (const SortKey &key : keys) {
        const Field *f = fields.find(key.field);
        if (!f)
            return {};
        // Names sort in the language's order (pinyin for Chinese), as the
        // clerks' lists always did.
        auto collator = std::make_shared<QCollator>(QLocale(QLocale::Chinese, QLocale::China));
        collator->setCaseSensitivity(key.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
        collator->setNumericMode(false);
        parts.push_back(Part{f->isCalculated(), f->slot(), key.descending, collator});
    }
    return [parts](const Record *a, const Record *b) {
        for (const Part &p : parts) {
            const QVariant &x = p.calculated ? a->calc.at(p.slot) : a->values.at(p.slot);
            const QVariant &y = p.calculated ? b->calc.at(p.slot) : b->values.at(p.slot);
            const int c = compareValues(x, y, p.collator->caseSensitivity(), p.collator.get());
            if (c != 0)
                return p.descending ? c > 0 : c < 0;
        }
        return false;
    };
}

} // namespace qv::client
