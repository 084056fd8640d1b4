#include "client/core/util/QueryService.h"

namespace qv::client {

QueryService::~QueryService() = default;

QVariant QueryService::queryValue(const QString &sql)
{
    DataSet *query = openQuery(sql);
    if (!query)
        return {};
    QVariant value;
    if (!query->isEmpty() && query->fieldCount() > 0)
        value = query->field(0)->value();
    query->close();
    return value;
}

DataSet *QueryService::openQuery(const QString &sql)
{
    DataSet *query = poolQuery();
    if (!query)
        return nullptr;
    if (!runSql(*query, sql, true)) {
        query->close();
        return nullptr;
    }
    return query;
}

bool QueryService::execute(const QString &sql)
{
    DataSet *query = poolQuery();
    if (!query)
        return false;
    const bool ok = runSql(*query, sql, false);
    query->close();
    return ok;
}

bool runSqlOn(DataSet &dataSet, const QString &sql, bool open)
{
    dataSet.close();
    dataSet.setCommandText(sql);
    if (open)
        return dataSet.open();
    DataSource *source = dataSet.source();
    if (!source)
        return false;
    return source->execute(dataSet.providerName(), sql).ok;
}

PooledQueries::PooledQueries(DataSource *source, QString provider)
    : m_source(source), m_provider(std::move(provider))
{
}

PooledQueries::~PooledQueries() = default;

DataSet *PooledQueries::poolQuery()
{
    for (const auto &query : m_pool) {
        if (!query->isActive())
            return query.get();
    }
    auto query = std::make_unique<DataSet>(QStringLiteral("TMP%1").arg(m_pool.size()));
    query->setSource(m_source);
    query->setProviderName(m_provider);
    m_pool.push_back(std::move(query));
    return m_pool.back().get();
}

bool PooledQueries::runSql(DataSet &dataSet, const QString &sql, bool open)
{
    return runSqlOn(dataSet, sql, open);
}

} // namespace qv::client
