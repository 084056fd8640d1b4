// What the dialects of both engines write alike, and the helpers that fill a
// dialect's tables. Each engine's dialect starts from commonDialect() and sets
// or replaces only what it writes its own way, so an operator or function both
// engines spell the same is written down once.
#pragma once

#include "sql/Dialect.h"

#include <initializer_list>
#include <utility>

namespace qv::sql {

// A dialect holding the entries both engines write the same way: the unary
// operators, the binary operators but / and ^, the conversions and functions
// that are standard SQL or calls into the qv_ function library (which both
// engines provide under the same names and arguments). Its scalar fields are
// left at their defaults for the engine to set.
Dialect commonDialect();

// The words an engine reserves, as the lower-case set Dialect::keywords holds.
QSet<QString> keywordSet(std::initializer_list<const char *> words);

// Adds or replaces function templates; a key is "name/arity" or "name".
void addFunctions(Dialect &dialect, std::initializer_list<std::pair<const char *, const char *>> forms);

} // namespace qv::sql
