// Table definitions for each engine, written from the schema. The engine
// differences live in one table of type names and clauses per engine.
#pragma once

#include "schema/Schema.h"

namespace qv::schema {

enum class DdlEngine { Sqlite, Postgres };

// The statements that create the table, its primary key and its indexes.
QStringList createTableStatements(const Table &table, DdlEngine engine);

// Statements run once per database before the tables (extensions).
QStringList preambleStatements(DdlEngine engine);

// The whole script for a database kind, one statement per entry.
QStringList createDatabaseStatements(const Schema &schema, Database database, DdlEngine engine);

// The declared type that createTableStatements writes for a column.
QString declaredType(const Column &column, DdlEngine engine);

// How the engine spells an identifier in the script.
QString engineName(const QString &name, DdlEngine engine);

} // namespace qv::schema
