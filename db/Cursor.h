// A query read a packet at a time, so a large result never sits in memory whole.
// Other statements, transactions included, may run on the same connection
// between fetches, and the rows are those the query saw when it started: the
// engine keeps the rest of the result on its side (on disk) rather than holding
// a snapshot of the database open between packets. A cursor
// that outlives its connection, or whose connection was closed, fails its next
// fetch with an error; it never touches a freed connection.
#pragma once

#include "db/Error.h"
#include "db/ResultSet.h"

namespace qv::db {

class Cursor {
public:
    virtual ~Cursor();
    Cursor(const Cursor &) = delete;
    Cursor &operator=(const Cursor &) = delete;

    const QList<ColumnInfo> &columns() const { return m_columns; }

    // Appends up to maxRows rows (all that are left when maxRows < 1). False on
    // an error (lastError()); fetching past the end appends nothing and succeeds.
    virtual bool fetch(int maxRows, QList<Row> &rows) = 0;
    // True once the last row has been fetched.
    bool atEnd() const { return m_atEnd; }
    // Releases the engine's resources early; the destructor does it otherwise.
    virtual void close() = 0;

    const Error &lastError() const { return m_error; }

protected:
    Cursor() = default;
    bool fail(Phase phase, const QString &message);

    QList<ColumnInfo> m_columns;
    bool m_atEnd = false;
    Error m_error;
    QString m_statement;
};

} // namespace qv::db
