#include "EngineFixture.h"

namespace qv::db::test {
namespace {

class CursorTest : public EngineTest {
protected:
    void fillNumbers(Connection &db, int count)
    {
        execOrFail(db, QStringLiteral("CREATE TABLE numbers (n INTEGER PRIMARY KEY, label %1)")
                           .arg(traits().typeName(ValueKind::Text)));
        TransactionGuard transaction(db);
        ASSERT_TRUE(transaction.isActive()) << db.lastError().text().toStdString();
        const auto insert = db.prepare(QStringLiteral("INSERT INTO numbers (n, label) VALUES (%1, %2)")
                                           .arg(traits().parameter(1), traits().parameter(2)));
        ASSERT_TRUE(insert);
        for (int n = 0; n < count; ++n) {
            insert->bindAll({n, QStringLiteral("第%1行").arg(n)});
            ASSERT_TRUE(insert->execute()) << insert->lastError().text().toStdString();
        }
        ASSERT_TRUE(transaction.commit()) << db.lastError().text().toStdString();
    }
};

TEST_P(CursorTest, FetchesFiveThousandRowsInPacketsOf2000)
{
    auto db = open();
    ASSERT_TRUE(db);
    fillNumbers(*db, 5000);
    execOrFail(*db, QStringLiteral("CREATE TABLE other (x INTEGER)"));

    const auto cursor = db->openCursor(QStringLiteral("SELECT n, label FROM numbers ORDER BY n;"));
    ASSERT_TRUE(cursor) << db->lastError().text().toStdString();
    ASSERT_EQ(cursor->columns().size(), 2);
    EXPECT_EQ(cursor->columns()[0].name, QStringLiteral("n"));
    EXPECT_EQ(cursor->columns()[1].kind, ValueKind::Text);

    QList<Row> all;
    QList<qsizetype> packetSizes;
    while (!cursor->atEnd()) {
        QList<Row> packet;
        ASSERT_TRUE(cursor->fetch(2000, packet)) << cursor->lastError().text().toStdString();
        packetSizes.append(packet.size());
        all += packet;
        // The server answers other calls between packets on the same connection,
        // including writes in transactions of their own.
        TransactionGuard transaction(*db);
        ASSERT_TRUE(transaction.isActive()) << db->lastError().text().toStdString();
        execOrFail(*db, QStringLiteral("INSERT INTO other (x) VALUES (1)"));
        ASSERT_TRUE(transaction.commit()) << db->lastError().text().toStdString();
        ASSERT_TRUE(db->queryValue(QStringLiteral("SELECT count(*) FROM other")));
        ASSERT_LE(packetSizes.size(), 4);
    }
    EXPECT_EQ(packetSizes, (QList<qsizetype>{2000, 2000, 1000}));
    ASSERT_EQ(all.size(), 5000);
    for (int n = 0; n < 5000; ++n) {
        ASSERT_EQ(all[n][0], Value(qint64(n)));
        ASSERT_EQ(all[n][1], Value(QStringLiteral("第%1行").arg(n)));
    }
    QList<Row> more;
    EXPECT_TRUE(cursor->fetch(2000, more));
    EXPECT_TRUE(more.isEmpty());
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT count(*) FROM other")), Value(qint64(3)));
}

TEST_P(CursorTest, ExactMultipleEndsWithAnEmptyPacket)
{
    auto db = open();
    ASSERT_TRUE(db);
    fillNumbers(*db, 4000);
    const auto cursor = db->openCursor(QStringLiteral("SELECT n FROM numbers ORDER BY n"));
    ASSERT_TRUE(cursor);
    QList<Row> rows;
    ASSERT_TRUE(cursor->fetch(2000, rows));
    ASSERT_TRUE(cursor->fetch(2000, rows));
    EXPECT_EQ(rows.size(), 4000);
    ASSERT_TRUE(cursor->fetch(2000, rows));
    EXPECT_EQ(rows.size(), 4000);
    EXPECT_TRUE(cursor->atEnd());
}

TEST_P(CursorTest, EmptyResultHasColumnsAndEndsAtOnce)
{
    auto db = open();
    ASSERT_TRUE(db);
    fillNumbers(*db, 3);
    const auto cursor = db->openCursor(QStringLiteral("SELECT n, label FROM numbers WHERE n < 0"));
    ASSERT_TRUE(cursor) << db->lastError().text().toStdString();
    EXPECT_EQ(cursor->columns().size(), 2);
    QList<Row> rows;
    ASSERT_TRUE(cursor->fetch(2000, rows));
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_TRUE(cursor->atEnd());
}

TEST_P(CursorTest, ClosingTheConnectionEndsItsCursorsAndStatements)
{
    auto db = open();
    ASSERT_TRUE(db);
    fillNumbers(*db, 100);
    auto cursor = db->openCursor(QStringLiteral("SELECT n FROM numbers ORDER BY n"));
    ASSERT_TRUE(cursor);
    auto statement = db->prepare(QStringLiteral("SELECT n FROM numbers"));
    ASSERT_TRUE(statement);
    QList<Row> rows;
    ASSERT_TRUE(cursor->fetch(10, rows));

    db->close();
    EXPECT_FALSE(db->isOpen());
    EXPECT_FALSE(cursor->fetch(10, rows));
    EXPECT_EQ(cursor->lastError().phase, Phase::Fetch);
    EXPECT_TRUE(cursor->lastError().message.contains(QStringLiteral("closed")));
    EXPECT_FALSE(statement->execute());
    EXPECT_EQ(rows.size(), 10);

    // Outliving the connection object itself is safe too.
    ASSERT_TRUE(db->open());
    auto late = db->openCursor(QStringLiteral("SELECT 1"));
    ASSERT_TRUE(late);
    db.reset();
    EXPECT_FALSE(late->fetch(1, rows));
    late.reset();
    cursor.reset();
    statement.reset();
}

TEST_P(CursorTest, ACursorOpenedInATransactionSurvivesItsCommit)
{
    auto db = open();
    ASSERT_TRUE(db);
    fillNumbers(*db, 50);
    std::unique_ptr<Cursor> cursor;
    {
        TransactionGuard transaction(*db);
        cursor = db->openCursor(QStringLiteral("SELECT n FROM numbers ORDER BY n"));
        ASSERT_TRUE(cursor) << db->lastError().text().toStdString();
        ASSERT_TRUE(transaction.commit()) << db->lastError().text().toStdString();
    }
    QList<Row> rows;
    ASSERT_TRUE(cursor->fetch(0, rows)) << cursor->lastError().text().toStdString();
    EXPECT_EQ(rows.size(), 50);
}

// A client that leaves a large list half-read must still be able to save after
// other clients have saved: the open cursor may not pin an old snapshot.
TEST_P(CursorTest, AHalfReadCursorLetsItsConnectionWriteAfterOthersWrote)
{
    auto db = open();
    auto other = open();
    ASSERT_TRUE(db && other);
    fillNumbers(*db, 5000);
    execOrFail(*db, QStringLiteral("CREATE TABLE saved (x INTEGER)"));
    const auto cursor = db->openCursor(QStringLiteral("SELECT n FROM numbers ORDER BY n"));
    ASSERT_TRUE(cursor);
    QList<Row> rows;
    ASSERT_TRUE(cursor->fetch(2000, rows));

    execOrFail(*other, QStringLiteral("INSERT INTO saved VALUES (1)"));
    execOrFail(*other, QStringLiteral("DELETE FROM numbers WHERE n >= 4000"));
    {
        TransactionGuard transaction(*db);
        ASSERT_TRUE(transaction.isActive()) << db->lastError().text().toStdString();
        execOrFail(*db, QStringLiteral("INSERT INTO saved VALUES (2)"));
        ASSERT_TRUE(transaction.commit()) << db->lastError().text().toStdString();
    }
    EXPECT_EQ(other->queryValue(QStringLiteral("SELECT count(*) FROM saved")), Value(qint64(2)));

    // The rest of the result is the one the query saw when it started.
    ASSERT_TRUE(cursor->fetch(0, rows)) << cursor->lastError().text().toStdString();
    ASSERT_EQ(rows.size(), 5000);
    EXPECT_EQ(rows.last()[0], Value(qint64(4999)));
}

// Two half-read lists on one connection, and a lookup between their packets:
// the lookup sees what another client saved meanwhile, each list keeps the rows
// it started with.
TEST_P(CursorTest, HalfReadCursorsDoNotHideLaterWritesFromTheirConnection)
{
    auto db = open();
    auto other = open();
    ASSERT_TRUE(db && other);
    fillNumbers(*db, 5000);
    const auto first = db->openCursor(QStringLiteral("SELECT n FROM numbers ORDER BY n"));
    ASSERT_TRUE(first);
    QList<Row> firstRows;
    ASSERT_TRUE(first->fetch(2000, firstRows));
    execOrFail(*other, QStringLiteral("DELETE FROM numbers WHERE n < 1000"));
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT count(*) FROM numbers")), Value(qint64(4000)));

    const auto second = db->openCursor(QStringLiteral("SELECT n FROM numbers ORDER BY n"));
    ASSERT_TRUE(second);
    QList<Row> secondRows;
    ASSERT_TRUE(second->fetch(2000, secondRows));
    execOrFail(*other, QStringLiteral("DELETE FROM numbers WHERE n >= 4000"));
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT count(*) FROM numbers")), Value(qint64(3000)));

    ASSERT_TRUE(first->fetch(0, firstRows)) << first->lastError().text().toStdString();
    ASSERT_TRUE(second->fetch(0, secondRows)) << second->lastError().text().toStdString();
    EXPECT_EQ(firstRows.size(), 5000);
    EXPECT_EQ(secondRows.size(), 4000);
    EXPECT_EQ(secondRows.first()[0], Value(qint64(1000)));
}

QV_INSTANTIATE_FOR_ENGINES(CursorTest);

} // namespace
} // namespace qv::db::test
