// The little the shared utilities need of the client's data module: a dataset
// of the query pool and the exec-SQL path. The data module answers both; tests
// and tools that hold only a data source use PooledQueries.
#pragma once

#include "client/core/dataset/DataSet.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

namespace qv::client {

class QueryService {
public:
    virtual ~QueryService();

    // A closed dataset bound to the general-purpose provider. It stays the
    // caller's until the caller closes it again.
    virtual DataSet *poolQuery() = 0;
    // Closes the dataset, sets the statement and opens it (open: a query whose
    // rows are read afterwards) or executes it. False on any failure, silently.
    virtual bool runSql(DataSet &dataSet, const QString &sql, bool open) = 0;

    // The first column of the first row, or an invalid value when the query
    // fails or returns nothing. The pool dataset is closed afterwards.
    QVariant queryValue(const QString &sql);
    // Runs a query on a pool dataset and hands it over open; nullptr on failure.
    // Close it when done so the pool can hand it out again.
    DataSet *openQuery(const QString &sql);
    // Executes a command on a pool dataset.
    bool execute(const QString &sql);

protected:
    QueryService() = default;
};

// A query pool of its own over a data source ("TMP0", "TMP1", ... on the
// provider given, pTmp by default).
class PooledQueries : public QueryService {
public:
    explicit PooledQueries(DataSource *source, QString provider = QStringLiteral("pTmp"));
    ~PooledQueries() override;

    DataSet *poolQuery() override;
    bool runSql(DataSet &dataSet, const QString &sql, bool open) override;

    int poolSize() const { return int(m_pool.size()); }

private:
    DataSource *m_source;
    QString m_provider;
    std::vector<std::unique_ptr<DataSet>> m_pool;
};

// The exec-SQL path on any dataset bound to a source (what runSql does).
bool runSqlOn(DataSet &dataSet, const QString &sql, bool open);

} // namespace qv::client
