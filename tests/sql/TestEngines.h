// Real SQLite and PostgreSQL databases for the translation tests: tables made
// from a catalog the way the schema builder makes them (SQLite: quoted names,
// NOCASE texts, dates as text; PostgreSQL: lower-case names, citext,
// timestamp(0), boolean), statements run through the translator, and values
// read back in one comparable text form.
#pragma once

#include "sql/Catalog.h"
#include "sql/PostgresFunctions.h"
#include "sql/SqliteFunctions.h"
#include "sql/Translator.h"

#include <QStringList>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cmath>
#include <memory>
#include <unistd.h>

namespace qv::sql::test {

struct Rows {
    bool ok = false;
    QString error;
    QString sql;                // as translated
    QStringList columns;        // names from the translator
    std::vector<QStringList> rows;

    QString text() const
    {
        QStringList lines;
        for (const QStringList &r : rows)
            lines << r.join(QLatin1Char('|'));
        return lines.join(QLatin1Char('\n'));
    }
};

// One value in the common text form: numbers without trailing zeros, yes/no as
// true/false, dates canonical, Null as NULL.
inline QString normalise(const QString &raw, bool isNull, SqlType type)
{
    if (isNull)
        return QStringLiteral("NULL");
    switch (type) {
    case SqlType::Integer:
    case SqlType::Double: {
        bool ok = false;
        const double v = raw.toDouble(&ok);
        if (!ok)
            return raw;
        return QString::number(v, 'g', 12);
    }
    case SqlType::YesNo:
        if (raw == QLatin1String("t") || raw == QLatin1String("true"))
            return QStringLiteral("true");
        if (raw == QLatin1String("f") || raw == QLatin1String("false"))
            return QStringLiteral("false");
        return raw.toDouble() != 0 ? QStringLiteral("true") : QStringLiteral("false");
    case SqlType::Date: {
        QString t = raw;
        if (t.endsWith(QLatin1String(" 00:00:00")))
            t.chop(9);
        return t;
    }
    default:
        return raw;
    }
}

class Database {
public:
    virtual ~Database() = default;
    virtual qv::sql::Engine kind() const = 0;
    virtual bool exec(const QString &sql, QString *error) = 0;
    virtual Rows query(const QString &sql, const QList<ResultColumn> &columns) = 0;

    // Translates and runs one statement of the original dialect.
    Rows run(Translator &translator, const QString &statement)
    {
        const TranslateResult t = translator.translate(statement, kind());
        Rows r;
        if (!t.ok) {
            r.error = t.error.toString();
            return r;
        }
        for (const Attachment &a : t.attachments) {
            QString error;
            if (!exec(QStringLiteral("ATTACH DATABASE '%1' AS %2").arg(a.path, a.alias), &error)) {
                r.error = error;
                return r;
            }
        }
        if (t.returnsRows()) {
            r = query(t.sql, t.columns);
            for (const ResultColumn &c : t.columns)
                r.columns << c.name;
        } else {
            r.ok = exec(t.sql, &r.error);
        }
        r.sql = t.sql;
        for (const Attachment &a : t.attachments) {
            QString ignored;
            exec(QStringLiteral("DETACH DATABASE %1").arg(a.alias), &ignored);
        }
        return r;
    }
};

class SqliteEngine : public Database {
public:
    explicit SqliteEngine(const QString &path = QStringLiteral(":memory:"))
    {
        sqlite3_open(path.toUtf8().constData(), &m_db);
        QString error;
        installSqliteFunctions(m_db, &error);
    }
    ~SqliteEngine() override { sqlite3_close(m_db); }
    qv::sql::Engine kind() const override { return qv::sql::Engine::Sqlite; }

    bool exec(const QString &sql, QString *error) override
    {
        char *message = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
            return true;
        *error = QString::fromUtf8(message);
        sqlite3_free(message);
        return false;
    }

    Rows query(const QString &sql, const QList<ResultColumn> &columns) override
    {
        Rows r;
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            r.error = QString::fromUtf8(sqlite3_errmsg(m_db));
            return r;
        }
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const bool isNull = sqlite3_column_type(stmt, i) == SQLITE_NULL;
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
                const SqlType type = i < columns.size() ? columns[i].type : SqlType::Unknown;
                row << normalise(text ? QString::fromUtf8(text) : QString(), isNull, type);
            }
            r.rows.push_back(row);
        }
        if (rc != SQLITE_DONE)
            r.error = QString::fromUtf8(sqlite3_errmsg(m_db));
        r.ok = rc == SQLITE_DONE;
        sqlite3_finalize(stmt);
        return r;
    }

    sqlite3 *db() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};

