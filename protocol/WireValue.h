// Values as they travel: a QVariant holding one of a few kinds.
//
//   C++ (QVariant)            CBOR
//   invalid (SQL NULL)        null (0xf6)
//   qint64                    integer (major types 0/1), 64 signed bits
//   double                    float (64 bits on output; 16/32 accepted)
//   QString                   text string
//   QByteArray                byte string
//   bool                      false / true
//   QDateTime (local time)    tag kDateTimeTag around the canonical date text
//   NotFetched                undefined (0xf7): a blob or memo column not sent
//
// Dates are local wall-clock values without a time zone, so CBOR's tag 0 (which
// requires one) does not fit: the text is "YYYY-MM-DD" for a midnight value and
// "YYYY-MM-DD HH:MM:SS" otherwise, exactly as the databases store it.
#pragma once

#include "protocol/Decode.h"

#include <QCborValue>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <optional>

namespace qv::protocol {

// Chosen from CBOR's first-come-first-served tag range; used inside Qv frames only.
inline constexpr quint64 kDateTimeTag = 45398;

using Row = QList<QVariant>;

// Marks a blob or memo column whose value the server has not sent yet (blobs are
// fetched on demand). Distinct from null: a null blob is a known empty value.
struct NotFetched {
    friend bool operator==(NotFetched, NotFetched) { return true; }
};

QVariant notFetched();
bool isNotFetched(const QVariant &value);
bool isNullValue(const QVariant &value);

// True when encodeValue() carries the value without loss: null, the integer
// types, float and double, QString, QByteArray, bool, a valid QDateTime or QDate
// of the years 1..9999, and NotFetched.
bool isWireValue(const QVariant &value);

// Narrower integer types become integers, float becomes double, QDate a midnight
// date-time; an unsigned value above the signed 64-bit range goes out as a
// double. A value that is not isWireValue() goes out as null.
QCborValue encodeValue(const QVariant &value);

// Whether the undefined marker is acceptable where a value is read: only in
// rows the server sends and in the old values of a change packet.
enum class NotFetchedMarker { Refused, Allowed };

// Reads a value back. Empty texts and byte strings decode to non-null empty
// QString / QByteArray, so they never read as null.
bool decodeValue(const QCborValue &value, QVariant &out, DecodeErrors &errors,
                 NotFetchedMarker marker = NotFetchedMarker::Refused);

// The canonical date text, and its strict reverse (exactly "YYYY-MM-DD" or
// "YYYY-MM-DD HH:MM:SS", a real calendar date and time).
QString dateTimeText(const QDateTime &value);
std::optional<QDateTime> parseWireDateTime(const QString &text);

// A row as an array of values in field order. width < 0 accepts any length.
QCborValue encodeRow(const Row &row);
bool decodeRow(const QCborValue &value, Row &out, DecodeErrors &errors, qsizetype width,
               NotFetchedMarker marker = NotFetchedMarker::Refused);

QCborValue encodeRows(const QList<Row> &rows);
bool decodeRows(const QCborValue &value, QList<Row> &out, DecodeErrors &errors, qsizetype width,
                NotFetchedMarker marker = NotFetchedMarker::Refused);

// Type-exact comparison: unlike QVariant's ==, an integer never equals a double
// and an empty text never equals null.
bool sameValue(const QVariant &a, const QVariant &b);
bool sameRow(const Row &a, const Row &b);

} // namespace qv::protocol

Q_DECLARE_METATYPE(qv::protocol::NotFetched)
