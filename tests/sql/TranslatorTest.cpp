// The translator's entry point: results, errors that name construct and place
// for what an engine cannot run, and the cache by statement text and engine.
#include "TestCatalog.h"

#include "sql/Translator.h"

#include <gtest/gtest.h>

using namespace qv::sql;
using qv::sql::test::testCatalog;

namespace {

TEST(Translator, ReportsKindColumnsAndSql)
{
    Translator t(testCatalog());
    const TranslateResult r = t.translate(u"select BH, JJ*2 as x from HP where ZT", Engine::Postgres);
    ASSERT_TRUE(r.ok) << r.error.toString().toStdString();
    EXPECT_TRUE(r.returnsRows());
    EXPECT_EQ(r.sql.toStdString(), "SELECT hp.bh, (hp.jj * 2) AS x FROM hp WHERE hp.zt");
    ASSERT_EQ(r.columns.size(), 2);
    EXPECT_EQ(r.columns[0].name.toStdString(), "BH");
    EXPECT_EQ(r.columns[1].type, SqlType::Double);
    const TranslateResult u = t.translate(u"delete from HP where ID = 1", Engine::Sqlite);
    ASSERT_TRUE(u.ok);
    EXPECT_FALSE(u.returnsRows());
    EXPECT_EQ(u.sql.toStdString(), "DELETE FROM HP WHERE (HP.ID = 1)");
}

// The server writes back only the base table's own columns; it learns which
// result columns those are from their origin.
TEST(Translator, ResultColumnsNameTheirOrigin)
{
    Translator t(testCatalog());
    const TranslateResult r = t.translate(
        u"select b.mc as bmmc, c.*, c.MC as aMC, c.ID + 1 as n, (select max(ID) from BM) as m "
        u"from CK c left join BM b on c.BMID = b.ID",
        Engine::Sqlite);
    ASSERT_TRUE(r.ok) << r.error.toString().toStdString();
    QStringList origins;
    for (const ResultColumn &c : r.columns)
        origins << c.name + QLatin1Char('=') + c.originTable + QLatin1Char('.') + c.originColumn;
    EXPECT_EQ(origins.join(QLatin1Char(' ')).toStdString(),
              "bmmc=BM.MC ID=CK.ID MC=CK.MC BMID=CK.BMID aMC=CK.MC n=. m=.");
}

TEST(Translator, FailureCarriesPhaseAndPlaceAndNoSql)
{
    Translator t(testCatalog());
    const TranslateResult r = t.translate(u"select ID from HP where BH = 5", Engine::Sqlite);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.sql.isEmpty());
    EXPECT_EQ(r.error.phase, Phase::Bind);
    EXPECT_EQ(r.error.line, 1);
    EXPECT_EQ(r.error.column, 28);
    EXPECT_EQ(r.error.toString().toStdString(),
              "bind error at line 1, column 28: type mismatch in comparison: text with integer (near \"= 5\")");
}

struct Unsupported {
    const char *statement;
    Engine engine;
    int column;
    const char *message;
};

void PrintTo(const Unsupported &u, std::ostream *os) { *os << u.statement << (u.engine == Engine::Sqlite ? " (SQLite)" : " (PostgreSQL)"); }

// What an engine cannot run fails with the construct and its place; nothing is
// handed to the engine untranslated.
const Unsupported kUnsupported[] = {
    {"select top 50 percent ID from HP", Engine::Sqlite, 1, "TOP n PERCENT is not supported on SQLite"},
    {"select top 50 percent ID from HP", Engine::Postgres, 1, "TOP n PERCENT is not supported on PostgreSQL"},
    {"select first(ID) from HP", Engine::Sqlite, 8, "function 'first' is not supported on SQLite"},
    {"select ID from HP where JJ > (select last(JJ) from HP)", Engine::Postgres, 38, "function 'last' is not supported on PostgreSQL"},
    {"select stdev(JJ) from HP", Engine::Sqlite, 8, "function 'stdev' is not supported on SQLite"},
    {"select format(JJ, BH) from HP", Engine::Postgres, 8, "pattern that is not a constant text is not supported on PostgreSQL"},
    {"update HP H left join CK C on H.CKID = C.ID set H.JJ = 1", Engine::Sqlite, 13, "UPDATE over an outer join is not supported"},
    {"select * from [MS Access;DATABASE=/x.mdb].[HP]", Engine::Postgres, 15,
     "reading a table of another database file is not supported on PostgreSQL"},
};