class PostgresEngine : public Database {
public:
    // Works in a schema of its own, dropped again at the end.
    explicit PostgresEngine(const QString &conninfo)
    {
        m_conn = PQconnectdb(conninfo.toUtf8().constData());
        static int instances = 0;
        m_schema = QStringLiteral("qv_sql_test_%1_%2").arg(getpid()).arg(++instances);
        QString error;
        exec(QStringLiteral("SET client_min_messages = warning"), &error);
        exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema), &error);
        exec(QStringLiteral("CREATE SCHEMA %1").arg(m_schema), &error);
        // Test processes run side by side; CREATE EXTENSION is not safe to race,
        // and it must live in public, not in a schema a test drops.
        exec(QStringLiteral("SELECT pg_advisory_lock(20240115)"), &error);
        if (!exec(QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext SCHEMA public"), &error))
            m_setupError += error + QLatin1Char('\n');
        exec(QStringLiteral("SET search_path = %1, public").arg(m_schema), &error);
        for (const QString &s : postgresFunctionStatements()) {
            if (!exec(s, &error))
                m_setupError += error + QLatin1Char('\n');
        }
        exec(QStringLiteral("SELECT pg_advisory_unlock(20240115)"), &error);
    }
    ~PostgresEngine() override
    {
        QString error;
        exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema), &error);
        PQfinish(m_conn);
    }
    bool connected() const { return PQstatus(m_conn) == CONNECTION_OK; }
    QString setupError() const { return m_setupError + QString::fromUtf8(PQerrorMessage(m_conn)); }
    qv::sql::Engine kind() const override { return qv::sql::Engine::Postgres; }

    bool exec(const QString &sql, QString *error) override
    {
        PGresult *res = PQexec(m_conn, sql.toUtf8().constData());
        const ExecStatusType status = PQresultStatus(res);
        const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
        if (!ok)
            *error = QString::fromUtf8(PQresultErrorMessage(res)).trimmed();
        PQclear(res);
        return ok;
    }

    Rows query(const QString &sql, const QList<ResultColumn> &columns) override
    {
        Rows r;
        PGresult *res = PQexec(m_conn, sql.toUtf8().constData());
        if (PQresultStatus(res) != PGRES_TUPLES_OK) {
            r.error = QString::fromUtf8(PQresultErrorMessage(res)).trimmed();
            PQclear(res);
            return r;
        }
        for (int row = 0; row < PQntuples(res); ++row) {
            QStringList values;
            for (int i = 0; i < PQnfields(res); ++i) {
                const SqlType type = i < columns.size() ? columns[i].type : SqlType::Unknown;
                values << normalise(QString::fromUtf8(PQgetvalue(res, row, i)), PQgetisnull(res, row, i), type);
            }
            r.rows.push_back(values);
        }
        r.ok = true;
        PQclear(res);
        return r;
    }

private:
    PGconn *m_conn = nullptr;
    QString m_schema;
    QString m_setupError;
};

// CREATE TABLE for a catalog table, as the schema builder writes it.
inline QString createTableSql(const CatalogTable &t, qv::sql::Engine engine)
{
    QStringList columns;
    const bool sqlite = engine == qv::sql::Engine::Sqlite;
    for (const CatalogColumn &c : t.columns) {
        QString type;
        switch (c.type) {
        case SqlType::Text: type = sqlite ? QStringLiteral("VARCHAR(255) COLLATE NOCASE") : QStringLiteral("citext"); break;
        case SqlType::Integer: type = sqlite ? QStringLiteral("INTEGER") : QStringLiteral("integer"); break;
        case SqlType::Double: type = sqlite ? QStringLiteral("DOUBLE") : QStringLiteral("double precision"); break;
        case SqlType::Date: type = sqlite ? QStringLiteral("DATE_TEXT") : QStringLiteral("timestamp(0)"); break;
        case SqlType::YesNo: type = sqlite ? QStringLiteral("BOOLEAN DEFAULT 0 CHECK (\"%1\" IN (0, 1))").arg(c.name)
                                           : QStringLiteral("boolean DEFAULT false"); break;
        default: type = sqlite ? QStringLiteral("BLOB") : QStringLiteral("bytea"); break;
        }
        columns << (sqlite ? QStringLiteral("\"%1\"").arg(c.name) : c.name.toLower()) + QLatin1Char(' ') + type;
    }
    const QString name = sqlite ? QStringLiteral("\"%1\"").arg(t.name) : t.name.toLower();
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(name, columns.join(QStringLiteral(", ")));
}

} // namespace qv::sql::test
