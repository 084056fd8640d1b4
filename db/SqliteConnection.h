// SQLite through its C API. Every connection runs with a write-ahead journal,
// synchronous=NORMAL, foreign keys off and a five-second busy timeout, and gets
// the function hook of its descriptor.
//
// Dates are stored as canonical text (common/DayNumber.h) and read back as
// QDateTime from columns whose declared type is a date; yes/no values are stored
// as 0/1 and read back as bool from columns declared BOOLEAN (EngineTraits).
#pragma once

#include "db/Connection.h"
#include "db/ConnectionFactory.h"

#include <memory>
#include <vector>

struct sqlite3;

namespace qv::db {

struct SqliteStatementHandle;
struct SqlitePendingCursors;

class SqliteConnection : public Connection {
public:
    explicit SqliteConnection(ConnectionDescriptor descriptor);
    ~SqliteConnection() override;

    const EngineTraits &traits() const override;
    bool open() override;
    void close() override;
    bool isOpen() const override { return m_db != nullptr; }

    std::optional<qint64> exec(const QString &sql) override;
    std::optional<ResultSet> query(const QString &sql) override;
    std::unique_ptr<Cursor> openCursor(const QString &sql) override;
    std::unique_ptr<Statement> prepare(const QString &sql) override;
    bool inTransaction() const override;
    void releaseSnapshot() override;

    std::optional<QStringList> tableNames() override;
    std::optional<QList<TableColumn>> columns(const QString &table) override;

    // The engine's handle, for installing functions; nullptr while closed.
    sqlite3 *handle() const { return m_db; }

protected:
    bool runTransactionStatement(Phase phase, const QString &sql) override;

private:
    // Prepares exactly one statement and tracks it so close() can finalise it.
    std::shared_ptr<SqliteStatementHandle> prepareTracked(const QString &sql);

    ConnectionDescriptor m_descriptor;
    sqlite3 *m_db = nullptr;
    std::vector<std::weak_ptr<SqliteStatementHandle>> m_statements;
    std::shared_ptr<SqlitePendingCursors> m_pending;
};

} // namespace qv::db
