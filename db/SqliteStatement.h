// Internal to the SQLite connection: statement handles shared between the
// connection and the cursors and statements it hands out, and the conversions
// between SQLite's storage classes and values.
#pragma once

#include "db/Cursor.h"
#include "db/EngineTraits.h"
#include "db/Statement.h"

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace qv::db {

// A prepared statement. The connection finalises it when it closes, after which
// stmt and db are null and users report the connection as closed.
struct SqliteStatementHandle {
    sqlite3 *db = nullptr;
    sqlite3_stmt *stmt = nullptr;

    SqliteStatementHandle(sqlite3 *database, sqlite3_stmt *statement)
        : db(database), stmt(statement) {}
    ~SqliteStatementHandle() { finalize(); }
    SqliteStatementHandle(const SqliteStatementHandle &) = delete;
    SqliteStatementHandle &operator=(const SqliteStatementHandle &) = delete;

    void finalize();
    bool isAlive() const { return stmt != nullptr; }
};

namespace sqlite {

QString closedMessage();
QString errorMessage(sqlite3 *db);
QList<ColumnInfo> describeColumns(sqlite3_stmt *stmt, const EngineTraits &traits);
Value readValue(sqlite3_stmt *stmt, int column, ValueKind kind);
// Binds every value (unbound positions stay NULL); false with a message.
bool bindValues(sqlite3_stmt *stmt, const Row &values, QString *error);

// Steps until maxRows rows were read or the statement is done. Answers false
// with the engine's message on an error; sets done when no row is left.
bool readRows(sqlite3_stmt *stmt, const QList<ColumnInfo> &columns, int maxRows,
              QList<Row> &rows, bool &done, QString *error);

} // namespace sqlite

// A query read in packets. A statement left half-read would keep its read
// transaction, and with it an old snapshot of the database, open between
// packets: the connection could then no longer write once another connection
// had written, and the journal could not be checkpointed. So when a packet leaves
// rows over outside a transaction, the rest of the result moves into a temporary
// table (on disk, not in memory) and later packets are read from there; the
// rows are the ones the query saw when it started, as with PostgreSQL's cursors.
class SqliteCursor : public Cursor {
public:
    SqliteCursor(std::shared_ptr<SqliteStatementHandle> handle, const EngineTraits &traits,
                 const QString &sql);
    ~SqliteCursor() override;

    bool fetch(int maxRows, QList<Row> &rows) override;
    void close() override;

private:
    bool spill(QString *error);
    void dropSpillTable();

    std::shared_ptr<SqliteStatementHandle> m_handle;
    QString m_spillTable; // set once the rest of the result is in a temporary table
};

class SqlitePreparedStatement : public Statement {
public:
    SqlitePreparedStatement(std::shared_ptr<SqliteStatementHandle> handle,
                            const EngineTraits &traits, const QString &sql);

    std::optional<qint64> execute() override;
    std::optional<ResultSet> query() override;

private:
    bool start();

    std::shared_ptr<SqliteStatementHandle> m_handle;
    const EngineTraits &m_traits;
};

} // namespace qv::db
