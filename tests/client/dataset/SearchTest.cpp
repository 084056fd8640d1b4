// Finding rows, filters, sorting and bookmarks.
#include "DataSetFixture.h"

namespace qv::client::test {
namespace {

class SearchTest : public LinesTest {
protected:
    void SetUp() override
    {
        // BZ: "line 1".."line 5"; rename two for the text searches.
        LinesTest::SetUp();
        QList<RowValues> rows = lineRows(5);
        rows[1][6] = QStringLiteral("Pencil box");
        rows[3][6] = QStringLiteral("pencil");
        rows[4][6] = QVariant();
        rows[2][4] = 4.0; // SL: 1, 2, 4, 4, 5
        source.setTable(QStringLiteral("pLL"), lineFields(), rows);
        ds.close();
        ASSERT_TRUE(ds.open());
    }

    qint64 currentId() const { return ds.fieldByName(u"ID")->asInteger(); }
    QVariantList ids() { return column(ds, QStringLiteral("ID")); }
};

TEST_F(SearchTest, LocateMovesToTheFirstMatchingRow)
{
    EXPECT_FALSE(ds.locate(QStringLiteral("BZ"), {QStringLiteral("PENCIL")}));
    EXPECT_EQ(ds.recNo(), 0) << "not found leaves the cursor";
    EXPECT_TRUE(ds.locate(QStringLiteral("BZ"), {QStringLiteral("PENCIL")}, LocateOption::CaseInsensitive));
    EXPECT_EQ(currentId(), 4);
    EXPECT_TRUE(ds.locate(QStringLiteral("BZ"), {QStringLiteral("pen")},
                          LocateOption::CaseInsensitive | LocateOption::PartialKey));
    EXPECT_EQ(currentId(), 2);
    EXPECT_TRUE(ds.locate(QStringLiteral("SL;DJ"), {4, QStringLiteral("2.5")}));
    EXPECT_EQ(currentId(), 3);
    EXPECT_TRUE(ds.locate(QStringLiteral("BZ"), {QVariant()}));
    EXPECT_EQ(currentId(), 5);
    EXPECT_TRUE(ds.locate(QStringLiteral("RQ"), {QStringLiteral("2024-01-02")}));
    EXPECT_EQ(currentId(), 2);
    EXPECT_FALSE(ds.locate(QStringLiteral("NOPE"), {1}));
    EXPECT_EQ(ds.lastError().field, QStringLiteral("NOPE"));
}

TEST_F(SearchTest, LookupLeavesTheCursorWhereItIs)
{
    ASSERT_TRUE(ds.moveTo(2));
    EXPECT_EQ(ds.lookup(QStringLiteral("ID"), {4}, QStringLiteral("BZ")), QVariant(QStringLiteral("pencil")));
    EXPECT_FALSE(ds.lookup(QStringLiteral("ID"), {40}, QStringLiteral("BZ")).isValid());
    EXPECT_EQ(ds.recNo(), 2);
}

TEST_F(SearchTest, FilterExpressionsSelectRows)
{
    struct Case {
        const char *expression;
        QVariantList ids;
    };
    const Case cases[] = {
        {"SL > 2", {qint64(3), qint64(4), qint64(5)}},
        {"SL = 4 and ID <> 3", {qint64(4)}},
        {"SL <= 1 or SL >= 5", {qint64(1), qint64(5)}},
        {"not (SL < 4)", {qint64(3), qint64(4), qint64(5)}},
        {"BZ like 'pencil%'", {qint64(2), qint64(4)}},
        {"BZ like '*box'", {qint64(2)}},
        {"BZ not like 'line%'", {qint64(2), qint64(4)}},
        {"BZ is null", {qint64(5)}},
        {"BZ is not null and SL > 3", {qint64(3), qint64(4)}},
        {"BZ = 'PENCIL'", {qint64(4)}},
        {"[ID] in (1, 3, 9)", {qint64(1), qint64(3)}},
        {"ID not in (1, 3)", {qint64(2), qint64(4), qint64(5)}},
        {"RQ >= '2024-01-04'", {qint64(4), qint64(5)}},
        {"ZT = false and DJ = 2.5 and ID < 3", {qint64(1), qint64(2)}},
        {"BZ <> 'x'", {qint64(1), qint64(2), qint64(3), qint64(4)}},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(ds.setFilterText(QString::fromLatin1(c.expression)))
            << c.expression << ": " << ds.lastError().message.toStdString();
        EXPECT_EQ(ids(), c.ids) << c.expression;
        EXPECT_TRUE(ds.isFiltered());
    }
    ds.clearFilter();
    EXPECT_EQ(ds.recordCount(), 5);
}

TEST_F(SearchTest, AFilterThatDoesNotParseSaysWhere)
{
    const char *bad[] = {"SL >", "SL > 1 and", "(SL > 1", "BZ like 5", "BZ = 'open", "SL # 2", ""};
    for (const char *text : bad) {
        EXPECT_FALSE(ds.setFilterText(QString::fromLatin1(text))) << text;
        EXPECT_EQ(ds.lastError().operation, QStringLiteral("filter"));
        EXPECT_FALSE(ds.lastError().message.isEmpty());
    }
    EXPECT_FALSE(ds.setFilterText(QStringLiteral("SL # 2")));
    EXPECT_TRUE(ds.lastError().message.contains(QStringLiteral("第4个字符"))) << ds.lastError().message.toStdString();
    EXPECT_FALSE(ds.isFiltered()) << "a refused filter changes nothing";
    EXPECT_EQ(ds.recordCount(), 5);
}

TEST_F(SearchTest, PredicateFiltersFollowEditsWhenPosted)
{
    ds.setFilter([](DataSet &d) { return d.fieldByName(u"SL")->asDouble() < 4; });
    EXPECT_EQ(ids(), (QVariantList{qint64(1), qint64(2)}));
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(10));
    EXPECT_EQ(ds.recordCount(), 2) << "the row stays while it is being edited";
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ids(), (QVariantList{qint64(2)}));
    EXPECT_EQ(currentId(), 2);
}

