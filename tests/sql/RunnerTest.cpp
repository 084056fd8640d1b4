// The statement runner on both engines: values come back in one form whatever
// the engine, the numbering of autonumber columns survives rows written with
// their own numbers, failures name their stage, queries read in packets, and a
// table of another database file is read through an attachment on SQLite and
// refused with its reason on PostgreSQL.
#include "db/ConnectionFactory.h"
#include "schema/Ddl.h"
#include "schema/Schema.h"
#include "sql/runner/SqlRunner.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace qv;
using namespace qv::sql;

namespace {

const char *const kTables[] = {"HP", "Inv_ItemList", "AppLog", "YG", "CGSHZB", "CGSH", "LLZB", "XSKDZB", "XSKD"};

Catalog runnerCatalog()
{
    Catalog catalog;
    for (const char *name : kTables)
        catalog.addTable(*schema::Schema::builtIn().table(QString::fromLatin1(name)));
    return catalog;
}

bool createTables(db::Connection &connection, QString *error)
{
    const schema::DdlEngine engine = connection.traits().engine == db::Engine::Postgres ? schema::DdlEngine::Postgres
                                                                                       : schema::DdlEngine::Sqlite;
    QStringList statements = schema::preambleStatements(engine);
    for (const char *name : kTables)
        statements << schema::createTableStatements(*schema::Schema::builtIn().table(QString::fromLatin1(name)), engine);
    for (const QString &s : statements) {
        if (!connection.exec(s)) {
            *error = connection.lastError().text();
            return false;
        }
    }
    return true;
}

class Runner : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        QString error;
        if (GetParam() == Engine::Sqlite) {
            ASSERT_TRUE(m_dir.isValid());
            m_path = m_dir.filePath(QStringLiteral("current.db"));
            m_descriptor = db::ConnectionDescriptor::sqlite(m_path, true);
        } else {
            m_conninfo = qEnvironmentVariable("QV_TEST_PG");
            if (m_conninfo.isEmpty())
                GTEST_SKIP() << "QV_TEST_PG is not set";
            m_database = QStringLiteral("qv_sql_runner_%1").arg(getpid());
            auto admin = db::openConnection(db::ConnectionDescriptor::postgres(m_conninfo));
            ASSERT_TRUE(admin);
            admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_database));
            ASSERT_TRUE(admin->exec(QStringLiteral("CREATE DATABASE %1").arg(m_database))) << qPrintable(admin->lastError().text());
            m_descriptor = db::ConnectionDescriptor::postgres(m_conninfo + QStringLiteral(" dbname=") + m_database);
        }
        {
            auto connection = db::openConnection(m_descriptor);
            ASSERT_TRUE(connection);
            ASSERT_TRUE(createTables(*connection, &error)) << qPrintable(error);
        }
        RunError failure;
        m_runner = SqlRunner::open(m_descriptor, m_translator, &failure);
        ASSERT_TRUE(m_runner) << qPrintable(failure.text());
    }

    void TearDown() override
    {
        m_runner.reset();
        if (!m_database.isEmpty()) {
            auto admin = db::openConnection(db::ConnectionDescriptor::postgres(m_conninfo));
            if (admin)
                admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_database));
        }
    }

    void run(const QString &statement)
    {
        RunError error;
        ASSERT_TRUE(m_runner->run(statement, &error)) << qPrintable(statement) << "\n" << qPrintable(error.text());
    }

    RunResult query(const QString &statement)
    {
        RunError error;
        auto result = m_runner->query(statement, &error);
        EXPECT_TRUE(result) << qPrintable(statement) << "\n" << qPrintable(error.text());
        return result ? *result : RunResult();
    }

    QTemporaryDir m_dir;
    QString m_path;
    QString m_conninfo;
    QString m_database;
    db::ConnectionDescriptor m_descriptor;
    Translator m_translator{runnerCatalog()};
    std::unique_ptr<SqlRunner> m_runner;
};

