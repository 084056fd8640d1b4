#include "db/PgConnection.h"

#include "db/Catalogue.h"
#include "db/PgStatement.h"

namespace qv::db {

namespace {

const char *const sessionSettings =
    "SET DateStyle TO 'ISO, YMD'; SET bytea_output TO 'hex'; SET extra_float_digits TO 1";

void ignoreNotice(void *, const char *) {}

QString withoutTrailingSemicolons(const QString &sql)
{
    QString text = sql.trimmed();
    while (text.endsWith(QLatin1Char(';')))
        text = text.chopped(1).trimmed();
    return text;
}

} // namespace

PgConnection::PgConnection(QString conninfo) : m_conninfo(std::move(conninfo)) {}

PgConnection::~PgConnection()
{
    close();
}

const EngineTraits &PgConnection::traits() const
{
    return EngineTraits::of(Engine::Postgres);
}

bool PgConnection::isOpen() const
{
    return m_session && PQstatus(m_session->conn) == CONNECTION_OK;
}

bool PgConnection::open()
{
    if (isOpen())
        return true;
    m_session.reset(); // a session the server dropped is opened anew
    clearError();
    // A time-out ahead of the connection string, which may override it.
    const QByteArray conninfo = m_conninfo.toUtf8();
    const char *const keywords[] = {"connect_timeout", "dbname", nullptr};
    const char *const values[] = {"10", conninfo.constData(), nullptr};
    PGconn *conn = PQconnectdbParams(keywords, values, 1);
    if (!conn)
        return fail(Phase::Open, QStringLiteral("out of memory"));
    auto session = std::make_shared<PgSession>(conn);
    if (PQstatus(conn) != CONNECTION_OK) {
        // The message of libpq never repeats the password of the connection string.
        return fail(Phase::Open, pg::resultError(conn, nullptr, Phase::Open, QString()).message);
    }
    PQsetNoticeProcessor(conn, ignoreNotice, nullptr);
    if (PQsetClientEncoding(conn, "UTF8") != 0)
        return fail(Phase::Open, pg::resultError(conn, nullptr, Phase::Open, QString()).message);
    const pg::Result result(PQexec(conn, sessionSettings));
    if (!pg::succeeded(result.get())) {
        setError(pg::resultError(conn, result.get(), Phase::Open, QString::fromLatin1(sessionSettings)));
        return false;
    }
    m_session = std::move(session);
    return true;
}

void PgConnection::close()
{
    // The server rolls back an open transaction when the session ends. Cursors
    // and statements hold the session weakly and see it gone.
    m_session.reset();
}

std::optional<qint64> PgConnection::exec(const QString &sql)
{
    if (!m_session) {
        fail(Phase::Execute, QStringLiteral("the connection is not open"), sql);
        return std::nullopt;
    }
    clearError();
    const pg::Result result(PQexec(m_session->conn, sql.toUtf8().constData()));
    if (PQresultStatus(result.get()) == PGRES_EMPTY_QUERY)
        return 0;
    if (!pg::succeeded(result.get())) {
        setError(pg::resultError(m_session->conn, result.get(), Phase::Execute, sql));
        return std::nullopt;
    }
    return pg::rowsAffected(result.get());
}

std::optional<ResultSet> PgConnection::query(const QString &sql)
{
    if (!m_session) {
        fail(Phase::Execute, QStringLiteral("the connection is not open"), sql);
        return std::nullopt;
    }
    clearError();
    // PQexecParams runs exactly one statement, as SQLite's query does.
    const pg::Result result(PQexecParams(m_session->conn, sql.toUtf8().constData(), 0, nullptr,
                                         nullptr, nullptr, nullptr, 0));
    if (!pg::succeeded(result.get())) {
        setError(pg::resultError(m_session->conn, result.get(), Phase::Execute, sql));
        return std::nullopt;
    }
    ResultSet set;
    set.columns = pg::describeColumns(*m_session, result.get());
    pg::readRows(result.get(), set.rows);
    return set;
}

std::unique_ptr<Cursor> PgConnection::openCursor(const QString &sql)
{
    if (!m_session) {
        fail(Phase::Execute, QStringLiteral("the connection is not open"), sql);
        return nullptr;
    }
    clearError();
    // WITH HOLD lets the cursor outlive the statement's transaction: outside a
    // transaction the server keeps the result on its side, and this connection
    // stays free for other statements between packets.
    const QString name = QStringLiteral("qv_cursor_%1").arg(++m_session->cursorCount);
    const QString prefix = QStringLiteral("DECLARE %1 NO SCROLL CURSOR WITH HOLD FOR ").arg(name);
    const pg::Result declared(
        PQexec(m_session->conn, (prefix + withoutTrailingSemicolons(sql)).toUtf8().constData()));
    if (!pg::succeeded(declared.get())) {
        setError(pg::resultError(m_session->conn, declared.get(), Phase::Execute, sql,
                                 int(prefix.size())));
        return nullptr;
    }
    const pg::Result described(PQdescribePortal(m_session->conn, name.toUtf8().constData()));
    if (!pg::succeeded(described.get())) {
        setError(pg::resultError(m_session->conn, described.get(), Phase::Execute, sql));
        PQclear(PQexec(m_session->conn, ("CLOSE " + name).toUtf8().constData()));
        return nullptr;
    }
    return std::make_unique<PgCursor>(m_session, name,
                                      pg::describeColumns(*m_session, described.get()), sql);
}

std::unique_ptr<Statement> PgConnection::prepare(const QString &sql)
{
    if (!m_session) {
        fail(Phase::Prepare, QStringLiteral("the connection is not open"), sql);
        return nullptr;
    }
    clearError();
    // The unnamed server-side statement checks the text now and tells how many
    // parameters it takes; each run then passes the statement with its values.
    const pg::Result prepared(PQprepare(m_session->conn, "", sql.toUtf8().constData(), 0, nullptr));
    if (!pg::succeeded(prepared.get())) {
        setError(pg::resultError(m_session->conn, prepared.get(), Phase::Prepare, sql));
        return nullptr;
    }
    const pg::Result described(PQdescribePrepared(m_session->conn, ""));
    if (!pg::succeeded(described.get())) {
        setError(pg::resultError(m_session->conn, described.get(), Phase::Prepare, sql));
        return nullptr;
    }
    return std::make_unique<PgPreparedStatement>(m_session, sql, PQnparams(described.get()));
}

bool PgConnection::inTransaction() const
{
    if (!m_session)
        return false;
    const PGTransactionStatusType status = PQtransactionStatus(m_session->conn);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

bool PgConnection::runTransactionStatement(Phase phase, const QString &sql)
{
    clearError();
    const pg::Result result(PQexec(m_session->conn, sql.toUtf8().constData()));
    if (!pg::succeeded(result.get())) {
        setError(pg::resultError(m_session->conn, result.get(), phase, sql));
        return false;
    }
    // COMMIT of a transaction in which a statement failed quietly rolls back.
    if (phase == Phase::Commit && qstrcmp(PQcmdStatus(result.get()), "ROLLBACK") == 0) {
        return fail(phase, QStringLiteral("a statement in the transaction failed, so the "
                                          "server rolled it back"),
                    sql);
    }
    return true;
}

std::optional<QStringList> PgConnection::tableNames()
{
    return catalogue::names(query(QStringLiteral(
        "SELECT c.relname FROM pg_catalog.pg_class c "
        "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
        "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'p') "
        "ORDER BY c.oid")));
}

std::optional<QList<TableColumn>> PgConnection::columns(const QString &table)
{
    // Names the DDL did not quote are folded to lower case; an exact match wins
    // over one that differs in case only.
    const QString sql = QStringLiteral(
        "SELECT c.relname, a.attname, pg_catalog.format_type(a.atttypid, a.atttypmod), "
        "a.attnotnull, "
        "coalesce((SELECT k.n FROM unnest(i.indkey) WITH ORDINALITY AS k(attnum, n) "
        "          WHERE k.attnum = a.attnum), 0), "
        "a.atttypid::int8 "
        "FROM pg_catalog.pg_class c "
        "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
        "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 "
        "     AND NOT a.attisdropped "
        "LEFT JOIN pg_catalog.pg_index i ON i.indrelid = c.oid AND i.indisprimary "
        "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'p', 'v', 'm', 'f') "
        "AND lower(c.relname) = lower($1) "
        "ORDER BY c.relname = $1 DESC, c.relname, a.attnum");
    Error error;
    const auto rows = catalogue::tableRows(*this, sql, table, &error);
    if (!rows) {
        setError(error);
        return std::nullopt;
    }
    const QString found = rows->first().value(0).toString();
    QList<TableColumn> columns;
    for (const Row &row : *rows) {
        if (row.value(0).toString() != found)
            break;
        TableColumn column = catalogue::column(row, 1);
        column.kind = pg::kindOfType(Oid(row.value(5).toLongLong()));
        columns.append(column);
    }
    return columns;
}

} // namespace qv::db