TEST_F(SearchTest, SortingOrdersRowsAndKeepsTheCursorOnItsRow)
{
    ASSERT_TRUE(ds.moveTo(1)); // ID 2
    ASSERT_TRUE(ds.setSort(QStringLiteral("SL DESC;ID")));
    EXPECT_EQ(ids(), (QVariantList{qint64(5), qint64(3), qint64(4), qint64(2), qint64(1)}));
    EXPECT_EQ(currentId(), 2);
    EXPECT_EQ(ds.recNo(), 3);

    ASSERT_TRUE(ds.setSortKeys({SortKey{QStringLiteral("BZ"), false, true}}));
    EXPECT_EQ(ids(), (QVariantList{qint64(5), qint64(1), qint64(3), qint64(4), qint64(2)}))
        << "null first, then text without regard to case";

    // A posted change of the sort key moves the row to its place.
    ASSERT_TRUE(ds.setSort(QStringLiteral("SL")));
    ASSERT_TRUE(ds.first());
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(4.5));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ids(), (QVariantList{qint64(2), qint64(3), qint64(4), qint64(1), qint64(5)}));
    EXPECT_EQ(currentId(), 1);

    EXPECT_FALSE(ds.setSort(QStringLiteral("NOPE")));
    EXPECT_FALSE(ds.setSort(QStringLiteral("SL sideways")));
    ds.clearSort();
    EXPECT_EQ(ids(), (QVariantList{qint64(1), qint64(2), qint64(3), qint64(4), qint64(5)}));
}

TEST_F(SearchTest, BookmarksFindTheirRowAcrossSortsUntilItIsDeleted)
{
    ASSERT_TRUE(ds.moveTo(3));
    const Bookmark mark = ds.bookmark();
    ASSERT_TRUE(ds.setSort(QStringLiteral("ID desc")));
    ASSERT_TRUE(ds.last());
    ASSERT_TRUE(ds.gotoBookmark(mark));
    EXPECT_EQ(currentId(), 4);
    ASSERT_TRUE(ds.remove());
    EXPECT_FALSE(ds.bookmarkValid(mark));
    EXPECT_FALSE(ds.gotoBookmark(mark));
    ds.cancelUpdates();
    EXPECT_TRUE(ds.bookmarkValid(mark)) << "undoing the delete brings the row back";
}

} // namespace
} // namespace qv::client::test
