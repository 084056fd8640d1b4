// Editing rows: guards, required fields, hooks saved and restored, cancelling,
// calculated and lookup fields.
#include "DataSetFixture.h"

namespace qv::client::test {
namespace {

using EditingTest = LinesTest;

TEST_F(EditingTest, GuardsStopTheirOperationWithTheirReason)
{
    ds.hooks().beforePost = [](DataSet &d) {
        d.setAbortMessage(QStringLiteral("数量不能为零"));
        return false;
    };
    ds.hooks().beforeDelete = [](DataSet &) { return false; };
    ds.hooks().beforeScroll = [](DataSet &d) { return d.recNo() != 1; };

    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(0));
    EXPECT_FALSE(ds.post());
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    EXPECT_EQ(ds.lastError().operation, QStringLiteral("post"));
    EXPECT_EQ(ds.lastError().message, QStringLiteral("数量不能为零"));
    EXPECT_FALSE(ds.next()) << "a move must post first, and the post is refused";
    EXPECT_EQ(ds.recNo(), 0);

    ds.cancel();
    EXPECT_FALSE(ds.remove());
    EXPECT_EQ(ds.recordCount(), 5);
    EXPECT_FALSE(ds.lastError().message.isEmpty());

    ASSERT_TRUE(ds.next());
    EXPECT_FALSE(ds.next()) << "the scroll guard holds the cursor on row 1";
    EXPECT_EQ(ds.recNo(), 1);
}

TEST_F(EditingTest, RequiredFieldsAreCheckedAfterBeforePost)
{
    Field *id = ds.fieldByName(u"ID");
    Field *bz = ds.fieldByName(u"BZ");
    ASSERT_TRUE(id->isRequired()) << "the server's required flag makes the field required";
    bz->setDisplayLabel(QStringLiteral("备注"));
    bz->setRequired(true);

    ASSERT_TRUE(ds.append());
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(3));
    EXPECT_FALSE(ds.post());
    EXPECT_EQ(ds.lastError().field, QStringLiteral("ID"));
    EXPECT_EQ(ds.lastError().message, QStringLiteral("'ID'未录入, 请继续录入!"));
    EXPECT_EQ(ds.state(), DataSetState::Insert);

    // A before-post hook may fill what the user left out: it runs first.
    ds.hooks().beforePost = [](DataSet &d) { return d.fieldByName(u"ID")->setValue(99); };
    ds.hooks().requiredMessage = [](const Field &f) {
        return QStringLiteral("字段 [%1] 不能为空！").arg(f.displayLabel());
    };
    ASSERT_TRUE(bz->setAsText(QString()));
    EXPECT_FALSE(ds.post()) << "an empty text does not fill a required text field";
    EXPECT_EQ(ds.lastError().message, QStringLiteral("字段 [备注] 不能为空！"));

    ASSERT_TRUE(bz->setAsText(QStringLiteral("ok")));
    EXPECT_TRUE(ds.post()) << ds.lastError().toString().toStdString();
    EXPECT_EQ(ds.changeCount(), 1);
}

TEST_F(EditingTest, WindowsSaveAndRestoreTheHookTable)
{
    QStringList log;
    ds.hooks().afterPost = [&log](DataSet &) { log << QStringLiteral("module"); };
    {
        // A window borrowing the shared dataset.
        ScopedHooks borrowed(ds);
        ds.hooks().afterPost = [&log](DataSet &) { log << QStringLiteral("window"); };
        ds.hooks().beforeDelete = [](DataSet &) { return false; };
        ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(8));
        ASSERT_TRUE(ds.post());
        {
            ScopedHooks nested(ds);
            ds.hooks() = DataSetHooks();
            ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(9));
            ASSERT_TRUE(ds.post());
        }
        ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(10));
        ASSERT_TRUE(ds.post());
        EXPECT_FALSE(ds.remove());
    }
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(11));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(log, (QStringList{"window", "window", "module"}));
    EXPECT_TRUE(ds.remove()) << "the window's delete guard left with the window";

    const DataSetHooks saved = ds.hooks();
    ds.setHooks(DataSetHooks());
    ds.setHooks(saved);
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(12));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(log.last(), QStringLiteral("module"));
}

