#include "EngineFixture.h"

#include <QFileInfo>

namespace qv::db::test {
namespace {

class ErrorTest : public EngineTest {};

TEST_P(ErrorTest, BadSqlIsReportedWithPhasePositionAndText)
{
    auto db = open();
    ASSERT_TRUE(db);
    const QString bad = QStringLiteral("SELEC 1");
    EXPECT_FALSE(db->query(bad));
    const Error error = db->lastError();
    EXPECT_EQ(error.phase, Phase::Prepare);
    EXPECT_TRUE(error.message.contains(QStringLiteral("syntax error"))) << error.message.toStdString();
    EXPECT_TRUE(error.message.contains(QStringLiteral("at position 1"))) << error.message.toStdString();
    EXPECT_EQ(error.statement, bad);
    EXPECT_TRUE(error.text().startsWith(QStringLiteral("prepare: ")));

    EXPECT_FALSE(db->exec(bad));
    EXPECT_EQ(db->lastError().phase, Phase::Prepare);
    EXPECT_FALSE(db->openCursor(bad));
    EXPECT_EQ(db->lastError().phase, Phase::Prepare);
    // Positions count from the caller's text, not from any wrapping.
    EXPECT_FALSE(db->openCursor(QStringLiteral("SELECT 1 FROM WHERE")));
    EXPECT_TRUE(db->lastError().message.contains(QStringLiteral("(at position 15)")))
        << db->lastError().message.toStdString();

    // A cursor only reads: a write handed to it is refused before anything runs.
    execOrFail(*db, QStringLiteral("CREATE TABLE t (x INTEGER)"));
    EXPECT_FALSE(db->openCursor(QStringLiteral("INSERT INTO t VALUES (1)")));
    EXPECT_EQ(db->lastError().phase, Phase::Prepare);
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT count(*) FROM t")), Value(qint64(0)));

    EXPECT_FALSE(db->prepare(bad));
    EXPECT_EQ(db->lastError().phase, Phase::Prepare);
    EXPECT_FALSE(db->prepare(QStringLiteral("INSERT INTO no_such_table VALUES (1)")));
    EXPECT_EQ(db->lastError().phase, Phase::Prepare);

    // The connection stays usable after errors.
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT 1")), Value(qint64(1)));
}

TEST_P(ErrorTest, MissingTableIsNamed)
{
    auto db = open();
    ASSERT_TRUE(db);
    EXPECT_FALSE(db->query(QStringLiteral("SELECT * FROM no_such_table")));
    EXPECT_EQ(db->lastError().phase, Phase::Prepare);
    EXPECT_TRUE(db->lastError().message.contains(QStringLiteral("no_such_table")))
        << db->lastError().message.toStdString();
    EXPECT_FALSE(db->columns(QStringLiteral("no_such_table")));
    EXPECT_TRUE(db->lastError().message.contains(QStringLiteral("no_such_table")));
}

TEST_P(ErrorTest, ConstraintViolationsAreExecutionErrors)
{
    auto db = open();
    ASSERT_TRUE(db);
    execOrFail(*db, QStringLiteral("CREATE TABLE keys (id INTEGER PRIMARY KEY, name %1 NOT NULL)")
                        .arg(traits().typeName(ValueKind::Text)));
    execOrFail(*db, QStringLiteral("INSERT INTO keys VALUES (1, 'a')"));
    EXPECT_FALSE(db->exec(QStringLiteral("INSERT INTO keys VALUES (1, 'b')")));
    EXPECT_EQ(db->lastError().phase, Phase::Execute);
    EXPECT_FALSE(db->lastError().message.isEmpty());

    const auto insert = db->prepare(QStringLiteral("INSERT INTO keys VALUES (%1, %2)")
                                        .arg(traits().parameter(1), traits().parameter(2)));
    ASSERT_TRUE(insert);
    insert->bindAll({2, Value()});
    EXPECT_FALSE(insert->execute());
    EXPECT_EQ(insert->lastError().phase, Phase::Execute);
    EXPECT_FALSE(insert->lastError().message.isEmpty());
    insert->bindAll({2, QStringLiteral("b")});
    EXPECT_EQ(insert->execute(), 1); // the same statement runs again after a failure
}

TEST_P(ErrorTest, OpeningAnUnreachableDatabaseFails)
{
    Error error;
    const ConnectionDescriptor unreachable = unreachableDescriptor();
    EXPECT_FALSE(openConnection(unreachable, &error));
    EXPECT_EQ(error.phase, Phase::Open);
    EXPECT_FALSE(error.message.isEmpty());
    if (!unreachable.path.isEmpty()) {
        EXPECT_FALSE(QFileInfo::exists(QFileInfo(unreachable.path).absolutePath()));
    }

    auto connection = createConnection(unreachable);
    EXPECT_FALSE(connection->open());
    EXPECT_FALSE(connection->isOpen());
    EXPECT_EQ(connection->lastError().phase, Phase::Open);
}

TEST_P(ErrorTest, CallsOnAClosedConnectionFailCleanly)
{
    auto connection = createConnection(descriptor());
    EXPECT_FALSE(connection->exec(QStringLiteral("SELECT 1")));
    EXPECT_FALSE(connection->lastError().message.isEmpty());
    EXPECT_FALSE(connection->query(QStringLiteral("SELECT 1")));
    EXPECT_FALSE(connection->openCursor(QStringLiteral("SELECT 1")));
    EXPECT_FALSE(connection->prepare(QStringLiteral("SELECT 1")));
    EXPECT_FALSE(connection->tableNames());
    EXPECT_FALSE(connection->beginTransaction());
    EXPECT_EQ(connection->lastError().phase, Phase::Begin);
    TransactionGuard guard(*connection);
    EXPECT_FALSE(guard.isActive());
}

TEST_P(ErrorTest, QueryTakesOneStatementAndExecTakesSeveral)
{
    auto db = open();
    ASSERT_TRUE(db);
    EXPECT_FALSE(db->query(QStringLiteral("SELECT 1; SELECT 2")));
    EXPECT_TRUE(db->lastError().isSet());
    const auto affected = db->exec(QStringLiteral(
        "CREATE TABLE a (x INTEGER); INSERT INTO a VALUES (1); INSERT INTO a VALUES (2);"));
    ASSERT_TRUE(affected) << db->lastError().text().toStdString();
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT count(*) FROM a")), Value(qint64(2)));
    EXPECT_EQ(db->exec(QStringLiteral("  ")), 0);
}

QV_INSTANTIATE_FOR_ENGINES(ErrorTest);

} // namespace
} // namespace qv::db::test
