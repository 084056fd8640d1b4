#include "db/SqliteConnection.h"

#include "db/Catalogue.h"
#include "db/SqliteStatement.h"

#include <sqlite3.h>

namespace qv::db {

namespace {

constexpr int busyTimeoutMs = 5000;

const char *const sessionSettings[] = {
    "PRAGMA journal_mode=WAL",
    "PRAGMA synchronous=NORMAL",
    "PRAGMA foreign_keys=OFF",
};

// The engine's message, with the place in the text it points at (counted in
// characters from the start of the whole text, 1-based).
QString prepareErrorMessage(sqlite3 *db, const char *textStart, const char *statementStart)
{
    QString message = QString::fromUtf8(sqlite3_errmsg(db));
    const int offset = sqlite3_error_offset(db);
    if (offset >= 0) {
        const qsizetype bytes = (statementStart - textStart) + offset;
        const int position = int(QString::fromUtf8(textStart, bytes).size());
        message += QStringLiteral(" (at position %1)").arg(position + 1);
    }
    return message;
}

bool onlyBlanksLeft(sqlite3 *db, const char *tail, const char *end)
{
    if (tail >= end)
        return true;
    sqlite3_stmt *next = nullptr;
    if (sqlite3_prepare_v2(db, tail, int(end - tail), &next, nullptr) != SQLITE_OK)
        return false;
    const bool blank = next == nullptr; // whitespace, comments and ';' prepare to nothing
    sqlite3_finalize(next);
    return blank;
}

} // namespace

SqliteConnection::SqliteConnection(ConnectionDescriptor descriptor)
    : m_descriptor(std::move(descriptor)), m_pending(std::make_shared<SqlitePendingCursors>())
{
}

SqliteConnection::~SqliteConnection()
{
    close();
}

const EngineTraits &SqliteConnection::traits() const
{
    return EngineTraits::of(Engine::Sqlite);
}

bool SqliteConnection::open()
{
    if (m_db)
        return true;
    clearError();
    if (m_descriptor.path.isEmpty())
        return fail(Phase::Open, QStringLiteral("no database file was given"));
    const QByteArray path = m_descriptor.path.toUtf8();
    const int flags = SQLITE_OPEN_READWRITE | (m_descriptor.createIfMissing ? SQLITE_OPEN_CREATE : 0);
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db))
                                   : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        return fail(Phase::Open, QStringLiteral("%1 (%2)").arg(message, m_descriptor.path));
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyTimeoutMs);

    // The first statement reads the file: a file that is not a database fails here.
    for (const char *setting : sessionSettings) {
        char *message = nullptr;
        if (sqlite3_exec(db, setting, nullptr, nullptr, &message) != SQLITE_OK) {
            const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
            sqlite3_free(message);
            sqlite3_close_v2(db);
            return fail(Phase::Open, QStringLiteral("%1 (%2)").arg(text, m_descriptor.path),
                        QString::fromLatin1(setting));
        }
    }
    if (m_descriptor.registerFunctions) {
        QString message;
        if (!m_descriptor.registerFunctions(db, &message)) {
            sqlite3_close_v2(db);
            return fail(Phase::Open, QStringLiteral("installing functions failed: %1").arg(message));
        }
    }
    m_db = db;
    return true;
}

void SqliteConnection::close()
{
    if (!m_db)
        return;
    for (const auto &weak : m_statements) {
        if (const auto handle = weak.lock())
            handle->finalize();
    }
    m_statements.clear();
    // An open transaction is rolled back by the engine.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

std::optional<qint64> SqliteConnection::exec(const QString &sql)
{
    if (!m_db) {
        fail(Phase::Execute, QStringLiteral("the connection is not open"), sql);
        return std::nullopt;
    }
    clearError();
    m_pending->settle(m_db);
    const QByteArray utf8 = sql.toUtf8();
    const char *tail = utf8.constData();
    const char *const end = tail + utf8.size();
    qint64 affected = 0;
    while (tail < end) {
        sqlite3_stmt *stmt = nullptr;
        const char *next = nullptr;
        if (sqlite3_prepare_v2(m_db, tail, int(end - tail), &stmt, &next) != SQLITE_OK) {
            fail(Phase::Prepare, prepareErrorMessage(m_db, utf8.constData(), tail), sql);
            return std::nullopt;
        }
        if (!stmt)
            break; // nothing but blanks and comments left
        const sqlite3_int64 before = sqlite3_total_changes64(m_db);
        int rc = SQLITE_ROW;
        while (rc == SQLITE_ROW)
            rc = sqlite3_step(stmt);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) {
            fail(Phase::Execute, QString::fromUtf8(sqlite3_errmsg(m_db)), sql);
            return std::nullopt;
        }
        if (sqlite3_total_changes64(m_db) != before)
            affected += sqlite3_changes64(m_db);
        tail = next;
    }
    return affected;
}

