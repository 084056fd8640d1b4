// The opening stock of an item import becomes audited stock-taking documents
// with lines and ledger rows, one document per warehouse.
#include "ServerFixture.h"

#include "client/core/data/OpeningStock.h"
#include "client/core/data/StockCost.h"

using namespace qv::client;
using namespace qv::client::test;

namespace {

class OpeningStockTest : public ServerFixture {
protected:
    qint64 count(const QString &sql) { return value(sql).toLongLong(); }
};

TEST_F(OpeningStockTest, ItemsWithoutAWarehouseAreBookedToWarehouseOne)
{
    exec(QStringLiteral("update HP set InSL=0"));
    exec(QStringLiteral("delete from KCPDZB"));
    exec(QStringLiteral("delete from KCPD"));
    exec(QStringLiteral("delete from Inv_ItemList"));
    exec(QStringLiteral("update HP set InSL=10 where ID=1"));             // warehouse 1, JJ 1.2
    exec(QStringLiteral("update HP set InSL=5, CKID=2 where ID=9"));      // warehouse 2, JJ 22
    exec(QStringLiteral("update HP set InSL=3, CKID=0 where ID=11"));     // warehouse 0, JJ 4.5
    exec(QStringLiteral("update HP set InSL=4, CKID=null where ID=12"));  // no warehouse, JJ 2.5

    const auto report = importOpeningStock(data());
    ASSERT_TRUE(report.ok()) << qPrintable(report.error);
    EXPECT_TRUE(report.value.skipped.isEmpty()) << qPrintable(report.value.skipped.join(u'\n'));
    EXPECT_EQ(report.value.documents, 4);
    EXPECT_EQ(report.value.lines, 4);

    EXPECT_EQ(count(QStringLiteral("select count(*) from KCPDZB where BZ='期初导入' and uFlag=1 and YGID=1")), 4);
    EXPECT_EQ(count(QStringLiteral("select count(*) from KCPDZB where CKID=1")), 3);
    EXPECT_EQ(count(QStringLiteral("select count(*) from KCPDZB where CKID=2")), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from KCPDZB where CKID=0 or CKID is null")), 0);

    // Ledger rows of the items without a warehouse are in warehouse 1.
    EXPECT_EQ(count(QStringLiteral("select CKID from Inv_ItemList where HPID=11")), 1);
    EXPECT_EQ(count(QStringLiteral("select CKID from Inv_ItemList where HPID=12")), 1);
    EXPECT_EQ(count(QStringLiteral("select CKID from KCPD where HPID=12")), 1);
    EXPECT_EQ(count(QStringLiteral("select CKID from Inv_ItemList where HPID=9")), 2);
    const QString today = data().serverDate().value;
    EXPECT_EQ(stockQty(data(), 11, today, 1).value, 3);
    EXPECT_EQ(stockQty(data(), 1, today, 1).value, 10);

    // Each document: its ID is its number without the prefix, its amount the
    // sum of its own lines, its ledger rows carry its number.
    DataSet *tmp = data().tmp();
    ASSERT_TRUE(data().runSql(tmp, QStringLiteral("select ID, DJBH, JE, CKID from KCPDZB order by DJBH"), true));
    int documents = 0;
    for (bool more = tmp->first(); more && !tmp->eof(); more = tmp->next(), ++documents) {
        const QString billNo = tmp->fieldByName(u"DJBH")->asString();
        EXPECT_TRUE(billNo.startsWith(u"PD")) << qPrintable(billNo);
        EXPECT_EQ(QString::number(tmp->fieldByName(u"ID")->asInteger()), billNo.mid(2));
        const double lines = value(QStringLiteral("select sum(SL*DJ) from KCPD where ZBID=%1")
                                       .arg(tmp->fieldByName(u"ID")->asInteger()))
                                 .toDouble();
        EXPECT_DOUBLE_EQ(tmp->fieldByName(u"JE")->asDouble(), lines) << qPrintable(billNo);
        EXPECT_EQ(value(QStringLiteral("select count(*) from Inv_ItemList where DJBH='%1' and BillType='KCPD' and Flag=1")
                            .arg(billNo))
                      .toLongLong(),
                  1);
    }
    EXPECT_EQ(documents, 4);
    EXPECT_EQ(count(QStringLiteral("select count(*) from KCPD where RECID is null")), 0)
        << "the lines can be found again by the document editor";
    EXPECT_EQ(count(QStringLiteral("select count(*) from KCPD where HH=4")), 1) << "line numbers run on";
}

TEST_F(OpeningStockTest, NothingToImportWritesNothing)
{
    exec(QStringLiteral("update HP set InSL=0"));
    const qint64 before = count(QStringLiteral("select count(*) from KCPDZB"));
    const auto report = importOpeningStock(data());
    ASSERT_TRUE(report.ok()) << qPrintable(report.error);
    EXPECT_EQ(report.value.documents, 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from KCPDZB")), before);
}

} // namespace
