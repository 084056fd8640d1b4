// Values as they travel between the engines and the rest of the server. A value
// is a QVariant holding one of a few kinds; an invalid QVariant is SQL NULL.
#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace qv::db {

using Value = QVariant;
using Row = QList<Value>;

// The neutral kinds of values and columns. For a column, Null means the engine
// gave no usable type (an expression in SQLite); its values then carry their
// own kinds.
enum class ValueKind {
    Null,
    Integer,  // qint64
    Double,   // double
    Text,     // QString
    Blob,     // QByteArray
    Bool,     // bool
    DateTime, // QDateTime, local wall-clock time; a date is a midnight value
};

inline bool isNull(const Value &value)
{
    return !value.isValid() || value.isNull();
}

// The kind of a value, also for the neighbours the server may hand in (int,
// float, QDate); nullopt for a type no engine can store.
std::optional<ValueKind> kindOf(const Value &value);

QString kindName(ValueKind kind);

} // namespace qv::db
