// A change packet: the edits a client dataset made since it was fetched, sent in
// one ApplyUpdates call and applied by the server in one transaction.
//
// Values are given in the order of `fields`. A modified row carries the old
// value of every field, so the server can find the row again from old values
// under the dataset's update rule, and the new values of the changed fields
// only, so the UPDATE sets nothing else.
#pragma once

#include "protocol/Decode.h"
#include "protocol/WireValue.h"

#include <QList>
#include <QMap>
#include <QStringList>

namespace qv::protocol {

enum class ChangeKind { Insert, Modify, Delete };

// "insert", "modify", "delete" on the wire.
QString changeKindName(ChangeKind kind);
std::optional<ChangeKind> changeKindFromName(const QString &name);

struct ModifiedRow {
    Row oldValues;                  // every field; blobs may be NotFetched
    QMap<int, QVariant> newValues;  // field index -> new value, changed fields only

    bool operator==(const ModifiedRow &) const = default;
};

struct ChangePacket {
    QStringList fields;             // unique, case-insensitively
    QList<Row> inserted;            // new values of every field
    QList<ModifiedRow> modified;
    QList<Row> deleted;             // old values of every field; blobs may be NotFetched
    // Failed rows allowed before the transaction is rolled back; -1: no limit.
    int maxErrors = 0;

    bool isEmpty() const { return inserted.isEmpty() && modified.isEmpty() && deleted.isEmpty(); }
    qsizetype rowCount() const { return inserted.size() + modified.size() + deleted.size(); }
    int fieldIndex(const QString &name) const; // case-insensitive; -1 when absent
    bool operator==(const ChangePacket &) const = default;
};

QCborValue toCbor(const ChangePacket &packet);
// Checks the shape as well: unique field names, every row as wide as the field
// list, changed-field indexes inside it and not repeated, the not-fetched marker
// only among old values, maxErrors >= -1.
bool fromCbor(const QCborValue &value, ChangePacket &out, DecodeErrors &errors);

// A row the server could not apply: its kind, its index in the packet's list of
// that kind (inserted, modified or deleted) and the database's error text. For
// a refused modification or deletion the server adds the row as the database
// holds it after the call (`current`, values following
// ApplyUpdatesReply::savedFields), so the client can take it over; hasCurrent
// is false when the row is gone or the table has no row key to find it by.
struct FailedRow {
    ChangeKind kind = ChangeKind::Insert;
    int index = 0;
    QString error;
    bool hasCurrent = false;
    Row current;

    bool operator==(const FailedRow &) const = default;
};

QCborValue toCbor(const FailedRow &row);
bool fromCbor(const QCborValue &value, FailedRow &out, DecodeErrors &errors);

// An inserted or modified row read back after it was saved, so that values the
// database assigned (autonumbers, defaults) or the server changed reach the
// client. Values follow ApplyUpdatesReply::savedFields.
struct SavedRow {
    ChangeKind kind = ChangeKind::Insert;
    int index = 0;
    Row values;

    bool operator==(const SavedRow &) const = default;
};

QCborValue toCbor(const SavedRow &row);
bool fromCbor(const QCborValue &value, SavedRow &out, DecodeErrors &errors);

} // namespace qv::protocol
