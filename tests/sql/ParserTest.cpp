// The parser over statements the programs send: every one parses, prints back
// in the canonical form, and that form parses to the same tree. Malformed text
// gives an error that names the place, never a crash.
#include "sql/AstPrinter.h"
#include "sql/Parser.h"

#include <gtest/gtest.h>

using namespace qv::sql;

namespace {

std::unique_ptr<Statement> parse(const QString &text)
{
    return Parser(text).parseStatement();
}

QString canonical(const QString &text)
{
    return printStatement(*parse(text));
}

TranslateError parseError(const QString &text)
{
    try {
        parse(text);
    } catch (const TranslateException &e) {
        return e.error;
    }
    ADD_FAILURE() << "no error for: " << text.toStdString();
    return {};
}

// Statements as the programs write them, in their own spelling and spacing.
const char *const kStatements[] = {
    "select H.*,  L.TypeName as aHPLBMC  from HP H Left outer join Pub_ItemType L on H.HPLBID=L.ItemType    order by H.BH",
    "SELECT A.TypeName AS ParentName, B.* FROM Pub_ItemType AS B LEFT JOIN Pub_ItemType AS A ON B.ParentCode=A.ItemType",
    "select *,iif(YHL,'银行存款类','现金类') as aYHL from ZH",
    "select K.*, D.MC as aDQMC, VIPName,K.QMJE-K.YXJE as aSJJE  from (KH K left outer join DQ D on K.DQID=D.ID) left outer join VIP V on K.LevelID=V.id ",
    "select Z.*,iif(Z.ZT,'是','否') as aZT, K.BH as aGYSBH, K.MC as aGYSMC  from CGDDZB Z,GYS K,Z inner join K on Z.GYSID = K.ID  order by Z.DJBH",
    "select M.*,(select HH from CGDD where CGDD.ZBID=M.ZBID and CGDD.HH=M.HH) as TMP, SL AS aSHSL,iif(M.SL>aSHSL,M.SL-aSHSL,0) as aMSSL,  H.BH as aBH, H.PM as aPM, H.DW as aDW , H.GG AS aGG from CGDD M, HP H, M inner join H on M.HPID=H.ID",
    "select Z.ID, Z.DJBH, Z.RQ, Z.JE, Z.JHRQ,  G.BH AS aGYSBH, G.MC AS aGYSMC from CGDDZB Z,GYS G,Z inner join G on Z.GYSID=G.ID where not Z.ZT  order by Z.DJBH;",
    "select Z.*, switch(FPLX=1,'收据', FPLX=2,'普通发票', FPLX=3,'增值税发票') as aFPLX, K.BH as aGYSBH, K.MC as aGYSMC, C.MC as aCKMC, S.MC as aSFKFSMC, H.MC as aZHMC from CGSHZB Z,GYS K,CK C, SFKFS S, ZH H, Z inner join K on Z.GYSID = K.ID, Z inner join C on Z.CKID = C.ID, Z left join S on Z.SFKFSID = S.ID, Z left join H on Z.ZHID = H.ID order by Z.DJBH",
    "select Z.*, iif(Z.ZT,'是','否') as aZT, K.BH as aKHBH, K.MC as aKHMC from XSDDZB Z, KH K, Z inner join K on Z.KHID = K.ID where Z.RQ between #2008-08-30# and #2008-08-30# order by Z.DJBH",
    "select Z.*, C.MC as aCKMC,Y.BMID,B.MC as aBMMC from ((LLZB Z left join CK C on Z.CKID = C.ID) left join YG Y on Z.YGID=Y.ID) left join BM B on Y.BMID=B.ID order by Z.DJBH",
    "select Z.*,ZC.MC as aZCZHMC,ZR.MC as aZRZHMC from YHCKQK Z, ZH ZC, ZH ZR, Z left join ZC on Z.ZCZHID = ZC.ID, Z left join ZR on Z.ZRZHID = ZR.ID order by Z.RQ",
    "select Y.*,B.MC as aBMMC,L.MC as aYGLBMC, iif(YWYBZ,'是','否') as aYWYBZ, switch(JSFF=1,'月薪',JSFF=2,'计件') as aJSFF, iif(LZ,'是','否') as aLZ  from YG Y,BM B,YGLB L, Y left join B on Y.BMID = B.ID, Y left join L on Y.YGLBID = L.ID order by BH",
    "select A.*,B.F_Name as GzName from Gz_GXu A,Gz_GZong B where A.F_GzID=B.ID ",
    "select iif(isnull(max(ID)), 1, max(ID)+1) from HP where ID > 0",
    "select sum(flag*sl) as qty From Inv_ItemList  where 1=1  and hpid =3 and RQ <= 45306.9999884259 and CKID = 2",
    "select top 1 dj From Inv_ItemList  where BillType='CS'  and hpid =7 order by rq desc",
    " select top 1 1 from CGSH where hpid = 5 union  select top 1 1 from LL where hpid = 5 union  select top 1 1 from XSKD where hpid = 5",
    "INSERT into MaxBillNo(TableName,MaxNo) VALUES ('CS202401',2)",
    "update MaxBillNo set MaxNo = 3 where TableName = 'CS202401'",
    "update CGSHZB c,YG y set c.ygid=y.id where c.ywy=y.xm",
    "update hp set zt=false",
    "update AppUser set uPassword = 'abc'where uCode = 'SYS'",
    "delete from Sys_FuncItem where Indexno like '04%' ",
    "delete From AppLog where RQ <= #2024-01-15#",
    "insert into Sys_GroupFuncRight values('QV',3,'001','frmLl','Insert,Delete','2024-01-15')",
    " insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID,YGID)  select D.RQ,'QB',iif(L.RKL,1, -1),M.DJBH,D.HPID,D.HH,D.SL,D.DJ,DJ,D.SL*D.DJ,M.CKID,0 from QTKCBDZB M,QTKCBD D, QTKCBDLX L , M inner join D on M.ID=D.ZBID,  M inner join L on M.QTKCBDLXID = L.ID  where M.DJBH='QB2024010001'",
    "INSERT INTO [HP] ([ID],[BH]) SELECT [ID],[BH] FROM [MS Access;DATABASE=/tmp/old/QvData.mdb;PWD=ferntide].[HP]",
    "SELECT TOP 1 * FROM [HP]",
    " create table rpt_Static_Month(keyid char(20) ,Qty1 float,Amount1 float,AllQty float,AllAmount float )",
    "drop table rpt_Static_Month",
    " select top 5 a.sX as 月份,val(format(sum(a.sY), '0.00')) as 金额 from  ( SELECT  Right(left(z.rq,7),2)+ '月'  AS sX, sl*dj as sY    FROM (select * from CGSHZB WHERE uFlag=1)  Z, CGSH  M    WHERE Z.ID=M.ZBID  and M.RQ >=#2024-01-01#  and M.RQ <=#2024-12-31#   ) a   group by a.sX   order by a.sX  ",
    " select (BH+'_'+PM ) as BHPM,'' as ZBID_BH,-2 as id from Inv_ItemList  M , HP H where M.HPID=H.ID and M.RQ <=#2024-01-31# ",
    " select Z.ID, Z.MC, Z.YHZH,  (iif(isnull(Z.QCJE), 0, Z.QCJE)+ iif(isnull(J.QCJE), 0, J.QCJE)) as JEA, J.JEB, J.JEC, (JEA + JEB - JEC) as JED  from ZH Z left join (select ZHID, sum(JEA) as QCJE, sum(JEB) as JEB, sum(JEA) as JEC from T group by ZHID) J on Z.ID = J.ZHID",
    "select b.hpid,b.dj from (select id,hpid,dj from Inv_ItemList) b, (SELECT hpid,max(id) as id1 FROM (select id, hpid from Inv_ItemList)a group by hpid) c where b.id=c.id1",
    "select hpid,Min(dj) as dj1 from (select hpid, dj from Inv_ItemList) group by  hpid",
    " select count(*) from yg where 1=1  and month(CSRQ)=3 and day(CSRQ) = 5",
    " select ZBID,SL, c.HaverefSL FROM ( CGSH  as M LEFT JOIN HP  H ON M.HPID=H.ID )   LEFT JOIN (select SRCNO,SRCSEQ,sum(SL) as HaverefSL from LL group by SRCNO,SRCSEQ) C    on  (C.SRCNO=M.DJBH and C.SRCSEQ=M.HH)  where M.ZBID in (1,2) and (c.HaverefSL is null or (M.SL-c.HaverefSL)>0)  Order by M.ZBID,M.HH",
    "select TypeName from Pub_Project  where ParentCode = (select ItemType from Pub_Project where TypeName='计量单位')",
    "select 7 \\ 2 as a, 7 mod 2 as b, 2 ^ 3 as c, -2 ^ 2 as d, 'a' & Null as e",
    "select * from t where not exists (select 1 from u where u.id = t.id) and x not in (1, 2) and y not like 'a%' and z not between 1 and 2 and w is not null",
    "select case when a = 1 then 'x' else 'y' end as c, case b when 2 then 3 end from t",
    "select M.*, D.RQ+D.SKQX as aSKQX from XSSK M, XSKDZB D, M inner join D on M.DDID=D.ID where M.ZBID = 1",
};

class ParserCorpus : public ::testing::TestWithParam<const char *> {};

TEST_P(ParserCorpus, ParsesAndPrintsCanonically)
{
    const QString text = QString::fromUtf8(GetParam());
    QString first;
    try {
        first = canonical(text);
    } catch (const TranslateException &e) {
        FAIL() << e.error.toString().toStdString();
    }
    ASSERT_FALSE(first.isEmpty());
    QString second;
    try {
        second = canonical(first);
    } catch (const TranslateException &e) {
        FAIL() << "canonical form does not parse: " << first.toStdString() << "\n" << e.error.toString().toStdString();
    }
    EXPECT_EQ(first.toStdString(), second.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Statements, ParserCorpus, ::testing::ValuesIn(kStatements));

struct Normalised {
    const char *text;
    const char *expected;
};

void PrintTo(const Normalised &n, std::ostream *os) { *os << n.text; }

// Legacy forms become canonical nodes while parsing.
const Normalised kNormalised[] = {
    {"select a from CGDDZB Z,GYS K,Z inner join K on Z.GYSID = K.ID",
     "SELECT a FROM (CGDDZB AS Z INNER JOIN GYS AS K ON (Z.GYSID = K.ID))"},
    {"select a from CGSHZB Z,GYS K,CK C, Z inner join K on Z.GYSID = K.ID, Z left join C on Z.CKID = C.ID",
     "SELECT a FROM ((CGSHZB AS Z INNER JOIN GYS AS K ON (Z.GYSID = K.ID)) LEFT JOIN CK AS C ON (Z.CKID = C.ID))"},
    {"select a from QTKCBDZB M,QTKCBD D, QTKCBDLX L , M inner join D on M.ID=D.ZBID,  M inner join L on M.QTKCBDLXID = L.ID where x=1",
     "SELECT a FROM ((QTKCBDZB AS M INNER JOIN QTKCBD AS D ON (M.ID = D.ZBID)) INNER JOIN QTKCBDLX AS L ON (M.QTKCBDLXID = L.ID)) WHERE (x = 1)"},
    // Tables the join entries do not name stay in the comma list.
    {"select a from A X, B Y, C W, X left join W on X.i = W.i", "SELECT a FROM (A AS X LEFT JOIN C AS W ON (X.i = W.i)), B AS Y"},
    // Plain comma lists and ordinary joins are left alone.
    {"select a from A X, B Y where X.i = Y.i", "SELECT a FROM A AS X, B AS Y WHERE (X.i = Y.i)"},
    {"select iif(ZT, 1, 0) from HP", "SELECT CASE WHEN ZT THEN 1 ELSE 0 END FROM HP"},
    {"select switch(a=1,'x',a=2,'y') from t", "SELECT CASE WHEN (a = 1) THEN 'x' WHEN (a = 2) THEN 'y' END FROM t"},
    {"select isnull(a), isnull(a, 0) from t", "SELECT (a IS NULL), nz(a, 0) FROM t"},
    {"select a from t where d < #1/15/2024 10:30 PM#", "SELECT a FROM t WHERE (d < #2024-01-15 22:30:00#)"},
    {"select a from t where d = #2024/1/5 0:00:00#", "SELECT a FROM t WHERE (d = #2024-01-05#)"},
    {"select top 3 percent a from t", "SELECT TOP 3 PERCENT a FROM t"},
    {"select top 1 1 from a union all select top 2 2 from b order by 1",
     "(SELECT TOP 1 1 FROM a) UNION ALL (SELECT TOP 2 2 FROM b) ORDER BY 1"},
    {"select -5, - x, 2*-3 from t", "SELECT -5, (-x), (2 * -3) FROM t"},
    {"select a+b*c, a or b and c, not a = b from t", "SELECT (a + (b * c)), (a OR (b AND c)), (NOT (a = b)) FROM t"},
    {"select 'it''s', \"say \"\"hi\"\"\" from t", "SELECT 'it''s', 'say \"hi\"' FROM t"},
    {"select [my col] as [the name] from [my table]", "SELECT [my col] AS [the name] FROM [my table]"},
    {"delete * from t where a=1", "DELETE FROM t WHERE (a = 1)"},
    {"select a & b + c from t", "SELECT (a & (b + c)) FROM t"},
};

class ParserNormalisation : public ::testing::TestWithParam<Normalised> {};

TEST_P(ParserNormalisation, GivesCanonicalNodes)
{
    const Normalised &n = GetParam();
    try {
        EXPECT_EQ(canonical(QString::fromUtf8(n.text)).toStdString(), std::string(n.expected));
    } catch (const TranslateException &e) {
        FAIL() << e.error.toString().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, ParserNormalisation, ::testing::ValuesIn(kNormalised));

TEST(ParserTree, TopBecomesLimitPerUnionBranch)
{
    auto s = parse(QStringLiteral("select top 1 1 from a union select 2 from b union select top 4 3 from c"));
    ASSERT_EQ(s->query->branches.size(), 3u);
    EXPECT_EQ(s->query->branches[0]->limit, 1);
    EXPECT_EQ(s->query->branches[1]->limit, -1);
    EXPECT_EQ(s->query->branches[2]->limit, 4);
    EXPECT_EQ(s->query->unionAll, (std::vector<bool>{false, false}));
}

TEST(ParserTree, ExternalDatabaseReference)
{
    auto s = parse(QStringLiteral("insert into [T] ([a]) select [a] from [MS Access;DATABASE=C:\\x\\QvData.mdb;PWD=p].[T]"));
    const TableRef &from = *s->query->branches[0]->from[0];
    EXPECT_EQ(from.name.toStdString(), "T");
    EXPECT_EQ(from.database.toStdString(), "MS Access;DATABASE=C:\\x\\QvData.mdb;PWD=p");
}

struct Malformed {
    const char *text;
    int line;
    int column;
    const char *message; // part of the message
};

void PrintTo(const Malformed &m, std::ostream *os) { *os << m.text; }

const Malformed kMalformed[] = {
    {"select a from t where (a = 1", 1, 29, "expected ')' but found end of statement"},
    {"select a from t where a = 1)", 1, 28, "expected end of statement but found ')'"},
    {"select foo(a) from t", 1, 8, "unknown function 'foo'"},
    {"select a from", 1, 14, "expected a table name but found end of statement"},
    {"select a,\n from t", 2, 2, "expected an expression but found 'from'"},
    {"select 'abc from t", 1, 8, "unterminated string"},
    {"select [abc from t", 1, 8, "unterminated bracketed name"},
    {"select a from t where d = #2024-01-15", 1, 27, "unterminated date literal"},
    {"select a from t where d = #2024-13-45#", 1, 27, "invalid date literal"},
    {"select iif(a, 1) from t", 1, 8, "function 'iif' takes 3 argument(s), not 2"},
    {"select switch(a=1) from t", 1, 8, "pairs of condition and value"},
    {"select a from t where a between 1", 1, 34, "expected AND"},
    {"select a from t\nwhere a in (1,", 2, 15, "expected an expression"},
    {"update t set where a=1", 1, 14, "expected a column name but found 'where'"},
    {"select a from t where a = @", 1, 27, "unexpected character '@'"},
    {"select top x a from t", 1, 12, "the number of rows after TOP"},
    {"", 1, 1, "expected SELECT, INSERT"},
    {"select a from t full join u on t.a = u.a", 1, 17, "FULL JOIN is not part of the dialect"},
    {"select a from A X, B Y, X inner join X on X.i = X.i", 1, 38, "joined to itself"},
    {"select count(*), sum(*) from t", 1, 22, "expected an expression but found '*'"},
    {"select 1.5e from t", 1, 11, "malformed number"},
};

class ParserErrors : public ::testing::TestWithParam<Malformed> {};

TEST_P(ParserErrors, NamePlaceAndConstruct)
{
    const Malformed &m = GetParam();
    const TranslateError e = parseError(QString::fromUtf8(m.text));
    EXPECT_EQ(e.line, m.line) << e.toString().toStdString();
    EXPECT_EQ(e.column, m.column) << e.toString().toStdString();
    EXPECT_TRUE(e.message.contains(QString::fromUtf8(m.message))) << e.toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Statements, ParserErrors, ::testing::ValuesIn(kMalformed));

TEST(ParserErrors, DeepNestingIsRefusedNotCrashing)
{
    const QString deep = QStringLiteral("select ") + QString(5000, QLatin1Char('(')) + QStringLiteral("1")
                         + QString(5000, QLatin1Char(')')) + QStringLiteral(" from t");
    const TranslateError e = parseError(deep);
    EXPECT_TRUE(e.message.contains(QStringLiteral("nested too deeply"))) << e.toString().toStdString();
}

TEST(ParserErrors, EveryTruncationFailsCleanly)
{
    // Each prefix of a long statement is either valid or fails with a position
    // inside the text; none may crash.
    const QString text = QString::fromUtf8(kStatements[7]);
    for (int n = 0; n < text.size(); ++n) {
        try {
            parse(text.left(n));
        } catch (const TranslateException &e) {
            EXPECT_GE(e.error.column, 1);
            EXPECT_LE(e.error.column, n + 1);
        }
    }
}

} // namespace
