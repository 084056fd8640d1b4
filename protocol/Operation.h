// The remote objects a connection asks for and the operations a call can name.
#pragma once

#include "protocol/Decode.h"

#include <QString>

#include <optional>

namespace qv::protocol {

// The business module ("ZurI.datas", interface Idatas) and the report module
// ("ZurI.DatasBb", interface IDatasBb). Each connection gets one of each it asks for.
enum class RemoteObject { Business, Report };

QString remoteObjectName(RemoteObject object);
std::optional<RemoteObject> remoteObjectFromName(const QString &name);

enum class Operation {
    // Remote methods of the business module (SetFilter on both modules).
    SetFilter,
    GetAccounts,
    ConnectAct,
    GetServerDate,
    GetServerDateTime,
    GetTableNames,
    CompactDatabase,
    BackupData,
    NextBillNo,
    CreateAccountSet,
    DeleteAccountSet,
    // Dataset operations, offered by both modules on their own datasets.
    GetProviderNames,
    Open,
    Fetch,
    CloseCursor,
    FetchBlobs,
    ApplyUpdates,
    Execute,
    GetParams,
    Batch,
};

// The operation's name on the wire is its C++ name: "SetFilter", "Open", ...
QString operationName(Operation operation);
std::optional<Operation> operationFromName(const QString &name);

// Whether the object offers the operation: the report module has SetFilter and
// the dataset operations only.
bool offers(RemoteObject object, Operation operation);

// Replies shared by several operations.
struct EmptyReply {
    bool operator==(const EmptyReply &) const = default;
};
struct IntegerReply {
    qint64 value = 0;
    bool operator==(const IntegerReply &) const = default;
};
struct TextReply {
    QString value;
    bool operator==(const TextReply &) const = default;
};

QCborValue toCbor(const EmptyReply &reply);
bool fromCbor(const QCborValue &value, EmptyReply &out, DecodeErrors &errors);
QCborValue toCbor(const IntegerReply &reply);
bool fromCbor(const QCborValue &value, IntegerReply &out, DecodeErrors &errors);
QCborValue toCbor(const TextReply &reply);
bool fromCbor(const QCborValue &value, TextReply &out, DecodeErrors &errors);

} // namespace qv::protocol