std::shared_ptr<SqliteStatementHandle> SqliteConnection::prepareTracked(const QString &sql)
{
    if (!m_db) {
        fail(Phase::Prepare, QStringLiteral("the connection is not open"), sql);
        return nullptr;
    }
    clearError();
    m_pending->settle(m_db);
    const QByteArray utf8 = sql.toUtf8();
    const char *end = utf8.constData() + utf8.size();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, &tail) != SQLITE_OK) {
        fail(Phase::Prepare, prepareErrorMessage(m_db, utf8.constData(), utf8.constData()), sql);
        return nullptr;
    }
    if (!stmt) {
        fail(Phase::Prepare, QStringLiteral("the statement is empty"), sql);
        return nullptr;
    }
    if (!onlyBlanksLeft(m_db, tail, end)) {
        sqlite3_finalize(stmt);
        fail(Phase::Prepare, QStringLiteral("only one statement can run here"), sql);
        return nullptr;
    }
    auto handle = std::make_shared<SqliteStatementHandle>(m_db, stmt, m_pending);
    std::erase_if(m_statements, [](const auto &weak) { return weak.expired(); });
    m_statements.push_back(handle);
    return handle;
}

std::optional<ResultSet> SqliteConnection::query(const QString &sql)
{
    const auto handle = prepareTracked(sql);
    if (!handle)
        return std::nullopt;
    ResultSet result;
    result.columns = sqlite::describeColumns(handle->stmt, traits());
    bool done = false;
    QString error;
    if (!sqlite::readRows(handle->stmt, result.columns, 0, result.rows, done, &error)) {
        fail(Phase::Execute, error, sql);
        return std::nullopt;
    }
    return result;
}

std::unique_ptr<Cursor> SqliteConnection::openCursor(const QString &sql)
{
    auto handle = prepareTracked(sql);
    if (!handle)
        return nullptr;
    // As in PostgreSQL, a cursor reads; a write would otherwise run on the first fetch.
    if (!sqlite3_stmt_readonly(handle->stmt)) {
        fail(Phase::Prepare, QStringLiteral("only a query can be read through a cursor"), sql);
        return nullptr;
    }
    return std::make_unique<SqliteCursor>(std::move(handle), traits(), sql);
}

std::unique_ptr<Statement> SqliteConnection::prepare(const QString &sql)
{
    auto handle = prepareTracked(sql);
    if (!handle)
        return nullptr;
    return std::make_unique<SqlitePreparedStatement>(std::move(handle), traits(), sql);
}

void SqliteConnection::releaseSnapshot()
{
    m_pending->settle(m_db);
}

bool SqliteConnection::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

bool SqliteConnection::runTransactionStatement(Phase phase, const QString &sql)
{
    clearError();
    m_pending->settle(m_db);
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
        sqlite3_free(message);
        return fail(phase, text, sql);
    }
    return true;
}

std::optional<QStringList> SqliteConnection::tableNames()
{
    return catalogue::names(query(QStringLiteral(
        "SELECT name FROM sqlite_schema WHERE type = 'table' "
        "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid")));
}

std::optional<QList<TableColumn>> SqliteConnection::columns(const QString &table)
{
    const QString sql = QStringLiteral(
        "SELECT name, type, \"notnull\", pk FROM pragma_table_info(?1) ORDER BY cid");
    Error error;
    const auto rows = catalogue::tableRows(*this, sql, table, &error);
    if (!rows) {
        setError(error);
        return std::nullopt;
    }
    QList<TableColumn> columns;
    for (const Row &row : *rows) {
        TableColumn column = catalogue::column(row, 0);
        column.kind = traits().kindOfDeclaredType(column.declaredType);
        columns.append(column);
    }
    return columns;
}

} // namespace qv::db
