// Field metadata sent once when a dataset opens, and dataset parameters.
#pragma once

#include "protocol/Decode.h"

#include <QFlags>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace qv::protocol {

// The declared type of a column. Unknown is a computed column whose type the
// server could not settle; its values carry their own kinds.
enum class FieldType {
    Unknown,
    Text,       // size: the declared length
    Integer,    // 32-bit
    SmallInt,   // 16-bit
    AutoNumber, // 32-bit, assigned by the database on insert
    Double,
    Decimal,    // size: precision, scale: decimals
    Currency,   // fixed point, 4 decimals
    Date,       // a date (midnight value)
    DateTime,
    YesNo,
    Memo,       // long text
    Blob,
};

// Names on the wire: "unknown", "text", "integer", "smallint", "autonumber",
// "double", "decimal", "currency", "date", "datetime", "yesno", "memo", "blob".
QString fieldTypeName(FieldType type);
std::optional<FieldType> fieldTypeFromName(const QString &name);
// Memo and blob columns: fetched on demand, never used to find a row.
bool isLargeType(FieldType type);

// How the server treats the column when changes are saved, and what the client
// may do with it.
enum class FieldFlag : unsigned {
    RowKey = 0x01,       // written; always used to find the row again
    Locating = 0x02,     // written; used to find the row under the rule "all"
    UpdateOnly = 0x04,   // written; never used to find the row
    ReadOnly = 0x08,     // a real column of the base table, never written
    Computed = 0x10,     // joined from another table or computed; never written back
    Required = 0x20,     // may not be null
    BlobOnDemand = 0x40, // rows carry the not-fetched marker until FetchBlobs
};
Q_DECLARE_FLAGS(FieldFlags, FieldFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(FieldFlags)

// Names on the wire, in bit order: "rowKey", "locating", "updateOnly",
// "readOnly", "computed", "required", "blobOnDemand".
QString fieldFlagName(FieldFlag flag);

struct FieldInfo {
    QString name; // the canonical spelling
    FieldType type = FieldType::Unknown;
    int size = 0;
    int scale = 0;
    FieldFlags flags;

    bool has(FieldFlag flag) const { return flags.testFlag(flag); }
    // Written on insert and update (row key, locating or update-only).
    bool isWritable() const;
    bool operator==(const FieldInfo &) const = default;
};

QCborValue toCbor(const FieldInfo &field);
bool fromCbor(const QCborValue &value, FieldInfo &out, DecodeErrors &errors);

// A parameter of a dataset statement.
struct Param {
    QString name;
    FieldType type = FieldType::Unknown;
    QVariant value;

    bool operator==(const Param &) const = default;
};

QCborValue toCbor(const Param &param);
bool fromCbor(const QCborValue &value, Param &out, DecodeErrors &errors);

// Lists of the above, as CBOR arrays.
QCborValue toCbor(const QList<FieldInfo> &fields);
bool fromCbor(const QCborValue &value, QList<FieldInfo> &out, DecodeErrors &errors);
QCborValue toCbor(const QList<Param> &params);
bool fromCbor(const QCborValue &value, QList<Param> &out, DecodeErrors &errors);

} // namespace qv::protocol
