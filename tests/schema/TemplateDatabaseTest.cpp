// The built template databases against their one source, on both engines.
#include "db/ConnectionFactory.h"
#include "schema/Ddl.h"
#include "schema/builder/TemplateBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qv;
using namespace qv::schema;

namespace {

const QString kBin = QStringLiteral(QV_BIN_DIR);

QString templatePath() { return kBin + QStringLiteral("/data/Sample/QvData.mdb"); }
QString registryPath() { return kBin + QStringLiteral("/data/QvSys.mdb"); }

db::ValueKind expectedKind(ColumnType type)
{
    switch (type) {
    case ColumnType::Text:
    case ColumnType::Memo: return db::ValueKind::Text;
    case ColumnType::Integer:
    case ColumnType::SmallInt:
    case ColumnType::AutoNumber: return db::ValueKind::Integer;
    case ColumnType::Double:
    case ColumnType::Decimal:
    case ColumnType::Currency: return db::ValueKind::Double;
    case ColumnType::Date:
    case ColumnType::DateTime: return db::ValueKind::DateTime;
    case ColumnType::YesNo: return db::ValueKind::Bool;
    case ColumnType::Blob: return db::ValueKind::Blob;
    }
    return db::ValueKind::Null;
}

// Tests work on copies: opening a file for writing changes its journal mode.
QString copyOf(const QString &path, const QTemporaryDir &dir)
{
    const QString copy = dir.filePath(QFileInfo(path).fileName());
    QFile::remove(copy);
    EXPECT_TRUE(QFile::copy(path, copy)) << qPrintable(path);
    QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return copy;
}

std::unique_ptr<db::Connection> openSqlite(const QString &path)
{
    db::Error error;
    auto c = db::openConnection(db::ConnectionDescriptor::sqlite(path), &error);
    EXPECT_TRUE(c) << qPrintable(error.text());
    return c;
}

// Compares one database's catalogue with the schema: the same tables, the same
// columns in the same order, each of the kind its type requires, the same keys.
void expectMatchesSchema(db::Connection &connection, Database database)
{
    const Schema &schema = Schema::builtIn();
    const auto names = connection.tableNames();
    ASSERT_TRUE(names) << qPrintable(connection.lastError().text());
    QStringList expected;
    for (const Table *t : schema.tables(database))
        expected << t->name.toLower();
    QStringList actual;
    for (const QString &n : *names)
        actual << n.toLower();
    actual.removeAll(QStringLiteral("sqlite_sequence"));
    expected.sort();
    actual.sort();
    EXPECT_EQ(actual, expected);

    const bool sqlite = connection.traits().engine == db::Engine::Sqlite;
    for (const Table *t : schema.tables(database)) {
        const auto columns = connection.columns(t->name);
        ASSERT_TRUE(columns) << qPrintable(t->name);
        ASSERT_EQ(columns->size(), t->columns.size()) << qPrintable(t->name);
        for (qsizetype i = 0; i < columns->size(); ++i) {
            const db::TableColumn &actualColumn = columns->at(i);
            const Column &column = t->columns[i];
            const QString where = t->name + QLatin1Char('.') + column.name;
            EXPECT_EQ(actualColumn.name.toLower(), column.name.toLower()) << qPrintable(where);
            EXPECT_EQ(actualColumn.kind, expectedKind(column.type)) << qPrintable(where);
            if (sqlite) {
                EXPECT_EQ(actualColumn.name, column.name) << qPrintable(where);
                EXPECT_EQ(actualColumn.declaredType, declaredType(column, DdlEngine::Sqlite)) << qPrintable(where);
            }
            const bool key = t->primaryKey && t->rowKey.first() == column.name;
            EXPECT_EQ(actualColumn.inPrimaryKey(), key) << qPrintable(where);
        }
    }
}

QString runSqlite3(const QString &path, const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {QStringLiteral("-readonly"), path, sql});
    EXPECT_TRUE(p.waitForFinished(30000));
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// A PostgreSQL database of its own for one test, dropped at the end.
class PgDatabase {
public:
    PgDatabase()
    {
        const QByteArray server = qgetenv("QV_TEST_PG");
        if (server.isEmpty())
            return;
        m_server = QString::fromUtf8(server);
        m_name = QStringLiteral("qv_schema_%1").arg(QCoreApplication::applicationPid());
        m_admin = db::openConnection(db::ConnectionDescriptor::postgres(m_server));
        if (!m_admin)
            return;
        m_admin->exec(QStringLiteral("DROP DATABASE IF EXISTS ") + m_name);
        if (!m_admin->exec(QStringLiteral("CREATE DATABASE ") + m_name))
            m_admin.reset();
    }
    ~PgDatabase()
    {
        if (m_admin)
            m_admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    }
    bool available() const { return bool(m_admin); }
    QString conninfo() const { return m_server + QStringLiteral(" dbname=") + m_name; }

private:
    QString m_server;
    QString m_name;
    std::unique_ptr<db::Connection> m_admin;
};

} // namespace

