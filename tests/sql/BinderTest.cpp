// The binder: names resolved against the model, types of expressions (tables
// of cases with Null and both operand orders), the conversions made explicit,
// result column names, and errors with their place.
#include "TestCatalog.h"

#include "sql/AstPrinter.h"
#include "sql/Binder.h"
#include "sql/Parser.h"

#include <gtest/gtest.h>

using namespace qv::sql;
using qv::sql::test::testCatalog;

namespace {

struct Bound {
    std::unique_ptr<Statement> statement;
    BindResult result;
};

Bound bindText(const QString &text)
{
    Bound b;
    b.statement = Parser(text).parseStatement();
    b.result = Binder(testCatalog(), text).bind(*b.statement);
    return b;
}

TranslateError bindError(const QString &text)
{
    try {
        bindText(text);
    } catch (const TranslateException &e) {
        return e.error;
    }
    ADD_FAILURE() << "no error for: " << text.toStdString();
    return {};
}

struct TypeCase {
    const char *expr;
    SqlType type;
};

void PrintTo(const TypeCase &c, std::ostream *os) { *os << c.expr; }

// Every expression is bound as "select <expr> from CGDDZB Z, HP H" where Z has
// ID, RQ (date), JE (double), ZT (yes/no) and H has BH, PM (text), JJ (double).
const TypeCase kTypes[] = {
    {"1 + 2", SqlType::Integer},
    {"1 + 2.5", SqlType::Double},
    {"2.5 + 1", SqlType::Double},
    {"Z.ID + JJ", SqlType::Double},
    {"JJ + Z.ID", SqlType::Double},
    {"Z.ID + Null", SqlType::Integer},
    {"Null + Z.ID", SqlType::Integer},
    {"Null + Null", SqlType::Null},
    {"Z.ZT + 1", SqlType::Integer},
    {"1 + Z.ZT", SqlType::Integer},
    {"BH + PM", SqlType::Text},
    {"BH + Null", SqlType::Text},
    {"Null + BH", SqlType::Text},
    {"BH + 1", SqlType::Double},
    {"BH & Z.ID", SqlType::Text},
    {"Z.ID & BH", SqlType::Text},
    {"Null & Null", SqlType::Text},
    {"Z.RQ + 1", SqlType::Date},
    {"1 + Z.RQ", SqlType::Date},
    {"Z.RQ - 1", SqlType::Date},
    {"Z.RQ - Z.JHRQ", SqlType::Double},
    {"7 / 2", SqlType::Double},
    {"Z.ID / Z.ID", SqlType::Double},
    {"7 \\ 2", SqlType::Integer},
    {"7.5 mod 2", SqlType::Integer},
    {"2 ^ 3", SqlType::Double},
    {"-Z.ID", SqlType::Integer},
    {"-Z.ZT", SqlType::Integer},
    {"not Z.ZT", SqlType::YesNo},
    {"Z.ZT = false", SqlType::YesNo},
    {"0 = Z.ZT", SqlType::YesNo},
    {"iif(Z.ZT, 1, 2.5)", SqlType::Double},
    {"iif(Z.ZT, 'a', 1)", SqlType::Text},
    {"iif(Z.ZT, 1, 'a')", SqlType::Text},
    {"iif(Z.ZT, Null, 1)", SqlType::Integer},
    {"iif(Z.ZT, 1, Null)", SqlType::Integer},
    {"iif(Z.ID, Z.RQ, Null)", SqlType::Date},
    {"switch(Z.ID=1,'a',Z.ID=2,'b')", SqlType::Text},
    {"val(format(2.345,'0.00'))", SqlType::Double},
    {"format(JJ,'0.00')", SqlType::Text},
    {"year(Z.RQ)", SqlType::Integer},
    {"Right(left(Z.RQ,7),2)", SqlType::Text},
    {"Right(left(Z.RQ,7),2) + '月'", SqlType::Text},
    {"sum(Z.ID)", SqlType::Integer},
    {"sum(JJ)", SqlType::Double},
    {"sum(Z.ZT)", SqlType::Integer},
    {"count(*)", SqlType::Integer},
    {"avg(Z.ID)", SqlType::Double},
    {"max(Z.RQ)", SqlType::Date},
    {"min(BH)", SqlType::Text},
    {"isnull(BH)", SqlType::YesNo},
    {"(select max(JJ) from HP)", SqlType::Double},
    {"(select avg(X.JJ) from HP X where X.HPLBID = H.HPLBID)", SqlType::Double},
    {"nz(JJ, 0)", SqlType::Double},
    {"isnull(Z.ID, 0)", SqlType::Integer},
    {"#2024-01-15#", SqlType::Date},
    {"Z.RQ between #2024-01-01# and 45306", SqlType::YesNo},
    {"BH like 'a%'", SqlType::YesNo},
    {"Z.ID in (1, 2)", SqlType::YesNo},
    {"Null", SqlType::Null},
};

class BinderTypes : public ::testing::TestWithParam<TypeCase> {};

TEST_P(BinderTypes, TypeOfExpression)
{
    const TypeCase &c = GetParam();
    const QString text = QStringLiteral("select %1 from CGDDZB Z, HP H").arg(QString::fromUtf8(c.expr));
    try {
        const Bound b = bindText(text);
        ASSERT_EQ(b.result.columns.size(), 1u);
        EXPECT_EQ(sqlTypeName(b.result.columns[0].type).toStdString(), sqlTypeName(c.type).toStdString()) << c.expr;
    } catch (const TranslateException &e) {
        FAIL() << e.error.toString().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Expressions, BinderTypes, ::testing::ValuesIn(kTypes));

struct Rewrite {
    const char *text;
    const char *bound; // the statement printed after binding
};

void PrintTo(const Rewrite &r, std::ostream *os) { *os << r.text; }

// What the binder makes explicit: dates from day numbers and texts, yes/no
// values against numbers, numbers as conditions, reused aliases.
const Rewrite kRewrites[] = {
    {"select ID from Inv_ItemList where RQ <= 45306.9999884259",
     "SELECT ID FROM Inv_ItemList WHERE (RQ <= #2024-01-15 23:59:59#)"},
    {"select ID from Inv_ItemList where 45306.9999884259 >= RQ",
     "SELECT ID FROM Inv_ItemList WHERE (#2024-01-15 23:59:59# >= RQ)"},
    {"select ID from Inv_ItemList where RQ >= '2024-01-15' and RQ < '2024/2/1'",
     "SELECT ID FROM Inv_ItemList WHERE ((RQ >= #2024-01-15#) AND (RQ < #2024-02-01#))"},
    {"select ID from Inv_ItemList where RQ between 45292 and #2024-01-31#",
     "SELECT ID FROM Inv_ItemList WHERE (RQ BETWEEN #2024-01-01# AND #2024-01-31#)"},
    {"select ID from Inv_ItemList where RQ <= HPID", "SELECT ID FROM Inv_ItemList WHERE (RQ <= {number->date}(HPID))"},
    {"select ID from HP where ZT = 0 or 0 = ZT or ZT <> 0 or ZT = -1 or ZT = false",
     "SELECT ID FROM HP WHERE (((((ZT = FALSE) OR (FALSE = ZT)) OR (ZT <> FALSE)) OR (ZT = TRUE)) OR (ZT = FALSE))"},
    {"select ID from HP where ZT = HPLBID", "SELECT ID FROM HP WHERE ({yesno->number}(ZT) = HPLBID)"},
    {"select iif(ID, 'a', 'b'), iif(ZT, 1, 0) from HP",
     "SELECT CASE WHEN {number->yesno}(ID) THEN 'a' ELSE 'b' END, CASE WHEN ZT THEN 1 ELSE 0 END FROM HP"},
    {"select iif(ZT, 'a', 1) from HP", "SELECT CASE WHEN ZT THEN 'a' ELSE '1' END FROM HP"},
    {"select iif(ZT, BH, ID) from HP", "SELECT CASE WHEN ZT THEN BH ELSE {number->text}(ID) END FROM HP"},
    {"select M.SL AS aSHSL, iif(M.SL>aSHSL,M.SL-aSHSL,0) as aMSSL from CGDD M",
     "SELECT M.SL AS aSHSL, CASE WHEN (M.SL > M.SL) THEN (M.SL - M.SL) ELSE 0 END AS aMSSL FROM CGDD AS M"},
    {"select JEA + JEB as JEC, sum(SL) as JEA, sum(DJ) as JEB from CGDD",
     "SELECT (sum(SL) + sum(DJ)) AS JEC, sum(SL) AS JEA, sum(DJ) AS JEB FROM CGDD"},
    // A column of a table wins over an alias of the same name.
    {"select sum(SL) as SL, sum(SL*DJ) as JE from CGDD", "SELECT sum(SL) AS SL, sum((SL * DJ)) AS JE FROM CGDD"},
    {"select ID from HP where not ZT", "SELECT ID FROM HP WHERE (NOT ZT)"},
    {"select ID from HP where ID", "SELECT ID FROM HP WHERE {number->yesno}(ID)"},
    {"select left(RQ, 7) & ID from CGDDZB", "SELECT (left({date->text}(RQ), 7) & {number->text}(ID)) FROM CGDDZB"},
    {"update hp set zt=false, JJ = '2.5', HPLBID = 2.5", "UPDATE hp SET zt = FALSE, JJ = 2.5, HPLBID = 2"},
    {"update hp set IsMaterial = 1, IsProduct = JJ", "UPDATE hp SET IsMaterial = TRUE, IsProduct = {number->yesno}(JJ)"},
    {"insert into AppLog(uName, RQ) values ('a', '2024-01-15')", "INSERT INTO AppLog (uName, RQ) VALUES ('a', #2024-01-15#)"},
    {"insert into AppLog(RQ) values (45306.5)", "INSERT INTO AppLog (RQ) VALUES (#2024-01-15 12:00:00#)"},
    {"insert into Sys_GroupFuncRight values('QV',3,'001','frm','Insert','2024-01-15')",
     "INSERT INTO Sys_GroupFuncRight VALUES ('QV', 3, '001', 'frm', 'Insert', '2024-01-15')"},
    {"insert into HP(ID, ZT) select ID, ZT from HP", "INSERT INTO HP (ID, ZT) SELECT ID, ZT FROM HP"},
    {"insert into HP(BH, JJ) select ID, BH from HP", "INSERT INTO HP (BH, JJ) SELECT {number->text}(ID), {text->number}(BH) FROM HP"},
    {"select ID from CGDDZB union all select BH from HP",
     "SELECT {number->text}(ID) FROM CGDDZB UNION ALL SELECT BH FROM HP"},
    {"select 1 as flag, JJ from HP union all select 0, '' from HP",
     "SELECT 1 AS flag, {number->text}(JJ) FROM HP UNION ALL SELECT 0, '' FROM HP"},
    {"select * from ZH union all select ID, MC, 0, 1.5, QMJE from ZH",
     "SELECT ZH.ID, ZH.MC, {yesno->number}(ZH.YHL), ZH.QCJE, ZH.QMJE FROM ZH UNION ALL SELECT ID, MC, 0, 1.5, QMJE FROM ZH"},
    {"select iif(ZT, 'a', 'b') as g, count(*) as n, sum(JJ) * 2 as t from HP group by ZT order by sum(JJ) desc",
     "SELECT CASE WHEN ZT THEN 'a' ELSE 'b' END AS g, count(*) AS n, (sum(JJ) * 2) AS t FROM HP GROUP BY ZT ORDER BY sum(JJ) DESC"},
    {"select M.*, D.RQ+D.SKQX as aSKQX from CGDD M, XSKDZB D where M.ZBID = D.ID",
     "SELECT M.*, (D.RQ + D.SKQX) AS aSKQX FROM CGDD AS M, XSKDZB AS D WHERE (M.ZBID = D.ID)"},
};

class BinderRewrites : public ::testing::TestWithParam<Rewrite> {};

TEST_P(BinderRewrites, MakesConversionsExplicit)
{
    const Rewrite &r = GetParam();
    try {
        const Bound b = bindText(QString::fromUtf8(r.text));
        EXPECT_EQ(printStatement(*b.statement).toStdString(), std::string(r.bound));
    } catch (const TranslateException &e) {
        FAIL() << e.error.toString().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Statements, BinderRewrites, ::testing::ValuesIn(kRewrites));

std::string columnList(const BindResult &r)
{
    std::string out;
    for (const ResultColumn &c : r.columns)
        out += (out.empty() ? "" : ",") + c.name.toStdString() + ":" + sqlTypeName(c.type).toStdString();
    return out;
}

TEST(BinderColumns, NamesAsTheOriginalEngineGivesThem)
{
    EXPECT_EQ(columnList(bindText(QStringLiteral("select bh, hp.pm as aPM, id + 1, JJ*2 from hp")).result),
              "BH:text,aPM:text,Expr1000:integer,Expr1001:double");
    EXPECT_EQ(columnList(bindText(QStringLiteral("select Z.*, K.BH as aGYSBH from CGDDZB Z, GYS K, Z inner join K on Z.GYSID = K.ID")).result),
              "ID:integer,DJBH:text,RQ:date,JE:double,GYSID:integer,JHRQ:date,ZT:yes/no,uFlag:integer,aGYSBH:text");
    // Columns of the same name from two tables are named by their table.
    EXPECT_EQ(columnList(bindText(QStringLiteral("select * from CK C, SFKFS S")).result),
              "C.ID:integer,C.MC:text,BMID:integer,S.ID:integer,S.MC:text,ZHID:integer");
    // The same column twice is one value under its own name: the purchase
    // report source selects M.YWY twice, and the reports read it as YWY.
    EXPECT_EQ(columnList(bindText(QStringLiteral("select M.*, HPID as X, M.HPID from CGDD M")).result),
              "ZBID:integer,HH:integer,RQ:date,HPID:integer,SL:double,DJ:double,DJBH:text,X:integer,HPID:integer");
    EXPECT_EQ(columnList(bindText(QStringLiteral("select HPID, count(*) as n from (select M.HPID, M.SL, M.HPID from CGDD M) a group by HPID")).result),
              "HPID:integer,n:integer");
    // A derived table's columns are what its select gives.
    EXPECT_EQ(columnList(bindText(QStringLiteral("select a.* from (select BH, sum(JJ) as T from HP group by BH) a")).result),
              "BH:text,T:double");
    // The first branch names a union's columns.
    EXPECT_EQ(columnList(bindText(QStringLiteral("select 'x' as LX, ID from HP union all select BH, 2 from HP")).result),
              "LX:text,ID:integer");
}

TEST(BinderColumns, DerivedColumnsAlsoAnswerToTheirInnerTable)
{
    // "D.DJ" outside the derived table names the column it passes through.
    EXPECT_EQ(columnList(bindText(QStringLiteral("select 1 as flag, D.DJ, a.SL from (select D.DJ, D.SL from CGSH D) a")).result),
              "flag:integer,DJ:double,SL:double");
    EXPECT_EQ(columnList(bindText(QStringLiteral(
                  "select MC, JE from (select C.MC, sum(D.SL) as JE from LL D, CK C group by C.MC) a order by C.MC")).result),
              "MC:text,JE:double");
    EXPECT_EQ(bindError(QStringLiteral("select X.DJ from (select D.DJ from CGSH D) a")).message.toStdString(),
              "unknown table or alias 'X'");
}

TEST(BinderColumns, DerivedTableWithDuplicateNamesWritesColumnsOut)
{
    const Bound b = bindText(QStringLiteral("select X.BH from (select * from CK C, SFKFS S, HP H where C.ID = S.ID) X"));
    EXPECT_EQ(printStatement(*b.statement).toStdString(),
              "SELECT X.BH FROM (SELECT C.ID AS [C.ID], C.MC AS [C.MC], C.BMID, S.ID AS [S.ID], S.MC AS [S.MC], S.ZHID, "
              "H.ID AS [H.ID], H.BH, H.BARCODE, H.HPLBID, H.PM, H.GG, H.DW, H.HPHSFSID, H.JJ, H.JJJ, H.SX, H.XX, "
              "H.InSL, H.CKID, H.ZT, H.IsMaterial, H.IsProduct, H.ZJM FROM CK AS C, SFKFS AS S, HP AS H "
              "WHERE (C.ID = S.ID)) AS X");
}

TEST(BinderExternal, TablesOfAnotherFileHaveAnyColumn)
{
    const Bound b = bindText(QStringLiteral(
        "INSERT INTO [HP] ([ID],[BH]) SELECT [ID],[BH] FROM [MS Access;DATABASE=/tmp/old.mdb;PWD=ferntide].[HP]"));
    ASSERT_EQ(b.result.attachments.size(), 1u);
    EXPECT_EQ(b.result.attachments[0].path.toStdString(), "/tmp/old.mdb");
    EXPECT_EQ(b.result.attachments[0].password.toStdString(), "ferntide");
    EXPECT_EQ(b.result.attachments[0].alias.toStdString(), "qv_ext1");
    const Bound star = bindText(QStringLiteral("select * from [MS Access;DATABASE=/tmp/old.mdb].[HP]"));
    EXPECT_FALSE(star.result.columnsKnown);
}

struct BindFailure {
    const char *text;
    int column;
    const char *message;
};

void PrintTo(const BindFailure &f, std::ostream *os) { *os << f.text; }

const BindFailure kFailures[] = {
    {"select ID from NoSuchTable", 16, "unknown table 'NoSuchTable'"},
    {"select NoColumn from HP", 8, "unknown column 'NoColumn'"},
    {"select H.NoColumn from HP H", 8, "unknown column 'H.NoColumn'"},
    {"select X.ID from HP H", 8, "unknown table or alias 'X'"},
    {"select ID from HP, CK", 8, "could refer to more than one table"},
    {"select a as b, b as a from HP", 16, "circular reference caused by alias"},
    {"select ID from HP where BH = 5", 28, "type mismatch in comparison: text with integer"},
    {"select ID from CGDDZB where RQ = 'tomorrow'", 34, "'tomorrow' is not a date"},
    {"select ID from HP where BH", 25, "text used as a condition"},
    {"select ID from HP union select ID, BH from HP", 25, "different numbers of columns"},
    {"select ID from HP union select ID from HP order by BH", 52, "must name a column of the result"},
    {"select ID from HP H, CK H", 22, "named twice"},
    {"insert into HP(ID, Nope) values (1, 2)", 20, "unknown column 'Nope' in table 'HP'"},
    {"insert into HP(ID, BH) values (1)", 1, "1 values for 2 columns"},
    {"update CGSHZB c,YG y set c.ygid=y.id", 26, "unknown column 'c.ygid'"},
    {"update HP H, CK C set H.BH = 'a', C.MC = 'b'", 35, "one table only"},
    {"select ID from HP where ID in (select ID, BH from HP)", 28, "exactly one column"},
    {"create table t (a widget)", 17, "unknown column type 'widget'"},
    {"select * ", 8, "'*' needs a FROM clause"},
    {"select format(JJ, '0.00;(0.00)') from HP", 19, "format pattern '0.00;(0.00)' is not supported"},
    // Grouped queries: every column grouped or inside an aggregate.
    {"select BH, count(*) from HP", 8, "the expression 'BH' is not part of an aggregate function or the GROUP BY"},
    {"select H.BH, count(*) from HP H group by H.PM", 8, "the expression 'H.BH' is not part of an aggregate"},
    {"select HPLBID, count(*) from HP group by HPLBID order by BH", 58, "the expression 'BH' is not part"},
    {"select HPLBID from HP group by HPLBID having JJ > 1", 46, "the expression 'JJ' is not part"},
};

class BinderErrors : public ::testing::TestWithParam<BindFailure> {};

TEST_P(BinderErrors, NamePlaceAndProblem)
{
    const BindFailure &f = GetParam();
    const TranslateError e = bindError(QString::fromUtf8(f.text));
    EXPECT_EQ(e.phase, Phase::Bind) << e.toString().toStdString();
    EXPECT_EQ(e.column, f.column) << e.toString().toStdString();
    EXPECT_TRUE(e.message.contains(QString::fromUtf8(f.message))) << e.toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Statements, BinderErrors, ::testing::ValuesIn(kFailures));

} // namespace
