#include "db/SqliteConnection.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace qv::db {
namespace {

class SqliteConnectionTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("QvData.mdb")); }

    std::unique_ptr<Connection> openNew(SqliteFunctionHook hook = {})
    {
        ConnectionDescriptor descriptor = ConnectionDescriptor::sqlite(path(), true);
        descriptor.registerFunctions = std::move(hook);
        Error error;
        auto db = openConnection(descriptor, &error);
        EXPECT_TRUE(db) << error.text().toStdString();
        return db;
    }

    QTemporaryDir m_dir;
};

void twice(sqlite3_context *context, int, sqlite3_value **arguments)
{
    sqlite3_result_int64(context, 2 * sqlite3_value_int64(arguments[0]));
}

TEST_F(SqliteConnectionTest, EveryConnectionGetsTheSessionSettings)
{
    auto db = openNew();
    ASSERT_TRUE(db);
    const struct {
        const char *pragma;
        Value expected;
    } settings[] = {
        {"PRAGMA journal_mode", QStringLiteral("wal")},
        {"PRAGMA synchronous", qint64(1)}, // NORMAL
        {"PRAGMA foreign_keys", qint64(0)},
        {"PRAGMA busy_timeout", qint64(5000)},
    };
    for (const auto &s : settings)
        EXPECT_EQ(db->queryValue(QString::fromLatin1(s.pragma)), s.expected) << s.pragma;
}

TEST_F(SqliteConnectionTest, FunctionHookRunsOnEveryOpen)
{
    int calls = 0;
    auto db = openNew([&calls](sqlite3 *handle, QString *) {
        ++calls;
        return sqlite3_create_function_v2(handle, "qv_twice", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                          nullptr, twice, nullptr, nullptr, nullptr) == SQLITE_OK;
    });
    ASSERT_TRUE(db);
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT qv_twice(21)")), Value(qint64(42)));
    auto *sqlite = static_cast<SqliteConnection *>(db.get());
    EXPECT_NE(sqlite->handle(), nullptr);
    db->close();
    EXPECT_EQ(sqlite->handle(), nullptr);
    ASSERT_TRUE(db->open());
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT qv_twice(-4)")), Value(qint64(-8)));
}

TEST_F(SqliteConnectionTest, FailingHookFailsTheOpen)
{
    ConnectionDescriptor descriptor = ConnectionDescriptor::sqlite(path(), true);
    descriptor.registerFunctions = [](sqlite3 *, QString *error) {
        *error = QStringLiteral("format() is missing");
        return false;
    };
    Error error;
    EXPECT_FALSE(openConnection(descriptor, &error));
    EXPECT_EQ(error.phase, Phase::Open);
    EXPECT_TRUE(error.message.contains(QStringLiteral("format() is missing")));
}

TEST_F(SqliteConnectionTest, MissingFileIsCreatedOnlyWhenAsked)
{
    Error error;
    EXPECT_FALSE(openConnection(ConnectionDescriptor::sqlite(path()), &error));
    EXPECT_EQ(error.phase, Phase::Open);
    EXPECT_TRUE(error.message.contains(path()));
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_TRUE(openNew());
    EXPECT_TRUE(QFile::exists(path()));
    EXPECT_TRUE(openConnection(ConnectionDescriptor::sqlite(path())));
}

TEST_F(SqliteConnectionTest, AFileThatIsNoDatabaseFailsTheOpen)
{
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    Error error;
    EXPECT_FALSE(openConnection(ConnectionDescriptor::sqlite(path()), &error));
    EXPECT_EQ(error.phase, Phase::Open);
    EXPECT_TRUE(error.message.contains(QStringLiteral("not a database"))) << error.message.toStdString();
}

TEST_F(SqliteConnectionTest, DatesAreStoredAsCanonicalTextAndYesNoAsIntegers)
{
    auto db = openNew();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->exec(QStringLiteral("CREATE TABLE t (id INTEGER, dt DATETIME, yn BOOLEAN)")));
    const auto insert = db->prepare(QStringLiteral("INSERT INTO t VALUES (?1, ?2, ?3)"));
    ASSERT_TRUE(insert);
    const QDateTime values[] = {QDateTime(QDate(2024, 1, 15), QTime(23, 59, 59)),
                                QDateTime(QDate(2024, 1, 15), QTime(0, 0)),
                                QDateTime(QDate(2024, 1, 9), QTime(8, 0)),
                                QDateTime(QDate(2024, 1, 15), QTime(0, 0, 1))};
    for (int i = 0; i < 4; ++i) {
        insert->bindAll({i, values[i], i % 2 == 0});
        ASSERT_TRUE(insert->execute()) << insert->lastError().text().toStdString();
    }
    const auto raw = db->query(QStringLiteral(
        "SELECT typeof(dt), CAST(dt AS TEXT), typeof(yn), yn + 0 FROM t ORDER BY dt"));
    ASSERT_TRUE(raw);
    const QStringList texts = {QStringLiteral("2024-01-09 08:00:00"), QStringLiteral("2024-01-15"),
                               QStringLiteral("2024-01-15 00:00:01"),
                               QStringLiteral("2024-01-15 23:59:59")};
    ASSERT_EQ(raw->rowCount(), 4);
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(raw->value(r, 0), Value(QStringLiteral("text")));
        EXPECT_EQ(raw->value(r, 1), Value(texts[r])); // text order is time order
        EXPECT_EQ(raw->value(r, 2), Value(QStringLiteral("integer")));
    }
}

