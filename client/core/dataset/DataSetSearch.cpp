// DataSet: locate and lookup, filters, sorting and bookmarks.
#include "client/core/dataset/DataSet.h"

#include "client/core/dataset/DataSetScopes.h"
#include "client/core/dataset/FilterExpression.h"

namespace qv::client {

QList<Field *> DataSet::fieldsOf(const QString &names, const QString &operation)
{
    QList<Field *> list;
    for (const QString &part : names.split(u';', Qt::SkipEmptyParts)) {
        const QString name = part.trimmed();
        if (name.isEmpty())
            continue;
        Field *f = m_fields.find(name);
        if (!f) {
            fail(operation, QStringLiteral("没有字段'%1'").arg(name), name);
            return {};
        }
        list << f;
    }
    if (list.isEmpty())
        fail(operation, QStringLiteral("没有指定字段"));
    return list;
}

bool DataSet::rowMatches(Record *record, const QList<Field *> &fields, const QVariantList &values,
                         LocateOptions options)
{
    const Qt::CaseSensitivity cs = options.testFlag(LocateOption::CaseInsensitive)
                                       ? Qt::CaseInsensitive
                                       : Qt::CaseSensitive;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const Field &f = *fields[i];
        const QVariant have = recordValue(record, f);
        const QVariant &raw = values.value(i);
        if (!raw.isValid() || !have.isValid()) {
            if (raw.isValid() != have.isValid())
                return false;
            continue;
        }
        if (isTextual(f.type())) {
            const QString h = have.toString();
            const QString w = raw.toString();
            const bool ok = options.testFlag(LocateOption::PartialKey) ? h.startsWith(w, cs)
                                                                         : h.compare(w, cs) == 0;
            if (!ok)
                return false;
            continue;
        }
        const QVariant want = toFieldValue(f.type(), raw).value_or(raw);
        if (!sameValue(have, want, cs))
            return false;
    }
    return true;
}

bool DataSet::locate(const QString &fieldNames, const QVariantList &values, LocateOptions options)
{
    clearError();
    if (!checkActive(QStringLiteral("locate")) || !checkBrowseMode())
        return false;
    const QList<Field *> fields = fieldsOf(fieldNames, QStringLiteral("locate"));
    if (fields.isEmpty())
        return false;
    for (int row = 0;; ++row) {
        while (row >= m_view.count() && !m_allFetched) {
            if (fetchMore() < 0)
                return false;
        }
        Record *r = m_view.at(row);
        if (!r)
            return false;
        if (rowMatches(r, fields, values, options)) {
            if (!scrollTo(row))
                return false;
            m_bof = m_eof = false;
            return true;
        }
    }
}

QVariant DataSet::lookup(const QString &keyFields, const QVariantList &keyValues,
                         const QString &resultField)
{
    if (!isActive())
        return QVariant();
    const QList<Field *> fields = fieldsOf(keyFields, QStringLiteral("lookup"));
    const Field *result = m_fields.find(resultField.trimmed());
    if (fields.isEmpty() || !result)
        return QVariant();
    for (int row = 0;; ++row) {
        while (row >= m_view.count() && !m_allFetched) {
            if (fetchMore() < 0)
                return QVariant();
        }
        Record *r = m_view.at(row);
        if (!r)
            return QVariant();
        if (rowMatches(r, fields, keyValues, LocateOption::CaseInsensitive))
            return recordValue(r, *result);
    }
}

RowIndex::Accept DataSet::acceptor()
{
    if (!m_filter)
        return {};
    return [this](Record *r) {
        if (r->pendingInsert)
            return true;
        RecordScope scope(m_scopeRecord, r);
        return m_filter(*this);
    };
}

void DataSet::rebuildView(Record *keep, const std::function<void()> &change)
{
    const int previous = m_current;
    emit aboutToReset();
    if (change)
        change();
    m_view.rebuild(m_store.records(), acceptor(), RowIndex::comparator(m_fields, m_sort));
    m_current = keep ? m_view.indexOf(keep) : -1;
    if (m_current < 0)
        m_current = isEmpty() ? -1 : std::clamp(previous, 0, m_view.count() - 1);
    m_bof = m_current <= 0;
    m_eof = isEmpty();
    emit wasReset();
    emitCurrent();
}

bool DataSet::applyFilterAndSort(const QString &operation)
{
    if (!isActive())
        return true;
    if (!checkBrowseMode())
        return false;
    if (!fetchRemaining(true))
        return fail(operation, m_error.message);
    Record *before = currentRecord();
    rebuildView(before);
    if (currentRecord() != before) {
        fire(m_hooks.afterScroll);
        fireDataChange(nullptr);
    }
    return true;
}

void DataSet::setFilter(FilterPredicate predicate)
{
    clearError();
    m_filter = std::move(predicate);
    m_filterText.clear();
    applyFilterAndSort(QStringLiteral("filter"));
}

bool DataSet::setFilterText(const QString &expression)
{
    clearError();
    QString error;
    const auto parsed = FilterExpression::parse(expression, &error);
    if (!parsed)
        return fail(QStringLiteral("filter"), error);
    m_filter = [parsed](DataSet &ds) { return parsed->matches(ds); };
    m_filterText = expression;
    return applyFilterAndSort(QStringLiteral("filter"));
}

void DataSet::clearFilter()
{
    clearError();
    if (!m_filter)
        return;
    m_filter = nullptr;
    m_filterText.clear();
    applyFilterAndSort(QStringLiteral("filter"));
}

bool DataSet::setSort(const QString &spec)
{
    QList<SortKey> keys;
    for (const QString &part : spec.split(u';', Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(u' ', Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        SortKey key;
        key.field = words[0];
        if (words.size() > 2
            || (words.size() == 2 && words[1].compare(u"desc", Qt::CaseInsensitive) != 0
                && words[1].compare(u"asc", Qt::CaseInsensitive) != 0))
            return fail(QStringLiteral("sort"), QStringLiteral("排序'%1'写法不对").arg(part.trimmed()));
        key.descending = words.size() == 2 && words[1].compare(u"desc", Qt::CaseInsensitive) == 0;
        keys << key;
    }
    return setSortKeys(keys);
}

bool DataSet::setSortKeys(const QList<SortKey> &keys)
{
    clearError();
    for (const SortKey &key : keys) {
        if (!m_fields.find(key.field))
            return fail(QStringLiteral("sort"), QStringLiteral("没有字段'%1'").arg(key.field), key.field);
    }
    if (keys == m_sort)
        return true;
    m_sort = keys;
    return applyFilterAndSort(QStringLiteral("sort"));
}

Bookmark DataSet::bookmark() const
{
    const Record *r = currentRecord();
    return Bookmark{r ? r->id : 0};
}

bool DataSet::bookmarkValid(const Bookmark &bookmark) const
{
    const RecordPtr r = m_store.find(bookmark.id);
    return r && !r->deleted && m_view.indexOf(r.get()) >= 0;
}

bool DataSet::gotoBookmark(const Bookmark &bookmark)
{
    clearError();
    if (!checkActive(QStringLiteral("bookmark")) || !checkBrowseMode())
        return false;
    const RecordPtr r = m_store.find(bookmark.id);
    const int row = r ? m_view.indexOf(r.get()) : -1;
    if (row < 0)
        return fail(QStringLiteral("bookmark"), QStringLiteral("书签指向的记录已不存在"));
    if (!scrollTo(row))
        return false;
    m_bof = m_eof = false;
    return true;
}

} // namespace qv::client
