// The table model over a dataset, checked by QAbstractItemModelTester through
// every kind of change the dataset makes.
#include "ViewsTestSupport.h"

#include "client/core/views/DataSetModel.h"

#include <QSignalSpy>

namespace qv::client::test {
namespace {

class DataSetModelTest : public LinesTest {
protected:
    void SetUp() override
    {
        LinesTest::SetUp();
        model.setDataSet(&ds);
    }

    int col(const char *field) const { return model.columnOf(QString::fromLatin1(field)); }
    QVariant cell(int row, const char *field, int role = Qt::DisplayRole) const
    {
        return model.data(model.index(row, col(field)), role);
    }

    DataSetModel model;
};

TEST_F(DataSetModelTest, StaysConsistentThroughEveryDataSetChange)
{
    ModelTesterLog log;
    {
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
        openWith(5000);
        EXPECT_EQ(model.rowCount(), ds.recordCount());
        while (model.canFetchMore(QModelIndex()))
            model.fetchMore(QModelIndex());
        EXPECT_EQ(model.rowCount(), 5000);

        openWith(6);
        ASSERT_TRUE(ds.moveTo(2));
        ASSERT_TRUE(ds.insert());
        EXPECT_EQ(model.rowCount(), 7);
        ASSERT_TRUE(ds.fieldByName(u"ID")->setValue(70));
        ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(7));
        ASSERT_TRUE(ds.post());
        ASSERT_TRUE(ds.append());
        ASSERT_TRUE(ds.cancel());
        ASSERT_TRUE(ds.first());
        ASSERT_TRUE(ds.remove());
        ASSERT_TRUE(ds.setSort(QStringLiteral("SL desc")));
        ASSERT_TRUE(ds.setFilterText(QStringLiteral("SL > 2")));
        ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(1));
        ASSERT_TRUE(ds.post()); // leaves the filter
        ds.clearFilter();
        ds.cancelUpdates();
        ASSERT_TRUE(ds.fieldByName(u"BZ")->setValue(QStringLiteral("x")));
        ASSERT_EQ(ds.applyUpdates(0), 0);
        ds.disableControls();
        ds.last();
        ds.enableControls();
        ds.close();
        EXPECT_EQ(model.rowCount(), 0);
        ASSERT_TRUE(ds.open());
    }
    EXPECT_TRUE(ModelTesterLog::messages().isEmpty()) << ModelTesterLog::messages().join(u'\n').toStdString();
}

TEST_F(DataSetModelTest, ShowsDisplayTextsAndEditsThroughTheFields)
{
    ds.fieldByName(u"SL")->setDisplayFormat(QStringLiteral("#,0.00"));
    ds.fieldByName(u"SL")->setDisplayLabel(QStringLiteral("数量"));
    ASSERT_TRUE(ds.moveTo(4));
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(1234.5));
    ASSERT_TRUE(ds.post());

    EXPECT_EQ(cell(4, "SL"), QVariant(QStringLiteral("1,234.50")));
    EXPECT_EQ(cell(4, "SL", Qt::EditRole), QVariant(QStringLiteral("1234.50")));
    EXPECT_EQ(cell(4, "SL", DataSetModel::ValueRole), QVariant(1234.5));
    EXPECT_EQ(cell(0, "RQ"), QVariant(QStringLiteral("2024-01-01")));
    EXPECT_EQ(cell(0, "SL", Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
    EXPECT_FALSE(cell(0, "ZT").isValid()) << "yes/no shows as a check box";
    EXPECT_EQ(cell(0, "ZT", Qt::CheckStateRole), QVariant(int(Qt::Unchecked)));
    EXPECT_EQ(model.headerData(col("SL"), Qt::Horizontal), QVariant(QStringLiteral("数量")));
    ASSERT_TRUE(model.setHeaderData(col("SL"), Qt::Horizontal, QStringLiteral("领用数量")));
    EXPECT_EQ(model.headerData(col("SL"), Qt::Horizontal), QVariant(QStringLiteral("领用数量")));

    // Editing another row moves the cursor there first.
    EXPECT_TRUE(model.setData(model.index(1, col("SL")), QStringLiteral("2,000.5")));
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    EXPECT_EQ(ds.fieldByName(u"SL")->value(), QVariant(2000.5));
    EXPECT_FALSE(model.setData(model.index(1, col("SL")), QStringLiteral("abc")));
    EXPECT_TRUE(model.setData(model.index(1, col("ZT")), int(Qt::Checked), Qt::CheckStateRole));
    EXPECT_EQ(ds.fieldByName(u"ZT")->value(), QVariant(true));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.changeCount(), 2);

    EXPECT_TRUE(model.flags(model.index(0, col("SL"))) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(0, col("ZT"))) & Qt::ItemIsUserCheckable);
    model.setColumnReadOnly(QStringLiteral("SL"), true);
    EXPECT_FALSE(model.flags(model.index(0, col("SL"))) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(model.index(0, col("SL")), QStringLiteral("3")));
}

TEST_F(DataSetModelTest, ColumnsAreChosenByFieldAndSurviveAReopen)
{
    ds.fieldByName(u"ZBID")->setVisible(false);
    model.refreshColumns();
    EXPECT_EQ(model.columnOf(u"ZBID"), -1);
    model.setColumns({QStringLiteral("BZ"), QStringLiteral("SL"), QStringLiteral("NOPE")});
    EXPECT_EQ(model.columnFields(), (QStringList{"BZ", "SL"}));
    ds.close();
    ASSERT_TRUE(ds.open());
    EXPECT_EQ(model.columnFields(), (QStringList{"BZ", "SL"}));
    EXPECT_EQ(model.rowCount(), 5);
}

TEST_F(DataSetModelTest, AnnouncesTheCurrentRow)
{
    QSignalSpy current(&model, &DataSetModel::currentRowChanged);
    ASSERT_TRUE(ds.moveTo(3));
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current.takeFirst().at(0).toInt(), 3);
    EXPECT_EQ(model.headerData(3, Qt::Vertical), QVariant(QStringLiteral("▶")));
    ASSERT_TRUE(ds.edit());
    EXPECT_EQ(model.headerData(3, Qt::Vertical), QVariant(QStringLiteral("✎")));
    EXPECT_EQ(model.headerData(2, Qt::Vertical), QVariant(QString()));
}

} // namespace
} // namespace qv::client::test
