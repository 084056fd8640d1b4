#include "EngineFixture.h"

namespace qv::db::test {
namespace {

class TransactionTest : public EngineTest {
protected:
    std::unique_ptr<Connection> openWithTable()
    {
        auto db = open();
        if (db)
            execOrFail(*db, QStringLiteral("CREATE TABLE bills (id INTEGER PRIMARY KEY, no %1)")
                                .arg(traits().typeName(ValueKind::Text)));
        return db;
    }

    static qint64 count(Connection &db)
    {
        const auto value = db.queryValue(QStringLiteral("SELECT count(*) FROM bills"));
        return value ? value->toLongLong() : -1;
    }
};

TEST_P(TransactionTest, GuardRollsBackWhenLeftUncommitted)
{
    auto db = openWithTable();
    ASSERT_TRUE(db);
    {
        TransactionGuard transaction(*db);
        ASSERT_TRUE(transaction.isActive()) << db->lastError().text().toStdString();
        EXPECT_TRUE(db->inTransaction());
        execOrFail(*db, QStringLiteral("INSERT INTO bills VALUES (1, 'CS2024010001')"));
        execOrFail(*db, QStringLiteral("INSERT INTO bills VALUES (2, 'CS2024010002')"));
        EXPECT_EQ(count(*db), 2);
    }
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(count(*db), 0);
}

TEST_P(TransactionTest, CommittedWorkStaysAndIsSeenByOthers)
{
    auto db = openWithTable();
    auto other = open();
    ASSERT_TRUE(db && other);
    TransactionGuard transaction(*db);
    ASSERT_TRUE(transaction.isActive());
    execOrFail(*db, QStringLiteral("INSERT INTO bills VALUES (1, 'LL2024010001')"));
    // Another connection sees nothing until the commit.
    EXPECT_EQ(count(*other), 0);
    ASSERT_TRUE(transaction.commit()) << db->lastError().text().toStdString();
    EXPECT_FALSE(transaction.isActive());
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(count(*other), 1);
    EXPECT_FALSE(transaction.commit()); // only once
}

TEST_P(TransactionTest, ExplicitRollbackAndNesting)
{
    auto db = openWithTable();
    ASSERT_TRUE(db);
    TransactionGuard outer(*db);
    ASSERT_TRUE(outer.isActive());
    execOrFail(*db, QStringLiteral("INSERT INTO bills VALUES (1, 'x')"));
    {
        TransactionGuard inner(*db);
        EXPECT_FALSE(inner.isActive());
        EXPECT_EQ(db->lastError().phase, Phase::Begin);
        EXPECT_FALSE(inner.commit());
    } // the inner guard that never began leaves the outer transaction alone
    EXPECT_TRUE(db->inTransaction());
    EXPECT_EQ(count(*db), 1);
    EXPECT_TRUE(outer.rollback());
    EXPECT_FALSE(outer.isActive());
    EXPECT_EQ(count(*db), 0);
}

TEST_P(TransactionTest, CommitWithoutATransactionFails)
{
    auto db = openWithTable();
    ASSERT_TRUE(db);
    EXPECT_FALSE(db->commit());
    EXPECT_EQ(db->lastError().phase, Phase::Commit);
    EXPECT_TRUE(db->rollback()); // nothing to undo
}

TEST_P(TransactionTest, ClosingRollsBackAnOpenTransaction)
{
    auto db = openWithTable();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->beginTransaction());
    execOrFail(*db, QStringLiteral("INSERT INTO bills VALUES (1, 'x')"));
    db->close();
    db = open();
    ASSERT_TRUE(db);
    EXPECT_EQ(count(*db), 0);
}

QV_INSTANTIATE_FOR_ENGINES(TransactionTest);

} // namespace
} // namespace qv::db::test
