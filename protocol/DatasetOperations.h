// Arguments and replies of the dataset operations. A dataset is named by its
// provider name ("pHp", "pTmp") within the object the call goes to.
#pragma once

#include "protocol/ChangePacket.h"
#include "protocol/Field.h"
#include "protocol/Operation.h"
#include "protocol/WireValue.h"

#include <QStringList>

#include <optional>

namespace qv::protocol {

// Reply of GetProviderNames.
struct NamesReply {
    QStringList names;
    bool operator==(const NamesReply &) const = default;
};

struct GetProviderNamesArgs {
    static constexpr Operation operation = Operation::GetProviderNames;
    using Reply = NamesReply;
    bool operator==(const GetProviderNamesArgs &) const = default;
};

// Fetch everything in one packet (packetSize, FetchArgs::count).
inline constexpr int kAllRows = -1;

// The field list (once per open) and the first packet. When endOfData is set the
// server has already closed the cursor and `cursor` is 0.
struct OpenReply {
    qint64 cursor = 0;
    QList<FieldInfo> fields;
    QList<Row> rows; // each row as wide as `fields`
    bool endOfData = true;
    bool operator==(const OpenReply &) const = default;
};

// Opens a cursor on the dataset's statement, or on `statement` when given (the
// text then becomes the dataset's current statement for this connection).
struct OpenArgs {
    static constexpr Operation operation = Operation::Open;
    using Reply = OpenReply;
    QString dataset;
    std::optional<QString> statement;
    // Rows in the first packet: kAllRows, 0 (field list only) or a count.
    int packetSize = 2000;
    QList<Param> params;
    // Send blob and memo columns inline instead of the not-fetched marker.
    bool includeBlobs = false;
    bool operator==(const OpenArgs &) const = default;
};

struct FetchReply {
    QList<Row> rows;
    bool endOfData = true; // the cursor is closed
    bool operator==(const FetchReply &) const = default;
};

struct FetchArgs {
    static constexpr Operation operation = Operation::Fetch;
    using Reply = FetchReply;
    qint64 cursor = 0;
    int count = 2000; // kAllRows or a positive count
    bool operator==(const FetchArgs &) const = default;
};

struct CloseCursorArgs {
    static constexpr Operation operation = Operation::CloseCursor;
    using Reply = EmptyReply;
    qint64 cursor = 0;
    bool operator==(const CloseCursorArgs &) const = default;
};

// The blob and memo columns of one row of the dataset's current statement,
// found by the row's key values. The reply names the columns it carries.
struct FetchBlobsReply {
    QStringList fields;
    Row values;
    bool operator==(const FetchBlobsReply &) const = default;
};

struct FetchBlobsArgs {
    static constexpr Operation operation = Operation::FetchBlobs;
    using Reply = FetchBlobsReply;
    QString dataset;
    QStringList keyFields;
    Row keyValues; // as many as keyFields
    bool operator==(const FetchBlobsArgs &) const = default;
};

// The outcome of a change packet. The transaction was committed when errorCount
// is within the packet's maxErrors (or maxErrors is -1) and rolled back
// otherwise; `saved` is empty after a roll-back.
struct ApplyUpdatesReply {
    int errorCount = 0;
    bool committed = true;
    QList<FailedRow> failed;
    QStringList savedFields;
    QList<SavedRow> saved; // each as wide as savedFields
    bool operator==(const ApplyUpdatesReply &) const = default;
};

struct ApplyUpdatesArgs {
    static constexpr Operation operation = Operation::ApplyUpdates;
    using Reply = ApplyUpdatesReply;
    QString dataset;
    ChangePacket packet;
    bool operator==(const ApplyUpdatesArgs &) const = default;
};

struct ExecuteReply {
    qint64 rowsAffected = 0;
    bool operator==(const ExecuteReply &) const = default;
};

// Runs a statement that returns no rows, on the dataset's connection, or on the
// module's business connection when no dataset is named.
struct ExecuteArgs {
    static constexpr Operation operation = Operation::Execute;
    using Reply = ExecuteReply;
    std::optional<QString> dataset;
    QString statement;
    QList<Param> params;
    bool operator==(const ExecuteArgs &) const = default;
};

struct GetParamsReply {
    QList<Param> params;
    bool operator==(const GetParamsReply &) const = default;
};

struct GetParamsArgs {
    static constexpr Operation operation = Operation::GetParams;
    using Reply = GetParamsReply;
    QString dataset;
    bool operator==(const GetParamsArgs &) const = default;
};

QCborValue toCbor(const NamesReply &reply);
bool fromCbor(const QCborValue &value, NamesReply &out, DecodeErrors &errors);
QCborValue toCbor(const GetProviderNamesArgs &args);
bool fromCbor(const QCborValue &value, GetProviderNamesArgs &out, DecodeErrors &errors);
QCborValue toCbor(const OpenArgs &args);
bool fromCbor(const QCborValue &value, OpenArgs &out, DecodeErrors &errors);
QCborValue toCbor(const OpenReply &reply);
bool fromCbor(const QCborValue &value, OpenReply &out, DecodeErrors &errors);
QCborValue toCbor(const FetchArgs &args);
bool fromCbor(const QCborValue &value, FetchArgs &out, DecodeErrors &errors);
// Rows are checked as rows, not against a width: the reply does not repeat the
// field list. Use checkRowWidth() with the cursor's fields.
QCborValue toCbor(const FetchReply &reply);
bool fromCbor(const QCborValue &value, FetchReply &out, DecodeErrors &errors);
QCborValue toCbor(const CloseCursorArgs &args);
bool fromCbor(const QCborValue &value, CloseCursorArgs &out, DecodeErrors &errors);
QCborValue toCbor(const FetchBlobsArgs &args);
bool fromCbor(const QCborValue &value, FetchBlobsArgs &out, DecodeErrors &errors);
QCborValue toCbor(const FetchBlobsReply &reply);
bool fromCbor(const QCborValue &value, FetchBlobsReply &out, DecodeErrors &errors);
QCborValue toCbor(const ApplyUpdatesArgs &args);
bool fromCbor(const QCborValue &value, ApplyUpdatesArgs &out, DecodeErrors &errors);
QCborValue toCbor(const ApplyUpdatesReply &reply);
bool fromCbor(const QCborValue &value, ApplyUpdatesReply &out, DecodeErrors &errors);
QCborValue toCbor(const ExecuteArgs &args);
bool fromCbor(const QCborValue &value, ExecuteArgs &out, DecodeErrors &errors);
QCborValue toCbor(const ExecuteReply &reply);
bool fromCbor(const QCborValue &value, ExecuteReply &out, DecodeErrors &errors);
QCborValue toCbor(const GetParamsArgs &args);
bool fromCbor(const QCborValue &value, GetParamsArgs &out, DecodeErrors &errors);
QCborValue toCbor(const GetParamsReply &reply);
bool fromCbor(const QCborValue &value, GetParamsReply &out, DecodeErrors &errors);

// An empty text when every row has `width` values; otherwise which row is not.
QString checkRowWidth(const QList<Row> &rows, qsizetype width);

} // namespace qv::protocol
