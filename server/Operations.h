// The operations of both remote objects, each a function of the session and its
// arguments, dispatched from one table (OperationTable.cpp). A handler answers
// a reply or a failure; a failure is a failed call, never a protocol error.
#pragma once

#include "protocol/Messages.h"
#include "server/Session.h"

namespace qv::server {

struct CallResult {
    QCborValue reply;          // the operation's reply map when it succeeded
    protocol::ErrorInfo error; // set when it failed

    bool failed() const { return !error.text.isEmpty(); }
};

template <typename Reply>
CallResult success(const Reply &reply)
{
    return {toCbor(reply), {}};
}

inline CallResult failure(protocol::ErrorInfo error)
{
    if (error.text.isEmpty())
        error.text = QStringLiteral("未知错误");
    return {QCborValue(), std::move(error)};
}

inline CallResult failure(const QString &text, const QString &phase)
{
    return failure(protocol::ErrorInfo(text, phase));
}

// Runs the call's operation.
CallResult dispatch(Session &session, protocol::RemoteObject object, const protocol::Arguments &arguments);

using protocol::RemoteObject;

// Remote methods (RemoteMethods.cpp, Maintenance.cpp, AccountSets.cpp, Numbering.cpp).
CallResult setFilter(Session &session, RemoteObject object, const protocol::SetFilterArgs &args);
CallResult getAccounts(Session &session, RemoteObject object, const protocol::GetAccountsArgs &args);
CallResult connectAct(Session &session, RemoteObject object, const protocol::ConnectActArgs &args);
CallResult getServerDate(Session &session, RemoteObject object, const protocol::GetServerDateArgs &args);
CallResult getServerDateTime(Session &session, RemoteObject object, const protocol::GetServerDateTimeArgs &args);
CallResult getTableNames(Session &session, RemoteObject object, const protocol::GetTableNamesArgs &args);
CallResult compactDatabase(Session &session, RemoteObject object, const protocol::CompactDatabaseArgs &args);
CallResult backupData(Session &session, RemoteObject object, const protocol::BackupDataArgs &args);
CallResult nextBillNo(Session &session, RemoteObject object, const protocol::NextBillNoArgs &args);
CallResult createAccountSet(Session &session, RemoteObject object, const protocol::CreateAccountSetArgs &args);
CallResult deleteAccountSet(Session &session, RemoteObject object, const protocol::DeleteAccountSetArgs &args);

// Dataset operations (DatasetReads.cpp, DatasetWrites.cpp).
CallResult getProviderNames(Session &session, RemoteObject object, const protocol::GetProviderNamesArgs &args);
CallResult openDataset(Session &session, RemoteObject object, const protocol::OpenArgs &args);
CallResult fetchRows(Session &session, RemoteObject object, const protocol::FetchArgs &args);
CallResult closeCursor(Session &session, RemoteObject object, const protocol::CloseCursorArgs &args);
CallResult fetchBlobs(Session &session, RemoteObject object, const protocol::FetchBlobsArgs &args);
CallResult getParams(Session &session, RemoteObject object, const protocol::GetParamsArgs &args);
CallResult execute(Session &session, RemoteObject object, const protocol::ExecuteArgs &args);
CallResult applyUpdates(Session &session, RemoteObject object, const protocol::ApplyUpdatesArgs &args);
CallResult runBatch(Session &session, RemoteObject object, const protocol::BatchArgs &args);

// Shared by the dataset operations: the dataset a call names, or a failure.
const Provider *findProvider(Session &session, RemoteObject object, const QString &name, CallResult *failed);

} // namespace qv::server
