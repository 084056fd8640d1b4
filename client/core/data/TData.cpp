// TData: connections, the shared datasets and the remote methods. The exec-SQL
// path is in TDataQueries.cpp, field rules and events in TDataRules.cpp.
#include "client/core/data/TData.h"

#include "protocol/RemoteMethods.h"

namespace qv::client {

TData::TData(QObject *parent)
    : QObject(parent)
    , m_cn(std::make_unique<ServerConnection>(protocol::RemoteObject::Business))
    , m_cnBb(std::make_unique<ServerConnection>(protocol::RemoteObject::Report))
    , m_source(std::make_unique<ServerDataSource>(*m_cn))
    , m_reportSource(std::make_unique<ServerDataSource>(*m_cnBb))
{
    for (const SharedDataSetSpec &spec : sharedDataSetSpecs())
        addShared(spec);
    m_tmp = dataSet(u"Tmp");
    m_tmpf = dataSet(u"Tmpf");
    m_tmpl = dataSet(u"Tmpl");
    installCalculatedFields();
    installEvents();
}

TData::~TData()
{
    // The datasets first: their field hooks refer to this module.
    m_pool.clear();
    m_shared.clear();
}

void TData::prepare(DataSet &dataSet)
{
    dataSet.setSource(m_source.get());
    dataSet.setPacketSize(kPacketSize);
    // Formats and display texts follow the fields whenever they are rebuilt;
    // a signal, not a hook, so a window's saved and restored hooks keep them.
    connect(&dataSet, &DataSet::wasReset, this, [this, ds = &dataSet] { applyFieldRules(*ds); });
}

DataSet *TData::addShared(const SharedDataSetSpec &spec)
{
    auto dataSet = std::make_unique<DataSet>(spec.name);
    dataSet->setProviderName(spec.provider);
    dataSet->setCommandText(spec.statement);
    prepare(*dataSet);
    DataSet *raw = dataSet.get();
    m_byName.insert(spec.name.toUpper(), raw);
    m_areas.insert(raw, spec.area);
    m_shared.push_back(std::move(dataSet));
    return raw;
}

std::unique_ptr<DataSet> TData::createDataSet(const QString &name, const QString &provider)
{
    auto dataSet = std::make_unique<DataSet>(name);
    dataSet->setProviderName(provider);
    prepare(*dataSet);
    return dataSet;
}

DataSet *TData::dataSet(QStringView name) const
{
    return m_byName.value(name.toString().toUpper(), nullptr);
}

QStringList TData::dataSetNames() const
{
    QStringList names;
    for (const auto &ds : m_shared)
        names.append(ds->name());
    return names;
}

DataSet *TData::getPoolQuery()
{
    for (const auto &ds : m_pool) {
        if (!ds->isActive())
            return ds.get();
    }
    auto dataSet = std::make_unique<DataSet>(QStringLiteral("TMP%1").arg(m_pool.size()));
    dataSet->setProviderName(m_tmp->providerName());
    prepare(*dataSet);
    m_pool.push_back(std::move(dataSet));
    return m_pool.back().get();
}

DataSet *TData::poolQuery(int index) const
{
    return index >= 0 && size_t(index) < m_pool.size() ? m_pool[size_t(index)].get() : nullptr;
}

bool TData::connectToServer(const ServerAddress &address)
{
    m_cn->setAddress(address);
    m_cnBb->setAddress(address);
    if (!m_cn->connectToServer())
        return failed(ServerDataSource::errorText(m_cn->lastError()));
    if (!m_cnBb->connectToServer()) {
        m_cn->disconnectFromServer();
        return failed(ServerDataSource::errorText(m_cnBb->lastError()));
    }
    m_lastError.clear();
    return true;
}

void TData::disconnectFromServer()
{
    m_cn->disconnectFromServer();
    m_cnBb->disconnectFromServer();
}

void TData::setBusyHook(const ServerConnection::BusyHook &hook)
{
    m_cn->setBusyHook(hook);
    m_cnBb->setBusyHook(hook);
}

void TData::setReconcileHandler(
    const std::function<ReconcileAction(DataSet &, ReconcileError &)> &handler)
{
    for (const auto &ds : m_shared)
        ds->hooks().reconcileError = handler;
}

bool TData::failed(const QString &error)
{
    m_lastError = error.isEmpty() ? QStringLiteral("操作失败") : error;
    return false;
}

// ---------------------------------------------------------------------------
// Remote methods

template <typename Args, typename Value>
DataResult<Value> TData::remote(const Args &args, Value (*take)(const typename Args::Reply &),
                                int timeoutMs)
{
    const auto outcome = m_cn->request(args, timeoutMs);
    if (!outcome.ok()) {
        failed(ServerDataSource::errorText(outcome.error));
        return DataResult<Value>::failure(m_lastError);
    }
    return DataResult<Value>::success(take(*outcome));
}

namespace {

qint64 integerOf(const protocol::IntegerReply &reply)
{
    return reply.value;
}
QString textOf(const protocol::TextReply &reply)
{
    return reply.value;
}
bool done(const protocol::EmptyReply &)
{
    return true;
}

} // namespace

DataResult<qint64> TData::connectAct(const QString &accountNo, int databaseType)
{
    protocol::ConnectActArgs args;
    args.dataBaseType = databaseType;
    args.dataBaseName = accountNo;
    return remote(args, &integerOf);
}

DataResult<QString> TData::serverDate()
{
    return remote(protocol::GetServerDateArgs{}, &textOf);
}

DataResult<QString> TData::serverDateTime()
{
    return remote(protocol::GetServerDateTimeArgs{}, &textOf);
}

DataResult<QString> TData::tableNames()
{
    return remote(protocol::GetTableNamesArgs{}, &textOf);
}

DataResult<qint64> TData::compactDatabase()
{
    return remote(protocol::CompactDatabaseArgs{}, &integerOf, ServerConnection::kLongCallTimeout);
}

DataResult<qint64> TData::backupData(const QString &accountName)
{
    return remote(protocol::BackupDataArgs{accountName}, &integerOf, ServerConnection::kLongCallTimeout);
}

DataResult<qint64> TData::getAccounts()
{
    return remote(protocol::GetAccountsArgs{}, &integerOf);
}

DataResult<qint64> TData::nextBillNo(const QString &key)
{
    return remote(protocol::NextBillNoArgs{key}, &integerOf);
}

DataResult<bool> TData::createAccountSet(const QString &accountNo, const QString &accountName,
                                         const QString &companyName)
{
    return remote(protocol::CreateAccountSetArgs{accountNo, accountName, companyName}, &done);
}

DataResult<bool> TData::deleteAccountSet(const QString &accountNo)
{
    return remote(protocol::DeleteAccountSetArgs{accountNo}, &done);
}

} // namespace qv::client
