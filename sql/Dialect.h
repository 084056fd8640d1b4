// What differs between the target engines, as data: one Dialect per engine with
// its identifier rules, literal forms, operator and conversion templates, the
// functions it writes for each function of the original dialect, and its column
// types. A template uses %1, %2, ... for the operands. A construct without an
// entry is not supported on that engine and fails to translate.
#pragma once

#include "sql/Ast.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <optional>

namespace qv::sql {

enum class Engine { Sqlite, Postgres };

struct Dialect;

// Writes a function call whose form depends on its arguments (not a template);
// returns nullopt with an error message when it cannot.
using FunctionWriter = std::optional<QString> (*)(const Expr &call, const QStringList &args, const Dialect &dialect,
                                                   QString *error);

struct FunctionForm {
    QString pattern;                  // template, or empty when `writer` is set
    FunctionWriter writer = nullptr;
};

struct Dialect {
    Engine engine = Engine::Sqlite;
    QString name;
    bool foldIdentifiers = false;      // identifiers are written in lower case
    QSet<QString> keywords;            // lower-case words that must be quoted as names
    QString trueLiteral;
    QString falseLiteral;
    QString dateLiteral;               // %1: canonical date text
    // Case-insensitive comparison of texts: SQLite puts a collation on the left
    // operand, PostgreSQL casts computed operands to its case-insensitive type.
    QString textCollate;               // appended to the left operand, e.g. " COLLATE NOCASE"
    QString textCast;                  // %1: operand that is not a stored column
    QString like;                      // %1 value, %2 pattern
    QString notLike;
    bool externalTables = false;       // tables of another database file can be read
    bool derivedNeedsAlias = true;
    QHash<int, QString> unary;         // UnaryOp -> template
    QHash<int, QString> binary;        // BinaryOp -> template
    QHash<int, QString> conversions;   // Conversion -> template
    QHash<QString, FunctionForm> functions; // "name/arity" or "name" -> form
    QHash<int, QString> columnTypes;   // SqlType -> column type in CREATE TABLE
    QString textColumnSuffix;          // for text columns in CREATE TABLE
    // After rows were written with explicit autonumber values: moves the
    // engine's numbering past them (%1 table, %2 column as written, %3 the
    // table's name as a text literal, %4 the column's). Empty when the engine
    // numbers from the largest value anyway.
    QString identitySync;

    const FunctionForm *function(const QString &name, int arity) const;
    QString identifier(const QString &name) const; // folded and quoted as needed
    QString textLiteral(const QString &text) const;
};

// The statement that moves a table's autonumber past its largest value; empty
// when the engine needs none or no column is named.
QString identitySync(const Dialect &dialect, const QString &table, const QString &column);

const Dialect &sqliteDialect();
const Dialect &postgresDialect();
const Dialect &dialectFor(Engine engine);
QString engineName(Engine engine);

} // namespace qv::sql
