#include "client/core/data/TDataBb.h"

#include "client/core/data/TData.h"

#include "protocol/RemoteMethods.h"

namespace qv::client {

TDataBb::TDataBb(TData &data, QObject *parent)
    : QObject(parent)
    , m_data(data)
{
}

TDataBb::~TDataBb() = default;

ServerConnection &TDataBb::cnBb()
{
    return m_data.cnBb();
}

DataSet *TDataBb::reportDataSet(const QString &provider)
{
    if (DataSet *known = m_byProvider.value(provider.toUpper()))
        return known;
    const QString name = provider.startsWith(u'p') ? provider.mid(1) : provider;
    auto dataSet = std::make_unique<DataSet>(name);
    dataSet->setProviderName(provider);
    dataSet->setSource(&m_data.reportSource());
    dataSet->setPacketSize(TData::kPacketSize);
    DataSet *raw = dataSet.get();
    m_byProvider.insert(provider.toUpper(), raw);
    m_dataSets.push_back(std::move(dataSet));
    return raw;
}

bool TDataBb::openReport(DataSet *dataSet, const QString &sql)
{
    if (!dataSet) {
        m_lastError = QStringLiteral("没有给出数据集");
        return false;
    }
    dataSet->close();
    dataSet->setCommandText(sql);
    if (!dataSet->open()) {
        m_lastError = dataSet->lastError().message;
        return false;
    }
    m_lastError.clear();
    return true;
}

DataResult<bool> TDataBb::setFilter(const QString &component, const QString &expression)
{
    const auto outcome = cnBb().request(protocol::SetFilterArgs{{component, expression}});
    if (!outcome.ok()) {
        m_lastError = ServerDataSource::errorText(outcome.error);
        return DataResult<bool>::failure(m_lastError);
    }
    return DataResult<bool>::success(true);
}

} // namespace qv::client