TEST_F(SqliteConnectionTest, DayNumbersAndOddTextInADateColumn)
{
    auto db = openNew();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->exec(QStringLiteral(
        "CREATE TABLE t (id INTEGER, dt DATETIME);"
        "INSERT INTO t VALUES (1, 45306.9999884259), (2, 45306), (3, 'not a date'), (4, NULL)")));
    const auto result = db->query(QStringLiteral("SELECT dt FROM t ORDER BY id"));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->value(0, 0), Value(QDateTime(QDate(2024, 1, 15), QTime(23, 59, 59))));
    EXPECT_EQ(result->value(1, 0), Value(QDateTime(QDate(2024, 1, 15), QTime(0, 0))));
    EXPECT_EQ(result->value(2, 0), Value(QStringLiteral("not a date"))); // kept, not lost
    EXPECT_FALSE(result->value(3, 0).isValid());
}

TEST_F(SqliteConnectionTest, TextWithNulAndExpressionColumns)
{
    auto db = openNew();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->exec(QStringLiteral("CREATE TABLE t (s TEXT)")));
    const auto insert = db->prepare(QStringLiteral("INSERT INTO t VALUES (?1)"));
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    insert->bind(1, withNul);
    ASSERT_TRUE(insert->execute());
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT s FROM t")), Value(withNul));
    // An expression has no declared type: its values keep their storage kinds.
    const auto result = db->query(QStringLiteral("SELECT count(*) AS n, 1.5, 'x', x'00' FROM t"));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->columns[0].name, QStringLiteral("n"));
    EXPECT_EQ(result->columns[0].kind, ValueKind::Null);
    EXPECT_EQ(result->value(0, 0), Value(qint64(1)));
    EXPECT_EQ(result->value(0, 1), Value(1.5));
    EXPECT_EQ(result->value(0, 2), Value(QStringLiteral("x")));
    EXPECT_EQ(result->value(0, 3), Value(QByteArray("\0", 1)));
}

TEST_F(SqliteConnectionTest, InternalTablesAreNotListed)
{
    auto db = openNew();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->exec(QStringLiteral(
        "CREATE TABLE Inv_ItemList (ID INTEGER PRIMARY KEY AUTOINCREMENT, SL DOUBLE);"
        "INSERT INTO Inv_ItemList (SL) VALUES (1)")));
    ASSERT_EQ(db->queryValue(QStringLiteral(
                  "SELECT count(*) FROM sqlite_schema WHERE name = 'sqlite_sequence'")),
              Value(qint64(1)));
    EXPECT_EQ(db->tableNames(), QStringList{QStringLiteral("Inv_ItemList")});
}

// Transactions take the write lock when they begin, so a conflict shows at the
// begin (after the busy timeout), never half-way through a transaction's writes.
TEST_F(SqliteConnectionTest, ASecondWriterIsRefusedAtBegin)
{
    auto first = openNew();
    auto second = openNew();
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(first->exec(QStringLiteral("CREATE TABLE t (x INTEGER)")));
    TransactionGuard holding(*first);
    ASSERT_TRUE(holding.isActive());
    TransactionGuard waiting(*second);
    EXPECT_FALSE(waiting.isActive());
    EXPECT_EQ(second->lastError().phase, Phase::Begin);
    EXPECT_TRUE(second->lastError().message.contains(QStringLiteral("locked")))
        << second->lastError().message.toStdString();
}

// A list a client leaves half read must not keep the journal from being folded
// back into the database: once its snapshot is released, a checkpoint copies
// every frame, and the list still reads the rows it started with.
TEST_F(SqliteConnectionTest, ReleasingAHalfReadCursorsSnapshotLetsTheJournalBeCheckpointed)
{
    auto db = openNew();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->exec(QStringLiteral("CREATE TABLE t (n INTEGER)")));
    ASSERT_TRUE(db->exec(QStringLiteral("WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 3000) "
                                        "INSERT INTO t SELECT n FROM c")));
    auto other = openNew();
    ASSERT_TRUE(other);
    ASSERT_TRUE(other->queryValue(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));

    const auto cursor = db->openCursor(QStringLiteral("SELECT n FROM t ORDER BY n"));
    ASSERT_TRUE(cursor);
    QList<Row> rows;
    ASSERT_TRUE(cursor->fetch(1000, rows));
    ASSERT_TRUE(other->exec(QStringLiteral("DELETE FROM t WHERE n > 2000")));

    const auto checkpoint = [&other] {
        const auto result = other->query(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
        EXPECT_TRUE(result && result->rows.size() == 1);
        return result ? result->rows.first() : Row();
    };
    const Row pinned = checkpoint();
    EXPECT_LT(pinned.value(2).toLongLong(), pinned.value(1).toLongLong()) << "the reader's snapshot holds frames back";

    db->releaseSnapshot();
    const Row released = checkpoint();
    EXPECT_EQ(released.value(2).toLongLong(), released.value(1).toLongLong());

    ASSERT_TRUE(cursor->fetch(0, rows)) << cursor->lastError().text().toStdString();
    EXPECT_EQ(rows.size(), 3000);
}

} // namespace
} // namespace qv::db