TEST_P(Runner, GivesValuesInOneFormWhateverTheEngine)
{
    run(QStringLiteral("insert into HP(ID,BH,PM,ZT,IsMaterial,JJ,SX) values (1,'A1','钢笔',true,false,2.5,3)"));
    run(QStringLiteral("insert into Inv_ItemList(RQ,BillType,Flag,HPID,SL,DJ) values (#2024-01-15 10:30:00#,'CS',1,1,4,2.5)"));
    const RunResult r = query(QStringLiteral(
        "select H.ID, H.BH, H.ZT, H.IsMaterial, H.JJ, H.SX, L.RQ, L.SL*L.DJ as JE, iif(H.ZT, 1, 0) as Z, "
        "L.RQ + 1 as NextDay, H.ZT + 0 as ZN, Null as Nothing from HP H, Inv_ItemList L where L.HPID = H.ID"));
    ASSERT_EQ(r.rows.size(), 1);
    const db::Row &row = r.rows.first();
    QStringList types;
    for (const db::Value &v : row)
        types << QString::fromLatin1(v.typeName() ? v.typeName() : "null");
    EXPECT_EQ(types.join(QLatin1Char(',')).toStdString(),
              "qlonglong,QString,bool,bool,double,double,QDateTime,double,qlonglong,QDateTime,qlonglong,null");
    EXPECT_EQ(row[2].toBool(), true);
    EXPECT_EQ(row[3].toBool(), false);
    EXPECT_EQ(row[6].toDateTime(), QDateTime(QDate(2024, 1, 15), QTime(10, 30)));
    EXPECT_DOUBLE_EQ(row[7].toDouble(), 10.0);
    EXPECT_EQ(row[9].toDateTime(), QDateTime(QDate(2024, 1, 16), QTime(10, 30)));
    EXPECT_EQ(row[10].toLongLong(), -1);
    EXPECT_EQ(r.columns[2].type, SqlType::YesNo);
    EXPECT_EQ(r.columns[2].originTable.toStdString(), "HP");
    EXPECT_TRUE(r.columns[7].originTable.isEmpty());
}

// A restore or an upgrade writes ledger rows with their own numbers; rows the
// database numbers afterwards must not collide with them.
TEST_P(Runner, NumbersNewRowsAfterRowsWrittenWithTheirOwnNumbers)
{
    run(QStringLiteral("insert into Inv_ItemList(ID,RQ,BillType,Flag,HPID,SL) values (50,#2024-01-15#,'CS',1,1,4)"));
    run(QStringLiteral("insert into Inv_ItemList(RQ,BillType,Flag,HPID,SL) values (#2024-01-16#,'LL',-1,1,1)"));
    run(QStringLiteral("insert into Inv_ItemList(ID,RQ,BillType,Flag,HPID,SL) select ID + 100, RQ, BillType, Flag, HPID, SL from Inv_ItemList where ID = 50"));
    run(QStringLiteral("insert into Inv_ItemList(RQ,BillType,Flag,HPID,SL) values (#2024-01-17#,'LL',-1,1,1)"));
    const RunResult r = query(QStringLiteral("select ID, BillType from Inv_ItemList order by ID"));
    QStringList ids;
    for (const db::Row &row : r.rows)
        ids << row[0].toString();
    EXPECT_EQ(ids.join(QLatin1Char(',')).toStdString(), "50,51,150,151");
}

TEST_P(Runner, FailuresNameTheirStage)
{
    RunError error;
    EXPECT_FALSE(m_runner->run(QStringLiteral("select nope from HP"), &error));
    EXPECT_EQ(error.stage, RunError::Stage::Translate);
    EXPECT_EQ(error.translation.column, 8);
    EXPECT_TRUE(error.text().contains(QStringLiteral("unknown column 'nope'"))) << qPrintable(error.text());

    run(QStringLiteral("insert into HP(ID,BH) values (1,'A1')"));
    error = RunError();
    EXPECT_FALSE(m_runner->run(QStringLiteral("insert into HP(ID,BH) values (1,'A2')"), &error));
    EXPECT_EQ(error.stage, RunError::Stage::Execute);
    EXPECT_FALSE(error.text().isEmpty());

    error = RunError();
    EXPECT_FALSE(m_runner->query(QStringLiteral("select ID / 0 as x from HP"), &error));
    EXPECT_EQ(error.stage, RunError::Stage::Execute);
    EXPECT_TRUE(error.text().contains(QStringLiteral("division by zero"), Qt::CaseInsensitive)) << qPrintable(error.text());
}

