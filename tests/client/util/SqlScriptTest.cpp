#include "client/core/util/SqlScript.h"

#include "client/core/dataset/MemoryDataSource.h"

#include "tests/client/util/RecordingTmpTest.h"
#include "tests/client/util/TestFields.h"

#include <gtest/gtest.h>

namespace qv::client {
namespace {

TEST(SqlScript, IifColumnFollowsTheDatabaseKind)
{
    EXPECT_EQ(IifColumn(0, QStringLiteral("Z.ZT"), QStringLiteral("是"), QStringLiteral("aZT"), QStringLiteral("否")),
              QStringLiteral("iif(Z.ZT,'是','否') as aZT"));
    EXPECT_EQ(IifColumn(1, QStringLiteral("Z.ZT"), QStringLiteral("是"), QStringLiteral("aZT"), QStringLiteral("否")),
              QStringLiteral("case Z.ZT when 1 then '是' else '否' end as aZT"));
}

class TableScriptTest : public test::RecordingTmpTest {
protected:
    void SetUp() override
    {
        serveTmp({test::fieldDef("ID", FieldType::Integer),
                  test::fieldDef("MC", FieldType::Text, 20),
                  test::fieldDef("RQ", FieldType::DateTime),
                  test::fieldDef("JE", FieldType::Double),
                  test::fieldDef("ZT", FieldType::YesNo),
                  test::fieldDef("BZ", FieldType::Memo),
                  test::fieldDef("PIC", FieldType::Blob)});
        dataSet.setSource(&source);
        dataSet.setProviderName(QStringLiteral("pTmp"));
    }

    DataSet dataSet;
};

TEST_F(TableScriptTest, WritesDeleteThenOneInsertPerRow)
{
    answer = {
        {qint64(1), QStringLiteral(" O'Brien "), QDateTime(QDate(2024, 1, 5), QTime(0, 0)), 12.5, true,
         QStringLiteral("a\r\nb"), QByteArray("xyz")},
        {qint64(2), QVariant(), QDateTime(QDate(2024, 1, 6), QTime(8, 30)), 0.0, false, QVariant(), QVariant()},
    };
    QStringList lines{QStringLiteral("-- existing")};
    ASSERT_TRUE(TableInsertScript(queries, dataSet, QStringLiteral("BM"), lines));
    EXPECT_EQ(asked, QStringList{QStringLiteral("select * from BM")});
    const QString head = QStringLiteral("insert into BM(ID,MC,RQ,JE,ZT,BZ,PIC) ");
    EXPECT_EQ(lines,
              (QStringList{QStringLiteral("-- existing"), QStringLiteral("delete from BM"),
                           head + QStringLiteral("Values(1,'O''Brien','2024-01-05',12.5,True,'a' & chr(13) & chr(10) & 'b',null) "),
                           head + QStringLiteral("Values(2,Null,'2024-01-06 08:30:00',0,False,Null,Null) ")}));
}

TEST_F(TableScriptTest, AnEmptyTableWritesNothing)
{
    QStringList lines;
    ASSERT_TRUE(TableInsertScript(queries, dataSet, QStringLiteral("BM"), lines));
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(TableScriptTest, SkippedTablesAreNotEvenRead)
{
    answer = {{qint64(1), QStringLiteral("x"), QVariant(), 0.0, false, QVariant(), QVariant()}};
    for (const char *table : {"MSysObjects", "vi_Stock", "QY3", "QY1"}) {
        QStringList lines;
        EXPECT_TRUE(TableInsertScript(queries, dataSet, QString::fromLatin1(table), lines)) << table;
        EXPECT_TRUE(lines.isEmpty()) << table;
    }
    EXPECT_TRUE(asked.isEmpty());
}

TEST_F(TableScriptTest, AFailedReadLeavesTheLinesAlone)
{
    source.setUnavailable(QStringLiteral("connection lost"));
    QStringList lines{QStringLiteral("keep")};
    EXPECT_FALSE(TableInsertScript(queries, dataSet, QStringLiteral("BM"), lines));
    EXPECT_EQ(lines, QStringList{QStringLiteral("keep")});
}

} // namespace
} // namespace qv::client
