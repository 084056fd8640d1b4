// The report data module: the report connection (`CnBb`, the server's report
// module) and the report datasets, created on first use by their provider
// name. The report windows send every statement themselves; the report module
// has no statements of its own.
#pragma once

#include "client/core/data/DataResult.h"
#include "client/core/dataset/DataSet.h"

#include <QHash>
#include <QObject>

#include <memory>
#include <vector>

namespace qv::client {

class ServerConnection;
class TData;

class TDataBb : public QObject {
    Q_OBJECT

public:
    // Works on data's report connection, which TData connects and closes with
    // its own.
    explicit TDataBb(TData &data, QObject *parent = nullptr);
    ~TDataBb() override;

    ServerConnection &cnBb();

    // The report dataset of that provider ("pCkkcHz"), named without the "p";
    // the same dataset on every call.
    DataSet *reportDataSet(const QString &provider);

    // Opens the report dataset on the statement (rows fetched in packets of
    // 2000); false with lastError().
    bool openReport(DataSet *dataSet, const QString &sql);
    // Sets the filter of the module's query behind a dataset; an empty
    // expression switches it off.
    DataResult<bool> setFilter(const QString &component, const QString &expression);

    const QString &lastError() const { return m_lastError; }

private:
    TData &m_data;
    std::vector<std::unique_ptr<DataSet>> m_dataSets;
    QHash<QString, DataSet *> m_byProvider; // upper-case provider
    QString m_lastError;
};

} // namespace qv::client
