// One open database, whatever the engine. Every call reports failure through its
// result and keeps the error (phase, engine message, statement) in lastError();
// nothing throws and nothing shows a message.
//
// A connection is used from one thread at a time. Statements and cursors it hands
// out may outlive it: once the connection is closed they fail with an error.
#pragma once

#include "db/Cursor.h"
#include "db/EngineTraits.h"
#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/Statement.h"
#include "db/Value.h"

#include <QStringList>

#include <memory>
#include <optional>

namespace qv::db {

// A column as the engine's catalogue describes it.
struct TableColumn {
    QString name;
    QString declaredType;
    ValueKind kind = ValueKind::Null;
    bool notNull = false;
    int primaryKeyPosition = 0; // 1-based place in the primary key; 0 when not in it

    bool inPrimaryKey() const { return primaryKeyPosition > 0; }
};

class Connection {
public:
    virtual ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    virtual const EngineTraits &traits() const = 0;

    virtual bool open() = 0;
    // Closes the connection; an open transaction is rolled back. Safe to repeat.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Runs statements that return no rows (rows returned are read and dropped);
    // answers the number of rows inserted, changed or deleted.
    virtual std::optional<qint64> exec(const QString &sql) = 0;
    // Runs one query and reads all its rows.
    virtual std::optional<ResultSet> query(const QString &sql) = 0;
    // The first value of the first row; a null value when there is no row.
    std::optional<Value> queryValue(const QString &sql);
    // Starts a query (SELECT or VALUES) to be read in packets; nullptr on failure.
    virtual std::unique_ptr<Cursor> openCursor(const QString &sql) = 0;
    // A statement with parameters, checked by the engine at once; nullptr on
    // failure.
    virtual std::unique_ptr<Statement> prepare(const QString &sql) = 0;

    // Transactions do not nest: beginning one inside another fails. Prefer
    // TransactionGuard, which rolls back unless committed.
    bool beginTransaction();
    bool commit();
    // Succeeds when no transaction is active (the engine may have ended it after
    // a failure).
    bool rollback();
    virtual bool inTransaction() const = 0;
    // Lets go of the read snapshot a half-read cursor may hold between packets
    // (SQLite moves the rest of such results aside), so the database can fold
    // its journal back in while a client sits on a half-read list. Nothing to
    // do on engines whose cursors hold no snapshot of the connection.
    virtual void releaseSnapshot() {}

    // Names of the user's tables in catalogue order, without views and the
    // engine's own tables.
    virtual std::optional<QStringList> tableNames() = 0;
    // Columns of a table in their declared order; the name is matched without
    // regard to case when there is no exact match. Fails for a missing table.
    virtual std::optional<QList<TableColumn>> columns(const QString &table) = 0;

    const Error &lastError() const { return m_error; }

protected:
    Connection() = default;

    // Runs BEGIN, COMMIT or ROLLBACK; on failure records the error with 'phase'.
    virtual bool runTransactionStatement(Phase phase, const QString &sql) = 0;

    // Records an error and answers false.
    bool fail(Phase phase, const QString &message, const QString &statement = QString());
    void setError(const Error &error) { m_error = error; }
    void clearError() { m_error = Error(); }

private:
    Error m_error;
};

// Begins a transaction; rolls it back when it goes out of scope uncommitted.
class TransactionGuard {
public:
    explicit TransactionGuard(Connection &connection);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard &) = delete;
    TransactionGuard &operator=(const TransactionGuard &) = delete;

    // True between a successful begin and commit or rollback. When the begin
    // failed, the connection's lastError() says why.
    bool isActive() const { return m_active; }
    bool commit();
    bool rollback();

private:
    Connection &m_connection;
    bool m_active = false;
};

} // namespace qv::db
