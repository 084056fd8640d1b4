#include "sql/runner/SqlRunner.h"

#include "common/DayNumber.h"
#include "sql/PostgresFunctions.h"
#include "sql/SqliteFunctions.h"

#include <cmath>

namespace qv::sql {

namespace {

Engine toSqlEngine(db::Engine engine)
{
    return engine == db::Engine::Postgres ? Engine::Postgres : Engine::Sqlite;
}

QString quoted(const QString &text)
{
    QString q = text;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

// Marks the installed library; changes whenever its statements do.
QString libraryVersion()
{
    return QString::number(qHash(postgresFunctionStatements().join(QLatin1Char('\n'))));
}

} // namespace

SqlType typeOfKind(db::ValueKind kind)
{
    switch (kind) {
    case db::ValueKind::Integer: return SqlType::Integer;
    case db::ValueKind::Double: return SqlType::Double;
    case db::ValueKind::Text: return SqlType::Text;
    case db::ValueKind::Blob: return SqlType::Blob;
    case db::ValueKind::Bool: return SqlType::YesNo;
    case db::ValueKind::DateTime: return SqlType::Date;
    case db::ValueKind::Null: break;
    }
    return SqlType::Unknown;
}

QString RunError::text() const
{
    if (stage == Stage::Translate)
        return translation.toString();
    return engine.message.isEmpty() ? engine.text() : engine.message;
}

RunCursor::RunCursor(std::unique_ptr<db::Cursor> cursor, QList<RunColumn> columns)
    : m_cursor(std::move(cursor)), m_columns(std::move(columns))
{
}

bool RunCursor::fetch(int maxRows, QList<db::Row> &rows, RunError *error)
{
    if (m_fromBuffer) {
        const qsizetype n = maxRows < 1 ? m_buffered.size() : std::min<qsizetype>(maxRows, m_buffered.size());
        rows.append(m_buffered.mid(0, n));
        m_buffered.remove(0, n);
        return true;
    }
    const qsizetype before = rows.size();
    if (!m_cursor->fetch(maxRows, rows)) {
        if (error) {
            error->stage = RunError::Stage::Execute;
            error->engine = m_cursor->lastError();
        }
        return false;
    }
    for (qsizetype i = before; i < rows.size(); ++i)
        SqlRunner::normalise(rows[i], m_columns);
    return true;
}

bool RunCursor::atEnd() const
{
    return m_fromBuffer ? m_buffered.isEmpty() : m_cursor->atEnd();
}

void RunCursor::close()
{
    m_buffered.clear();
    if (m_cursor)
        m_cursor->close();
}

bool installPostgresFunctions(db::Connection &connection, db::Error *error)
{
    const QString version = libraryVersion();
    const auto current = connection.queryValue(QStringLiteral("select qv_library_version()"));
    if (current && current->toString() == version)
        return true;
    db::TransactionGuard transaction(connection);
    QStringList statements = postgresFunctionStatements();
    statements << QStringLiteral("CREATE OR REPLACE FUNCTION qv_library_version() RETURNS text "
                                 "LANGUAGE sql IMMUTABLE AS $$ SELECT %1::text $$")
                      .arg(quoted(version));
    for (const QString &statement : statements) {
        if (!connection.exec(statement)) {
            *error = connection.lastError();
            return false;
        }
    }
    if (!transaction.commit()) {
        *error = connection.lastError();
        return false;
    }
    return true;
}

bool syncIdentityColumns(db::Connection &connection, const Catalog &catalog, db::Error *error)
{
    const Dialect &dialect = dialectFor(toSqlEngine(connection.traits().engine));
    for (const CatalogTable *table : catalog.tables()) {
        for (const CatalogColumn &column : table->columns) {
            const QString sync = column.autoNumber ? identitySync(dialect, table->name, column.name) : QString();
            if (!sync.isEmpty() && !connection.exec(sync)) {
                *error = connection.lastError();
                return false;
            }
        }
    }
    return true;
}

std::unique_ptr<SqlRunner> SqlRunner::open(db::ConnectionDescriptor descriptor, Translator &translator,
                                           RunError *error)
{
    if (descriptor.engine == db::Engine::Sqlite) {
        auto previous = descriptor.registerFunctions;
        descriptor.registerFunctions = [previous](sqlite3 *handle, QString *message) {
            return installSqliteFunctions(handle, message) && (!previous || previous(handle, message));
        };
    }
    db::Error openError;
    auto connection = db::openConnection(descriptor, &openError);
    if (!connection) {
        if (error) {
            error->stage = RunError::Stage::Open;
            error->engine = openError;
        }
        return nullptr;
    }
    if (descriptor.engine == db::Engine::Postgres && !installPostgresFunctions(*connection, &openError)) {
        if (error) {
            error->stage = RunError::Stage::Open;
            error->engine = openError;
        }
        return nullptr;
    }
    return std::make_unique<SqlRunner>(std::move(connection), translator);
}

SqlRunner::SqlRunner(std::unique_ptr<db::Connection> connection, Translator &translator)
    : m_connection(std::move(connection)), m_translator(translator)
{
}

Engine SqlRunner::engine() const
{
    return toSqlEngine(m_connection->traits().engine);
}

bool SqlRunner::engineFailure(RunError *error, const db::Error &engineError, RunError::Stage stage)
{
    if (error) {
        error->stage = stage;
        error->engine = engineError;
    }
    return false;
}

std::optional<TranslateResult> SqlRunner::translate(QStringView sql, RunError *error)
{
    TranslateResult result = m_translator.translate(sql, engine());
    if (!result.ok) {
        if (error) {
            error->stage = RunError::Stage::Translate;
            error->translation = result.error;
        }
        return std::nullopt;
    }
    return result;
}

bool SqlRunner::attach(const TranslateResult &translation, RunError *error)
{
    for (const Attachment &a : translation.attachments) {
        if (!m_connection->exec(QStringLiteral("ATTACH DATABASE %1 AS %2").arg(quoted(a.path), a.alias))) {
            const db::Error failure = m_connection->lastError();
            detach(translation);
            return engineFailure(error, failure, RunError::Stage::Attach);
        }
    }
    return true;
}

void SqlRunner::detach(const TranslateResult &translation)
{
    for (const Attachment &a : translation.attachments)
        m_connection->exec(QStringLiteral("DETACH DATABASE %1").arg(a.alias));
}

QList<RunColumn> SqlRunner::columnsOf(const TranslateResult &translation,
                                      const QList<db::ColumnInfo> &engineColumns) const
{
    QList<RunColumn> columns;
    if (translation.columnsKnown && translation.columns.size() == engineColumns.size()) {
        for (const ResultColumn &c : translation.columns)
            columns.append({c.name, c.type, c.originTable, c.originColumn});
        return columns;
    }
    for (const db::ColumnInfo &c : engineColumns)
        columns.append({c.name, typeOfKind(c.kind), QString(), QString()});
    return columns;
}

std::optional<qint64> SqlRunner::execute(QStringView sql, RunError *error)
{
    qint64 affected = 0;
    if (!run(sql, error, &affected))
        return std::nullopt;
    return affected;
}

std::optional<RunResult> SqlRunner::query(QStringView sql, RunError *error)
{
    return run(sql, error);
}

std::optional<RunResult> SqlRunner::run(QStringView sql, RunError *error, qint64 *rowsAffected)
{
    const auto translation = translate(sql, error);
    if (!translation || !attach(*translation, error))
        return std::nullopt;
    RunResult result;
    bool ok = true;
    db::Error failure;
    if (translation->returnsRows()) {
        auto rows = m_connection->query(translation->sql);
        ok = bool(rows);
        if (ok) {
            result.columns = columnsOf(*translation, rows->columns);
            result.rows = std::move(rows->rows);
            for (db::Row &row : result.rows)
                normalise(row, result.columns);
        }
    } else {
        const auto affected = m_connection->exec(translation->sql);
        ok = bool(affected) && (translation->afterSql.isEmpty() || m_connection->exec(translation->afterSql));
        if (ok && rowsAffected)
            *rowsAffected = *affected;
    }
    if (!ok)
        failure = m_connection->lastError();
    detach(*translation);
    if (!ok) {
        engineFailure(error, failure);
        return std::nullopt;
    }
    return result;
}

std::unique_ptr<RunCursor> SqlRunner::openCursor(QStringView sql, RunError *error)
{
    const auto translation = translate(sql, error);
    if (!translation)
        return nullptr;
    if (!translation->attachments.isEmpty() || !translation->returnsRows()) {
        // A statement naming another file is read whole, so its files can be
        // detached at once.
        auto result = run(sql, error);
        if (!result)
            return nullptr;
        auto cursor = std::make_unique<RunCursor>(nullptr, result->columns);
        cursor->m_buffered = std::move(result->rows);
        cursor->m_fromBuffer = true;
        return cursor;
    }
    auto cursor = m_connection->openCursor(translation->sql);
    if (!cursor) {
        engineFailure(error, m_connection->lastError());
        return nullptr;
    }
    QList<RunColumn> columns = columnsOf(*translation, cursor->columns());
    return std::make_unique<RunCursor>(std::move(cursor), std::move(columns));
}

void SqlRunner::normalise(db::Row &row, const QList<RunColumn> &columns)
{
    for (qsizetype i = 0; i < row.size() && i < columns.size(); ++i) {
        db::Value &v = row[i];
        if (db::isNull(v)) {
            v = db::Value();
            continue;
        }
        switch (columns[i].type) {
        case SqlType::Integer:
            if (v.typeId() == QMetaType::Double) {
                const double d = v.toDouble();
                if (std::floor(d) == d && std::abs(d) < 9.0e15)
                    v = qint64(d);
            } else if (v.typeId() == QMetaType::Bool) {
                v = qint64(v.toBool() ? -1 : 0);
            }
            break;
        case SqlType::Double:
            if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
                v = v.toDouble();
            break;
        case SqlType::YesNo:
            if (v.typeId() != QMetaType::Bool)
                v = v.toDouble() != 0.0;
            break;
        case SqlType::Date:
            if (v.typeId() == QMetaType::QString) {
                const QDateTime dt = common::parseDateText(v.toString());
                if (dt.isValid())
                    v = dt;
            }
            break;
        case SqlType::Text:
            if (v.typeId() != QMetaType::QString && v.typeId() != QMetaType::QByteArray)
                v = v.toString();
            break;
        default:
            break;
        }
    }
}

} // namespace qv::sql
