// A statement with values bound by position: position 1 is the first parameter,
// written ?1 in SQLite and $1 in PostgreSQL (EngineTraits::parameter). Bindings
// stay until changed, so a statement can run once per row of a change packet.
// Positions left unbound are NULL.
#pragma once

#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/Value.h"

#include <optional>

namespace qv::db {

class Statement {
public:
    virtual ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    const QString &sql() const { return m_sql; }

    // False (phase Bind) for a position below 1 or a value no engine can store.
    bool bind(int position, const Value &value);
    // Binds positions 1..values.size() and clears the rest.
    bool bindAll(const Row &values);
    void clearBindings() { m_values.clear(); }
    const Row &boundValues() const { return m_values; }

    // Runs the statement; the number of rows it inserted, changed or deleted.
    virtual std::optional<qint64> execute() = 0;
    // Runs the statement and reads its rows.
    virtual std::optional<ResultSet> query() = 0;

    const Error &lastError() const { return m_error; }

protected:
    explicit Statement(QString sql) : m_sql(std::move(sql)) {}
    bool fail(Phase phase, const QString &message);

    QString m_sql;
    Row m_values;
    Error m_error;
};

} // namespace qv::db