TEST_F(EditingTest, CancelRestoresTheRowAndTheBufferHoldsOnlyChanges)
{
    Field *sl = ds.fieldByName(u"SL");
    Field *bz = ds.fieldByName(u"BZ");
    ASSERT_TRUE(sl->setValue(42));
    ASSERT_TRUE(bz->setAsText(QStringLiteral("changed")));
    EXPECT_EQ(sl->value(), QVariant(42.0));
    EXPECT_EQ(sl->oldValue(), QVariant(1.0));
    EXPECT_TRUE(ds.isModified());
    ASSERT_TRUE(ds.cancel());
    EXPECT_EQ(sl->value(), QVariant(1.0));
    EXPECT_EQ(bz->value(), QVariant(QStringLiteral("line 1")));
    EXPECT_EQ(ds.changeCount(), 0);

    // Setting a field back to what it was leaves nothing to send.
    ASSERT_TRUE(sl->setValue(5));
    ASSERT_TRUE(sl->setValue(1));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.changeCount(), 0);
    ASSERT_TRUE(sl->setValue(5));
    ASSERT_TRUE(ds.post());
    ASSERT_TRUE(sl->setValue(1));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.changeCount(), 0) << "an edit back to the server's values drops out of the log";

    // A cancelled insert leaves the cursor on the row it was inserted before.
    ASSERT_TRUE(ds.moveTo(3));
    ASSERT_TRUE(ds.insert());
    EXPECT_EQ(ds.recordCount(), 6);
    EXPECT_EQ(ds.recNo(), 3);
    EXPECT_TRUE(ds.fieldByName(u"ID")->isNull());
    ASSERT_TRUE(ds.cancel());
    EXPECT_EQ(ds.recordCount(), 5);
    EXPECT_EQ(ds.fieldByName(u"ID")->value(), QVariant(qint64(4)));
}

TEST_F(EditingTest, SettingAFieldOfAnEmptyDataSetInsertsARow)
{
    openWith(0);
    EXPECT_TRUE(ds.isEmpty());
    ASSERT_TRUE(ds.fieldByName(u"ID")->setValue(1));
    EXPECT_EQ(ds.state(), DataSetState::Insert);
    EXPECT_EQ(ds.recordCount(), 1);
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.updateStatus(), UpdateStatus::Inserted);
}

TEST_F(EditingTest, ReadOnlyFieldsAndDataSetsRefuseValues)
{
    ds.fieldByName(u"DJ")->setReadOnly(true);
    EXPECT_FALSE(ds.fieldByName(u"DJ")->setValue(3));
    EXPECT_EQ(ds.lastError().field, QStringLiteral("DJ"));
    EXPECT_EQ(ds.state(), DataSetState::Browse);

    ds.setReadOnly(true);
    EXPECT_FALSE(ds.fieldByName(u"SL")->setValue(3));
    EXPECT_FALSE(ds.append());
    EXPECT_FALSE(ds.remove());
    EXPECT_EQ(ds.recordCount(), 5);
}

TEST_F(EditingTest, HooksCannotReenterTheirOwnOperation)
{
    int nested = 0;
    bool nestedResult = true;
    ds.hooks().beforePost = [&](DataSet &d) {
        ++nested;
        nestedResult = d.post();
        return true;
    };
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(3));
    EXPECT_TRUE(ds.post());
    EXPECT_EQ(nested, 1);
    EXPECT_FALSE(nestedResult);

    // After-events run outside the operation: they may edit and post again.
    ds.hooks().beforePost = nullptr;
    int afterPosts = 0;
    ds.hooks().afterPost = [&](DataSet &d) {
        if (++afterPosts == 1) {
            d.fieldByName(u"BZ")->setValue(QStringLiteral("stamped"));
            d.post();
        }
    };
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(4));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(afterPosts, 2);
    EXPECT_EQ(ds.fieldByName(u"BZ")->asString(), QStringLiteral("stamped"));
    EXPECT_EQ(ds.state(), DataSetState::Browse);
}

class CalculatedFieldsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        source.setTable(QStringLiteral("pLL"), lineFields(), lineRows(3));
        source.setTable(QStringLiteral("pHP"),
                        {{QStringLiteral("ID"), FieldType::Integer, 0, FieldFlag::RowKey},
                         {QStringLiteral("PM"), FieldType::Text, 40, {}}},
                        {{qint64(100), QStringLiteral("铅笔")},
                         {qint64(101), QStringLiteral("橡皮")},
                         {qint64(102), QStringLiteral("纸张")}});
        items.setSource(&source);
        items.setProviderName(QStringLiteral("pHP"));
        ASSERT_TRUE(items.open());

        lines.setSource(&source);
        lines.setProviderName(QStringLiteral("pLL"));
        cje = lines.addCalculatedField(QStringLiteral("cJE"), FieldType::Double);
        apm = lines.addLookupField(QStringLiteral("aPM"), FieldType::Text,
                                   LookupSpec{&items, QStringLiteral("HPID"), QStringLiteral("ID"),
                                              QStringLiteral("PM")});
        ASSERT_TRUE(cje && apm);
        lines.hooks().calcFields = [this](DataSet &d) {
            ++calcRuns;
            d.fieldByName(u"cJE")->setValue(d.fieldByName(u"SL")->asDouble()
                                            * d.fieldByName(u"DJ")->asDouble());
        };
        ASSERT_TRUE(lines.open());
    }

    MemoryDataSource source;
    DataSet items{QStringLiteral("HpHelp")};
    DataSet lines{QStringLiteral("Ll")};
    Field *cje = nullptr;
    Field *apm = nullptr;
    int calcRuns = 0;
};

TEST_F(CalculatedFieldsTest, AreComputedForEveryRowAndFollowEdits)
{
    EXPECT_EQ(column(lines, QStringLiteral("cJE")), (QVariantList{2.5, 5.0, 7.5}));
    EXPECT_EQ(column(lines, QStringLiteral("aPM")),
              (QVariantList{QStringLiteral("铅笔"), QStringLiteral("橡皮"), QStringLiteral("纸张")}));
    EXPECT_GE(calcRuns, 3);

    ASSERT_TRUE(lines.fieldByName(u"SL")->setValue(10));
    EXPECT_EQ(cje->value(), QVariant(25.0)) << "recomputed as soon as a field changes";
    ASSERT_TRUE(lines.cancel());
    EXPECT_EQ(cje->value(), QVariant(2.5));

    EXPECT_FALSE(cje->setValue(1.0)) << "calculated fields take values only while calculating";
    EXPECT_EQ(lines.state(), DataSetState::Browse);

    ASSERT_TRUE(apm->setValue(QStringLiteral("纸张")));
    EXPECT_EQ(lines.fieldByName(u"HPID")->value(), QVariant(qint64(102)))
        << "choosing the shown text sets the key";
    EXPECT_EQ(apm->value(), QVariant(QStringLiteral("纸张")));
    EXPECT_FALSE(apm->setValue(QStringLiteral("不存在")));
    ASSERT_TRUE(lines.post());
    EXPECT_EQ(items.recNo(), 0) << "lookups never move the list's cursor";
}

TEST_F(CalculatedFieldsTest, ACalculationMayNotWriteDataFields)
{
    lines.close();
    lines.hooks().calcFields = [](DataSet &d) { d.fieldByName(u"SL")->setValue(0); };
    ASSERT_TRUE(lines.open());
    EXPECT_EQ(column(lines, QStringLiteral("SL")), (QVariantList{1.0, 2.0, 3.0}));
    EXPECT_EQ(lines.changeCount(), 0);
}

} // namespace
} // namespace qv::client::test
