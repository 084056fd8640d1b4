// The value types the dialect engine reasons with. Every expression of a bound
// statement carries one; result columns report one to the client.
#pragma once

#include <QString>

namespace qv::sql {

enum class SqlType {
    Unknown, // not known at translation time (a table of another database file)
    Null,    // the Null literal: takes the type of whatever it meets
    Integer,
    Double,
    Text,
    YesNo,   // also the type of every condition (comparison, like, in, ...)
    Date,
    Blob,
};

QString sqlTypeName(SqlType type);

inline bool isNumeric(SqlType t) { return t == SqlType::Integer || t == SqlType::Double; }

} // namespace qv::sql
