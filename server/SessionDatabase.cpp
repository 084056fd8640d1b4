#include "server/SessionDatabase.h"

#include "sql/SqliteFunctions.h"

namespace qv::server {

protocol::ErrorInfo toErrorInfo(const sql::RunError &error)
{
    if (error.stage == sql::RunError::Stage::Translate) {
        return protocol::ErrorInfo(error.text(), QStringLiteral("translate"), error.translation.line,
                                   error.translation.column);
    }
    return protocol::ErrorInfo(error.text(), QStringLiteral("database"));
}

protocol::ErrorInfo databaseError(const db::Error &error)
{
    return protocol::ErrorInfo(error.message.isEmpty() ? error.text() : error.message, QStringLiteral("database"));
}

SessionDatabase::SessionDatabase(TranslatorPool &translators, schema::Database kind, StatementLog *log)
    : m_translators(translators), m_kind(kind), m_log(log)
{
}

SessionDatabase::~SessionDatabase()
{
    close();
}

void SessionDatabase::describe(db::ConnectionDescriptor descriptor, QString key)
{
    close();
    m_descriptor = std::move(descriptor);
    m_key = std::move(key);
}

void SessionDatabase::forget()
{
    close();
    m_descriptor = db::ConnectionDescriptor();
    m_key.clear();
}

QString SessionDatabase::filePath() const
{
    return m_descriptor.engine == db::Engine::Sqlite ? m_descriptor.path : QString();
}

sql::SqlRunner *SessionDatabase::open(protocol::ErrorInfo *error)
{
    if (m_runner)
        return m_runner.get();
    if (!isDescribed()) {
        *error = protocol::ErrorInfo(m_kind == schema::Database::Registry
                                         ? QStringLiteral("帐套注册库不存在")
                                         : QStringLiteral("没有连接帐套：请先调用 ConnectAct"),
                                     QStringLiteral("database"));
        return nullptr;
    }
    db::ConnectionDescriptor descriptor = m_descriptor;
    if (descriptor.engine == db::Engine::Sqlite)
        descriptor.registerFunctions = [](sqlite3 *handle, QString *message) {
            return sql::installSqliteFunctions(handle, message);
        };
    db::Error openError;
    auto connection = db::openConnection(descriptor, &openError);
    if (connection && descriptor.engine == db::Engine::Postgres
        && !sql::installPostgresFunctions(*connection, &openError))
        connection.reset();
    if (!connection) {
        *error = databaseError(openError);
        return nullptr;
    }
    m_translator = m_translators.get(m_key, m_kind, *connection);
    m_runner = std::make_unique<sql::SqlRunner>(std::move(connection), *m_translator);
    return m_runner.get();
}

void SessionDatabase::close()
{
    if (m_runner)
        m_runner->connection().close();
    m_runner.reset();
    m_translator.reset();
}

bool SessionDatabase::admit(const QString &statement, protocol::ErrorInfo *error)
{
    if (!m_log || m_log->admit(statement))
        return true;
    *error = protocol::ErrorInfo(QStringLiteral("Not Execute: 更新语句没有 SET 子句，已拒绝执行"),
                                 QStringLiteral("guard"));
    return false;
}

std::unique_ptr<sql::RunCursor> SessionDatabase::openCursor(const QString &statement, protocol::ErrorInfo *error)
{
    if (!admit(statement, error))
        return nullptr;
    sql::SqlRunner *runner = open(error);
    if (!runner)
        return nullptr;
    sql::RunError runError;
    auto cursor = runner->openCursor(statement, &runError);
    if (!cursor)
        *error = toErrorInfo(runError);
    return cursor;
}

std::optional<sql::RunResult> SessionDatabase::run(const QString &statement, protocol::ErrorInfo *error,
                                                   qint64 *rowsAffected)
{
    if (!admit(statement, error))
        return std::nullopt;
    sql::SqlRunner *runner = open(error);
    if (!runner)
        return std::nullopt;
    sql::RunError runError;
    auto result = runner->run(statement, &runError, rowsAffected);
    if (!result)
        *error = toErrorInfo(runError);
    return result;
}

std::optional<sql::TranslateResult> SessionDatabase::translate(const QString &statement, protocol::ErrorInfo *error)
{
    sql::SqlRunner *runner = open(error);
    if (!runner)
        return std::nullopt;
    sql::RunError runError;
    auto result = runner->translate(statement, &runError);
    if (!result)
        *error = toErrorInfo(runError);
    return result;
}

} // namespace qv::server
