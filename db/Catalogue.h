// Internal to the connections: what both engines do with the rows of their
// catalogue queries. Only the statements, and how a column's kind is read from
// a row, differ between the engines.
#pragma once

#include "db/Connection.h"

#include <optional>

namespace qv::db::catalogue {

// The first value of every row, as text: the names a catalogue query lists.
// Nullopt when the query failed.
std::optional<QStringList> names(const std::optional<ResultSet> &result);

// Runs, on `connection`, a catalogue statement that takes a table's name as
// its one parameter. When it fails, or finds no row (no such table), answers
// nullopt with the error in *error for the connection to keep.
std::optional<QList<Row>> tableRows(Connection &connection, const QString &sql, const QString &table,
                                    Error *error);

// A column from a catalogue row holding, from position `first` on, the
// column's name, its declared type, whether it is NOT NULL and its place in
// the primary key (0 when not in it). The kind is left for the engine to set.
TableColumn column(const Row &row, int first);

} // namespace qv::db::catalogue
