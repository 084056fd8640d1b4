// Stock on hand and cost prices from ledger rows the tests post themselves.
#include "ServerFixture.h"

#include "client/core/data/RequisitionCosting.h"
#include "client/core/data/StockCost.h"

using namespace qv::client;
using namespace qv::client::test;

namespace {

class StockCostTest : public ServerFixture {
protected:
    // A test item of its own, without ledger rows from earlier tests.
    void addItem(qint64 id, double jj, int method)
    {
        exec(QStringLiteral("delete from HP where ID=%1").arg(id));
        exec(QStringLiteral("delete from Inv_ItemList where HPID=%1").arg(id));
        exec(QStringLiteral("insert into HP(ID,BH,PM,JJ,HPHSFSID,CKID,ZT) values (%1,'T%1','测试货品%1',%2,%3,1,0)")
                 .arg(id)
                 .arg(jj)
                 .arg(method));
    }
    // One ledger row; `when` is "yyyy-mm-dd" or "yyyy-mm-dd hh:mm:ss".
    void move(qint64 item, qint64 warehouse, const char *when, const char *billType, int flag,
              double quantity, double price, const QString &billNo = QStringLiteral("T"))
    {
        exec(QStringLiteral("insert into Inv_ItemList(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID) "
                            "values (#%1#,'%2',%3,'%4',%5,1,%6,%7,%7,%8,%9)")
                 .arg(QString::fromLatin1(when), QString::fromLatin1(billType))
                 .arg(flag)
                 .arg(billNo)
                 .arg(item)
                 .arg(quantity)
                 .arg(price)
                 .arg(quantity * price)
                 .arg(warehouse));
    }
    double stock(qint64 item, const char *date, qint64 warehouse, DataSet *ds = nullptr)
    {
        const auto q = stockQty(data(), item, QString::fromLatin1(date), warehouse, ds);
        EXPECT_TRUE(q.ok()) << qPrintable(q.error);
        return q.value;
    }
    double cost(const char *method, qint64 item, const char *date, qint64 warehouse)
    {
        const auto c = costPrice(data(), QString::fromLatin1(method), item, QString::fromLatin1(date), warehouse);
        EXPECT_TRUE(c.ok()) << qPrintable(c.error);
        return c.value;
    }
    double fifo(qint64 warehouse, const char *date, const QString &billNo, double quantity, qint64 item)
    {
        const auto c = fifoIssueCost(data(), warehouse, QString::fromLatin1(date), billNo, quantity, item);
        EXPECT_TRUE(c.ok()) << qPrintable(c.error);
        return c.value;
    }
};

TEST_F(StockCostTest, StockCountsEveryMovementOfTheDayWhateverItsTime)
{
    addItem(9001, 1, 1);
    move(9001, 1, "2024-01-14", "CS", 1, 10, 2);
    move(9001, 1, "2024-01-15", "LL", -1, 3, 2);
    move(9001, 1, "2024-01-15 23:59:30", "TL", 1, 5, 2);
    move(9001, 1, "2024-01-16", "CS", 1, 100, 2);
    move(9001, 2, "2024-01-15 12:00:00", "CS", 1, 7, 2);

    EXPECT_EQ(stock(9001, "2024-01-14", 1), 10);
    EXPECT_EQ(stock(9001, "2024-01-15", 1), 12);
    EXPECT_EQ(stock(9001, "2024-01-15", 1, data().tmp()), 12) << "the same on the channel the caller passes";
    EXPECT_EQ(stock(9001, "2024-01-16", 1), 112);
    EXPECT_EQ(stock(9001, "2024-01-15", 2), 7);
    EXPECT_EQ(stock(9001, "2024-01-13", 1), 0) << "no rows read as 0";
    EXPECT_EQ(stock(424242, "2024-01-15", 1), 0);
    EXPECT_FALSE(stockQty(data(), 9001, QStringLiteral("15/01/2024"), 1).ok());
}

TEST_F(StockCostTest, WeightedAverageOfReceiptsFallsBackToThePurchasePrice)
{
    addItem(9002, 7.5, 1);
    EXPECT_EQ(cost("YDJQPJ", 9002, "2024-01-12", 1), 7.5) << "no receipt: JJ";
    move(9002, 1, "2024-01-10", "CS", 1, 10, 2);
    move(9002, 1, "2024-01-12 18:00:00", "CS", 1, 30, 3);
    move(9002, 1, "2024-01-11", "LL", -1, 20, 9);
    move(9002, 2, "2024-01-11", "CS", 1, 50, 100);
    EXPECT_EQ(cost("YDJQPJ", 9002, "2024-01-12", 1), 2.75) << "issues and other warehouses do not count";
    EXPECT_EQ(cost("YDJQPJ", 9002, "2024-01-11", 1), 2);
    EXPECT_EQ(cost("YDJQPJ", 9002, "2024-01-09", 1), 7.5);
    EXPECT_EQ(cost("YDJQPJ", 9002, "", 1), 0);
    move(9002, 1, "2024-01-13", "CS", 1, 3, 1.001);
    EXPECT_EQ(cost("YDJQPJ", 9002, "2024-01-13", 1), 2.63) << "(20 + 90 + 3.003) / 43 = 2.628, rounded";
}

TEST_F(StockCostTest, LastPurchasePriceIgnoresWarehouseAndDate)
{
    addItem(9005, 4, 1);
    EXPECT_EQ(cost("LASTCGJJ", 9005, "2024-01-01", 1), 0) << "no purchase receipt";
    move(9005, 1, "2024-01-10", "CS", 1, 1, 2.5);
    move(9005, 2, "2024-02-01", "CS", 1, 1, 3.456);
    move(9005, 1, "2024-03-01", "TL", 1, 1, 8);
    EXPECT_EQ(cost("LASTCGJJ", 9005, "2024-01-01", 1), 3.46);
    EXPECT_EQ(cost("JUSTANAME", 9005, "2024-01-01", 1), 0);
}

TEST_F(StockCostTest, FirstInFirstOutFollowsTheLedger)
{
    addItem(9003, 9.99, 2);
    move(9003, 1, "2024-01-01", "CS", 1, 10, 2.00, QStringLiteral("CS2024010001"));
    move(9003, 1, "2024-01-02", "CS", 1, 10, 3.00, QStringLiteral("CS2024010002"));
    move(9003, 1, "2024-01-03", "LL", -1, 5, 2.00, QStringLiteral("LL2024010001"));
    move(9003, 1, "2024-01-20", "CS", 1, 100, 50.00, QStringLiteral("CS2024010003")); // after the date
    move(9003, 2, "2024-01-03", "LL", -1, 7, 2.00, QStringLiteral("LL2024010009"));  // another warehouse

    EXPECT_EQ(fifo(1, "2024-01-04", {}, 10, 9003), 2.50) << "(5 x 2.00 + 5 x 3.00) / 10";

    move(9003, 1, "2024-01-03 15:00:00", "XS", -1, 15, 2.00, QStringLiteral("LL2024010002"));
    EXPECT_EQ(fifo(1, "2024-01-04", {}, 10, 9003), 0) << "20 issued earlier use up both layers";
    EXPECT_EQ(fifo(1, "2024-01-04", QStringLiteral("LL2024010002"), 10, 9003), 2.50)
        << "with a document number only earlier numbers count";

    addItem(9004, 1.234, 2);
    EXPECT_DOUBLE_EQ(fifo(1, "2024-01-04", {}, 10, 9004), 1.234) << "no layer: JJ, not rounded";
}

TEST_F(StockCostTest, RequisitionLinesAreRecostedEachOnItsOwn)
{
    addItem(9003, 9.99, 2);
    addItem(9002, 7.5, 1);
    move(9003, 1, "2024-01-01", "CS", 1, 10, 2.00);
    move(9003, 1, "2024-01-02", "CS", 1, 10, 3.00);
    move(9003, 1, "2024-01-03", "LL", -1, 5, 2.00);

    DataSet header(QStringLiteral("Llzb"));
    ASSERT_TRUE(header.createDataSet({{QStringLiteral("CKID"), FieldType::Integer, 0, {}},
                                      {QStringLiteral("RQ"), FieldType::Date, 0, {}}}));
    ASSERT_TRUE(header.append());
    header.fieldByName(u"CKID")->setValue(1);
    header.fieldByName(u"RQ")->setValue(QDateTime(QDate(2024, 1, 4), QTime(0, 0)));
    ASSERT_TRUE(header.post());

    DataSet lines(QStringLiteral("Ll"));
    ASSERT_TRUE(lines.createDataSet({{QStringLiteral("HPID"), FieldType::Integer, 0, {}},
                                     {QStringLiteral("HPHSFSID"), FieldType::Integer, 0, {}},
                                     {QStringLiteral("SL"), FieldType::Double, 0, {}},
                                     {QStringLiteral("DJ"), FieldType::Double, 0, {}}}));
    const QList<QVariantList> rows = {{9003, 2, 10.0, 0.0}, {9002, 1, 4.0, 99.0}, {9003, 2, 5.0, 0.0}};
    for (const QVariantList &row : rows) {
        ASSERT_TRUE(lines.append());
        for (int i = 0; i < row.size(); ++i)
            lines.field(i)->setValue(row[i]);
        ASSERT_TRUE(lines.post());
    }
    const auto recosted = recostRequisitionLines(data(), header, lines);
    ASSERT_TRUE(recosted.ok()) << qPrintable(recosted.error);
    EXPECT_EQ(recosted.value, 2);
    QList<double> prices;
    for (bool more = lines.first(); more && !lines.eof(); more = lines.next())
        prices << lines.fieldByName(u"DJ")->asDouble();
    EXPECT_EQ(prices, (QList<double>{2.50, 99.0, 2.00}))
        << "the weighted-average line keeps its price; the second FIFO line does not see the first";
}

TEST_F(StockCostTest, RequisitionAmountsAreRewrittenFromTheirLines)
{
    exec(QStringLiteral("delete from LLZB"));
    exec(QStringLiteral("delete from LL"));
    exec(QStringLiteral("insert into LLZB(ID,DJBH,RQ,JE,uFlag) values (2024019001,'LL2024019001',#2024-01-05#,0,0)"));
    exec(QStringLiteral("insert into LLZB(ID,DJBH,RQ,JE,uFlag) values (2024019002,'LL2024019002',#2024-01-05#,5,0)"));
    exec(QStringLiteral("insert into LL(RECID,ZBID,HH,DJBH,HPID,SL,DJ) values ('r1',2024019001,1,'LL2024019001',1,2,3)"));
    exec(QStringLiteral("insert into LL(RECID,ZBID,HH,DJBH,HPID,SL,DJ) values ('r2',2024019001,2,'LL2024019001',2,1,4.5)"));
    exec(QStringLiteral("insert into LL(RECID,ZBID,HH,DJBH,HPID,SL,DJ) values ('r3',2024019002,1,'LL2024019002',2,4,0.25)"));
    const auto updated = recalcRequisitionAmounts(data(), *data().tmp());
    ASSERT_TRUE(updated.ok()) << qPrintable(updated.error);
    EXPECT_EQ(updated.value, 2);
    EXPECT_DOUBLE_EQ(value(QStringLiteral("select JE from LLZB where ID=2024019001")).toDouble(), 10.5);
    EXPECT_DOUBLE_EQ(value(QStringLiteral("select JE from LLZB where ID=2024019002")).toDouble(), 1.0);
}

} // namespace
