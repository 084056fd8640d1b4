// The query service of the running client: the data module's query pool and
// exec-SQL path.
#pragma once

#include "client/core/data/TData.h"
#include "client/core/util/QueryService.h"

namespace qv::client {

class TDataQueryService : public QueryService {
public:
    explicit TDataQueryService(TData &data) : m_data(data) {}

    DataSet *poolQuery() override { return m_data.getPoolQuery(); }
    bool runSql(DataSet &dataSet, const QString &sql, bool open) override
    {
        return m_data.runSql(&dataSet, sql, open);
    }

    TData &data() const { return m_data; }

private:
    TData &m_data;
};

} // namespace qv::client
