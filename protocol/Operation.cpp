#include "protocol/Operation.h"

#include <array>
#include <limits>

namespace qv::protocol {

namespace {

struct OperationEntry {
    Operation operation;
    const char *name;
    bool report; // offered by the report module as well
};

constexpr std::array kOperations{
    OperationEntry{Operation::SetFilter, "SetFilter", true},
    OperationEntry{Operation::GetAccounts, "GetAccounts", false},
    OperationEntry{Operation::ConnectAct, "ConnectAct", false},
    OperationEntry{Operation::GetServerDate, "GetServerDate", false},
    OperationEntry{Operation::GetServerDateTime, "GetServerDateTime", false},
    OperationEntry{Operation::GetTableNames, "GetTableNames", false},
    OperationEntry{Operation::CompactDatabase, "CompactDatabase", false},
    OperationEntry{Operation::BackupData, "BackupData", false},
    OperationEntry{Operation::NextBillNo, "NextBillNo", false},
    OperationEntry{Operation::CreateAccountSet, "CreateAccountSet", false},
    OperationEntry{Operation::DeleteAccountSet, "DeleteAccountSet", false},
    OperationEntry{Operation::GetProviderNames, "GetProviderNames", true},
    OperationEntry{Operation::Open, "Open", true},
    OperationEntry{Operation::Fetch, "Fetch", true},
    OperationEntry{Operation::CloseCursor, "CloseCursor", true},
    OperationEntry{Operation::FetchBlobs, "FetchBlobs", true},
    OperationEntry{Operation::ApplyUpdates, "ApplyUpdates", true},
    OperationEntry{Operation::Execute, "Execute", true},
    OperationEntry{Operation::GetParams, "GetParams", true},
    OperationEntry{Operation::Batch, "Batch", true},
};

const OperationEntry *entryOf(Operation operation)
{
    for (const OperationEntry &entry : kOperations) {
        if (entry.operation == operation)
            return &entry;
    }
    return nullptr;
}

} // namespace

QString remoteObjectName(RemoteObject object)
{
    return object == RemoteObject::Business ? QStringLiteral("ZurI.datas")
                                            : QStringLiteral("ZurI.DatasBb");
}

std::optional<RemoteObject> remoteObjectFromName(const QString &name)
{
    for (RemoteObject object : {RemoteObject::Business, RemoteObject::Report}) {
        if (remoteObjectName(object) == name)
            return object;
    }
    return std::nullopt;
}

QString operationName(Operation operation)
{
    const OperationEntry *entry = entryOf(operation);
    return entry ? QString::fromLatin1(entry->name) : QString();
}

std::optional<Operation> operationFromName(const QString &name)
{
    for (const OperationEntry &entry : kOperations) {
        if (name == QLatin1String(entry.name))
            return entry.operation;
    }
    return std::nullopt;
}

bool offers(RemoteObject object, Operation operation)
{
    const OperationEntry *entry = entryOf(operation);
    return entry && (object == RemoteObject::Business || entry->report);
}

QCborValue toCbor(const EmptyReply &)
{
    return QCborMap();
}

bool fromCbor(const QCborValue &value, EmptyReply &, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    return reader.finish();
}

QCborValue toCbor(const IntegerReply &reply)
{
    QCborMap map;
    map.insert(QStringLiteral("value"), reply.value);
    return map;
}

bool fromCbor(const QCborValue &value, IntegerReply &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.value = reader.integer(QStringLiteral("value"), std::numeric_limits<qint64>::min(),
                               std::numeric_limits<qint64>::max());
    return reader.finish();
}

QCborValue toCbor(const TextReply &reply)
{
    QCborMap map;
    map.insert(QStringLiteral("value"), reply.value);
    return map;
}

bool fromCbor(const QCborValue &value, TextReply &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.value = reader.text(QStringLiteral("value"));
    return reader.finish();
}

} // namespace qv::protocol