class TranslatorUnsupported : public ::testing::TestWithParam<Unsupported> {};

TEST_P(TranslatorUnsupported, FailsWithConstructAndPlace)
{
    const Unsupported &u = GetParam();
    Translator t(testCatalog());
    const TranslateResult r = t.translate(QString::fromUtf8(u.statement), u.engine);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.sql.isEmpty());
    EXPECT_EQ(r.error.phase, Phase::Emit);
    EXPECT_EQ(r.error.column, u.column) << r.error.toString().toStdString();
    EXPECT_TRUE(r.error.message.contains(QString::fromUtf8(u.message))) << r.error.toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Constructs, TranslatorUnsupported, ::testing::ValuesIn(kUnsupported));

TEST(TranslatorCache, SecondTranslationIsALookUp)
{
    Translator t(testCatalog());
    const QString text = QStringLiteral("select iif(ZT, 1, 0) as x from HP");
    const TranslateResult first = t.translate(text, Engine::Sqlite);
    const TranslateResult second = t.translate(text, Engine::Sqlite);
    EXPECT_EQ(t.translationsMade(), 1u);
    EXPECT_EQ(first.sql, second.sql);
    EXPECT_EQ(t.cacheSize(), 1);
    // Keyed by engine as well as text.
    const TranslateResult pg = t.translate(text, Engine::Postgres);
    EXPECT_EQ(t.translationsMade(), 2u);
    EXPECT_NE(pg.sql, first.sql);
    // Failures are remembered too.
    t.translate(u"select nope from HP", Engine::Sqlite);
    t.translate(u"select nope from HP", Engine::Sqlite);
    EXPECT_EQ(t.translationsMade(), 3u);
}

TEST(TranslatorCache, TextIsTheKeyExactly)
{
    Translator t(testCatalog());
    t.translate(u"select ID from HP", Engine::Sqlite);
    t.translate(u"select ID from HP ", Engine::Sqlite);
    t.translate(u"select id from HP", Engine::Sqlite);
    EXPECT_EQ(t.translationsMade(), 3u);
}

TEST(TranslatorCache, StaysWithinItsLimit)
{
    Translator t(testCatalog());
    t.setCacheLimit(3);
    for (int i = 0; i < 10; ++i)
        t.translate(QStringLiteral("select ID from HP where ID = %1").arg(i), Engine::Sqlite);
    EXPECT_LE(t.cacheSize(), 3);
    EXPECT_TRUE(t.translate(u"select ID from HP where ID = 9", Engine::Sqlite).ok);
}

TEST(TranslatorCatalog, CreatedTablesBecomeKnown)
{
    Translator t(testCatalog());
    const QString select = QStringLiteral("select a.* from rpt_Static_StockQty a");
    EXPECT_FALSE(t.translate(select, Engine::Sqlite).ok);
    const QString createNumeric = QStringLiteral("create table rpt_Static_StockQty(hpid int, s1 float)");
    ASSERT_TRUE(t.translate(createNumeric, Engine::Sqlite).ok);
    TranslateResult r = t.translate(select, Engine::Sqlite);
    ASSERT_TRUE(r.ok) << r.error.toString().toStdString();
    EXPECT_EQ(r.columns[0].type, SqlType::Integer);

    // Dropping keeps the definition (the engine reports a missing table) and
    // the cache: the report's next run hits it.
    ASSERT_TRUE(t.translate(u"drop table rpt_Static_StockQty", Engine::Sqlite).ok);
    const quint64 made = t.translationsMade();
    ASSERT_TRUE(t.translate(createNumeric, Engine::Sqlite).ok);
    ASSERT_TRUE(t.translate(select, Engine::Sqlite).ok);
    EXPECT_EQ(t.translationsMade(), made);

    // A different definition replaces the old one, also for cached statements.
    ASSERT_TRUE(t.translate(u"create table rpt_Static_StockQty(hpid char(20), s1 float)", Engine::Sqlite).ok);
    r = t.translate(select, Engine::Sqlite);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.columns[0].type, SqlType::Text);
    // A cached CREATE TABLE still makes its table known again.
    ASSERT_TRUE(t.translate(createNumeric, Engine::Sqlite).ok);
    EXPECT_EQ(t.translate(select, Engine::Sqlite).columns[0].type, SqlType::Integer);
}

} // namespace
