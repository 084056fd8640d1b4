#include "EngineFixture.h"

#include "db/PgConnection.h"

#include <cmath>

namespace qv::db::test {
namespace {

// PostgreSQL only: the instantiation below lists no other engine.
class PgConnectionTest : public EngineTest {};

TEST_P(PgConnectionTest, CommitAfterAFailedStatementIsReportedAsAFailure)
{
    auto db = open();
    ASSERT_TRUE(db);
    execOrFail(*db, QStringLiteral("CREATE TABLE bills (id integer PRIMARY KEY)"));
    TransactionGuard transaction(*db);
    ASSERT_TRUE(transaction.isActive());
    execOrFail(*db, QStringLiteral("INSERT INTO bills VALUES (1)"));
    EXPECT_FALSE(db->exec(QStringLiteral("INSERT INTO bills VALUES (1)")));
    // The server answers COMMIT of a failed transaction with a rollback.
    EXPECT_FALSE(transaction.commit());
    EXPECT_EQ(db->lastError().phase, Phase::Commit);
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT count(*) FROM bills")), Value(qint64(0)));
}

TEST_P(PgConnectionTest, ServerTypesConvertByTypeNumber)
{
    auto db = open();
    ASSERT_TRUE(db);
    const auto result = db->query(QStringLiteral(
        "SELECT 12.50::numeric AS n, 7::int2 AS s, 'x'::varchar(5) AS v, NULL::int AS z, "
        "'NaN'::float8 AS nan, '-Infinity'::float8 AS inf, DATE '2024-02-29' AS d, "
        "TIMESTAMP '2024-01-15 23:59:59.6' AS ts, TIMESTAMPTZ '2024-01-15 12:00:00+08' AS tz, "
        "'{1,2}'::int[] AS arr"));
    ASSERT_TRUE(result) << db->lastError().text().toStdString();
    EXPECT_EQ(result->value(0, u"n"), Value(12.5));
    EXPECT_EQ(result->value(0, u"s"), Value(qint64(7)));
    EXPECT_EQ(result->value(0, u"v"), Value(QStringLiteral("x")));
    EXPECT_FALSE(result->value(0, u"z").isValid());
    EXPECT_TRUE(std::isnan(result->value(0, u"nan").toDouble()));
    EXPECT_EQ(result->value(0, u"inf").toDouble(), -INFINITY);
    EXPECT_EQ(result->value(0, u"d"), Value(QDateTime(QDate(2024, 2, 29), QTime(0, 0))));
    EXPECT_EQ(result->value(0, u"ts"), Value(QDateTime(QDate(2024, 1, 15), QTime(23, 59, 59, 600))));
    EXPECT_EQ(result->value(0, u"tz").toDateTime().toUTC(),
              QDateTime(QDate(2024, 1, 15), QTime(4, 0), Qt::UTC));
    EXPECT_EQ(result->value(0, u"arr"), Value(QStringLiteral("{1,2}")));
    const QList<ValueKind> kinds = {ValueKind::Double,   ValueKind::Integer,  ValueKind::Text,
                                    ValueKind::Integer,  ValueKind::Double,   ValueKind::Double,
                                    ValueKind::DateTime, ValueKind::DateTime, ValueKind::DateTime,
                                    ValueKind::Text};
    for (qsizetype c = 0; c < kinds.size(); ++c)
        EXPECT_EQ(result->columns[c].kind, kinds[c]) << c;
    EXPECT_EQ(result->columns[2].declaredType, QStringLiteral("character varying(5)"));
}

TEST_P(PgConnectionTest, TextWithANulCharacterIsRefusedNotCut)
{
    auto db = open();
    ASSERT_TRUE(db);
    execOrFail(*db, QStringLiteral("CREATE TABLE t (s text)"));
    const auto insert = db->prepare(QStringLiteral("INSERT INTO t VALUES ($1)"));
    insert->bind(1, QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
    EXPECT_FALSE(insert->execute());
    EXPECT_EQ(insert->lastError().phase, Phase::Bind);
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT count(*) FROM t")), Value(qint64(0)));
}

TEST_P(PgConnectionTest, ADroppedSessionIsReportedAndCanBeOpenedAgain)
{
    auto db = open();
    ASSERT_TRUE(db);
    const auto pid = db->queryValue(QStringLiteral("SELECT pg_backend_pid()"));
    ASSERT_TRUE(pid);
    execOrFail(*m_admin, QStringLiteral("SELECT pg_terminate_backend(%1)").arg(pid->toLongLong()));
    EXPECT_FALSE(db->query(QStringLiteral("SELECT 1")));
    EXPECT_FALSE(db->lastError().message.isEmpty());
    EXPECT_FALSE(db->isOpen());
    ASSERT_TRUE(db->open()) << db->lastError().text().toStdString();
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT 1")), Value(qint64(1)));
}

TEST_P(PgConnectionTest, OpenErrorsNeverRepeatThePassword)
{
    PgConnection connection(QStringLiteral("host=%1 port=1 user=qv password=sekrit connect_timeout=2")
                                .arg(m_dir.filePath(QStringLiteral("none"))));
    EXPECT_FALSE(connection.open());
    EXPECT_EQ(connection.lastError().phase, Phase::Open);
    EXPECT_FALSE(connection.lastError().message.isEmpty());
    EXPECT_FALSE(connection.lastError().text().contains(QStringLiteral("sekrit")));

    PgConnection malformed(QStringLiteral("host='unterminated password=sekrit"));
    EXPECT_FALSE(malformed.open());
    EXPECT_FALSE(malformed.lastError().text().contains(QStringLiteral("sekrit")));
}

INSTANTIATE_TEST_SUITE_P(Engines, PgConnectionTest, ::testing::Values(Engine::Postgres), engineName);

} // namespace
} // namespace qv::db::test
