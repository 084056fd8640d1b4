// One database connection of a client: the account-set registry, or the
// business database of the account set the client chose. It is described first
// and opened on first use, as clients expect (a missing account-set file shows
// up when the first dataset is fetched).
//
// The business connection is gated: every statement, whether a client sent it,
// a dataset opened it or the server generated it, passes the statement log and
// its guard first, then the dialect engine, then the database. The registry
// connection has no log.
#pragma once

#include "db/ConnectionFactory.h"
#include "protocol/ErrorInfo.h"
#include "server/StatementLog.h"
#include "server/TranslatorPool.h"
#include "sql/runner/SqlRunner.h"

#include <memory>
#include <optional>

namespace qv::server {

// The client-facing form of a statement failure: the translation error with its
// place, or the engine's message.
protocol::ErrorInfo toErrorInfo(const sql::RunError &error);
protocol::ErrorInfo databaseError(const db::Error &error);

class SessionDatabase {
public:
    // log == nullptr: statements are not logged (the registry).
    SessionDatabase(TranslatorPool &translators, schema::Database kind, StatementLog *log);
    ~SessionDatabase();
    SessionDatabase(const SessionDatabase &) = delete;
    SessionDatabase &operator=(const SessionDatabase &) = delete;

    // Where the database is; takes effect when it next opens. The key names the
    // database for sharing its translator (a canonical path or the conninfo).
    void describe(db::ConnectionDescriptor descriptor, QString key);
    // Back to undescribed (closing the connection).
    void forget();
    bool isDescribed() const { return !m_key.isEmpty(); }
    bool isOpen() const { return m_runner != nullptr; }
    db::Engine engine() const { return m_descriptor.engine; }
    const QString &key() const { return m_key; }
    // SQLite: the database file; empty otherwise.
    QString filePath() const;

    // Opens the database if it is not open; nullptr with *error when it cannot.
    sql::SqlRunner *open(protocol::ErrorInfo *error);
    // Closes the connection and everything read through it; it reopens on next use.
    void close();

    // The log and its guard alone, for statements the server builds and runs
    // on the database layer itself. False (the request fails) when refused.
    bool admit(const QString &statement, protocol::ErrorInfo *error);

    // Log and guard, translate, run.
    std::unique_ptr<sql::RunCursor> openCursor(const QString &statement, protocol::ErrorInfo *error);
    std::optional<sql::RunResult> run(const QString &statement, protocol::ErrorInfo *error,
                                      qint64 *rowsAffected = nullptr);
    // Translation alone (to learn a statement's result columns); not logged.
    std::optional<sql::TranslateResult> translate(const QString &statement, protocol::ErrorInfo *error);

    // Lets go of any read snapshot a half-read cursor holds (db::Connection).
    void releaseSnapshot()
    {
        if (m_runner)
            m_runner->connection().releaseSnapshot();
    }

    // The open connection; nullptr while closed.
    db::Connection *connection() { return m_runner ? &m_runner->connection() : nullptr; }

private:
    TranslatorPool &m_translators;
    schema::Database m_kind;
    StatementLog *m_log;
    db::ConnectionDescriptor m_descriptor;
    QString m_key;
    std::shared_ptr<sql::Translator> m_translator;
    std::unique_ptr<sql::SqlRunner> m_runner;
};

} // namespace qv::server