TEST_P(Runner, ReadsQueriesInPackets)
{
    for (int i = 1; i <= 5; ++i)
        run(QStringLiteral("insert into AppLog(uName,CZ,RQ,SJ) values ('管理员','登录',#2024-01-%1#,'09:00')").arg(i, 2, 10, QLatin1Char('0')));
    RunError error;
    auto cursor = m_runner->openCursor(QStringLiteral("select RQ, CZ from AppLog order by RQ desc"), &error);
    ASSERT_TRUE(cursor) << qPrintable(error.text());
    ASSERT_EQ(cursor->columns().size(), 2);
    EXPECT_EQ(cursor->columns()[0].type, SqlType::Date);
    QList<db::Row> rows;
    QList<int> packets;
    while (!cursor->atEnd()) {
        const qsizetype before = rows.size();
        ASSERT_TRUE(cursor->fetch(2, rows, &error)) << qPrintable(error.text());
        packets << int(rows.size() - before);
    }
    EXPECT_EQ(rows.size(), 5);
    EXPECT_LE(packets.first(), 2);
    EXPECT_EQ(rows.first()[0].toDateTime().date(), QDate(2024, 1, 5));
    EXPECT_EQ(rows.last()[0].toDateTime().date(), QDate(2024, 1, 1));
}

// The upgrade's fix-ups: UPDATE over two tables, finding employees by the
// names older databases stored (compared without regard to case, as the
// original engine compares texts), and discounts of 0 made 1.
TEST_P(Runner, UpgradeFixUpsFindEmployeesByName)
{
    run(QStringLiteral("insert into YG(ID,BH,XM) values (3,'0003','张伟')"));
    run(QStringLiteral("insert into YG(ID,BH,XM) values (7,'0007','Zhao Lei')"));
    run(QStringLiteral("insert into CGSHZB(ID,DJBH,RQ,YWY,YGID,NZK) values (1,'CS2024010001',#2024-01-10#,'ZHAO LEI',0,0)"));
    run(QStringLiteral("insert into CGSHZB(ID,DJBH,RQ,YWY,YGID,NZK) values (2,'CS2024010002',#2024-01-15#,'王五',9,0.9)"));
    run(QStringLiteral("insert into CGSH(RECID,ZBID,HH,HPID,SL,DJ,NZK) values ('r1',1,1,1,10,2,0)"));
    run(QStringLiteral("insert into LLZB(ID,DJBH,RQ,JSR,YGID) values (1,'LL2024010001',#2024-01-15#,'张伟',0)"));
    run(QStringLiteral("insert into Inv_ItemList(RQ,BillType,Flag,HPID,SL,YGID,Employee) values (#2023-12-31#,'aExport',1,1,3,0,'张伟')"));
    run(QStringLiteral("insert into Inv_ItemList(RQ,BillType,Flag,HPID,SL,YGID,Employee) values (#2023-12-31#,'aExport',1,2,3,0,'无名')"));
    run(QStringLiteral("insert into HP(ID,BH,ZT) values (1,'A1',true)"));

    for (const char *statement : {"update CGSHZB c,YG y set c.ygid=y.id where c.ywy=y.xm",
                                  "update LLZB c,YG y set c.ygid=y.id where c.jsr=y.xm",
                                  "update inv_itemlist c,YG y set c.ygid=y.id where c.Employee=y.xm",
                                  "update hp set zt=false", "update cgshzb set nzk=1 where nzk=0",
                                  "update cgsh set nzk=1 where nzk=0", "update xskdzb set nzk=1 where nzk=0",
                                  "update xskd set nzk=1 where nzk=0"})
        run(QString::fromUtf8(statement));

    auto text = [&](const char *statement) {
        QStringList lines;
        for (const db::Row &row : query(QString::fromUtf8(statement)).rows) {
            QStringList cells;
            for (const db::Value &v : row)
                cells << (v.typeId() == QMetaType::Bool ? QString::number(v.toBool()) : v.toString());
            lines << cells.join(QLatin1Char('|'));
        }
        return lines.join(QLatin1Char(' ')).toStdString();
    };
    EXPECT_EQ(text("select ID, YGID, NZK from CGSHZB order by ID"), "1|7|1 2|9|0.9");
    EXPECT_EQ(text("select ID, YGID from LLZB"), "1|3");
    EXPECT_EQ(text("select HPID, YGID from Inv_ItemList order by HPID"), "1|3 2|0");
    EXPECT_EQ(text("select ZT from HP"), "0");
    EXPECT_EQ(text("select NZK from CGSH"), "1");
}

