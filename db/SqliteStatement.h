// Internal to the SQLite connection: statement handles shared between the
// connection and the cursors and statements it hands out, and the conversions
// between SQLite's storage classes and values.
#pragma once

#include "db/Cursor.h"
#include "db/EngineTraits.h"
#include "db/Statement.h"

#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace qv::db {

class SqliteCursor;

// The cursors of one connection that still read the database between packets.
// Each holds the read snapshot it started with; before any other statement of
// the connection runs outside a transaction, they move the rest of their result
// aside, so that statement sees the database as it is now and may write.
struct SqlitePendingCursors {
    std::vector<SqliteCursor *> cursors;

    void add(SqliteCursor *cursor);
    void remove(SqliteCursor *cursor);
    // Spills every pending cursor but `except`; does nothing inside a transaction.
    void settle(sqlite3 *db, const SqliteCursor *except = nullptr);
};

// A prepared statement. The connection finalises it when it closes, after which
// stmt and db are null and users report the connection as closed.
struct SqliteStatementHandle {
    sqlite3 *db = nullptr;
    sqlite3_stmt *stmt = nullptr;
    std::shared_ptr<SqlitePendingCursors> pending;

    SqliteStatementHandle(sqlite3 *database, sqlite3_stmt *statement,
                          std::shared_ptr<SqlitePendingCursors> pendingCursors)
        : db(database), stmt(statement), pending(std::move(pendingCursors)) {}
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

// A query read in packets. A statement left half-read keeps its read
// transaction, and with it an old snapshot of the database, open between
// packets: the connection's next statement would see old rows, it could no
// longer write once another connection had written, and the journal could not be
// checkpointed past it. So the cursor keeps reading the database directly only
// while nothing else runs on its connection (a list scrolled packet by packet
// costs nothing extra); as soon as another statement is about to run outside a
// transaction, the rest of the result moves into a temporary table (on disk, not
// in memory) and later packets are read from there. Either way the rows are the
// ones the query saw when it started, as with PostgreSQL's cursors.
class SqliteCursor : public Cursor {
public:
    SqliteCursor(std::shared_ptr<SqliteStatementHandle> handle, const EngineTraits &traits,
                 const QString &sql);
    ~SqliteCursor() override;

    bool fetch(int maxRows, QList<Row> &rows) override;
    void close() override;

    // Moves the rest of the result aside (SqlitePendingCursors); a failure is
    // kept and reported by the next fetch.
    void spillNow();

private:
    bool spill(QString *error);
    void dropSpillTable();

    std::shared_ptr<SqliteStatementHandle> m_handle;
    QString m_spillTable; // set once the rest of the result is in a temporary table
    QString m_spillError;
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
    QList<ColumnInfo> m_columns;
};

} // namespace qv::db
