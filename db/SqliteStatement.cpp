#include "db/SqliteStatement.h"

#include "common/DayNumber.h"

#include <sqlite3.h>

#include <algorithm>
#include <utility>

namespace qv::db {

void SqlitePendingCursors::add(SqliteCursor *cursor)
{
    if (std::find(cursors.begin(), cursors.end(), cursor) == cursors.end())
        cursors.push_back(cursor);
}

void SqlitePendingCursors::remove(SqliteCursor *cursor)
{
    std::erase(cursors, cursor);
}

void SqlitePendingCursors::settle(sqlite3 *db, const SqliteCursor *except)
{
    // Inside a transaction every statement shares the transaction's snapshot.
    if (cursors.empty() || !db || !sqlite3_get_autocommit(db))
        return;
    const std::vector<SqliteCursor *> waiting = std::exchange(cursors, {});
    for (SqliteCursor *cursor : waiting) {
        if (cursor == except)
            cursors.push_back(cursor);
        else
            cursor->spillNow();
    }
}

void SqliteStatementHandle::finalize()
{
    if (stmt)
        sqlite3_finalize(stmt);
    stmt = nullptr;
    db = nullptr;
}

namespace sqlite {

QString closedMessage()
{
    return QStringLiteral("the connection was closed");
}

QString errorMessage(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : closedMessage();
}

QList<ColumnInfo> describeColumns(sqlite3_stmt *stmt, const EngineTraits &traits)
{
    QList<ColumnInfo> columns;
    const int count = sqlite3_column_count(stmt);
    columns.reserve(count);
    for (int i = 0; i < count; ++i) {
        ColumnInfo column;
        column.name = QString::fromUtf8(sqlite3_column_name(stmt, i));
        column.declaredType = QString::fromUtf8(sqlite3_column_decltype(stmt, i));
        column.kind = traits.kindOfDeclaredType(column.declaredType);
        columns.append(column);
    }
    return columns;
}

namespace {

// A number found in a date column: read it as a day number, the way the old
// engine stored dates, rather than lose it.
Value numberInDateColumn(double number, const Value &asIs)
{
    const QDateTime value = common::dateTimeFromDayNumber(number);
    return value.isValid() ? Value(value) : asIs;
}

} // namespace

Value readValue(sqlite3_stmt *stmt, int column, ValueKind kind)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER: {
        const qint64 number = sqlite3_column_int64(stmt, column);
        switch (kind) {
        case ValueKind::Bool: return number != 0;
        case ValueKind::Double: return double(number);
        case ValueKind::DateTime: return numberInDateColumn(double(number), number);
        default: return number;
        }
    }
    case SQLITE_FLOAT: {
        const double number = sqlite3_column_double(stmt, column);
        switch (kind) {
        case ValueKind::Bool: return number != 0;
        case ValueKind::DateTime: return numberInDateColumn(number, number);
        default: return number;
        }
    }
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
        const QString string = QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
        if (kind == ValueKind::DateTime) {
            const QDateTime value = common::parseDateText(string);
            if (value.isValid())
                return value;
        }
        return string;
    }
    case SQLITE_BLOB: {
        // A zero-length blob comes back as a null pointer; it is still not NULL.
        const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt, column));
        const int size = sqlite3_column_bytes(stmt, column);
        return data ? QByteArray(data, size) : QByteArray("", 0);
    }
    default:
        return Value();
    }
}

