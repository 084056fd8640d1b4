// The dialect engine's entry point: a statement of the original dialect in, the
// same statement for SQLite or PostgreSQL out, with its result columns (names as
// the original engine gives them, and types), or an error naming the phase and
// the place. Translations are cached by statement text and engine.
//
// Not thread-safe: one Translator serves one thread (the server handles calls
// one at a time).
#pragma once

#include "sql/Binder.h"
#include "sql/Catalog.h"
#include "sql/Dialect.h"

#include <QHash>
#include <QList>
#include <QString>

#include <array>

namespace qv::sql {

struct TranslateResult {
    bool ok = false;
    QString sql;                       // the statement for the engine
    StatementKind kind = StatementKind::Select;
    QList<ResultColumn> columns;       // a query's result columns
    bool columnsKnown = true;          // false: take the names the engine reports
    QList<Attachment> attachments;     // databases to attach (SQLite) before running it
    CatalogTable createsTable;         // CREATE TABLE: the table it makes (empty name otherwise)
    // Run right after `sql` succeeds, when not empty: an INSERT that wrote an
    // autonumber column itself moves the engine's numbering past those values,
    // so the rows the database numbers later do not collide with them.
    QString afterSql;
    TranslateError error;

    bool returnsRows() const { return ok && kind == StatementKind::Select; }
};

class Translator {
public:
    explicit Translator(Catalog catalog = Catalog());

    // Translates, or answers from the cache.
    TranslateResult translate(QStringView sql, Engine engine);

    // Translates without looking at or filling the cache.
    TranslateResult translateUncached(QStringView sql, Engine engine);

    const Catalog &catalog() const { return m_catalog; }
    // Changing tables drops the cached translations.
    void addTable(CatalogTable table);
    bool removeTable(QStringView name);

    int cacheSize() const;
    quint64 translationsMade() const { return m_translations; } // cache misses so far
    void setCacheLimit(int entries) { m_cacheLimit = entries; }
    void clearCache();

private:
    void applyCatalogEffect(const TranslateResult &result);

    Catalog m_catalog;
    std::array<QHash<QString, TranslateResult>, 2> m_cache; // by engine
    int m_cacheLimit = 20000;
    quint64 m_translations = 0;
};

} // namespace qv::sql
