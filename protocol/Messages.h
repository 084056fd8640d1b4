// The messages of a connection. Every frame holds one message: a CBOR map whose
// "kind" says which.
//
//   client -> server   hello, then calls
//   server -> client   hello-reply, then one result per call (same request id)
//   either way         error: a protocol error; the sender closes the connection
#pragma once

#include "protocol/Batch.h"
#include "protocol/DatasetOperations.h"
#include "protocol/ErrorInfo.h"
#include "protocol/Frame.h"
#include "protocol/Operation.h"
#include "protocol/RemoteMethods.h"

#include <QCborMap>
#include <QStringList>

#include <optional>
#include <variant>

namespace qv::protocol {

inline constexpr int kProtocolVersion = 1;

// The arguments of a call; the alternative decides the operation.
using Arguments = std::variant<SetFilterArgs, GetAccountsArgs, ConnectActArgs, GetServerDateArgs,
                               GetServerDateTimeArgs, GetTableNamesArgs, CompactDatabaseArgs,
                               BackupDataArgs, NextBillNoArgs, CreateAccountSetArgs,
                               DeleteAccountSetArgs, GetProviderNamesArgs, OpenArgs, FetchArgs,
                               CloseCursorArgs, FetchBlobsArgs, ApplyUpdatesArgs, ExecuteArgs,
                               GetParamsArgs, BatchArgs>;

Operation operationOf(const Arguments &arguments);
QCborValue toCbor(const Arguments &arguments);
bool decodeArguments(Operation operation, const QCborValue &value, Arguments &out,
                     DecodeErrors &errors);

// First message of a connection. `objects` names the remote objects wanted
// ("ZurI.datas", "ZurI.DatasBb"); `client` says who connects, for the log.
struct Hello {
    int version = kProtocolVersion;
    QStringList objects;
    QString client;
    bool operator==(const Hello &) const = default;
};

// The server's answer: the objects it created for this connection (unknown names
// are left out) and its name. A version the server does not speak is answered
// with an error message instead.
struct HelloReply {
    int version = kProtocolVersion;
    QStringList objects;
    QString server;
    bool operator==(const HelloReply &) const = default;
};

struct Call {
    quint64 id = 0; // chosen by the client, answered in the result; never 0
    RemoteObject object = RemoteObject::Business;
    Arguments arguments;

    Operation operation() const { return operationOf(arguments); }
    bool operator==(const Call &) const = default;
};

// The answer to one call. A successful call carries the reply map of its
// operation (decode it with decodeReply); a failed one the error.
struct Result {
    quint64 id = 0;
    bool ok = true;
    QCborMap value;
    ErrorInfo error;

    static Result success(quint64 id, const QCborValue &reply);
    static Result failure(quint64 id, ErrorInfo error);
    bool operator==(const Result &) const = default;
};

// Sent before the sender closes the connection over a broken stream or message.
struct ProtocolError {
    QString text;
    bool operator==(const ProtocolError &) const = default;
};

using Message = std::variant<Hello, HelloReply, Call, Result, ProtocolError>;

QCborValue toCbor(const Message &message);
// Strict: an unknown kind, an operation the object does not offer, a missing or
// mistyped field anywhere are errors naming the field.
std::optional<Message> decodeMessage(const QCborValue &value, QString *error);

// The frame for a message; empty (reason in *error) when over limits.maxFrameSize.
QByteArray encodeMessageFrame(const Message &message, const FrameLimits &limits = {},
                              QString *error = nullptr);

// The typed reply of a successful result.
template <typename Reply>
std::optional<Reply> decodeReply(const Result &result, QString *error = nullptr)
{
    if (!result.ok) {
        if (error)
            *error = result.error.text;
        return std::nullopt;
    }
    return decode<Reply>(QCborValue(result.value), error);
}

} // namespace qv::protocol