// The upgrade copies each table from the old database file into the new one.
TEST_P(Runner, CopiesATableOfAnotherDatabaseFile)
{
    QTemporaryDir oldDir;
    ASSERT_TRUE(oldDir.isValid());
    const QString oldPath = oldDir.filePath(QStringLiteral("QvData.mdb"));
    {
        Translator translator(runnerCatalog());
        auto connection = db::openConnection(db::ConnectionDescriptor::sqlite(oldPath, true));
        ASSERT_TRUE(connection);
        QString error;
        ASSERT_TRUE(createTables(*connection, &error)) << qPrintable(error);
        SqlRunner old(std::move(connection), translator);
        RunError failure;
        ASSERT_TRUE(old.run(QStringLiteral("insert into HP(ID,BH,PM,ZT) values (7,'OLD7','旧货品',true)"), &failure));
        ASSERT_TRUE(old.run(QStringLiteral("insert into HP(ID,BH,PM,ZT) values (8,'OLD8','旧货品二',false)"), &failure));
    }
    const QString reference = QStringLiteral("[MS Access;DATABASE=%1;PWD=ferntide]").arg(oldPath);
    const QString copy = QStringLiteral("INSERT INTO [HP] ([ID],[BH],[PM],[ZT]) SELECT [ID],[BH],[PM],[ZT] FROM %1.[HP]").arg(reference);
    RunError error;
    if (GetParam() == Engine::Postgres) {
        EXPECT_FALSE(m_runner->run(copy, &error));
        EXPECT_EQ(error.stage, RunError::Stage::Translate);
        EXPECT_TRUE(error.text().contains(QStringLiteral("another database file"))) << qPrintable(error.text());
        return;
    }
    qint64 copied = 0;
    ASSERT_TRUE(m_runner->run(copy, &error, &copied)) << qPrintable(error.text());
    EXPECT_EQ(copied, 2);
    const RunResult r = query(QStringLiteral("select ID, BH, ZT from HP order by ID"));
    ASSERT_EQ(r.rows.size(), 2);
    EXPECT_EQ(r.rows[0][1].toString().toStdString(), "OLD7");
    EXPECT_EQ(r.rows[0][2].typeId(), QMetaType::Bool);

    // The file is attached for the one statement only: read whole again, with
    // the columns the engine reports, and no attachment stays behind.
    auto cursor = m_runner->openCursor(QStringLiteral("select * from %1.[HP] where ID = 8").arg(reference), &error);
    ASSERT_TRUE(cursor) << qPrintable(error.text());
    QList<db::Row> rows;
    ASSERT_TRUE(cursor->fetch(0, rows, &error));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(cursor->columns()[1].name.toStdString(), "BH");
    const auto attached = m_runner->connection().query(QStringLiteral("PRAGMA database_list"));
    ASSERT_TRUE(attached);
    EXPECT_EQ(attached->rowCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, Runner, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const ::testing::TestParamInfo<Engine> &info) {
                             return info.param == Engine::Sqlite ? std::string("SQLite") : std::string("PostgreSQL");
                         });

} // namespace
