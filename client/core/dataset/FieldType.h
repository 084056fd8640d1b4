// Field types and the value rules every part of the dataset engine shares.
//
// A value is a QVariant: invalid means null; otherwise qint64 (integer), double,
// QString (text, memo), QByteArray (blob), bool (yes/no) or QDateTime (date and
// date-time, local wall-clock time). toFieldValue() brings any incoming value to
// the form its field stores, so comparisons never depend on where a value came
// from (the server, a text box, a spin box).
#pragma once

#include <QCollator>
#include <QFlags>
#include <QString>
#include <QVariant>

#include <optional>

namespace qv::client {

enum class FieldType : quint8 {
    Integer,
    Double,
    Text,
    Memo,
    Blob,
    YesNo,
    DateTime,
    Date,
};

// What the server says about a column of its query.
enum class FieldFlag : quint16 {
    None = 0,
    RowKey = 0x01,       // part of the row key: finds the row when changes are written back
    Locating = 0x02,     // compared with its old value to find the row (optimistic check)
    UpdateOnly = 0x04,   // written back, never used to find the row
    ReadOnly = 0x08,     // never written back
    Computed = 0x10,     // computed or joined by the query; never written back
    Required = 0x20,     // the table refuses null
    BlobOnDemand = 0x40, // left out of the row packets; fetched per row when read
};
Q_DECLARE_FLAGS(FieldFlags, FieldFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(FieldFlags)

constexpr bool isNumeric(FieldType type)
{
    return type == FieldType::Integer || type == FieldType::Double;
}
constexpr bool isTextual(FieldType type)
{
    return type == FieldType::Text || type == FieldType::Memo;
}
constexpr bool isTemporal(FieldType type)
{
    return type == FieldType::DateTime || type == FieldType::Date;
}

QString fieldTypeName(FieldType type);
// False for numbers outside the enumeration (a damaged file).
bool isValidFieldType(int type);

// The value in the form the field stores; an invalid input stays null.
// nullopt when the value cannot be converted (text "abc" for a number).
std::optional<QVariant> toFieldValue(FieldType type, const QVariant &value);

// Equality of stored values: null equals only null; numbers compare by value
// whatever their C++ type; text compares exactly unless told otherwise.
bool sameValue(const QVariant &a, const QVariant &b,
               Qt::CaseSensitivity textCase = Qt::CaseSensitive);

// Ordering for sorting and searching: null sorts first; numbers by value; text
// through the collator when one is given (language order), otherwise by
// QString::compare with the given case rule; dates by time; bytes by content.
int compareValues(const QVariant &a, const QVariant &b,
                  Qt::CaseSensitivity textCase = Qt::CaseInsensitive,
                  const QCollator *collator = nullptr);

// The value as a double for sums and number formats; 0 for null or non-numbers.
double numericValue(const QVariant &value);

} // namespace qv::client