namespace {

int bindOne(sqlite3_stmt *stmt, int position, const Value &value)
{
    switch (kindOf(value).value_or(ValueKind::Null)) {
    case ValueKind::Null:
        return sqlite3_bind_null(stmt, position);
    case ValueKind::Integer:
        return sqlite3_bind_int64(stmt, position, value.toLongLong());
    case ValueKind::Double:
        return sqlite3_bind_double(stmt, position, value.toDouble());
    case ValueKind::Bool:
        return sqlite3_bind_int(stmt, position, value.toBool() ? 1 : 0);
    case ValueKind::Text: {
        const QByteArray utf8 = value.toString().toUtf8();
        return sqlite3_bind_text64(stmt, position, utf8.constData(), sqlite3_uint64(utf8.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    case ValueKind::Blob: {
        // A null data pointer would bind NULL instead of an empty blob.
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(stmt, position, bytes.isEmpty() ? "" : bytes.constData(),
                                   sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
    }
    case ValueKind::DateTime: {
        const QString text = value.typeId() == QMetaType::QDate
            ? common::toDateText(value.toDate())
            : common::toDateText(value.toDateTime());
        if (text.isEmpty())
            return sqlite3_bind_null(stmt, position);
        const QByteArray utf8 = text.toUtf8();
        return sqlite3_bind_text64(stmt, position, utf8.constData(), sqlite3_uint64(utf8.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    }
    return SQLITE_MISUSE;
}

} // namespace

bool bindValues(sqlite3_stmt *stmt, const Row &values, QString *error)
{
    sqlite3_clear_bindings(stmt);
    const int parameters = sqlite3_bind_parameter_count(stmt);
    if (values.size() > parameters) {
        *error = QStringLiteral("%1 values bound to a statement with %2 parameters")
                     .arg(values.size())
                     .arg(parameters);
        return false;
    }
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (bindOne(stmt, int(i + 1), values[i]) != SQLITE_OK) {
            *error = QStringLiteral("parameter %1: %2")
                         .arg(i + 1)
                         .arg(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(stmt))));
            return false;
        }
    }
    return true;
}

bool readRows(sqlite3_stmt *stmt, const QList<ColumnInfo> &columns, int maxRows,
              QList<Row> &rows, bool &done, QString *error)
{
    done = false;
    for (int read = 0; maxRows < 1 || read < maxRows; ++read) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) {
            done = true;
            return true;
        }
        if (rc != SQLITE_ROW) {
            *error = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(stmt)));
            return false;
        }
        Row row;
        row.reserve(columns.size());
        for (int c = 0; c < columns.size(); ++c)
            row.append(readValue(stmt, c, columns[c].kind));
        rows.append(std::move(row));
    }
    return true;
}

} // namespace sqlite

SqliteCursor::SqliteCursor(std::shared_ptr<SqliteStatementHandle> handle,
                           const EngineTraits &traits, const QString &sql)
    : m_handle(std::move(handle))
{
    m_statement = sql;
    m_columns = sqlite::describeColumns(m_handle->stmt, traits);
}

SqliteCursor::~SqliteCursor()
{
    close();
}

bool SqliteCursor::fetch(int maxRows, QList<Row> &rows)
{
    if (m_atEnd)
        return true;
    if (!m_spillError.isEmpty())
        return fail(Phase::Fetch, m_spillError);
    if (!m_handle || !m_handle->isAlive())
        return fail(Phase::Fetch, sqlite::closedMessage());
    bool done = false;
    QString error;
    if (!sqlite::readRows(m_handle->stmt, m_columns, maxRows, rows, done, &error))
        return fail(Phase::Fetch, error);
    if (done) {
        m_atEnd = true;
        close();
        return true;
    }
    if (m_spillTable.isEmpty() && m_handle->pending)
        m_handle->pending->add(this);
    return true;
}

namespace {

bool run(sqlite3 *db, const QString &sql, QString *error)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

bool prepare(sqlite3 *db, const QString &sql, sqlite3_stmt **stmt, QString *error)
{
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), stmt, nullptr) == SQLITE_OK)
        return true;
    *error = QString::fromUtf8(sqlite3_errmsg(db));
    return false;
}

} // namespace

void SqliteCursor::spillNow()
{
    if (!m_spillTable.isEmpty() || !m_handle || !m_handle->isAlive())
        return;
    QString error;
    if (!spill(&error)) {
        m_spillError = error.isEmpty() ? sqlite::closedMessage() : error;
        close();
    }
}