TEST(TemplateDatabase, BuiltFilesAreSoundAndOpenWithTheSqliteProgram)
{
    for (const QString &path : {templatePath(), registryPath()}) {
        ASSERT_TRUE(QFile::exists(path)) << qPrintable(path);
        EXPECT_EQ(runSqlite3(path, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    }
    // No write-ahead log: the file alone is the whole template when it is copied.
    EXPECT_EQ(runSqlite3(templatePath(), QStringLiteral("PRAGMA journal_mode")), QStringLiteral("delete"));
    EXPECT_EQ(runSqlite3(templatePath(), QStringLiteral("select uCode || '|' || ifnull(uPassword, '') from AppUser")),
              QStringLiteral("SYS|"));
}

TEST(TemplateDatabase, SqliteCatalogueMatchesTheSchema)
{
    QTemporaryDir dir;
    auto business = openSqlite(copyOf(templatePath(), dir));
    ASSERT_TRUE(business);
    expectMatchesSchema(*business, Database::Business);
    auto registry = openSqlite(copyOf(registryPath(), dir));
    ASSERT_TRUE(registry);
    expectMatchesSchema(*registry, Database::Registry);
}

TEST(TemplateDatabase, PostgresCatalogueMatchesTheSchema)
{
    PgDatabase pg;
    if (!pg.available())
        GTEST_SKIP() << "QV_TEST_PG is not set";
    auto connection = db::openConnection(db::ConnectionDescriptor::postgres(pg.conninfo()));
    ASSERT_TRUE(connection);
    RowsFile rows;
    ASSERT_TRUE(rows.parseBuiltIn(QStringLiteral("template.rows"), Schema::builtIn())) << qPrintable(rows.error());
    TemplateBuilder builder;
    ASSERT_TRUE(builder.build(*connection, Database::Business, {&rows})) << qPrintable(builder.error());
    expectMatchesSchema(*connection, Database::Business);
    // The same initial rows as the SQLite template.
    QTemporaryDir dir;
    auto sqlite = openSqlite(copyOf(templatePath(), dir));
    for (const QString &sql : {QStringLiteral("select count(*) from Sys_FuncTree_office"),
                               QStringLiteral("select count(*) from Pub_Project"),
                               QStringLiteral("select count(*) from ExportCompTable"),
                               QStringLiteral("select fAuditNum from CompanyInfo")}) {
        EXPECT_EQ(connection->queryValue(sql)->toLongLong(), sqlite->queryValue(sql)->toLongLong()) << qPrintable(sql);
    }
}

// Both engines refuse the same faulty values, so an account set never holds data
// the other engine could not.
class TemplateConstraints : public ::testing::TestWithParam<db::Engine> {
protected:
    void SetUp() override
    {
        if (GetParam() == db::Engine::Sqlite) {
            ASSERT_TRUE(m_dir.isValid());
            m_connection = openSqlite(copyOf(templatePath(), m_dir));
        } else {
            m_pg = std::make_unique<PgDatabase>();
            if (!m_pg->available())
                GTEST_SKIP() << "QV_TEST_PG is not set";
            m_connection = db::openConnection(db::ConnectionDescriptor::postgres(m_pg->conninfo()));
            ASSERT_TRUE(m_connection);
            TemplateBuilder builder;
            ASSERT_TRUE(builder.build(*m_connection, Database::Business, {})) << qPrintable(builder.error());
        }
        ASSERT_TRUE(m_connection);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<PgDatabase> m_pg;
    std::unique_ptr<db::Connection> m_connection;
};

TEST_P(TemplateConstraints, RefuseValuesTheColumnCannotHold)
{
    db::Connection &c = *m_connection;
    ASSERT_TRUE(c.exec(QStringLiteral("insert into HP (ID, BH, PM, ZT) values (1, '0001', '中性笔', %1)")
                           .arg(c.traits().booleanLiteral(false))));
    ASSERT_TRUE(c.exec(QStringLiteral("insert into LLZB (ID, DJBH) values (2024010001, 'LL2024010001')")));
    struct Case {
        const char *what;
        QString sql;
    };
    const QList<Case> cases = {
        {"text longer than declared", QStringLiteral("insert into CYJSDW (MC) values ('123456789')")},
        {"a second row with the same ID", QStringLiteral("insert into HP (ID, BH) values (1, '0002')")},
        {"a second document with the same number",
         QStringLiteral("insert into LLZB (ID, DJBH) values (2024010002, 'LL2024010001')")},
        {"a date that is not a date", QStringLiteral("insert into YG (ID, CSRQ) values (5, 'abc')")},
        {"yes/no other than yes or no", QStringLiteral("insert into HP (ID, ZT) values (7, 2)")},
    };
    for (const Case &k : cases)
        EXPECT_FALSE(c.exec(k.sql)) << k.what;
    // Case does not matter when texts are compared.
    EXPECT_EQ(c.queryValue(QStringLiteral("select count(*) from LLZB where DJBH = 'll2024010001'"))->toLongLong(), 1);
    // Exactly the declared length is fine, Chinese characters counting one each.
    EXPECT_TRUE(c.exec(QStringLiteral("insert into CYJSDW (MC) values ('一二三四五六七八')")));
}

TEST_P(TemplateConstraints, LedgerNumbersKeepInsertionOrderAndAreNeverReused)
{
    db::Connection &c = *m_connection;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(c.exec(QStringLiteral("insert into Inv_ItemList (HPID, SL) values (1, 1)")));
    ASSERT_TRUE(c.exec(QStringLiteral("delete from Inv_ItemList where ID = 3")));
    ASSERT_TRUE(c.exec(QStringLiteral("insert into Inv_ItemList (HPID, SL) values (1, 1)")));
    EXPECT_EQ(c.queryValue(QStringLiteral("select max(ID) from Inv_ItemList"))->toLongLong(), 4);
}

INSTANTIATE_TEST_SUITE_P(Engines, TemplateConstraints, ::testing::Values(db::Engine::Sqlite, db::Engine::Postgres),
                         [](const auto &info) {
                             return info.param == db::Engine::Sqlite ? std::string("Sqlite") : std::string("Postgres");
                         });

TEST(DemoAccountSet, IsARealisticSmallOfficeRegisteredAs001)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir().mkpath(dir.filePath(QStringLiteral("data/Sample")));
    ASSERT_TRUE(QFile::copy(templatePath(), dir.filePath(QStringLiteral("data/Sample/QvData.mdb"))));
    ASSERT_TRUE(QFile::copy(registryPath(), dir.filePath(QStringLiteral("data/QvSys.mdb"))));
    QFile(dir.filePath(QStringLiteral("data/QvSys.mdb"))).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QProcess demo;
    demo.start(kBin + QStringLiteral("/qvdemo"), {dir.path()});
    ASSERT_TRUE(demo.waitForFinished(60000));
    ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();

    auto registry = openSqlite(dir.filePath(QStringLiteral("data/QvSys.mdb")));
    EXPECT_EQ(registry->queryValue(QStringLiteral("select AccountName from Act_QVSys where AccountNo = '001'"))->toString(),
              QStringLiteral("演示帐套"));

    auto c = openSqlite(dir.filePath(QStringLiteral("data/001/QvData.mdb")));
    ASSERT_TRUE(c);
    struct Minimum {
        const char *sql;
        qint64 atLeast;
    };
    const Minimum minimums[] = {
        {"select count(*) from HP", 40},
        {"select count(distinct HPLBID) from HP", 4},
        {"select count(*) from CK", 2},
        {"select count(*) from BM", 4},
        {"select count(*) from BM where ParentCode in (select ID from BM)", 3},
        {"select count(*) from YG", 12},
        {"select count(*) from GYS", 5},
        {"select count(*) from KH", 3},
        {"select count(*) from ZH", 2},
        {"select count(*) from SFKFS", 1},
        {"select count(*) from HP where JJ > 0 and DW <> ''", 40},
    };
    for (const Minimum &m : minimums)
        EXPECT_GE(c->queryValue(QString::fromUtf8(m.sql))->toLongLong(), m.atLeast) << m.sql;
    // Every reference in the demo names a row that exists.
    const char *dangling[] = {
        "select count(*) from HP where HPLBID not in (select ItemType from Pub_ItemType)",
        "select count(*) from HP where CKID not in (select ID from CK)",
        "select count(*) from YG where BMID not in (select ID from BM)",
        "select count(*) from SFKFS where ZHID not in (select ID from ZH)",
        "select count(*) from HP where HPHSFSID not in (select ID from HPHSFS)",
    };
    for (const char *sql : dangling)
        EXPECT_EQ(c->queryValue(QString::fromUtf8(sql))->toLongLong(), 0) << sql;
    EXPECT_EQ(c->queryValue(QStringLiteral("select count(*) from CompanyInfo"))->toLongLong(), 1);
}
