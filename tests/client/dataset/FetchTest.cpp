// Rows arrive in packets of 2000 as the cursor moves past the rows held.
#include "DataSetFixture.h"

namespace qv::client::test {
namespace {

class FetchTest : public LinesTest {
protected:
    void SetUp() override { openWith(5000); }
};

TEST_F(FetchTest, OpenReadsOnePacketAndMovingPastItReadsTheNext)
{
    EXPECT_EQ(ds.packetSize(), 2000);
    EXPECT_EQ(ds.recordCount(), 2000);
    EXPECT_FALSE(ds.isAllFetched());
    EXPECT_EQ(source.fetchCount(), 0);

    ASSERT_TRUE(ds.moveTo(1999));
    EXPECT_EQ(source.fetchCount(), 0) << "the last row held needs no packet";
    ASSERT_TRUE(ds.next());
    EXPECT_EQ(source.fetchCount(), 1);
    EXPECT_EQ(ds.recordCount(), 4000);
    EXPECT_EQ(ds.recNo(), 2000);
    EXPECT_EQ(ds.fieldByName(u"ID")->value(), QVariant(qint64(2001)));

    EXPECT_EQ(ds.moveBy(3500), 2999) << "a move past the end stops on the last row";
    EXPECT_EQ(ds.recordCount(), 5000);
    EXPECT_TRUE(ds.isAllFetched());
    EXPECT_TRUE(ds.eof()) << "the move ran into the end";
    EXPECT_EQ(source.fetchCount(), 2);
    EXPECT_EQ(source.openCursorCount(), 0) << "a cursor read to its end is released";
}

TEST_F(FetchTest, AWalkOverTheRowsSeesEveryRowOnce)
{
    int rows = 0;
    qint64 sum = 0;
    for (ds.first(); !ds.eof(); ds.next()) {
        ++rows;
        sum += ds.fieldByName(u"ID")->asInteger();
    }
    EXPECT_EQ(rows, 5000);
    EXPECT_EQ(sum, qint64(5000) * 5001 / 2);
    EXPECT_EQ(source.fetchCount(), 2);
}

TEST_F(FetchTest, OperationsThatNeedEveryRowReadThemAll)
{
    struct Case {
        const char *name;
        std::function<bool(DataSet &)> run;
        int expectedRow;
    };
    const Case cases[] = {
        {"last", [](DataSet &d) { return d.last(); }, 4999},
        {"locate", [](DataSet &d) { return d.locate(QStringLiteral("ID"), {4500}); }, 4499},
        {"moveTo", [](DataSet &d) { return d.moveTo(4200); }, 4200},
        {"sort", [](DataSet &d) { return d.setSort(QStringLiteral("ID desc")) && d.first(); }, 0},
        {"filter", [](DataSet &d) { return d.setFilterText(QStringLiteral("ID > 4990")) && d.first(); }, 0},
        {"append", [](DataSet &d) { return d.append(); }, 5000},
    };
    for (const Case &c : cases) {
        openWith(5000);
        ASSERT_TRUE(c.run(ds)) << c.name << ": " << ds.lastError().toString().toStdString();
        EXPECT_TRUE(ds.isAllFetched()) << c.name;
        EXPECT_EQ(ds.recNo(), c.expectedRow) << c.name;
        ds.cancel();
        ds.clearFilter();
        ds.clearSort();
    }
    ASSERT_TRUE(ds.setSort(QStringLiteral("ID desc")));
    ASSERT_TRUE(ds.first());
    EXPECT_EQ(ds.fieldByName(u"ID")->value(), QVariant(qint64(5000)));
}

TEST_F(FetchTest, ClosingBeforeTheEndReleasesTheCursor)
{
    EXPECT_EQ(source.openCursorCount(), 1);
    ds.close();
    EXPECT_EQ(source.openCursorCount(), 0);
    ASSERT_TRUE(ds.open());
    EXPECT_EQ(ds.fetchMore(), 2000);
    EXPECT_EQ(ds.fetchMore(), 1000);
    EXPECT_EQ(ds.fetchMore(), 0);
    EXPECT_EQ(ds.recordCount(), 5000);
}

TEST_F(FetchTest, AFailedPacketKeepsTheRowsHeld)
{
    source.setUnavailable(QStringLiteral("网络中断"));
    EXPECT_EQ(ds.fetchMore(), -1);
    EXPECT_EQ(ds.lastError().message, QStringLiteral("网络中断"));
    EXPECT_EQ(ds.recordCount(), 2000);
    EXPECT_TRUE(ds.isAllFetched()) << "no packet after packet against a lost connection";
}

TEST_F(FetchTest, PacketSizeCanBeChosen)
{
    ds.close();
    ds.setPacketSize(10000);
    ASSERT_TRUE(ds.open());
    EXPECT_EQ(ds.recordCount(), 5000);
    EXPECT_TRUE(ds.isAllFetched());
}

TEST(BlobFetchTest, BlobsLeftOutOfPacketsAreReadWhenTheRowIsRead)
{
    MemoryDataSource source;
    const FieldDefs fields = {{QStringLiteral("ID"), FieldType::Integer, 0, FieldFlag::RowKey},
                              {QStringLiteral("PIC"), FieldType::Blob, 0, FieldFlag::BlobOnDemand}};
    source.setTable(QStringLiteral("pYg_Pict"), fields,
                    {{qint64(1), QByteArray("photo-1")}, {qint64(2), QByteArray("photo-2")}});
    DataSet ds;
    ds.setSource(&source);
    ds.setProviderName(QStringLiteral("pYg_Pict"));
    ASSERT_TRUE(ds.open());
    EXPECT_EQ(source.blobFetchCount(), 0) << "opening reads no blob";
    ASSERT_TRUE(ds.next());
    EXPECT_EQ(ds.fieldByName(u"PIC")->value(), QVariant(QByteArray("photo-2")));
    EXPECT_EQ(ds.fieldByName(u"PIC")->value(), QVariant(QByteArray("photo-2")));
    EXPECT_EQ(source.blobFetchCount(), 1) << "read once per row";

    // A blob read later is not a change of the row; a new picture is.
    EXPECT_EQ(ds.changeCount(), 0);
    ASSERT_TRUE(ds.fieldByName(u"PIC")->setValue(QByteArray("new")));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.applyUpdates(0), 0);
    EXPECT_EQ(source.rows(QStringLiteral("pYg_Pict")).at(1).at(1), QVariant(QByteArray("new")));
    EXPECT_EQ(ds.fieldByName(u"PIC")->value(), QVariant(QByteArray("new")))
        << "the saved row leaves the blob out; the local one stays";
}

TEST_F(FetchTest, RefreshRereadsTheQueryAtTheSameRow)
{
    openWith(10);
    ASSERT_TRUE(ds.moveTo(6));
    QList<RowValues> rows = lineRows(10);
    rows[6][6] = QStringLiteral("changed elsewhere");
    source.setTable(QStringLiteral("pLL"), lineFields(), rows);
    ASSERT_TRUE(ds.refresh());
    EXPECT_EQ(ds.recNo(), 6);
    EXPECT_EQ(ds.fieldByName(u"BZ")->asString(), QStringLiteral("changed elsewhere"));

    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(3));
    ASSERT_TRUE(ds.post());
    EXPECT_FALSE(ds.refresh()) << "pending changes would be lost";
    EXPECT_EQ(ds.changeCount(), 1);
}

} // namespace
} // namespace qv::client::test
