#include "server/Operations.h"

#include <array>

namespace qv::server {

namespace {

using Handler = CallResult (*)(Session &, RemoteObject, const protocol::Arguments &);

template <typename Args, CallResult (*Fn)(Session &, RemoteObject, const Args &)>
CallResult call(Session &session, RemoteObject object, const protocol::Arguments &arguments)
{
    return Fn(session, object, std::get<Args>(arguments));
}

struct Entry {
    protocol::Operation operation;
    Handler handler;
};

// One row per operation; the order does not matter.
constexpr Entry kTable[] = {
    {protocol::Operation::SetFilter, call<protocol::SetFilterArgs, setFilter>},
    {protocol::Operation::GetAccounts, call<protocol::GetAccountsArgs, getAccounts>},
    {protocol::Operation::ConnectAct, call<protocol::ConnectActArgs, connectAct>},
    {protocol::Operation::GetServerDate, call<protocol::GetServerDateArgs, getServerDate>},
    {protocol::Operation::GetServerDateTime, call<protocol::GetServerDateTimeArgs, getServerDateTime>},
    {protocol::Operation::GetTableNames, call<protocol::GetTableNamesArgs, getTableNames>},
    {protocol::Operation::CompactDatabase, call<protocol::CompactDatabaseArgs, compactDatabase>},
    {protocol::Operation::BackupData, call<protocol::BackupDataArgs, backupData>},
    {protocol::Operation::NextBillNo, call<protocol::NextBillNoArgs, nextBillNo>},
    {protocol::Operation::CreateAccountSet, call<protocol::CreateAccountSetArgs, createAccountSet>},
    {protocol::Operation::DeleteAccountSet, call<protocol::DeleteAccountSetArgs, deleteAccountSet>},
    {protocol::Operation::GetProviderNames, call<protocol::GetProviderNamesArgs, getProviderNames>},
    {protocol::Operation::Open, call<protocol::OpenArgs, openDataset>},
    {protocol::Operation::Fetch, call<protocol::FetchArgs, fetchRows>},
    {protocol::Operation::CloseCursor, call<protocol::CloseCursorArgs, closeCursor>},
    {protocol::Operation::FetchBlobs, call<protocol::FetchBlobsArgs, fetchBlobs>},
    {protocol::Operation::ApplyUpdates, call<protocol::ApplyUpdatesArgs, applyUpdates>},
    {protocol::Operation::Execute, call<protocol::ExecuteArgs, execute>},
    {protocol::Operation::GetParams, call<protocol::GetParamsArgs, getParams>},
    {protocol::Operation::Batch, call<protocol::BatchArgs, runBatch>},
};

} // namespace

CallResult dispatch(Session &session, RemoteObject object, const protocol::Arguments &arguments)
{
    const protocol::Operation operation = protocol::operationOf(arguments);
    for (const Entry &entry : kTable) {
        if (entry.operation == operation)
            return entry.handler(session, object, arguments);
    }
    return failure(QStringLiteral("operation %1 is not served").arg(protocol::operationName(operation)),
                   QStringLiteral("arguments"));
}

const Provider *findProvider(Session &session, RemoteObject object, const QString &name, CallResult *failed)
{
    const Provider *provider = session.context().providers.find(object, name);
    if (!provider) {
        *failed = failure(QStringLiteral("数据集 %1 不存在于 %2").arg(name, protocol::remoteObjectName(object)),
                          QStringLiteral("arguments"));
    }
    return provider;
}

} // namespace qv::server