bool SqliteCursor::spill(QString *error)
{
    sqlite3 *db = m_handle->db;
    sqlite3_stmt *source = m_handle->stmt;
    const QString table = QStringLiteral("qv_cursor_%1").arg(quintptr(m_handle.get()));
    const int count = sqlite3_column_count(source);
    QStringList columns;
    QStringList markers;
    for (int i = 0; i < count; ++i) {
        columns.append(QStringLiteral("c%1").arg(i)); // no type: values are kept as they are
        markers.append(QStringLiteral("?%1").arg(i + 1));
    }
    if (!run(db, QStringLiteral("BEGIN; CREATE TEMP TABLE %1 (%2)").arg(table, columns.join(u',')),
             error)) {
        run(db, QStringLiteral("ROLLBACK"), error);
        return false;
    }
    m_spillTable = table;
    sqlite3_stmt *insert = nullptr;
    bool ok = prepare(db, QStringLiteral("INSERT INTO temp.%1 VALUES (%2)").arg(table, markers.join(u',')),
                      &insert, error);
    int rc = SQLITE_ROW;
    while (ok && (rc = sqlite3_step(source)) == SQLITE_ROW) {
        for (int i = 0; i < count; ++i)
            sqlite3_bind_value(insert, i + 1, sqlite3_column_value(source, i));
        ok = sqlite3_step(insert) == SQLITE_DONE;
        if (!ok)
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_reset(insert);
    }
    if (ok && rc != SQLITE_DONE) {
        ok = false;
        *error = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_finalize(insert);
    // The statement on the real tables goes, and with it the old snapshot.
    sqlite3_finalize(source);
    m_handle->stmt = nullptr;
    QString ignored;
    if (!ok || !run(db, QStringLiteral("COMMIT"), error)) {
        run(db, QStringLiteral("ROLLBACK"), &ignored);
        m_spillTable.clear();
        return false;
    }
    sqlite3_stmt *reader = nullptr;
    if (!prepare(db, QStringLiteral("SELECT * FROM temp.%1 ORDER BY rowid").arg(table), &reader, error))
        return false;
    m_handle->stmt = reader;
    return true;
}

void SqliteCursor::dropSpillTable()
{
    if (m_spillTable.isEmpty())
        return;
    if (m_handle && m_handle->db) {
        QString ignored;
        run(m_handle->db, QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(m_spillTable), &ignored);
    }
    m_spillTable.clear();
}

void SqliteCursor::close()
{
    if (!m_handle)
        return;
    if (m_handle->pending)
        m_handle->pending->remove(this);
    if (m_handle->stmt) {
        sqlite3_finalize(m_handle->stmt);
        m_handle->stmt = nullptr;
    }
    dropSpillTable();
    m_handle->finalize();
}

SqlitePreparedStatement::SqlitePreparedStatement(std::shared_ptr<SqliteStatementHandle> handle,
                                                 const EngineTraits &traits, const QString &sql)
    : Statement(sql), m_handle(std::move(handle)), m_traits(traits)
{
}

bool SqlitePreparedStatement::start()
{
    if (!m_handle->isAlive())
        return fail(Phase::Execute, sqlite::closedMessage());
    if (m_handle->pending)
        m_handle->pending->settle(m_handle->db);
    sqlite3_reset(m_handle->stmt);
    QString error;
    if (!sqlite::bindValues(m_handle->stmt, m_values, &error))
        return fail(Phase::Bind, error);
    return true;
}

std::optional<qint64> SqlitePreparedStatement::execute()
{
    if (!start())
        return std::nullopt;
    sqlite3 *db = m_handle->db;
    const sqlite3_int64 before = sqlite3_total_changes64(db);
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(m_handle->stmt);
    if (rc != SQLITE_DONE) {
        fail(Phase::Execute, sqlite::errorMessage(db));
        sqlite3_reset(m_handle->stmt);
        return std::nullopt;
    }
    sqlite3_reset(m_handle->stmt);
    return sqlite3_total_changes64(db) != before ? qint64(sqlite3_changes64(db)) : 0;
}

std::optional<ResultSet> SqlitePreparedStatement::query()
{
    if (!start())
        return std::nullopt;
    // A statement run many times (a row read back after each save) describes
    // its columns once; the engine re-prepares it after a schema change, so the
    // count is checked again.
    if (m_columns.size() != sqlite3_column_count(m_handle->stmt) || m_columns.isEmpty())
        m_columns = sqlite::describeColumns(m_handle->stmt, m_traits);
    ResultSet result;
    result.columns = m_columns;
    bool done = false;
    QString error;
    const bool ok = sqlite::readRows(m_handle->stmt, result.columns, 0, result.rows, done, &error);
    sqlite3_reset(m_handle->stmt);
    if (!ok) {
        fail(Phase::Execute, error);
        return std::nullopt;
    }
    return result;
}

} // namespace qv::db
