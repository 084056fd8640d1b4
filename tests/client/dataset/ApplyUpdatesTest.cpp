// The change log and its way to the server: packets, limits, failures and the
// reconcile handling, cancelling pending changes.
#include "DataSetFixture.h"

namespace qv::client::test {
namespace {

constexpr int kSL = 4; // column of SL in the line table
const QString kProvider = QStringLiteral("pLL");

class ApplyUpdatesTest : public LinesTest {
protected:
    // Modifies row 1 (ID 2), deletes row 3 (ID 4) and appends ID 10.
    void makeThreeChanges()
    {
        ASSERT_TRUE(ds.moveTo(1));
        ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(20));
        ASSERT_TRUE(ds.post());
        ASSERT_TRUE(ds.moveTo(3));
        ASSERT_TRUE(ds.remove());
        ASSERT_TRUE(ds.append());
        ASSERT_TRUE(ds.fieldByName(u"ID")->setValue(10));
        ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(99));
        ASSERT_TRUE(ds.post());
        ASSERT_EQ(ds.changeCount(), 3);
    }

    QVariantList sourceIds() const { return sourceColumn(source, kProvider, 0); }
};

TEST_F(ApplyUpdatesTest, TheLogMergesChangesOfTheSameRow)
{
    // Inserted then deleted: nothing to send.
    ASSERT_TRUE(ds.append());
    ASSERT_TRUE(ds.fieldByName(u"ID")->setValue(50));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.updateStatus(), UpdateStatus::Inserted);
    ASSERT_TRUE(ds.remove());
    EXPECT_EQ(ds.changeCount(), 0);

    // Inserted then edited: still one insert with the latest values.
    ASSERT_TRUE(ds.append());
    ASSERT_TRUE(ds.fieldByName(u"ID")->setValue(51));
    ASSERT_TRUE(ds.post());
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(7));
    ASSERT_TRUE(ds.post());

    // Edited then deleted: one delete carrying the server's values.
    ASSERT_TRUE(ds.first());
    ASSERT_TRUE(ds.fieldByName(u"ID")->setValue(77));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.updateStatus(), UpdateStatus::Modified);
    ASSERT_TRUE(ds.remove());
    EXPECT_EQ(ds.changeCount(), 2);

    EXPECT_EQ(ds.applyUpdates(0), 0);
    const ChangePacket &packet = source.lastPacket();
    ASSERT_EQ(packet.rows.size(), 2);
    EXPECT_EQ(packet.rows[0].kind, ChangeKind::Insert);
    EXPECT_EQ(packet.rows[0].newValues.value(kSL), QVariant(7.0));
    EXPECT_EQ(packet.rows[1].kind, ChangeKind::Delete);
    EXPECT_EQ(packet.rows[1].oldValues.value(0), QVariant(qint64(1)));
    EXPECT_EQ(sourceIds(), (QVariantList{qint64(2), qint64(3), qint64(4), qint64(5), qint64(51)}));
}

TEST_F(ApplyUpdatesTest, ModifiedRowsSendOnlyTheirChangedFields)
{
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(3));
    ASSERT_TRUE(ds.fieldByName(u"BZ")->setValue(QStringLiteral("x")));
    ASSERT_TRUE(ds.post());
    ASSERT_EQ(ds.applyUpdates(0), 0);
    ASSERT_EQ(source.lastPacket().rows.size(), 1);
    EXPECT_EQ(source.lastPacket().rows[0].changedFields, (QList<int>{4, 6}));
}

TEST_F(ApplyUpdatesTest, SavedRowsFromTheServerReplaceTheLocalOnes)
{
    source.setGeneratesKeys(kProvider, true);
    ds.fieldByName(u"ID")->setRequired(false);
    ASSERT_TRUE(ds.append());
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(3));
    ASSERT_TRUE(ds.post());
    EXPECT_TRUE(ds.fieldByName(u"ID")->isNull());
    EXPECT_EQ(ds.applyUpdates(0), 0);
    EXPECT_EQ(ds.fieldByName(u"ID")->value(), QVariant(qint64(6))) << "the generated key came back";
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(ds.updateStatus(), UpdateStatus::Unmodified);
    EXPECT_EQ(source.rows(kProvider).size(), 6);
}

TEST_F(ApplyUpdatesTest, UnderLimitZeroOneFailureAppliesNothing)
{
    makeThreeChanges();
    source.failRow(kProvider, {qint64(4)}, QStringLiteral("该记录被引用"));
    QList<ReconcileError> handed;
    ds.hooks().reconcileError = [&handed](DataSet &, ReconcileError &e) {
        handed << e;
        return ReconcileAction::Skip;
    };
    const QList<RowValues> before = source.rows(kProvider);

    EXPECT_EQ(ds.applyUpdates(0), 1);
    EXPECT_EQ(source.rows(kProvider), before) << "the server rolled the whole packet back";
    EXPECT_EQ(ds.changeCount(), 3) << "every change stays pending";
    ASSERT_EQ(handed.size(), 1);
    EXPECT_EQ(handed[0].kind, ChangeKind::Delete);
    EXPECT_EQ(handed[0].message, QStringLiteral("该记录被引用"));
    EXPECT_EQ(ds.lastError().operation, QStringLiteral("apply"));

    // Once the cause is gone the same changes go through.
    source.clearFailures();
    EXPECT_EQ(ds.applyUpdates(0), 0);
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(sourceIds(), (QVariantList{qint64(1), qint64(2), qint64(3), qint64(5), qint64(10)}));
}

TEST_F(ApplyUpdatesTest, UnderNoLimitTheOthersAreAppliedAndTheFailureReconciled)
{
    makeThreeChanges();
    source.failRow(kProvider, {qint64(2)}, QStringLiteral("数量超出"));
    QList<ReconcileError> handed;
    QVariant slWhileHandled;
    ds.hooks().reconcileError = [&](DataSet &d, ReconcileError &e) {
        handed << e;
        slWhileHandled = d.fieldByName(u"SL")->value();
        return ReconcileAction::Skip;
    };

    EXPECT_EQ(ds.applyUpdates(-1), 1);
    EXPECT_EQ(sourceIds(), (QVariantList{qint64(1), qint64(2), qint64(3), qint64(5), qint64(10)}));
    EXPECT_EQ(sourceColumn(source, kProvider, kSL).at(1), QVariant(2.0)) << "the failed edit is not applied";
    ASSERT_EQ(handed.size(), 1);
    EXPECT_EQ(handed[0].kind, ChangeKind::Modify);
    EXPECT_EQ(handed[0].newValues.value(kSL), QVariant(20.0));
    EXPECT_EQ(handed[0].oldValues.value(kSL), QVariant(2.0));
    EXPECT_EQ(handed[0].row, 1);
    EXPECT_EQ(slWhileHandled, QVariant(20.0)) << "the failing row is the active record for the handler";
    EXPECT_EQ(ds.changeCount(), 1);
    ASSERT_TRUE(ds.moveTo(1));
    EXPECT_EQ(ds.updateStatus(), UpdateStatus::Modified);
}

struct ReconcileCase {
    const char *name;
    ReconcileAction action;
    bool correct;          // the handler puts SL 7 into the new values
    QVariant expectedSL;   // row ID 2 afterwards
    int expectedPending;
};

class ReconcileTest : public ApplyUpdatesTest, public ::testing::WithParamInterface<ReconcileCase> {};

TEST_P(ReconcileTest, ActionDecidesWhatHappensToTheRow)
{
    const ReconcileCase &c = GetParam();
    ASSERT_TRUE(ds.moveTo(1));
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(20));
    ASSERT_TRUE(ds.post());
    source.failRow(kProvider, {qint64(2)}, QStringLiteral("refused"));
    ds.hooks().reconcileError = [&c](DataSet &, ReconcileError &e) {
        if (c.correct)
            e.newValues[kSL] = 7.0;
        return c.action;
    };
    EXPECT_EQ(ds.applyUpdates(-1), 1);
    ASSERT_TRUE(ds.locate(QStringLiteral("ID"), {2}));
    EXPECT_EQ(ds.fieldByName(u"SL")->value(), c.expectedSL);
    EXPECT_EQ(ds.changeCount(), c.expectedPending);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ReconcileTest,
    ::testing::Values(ReconcileCase{"Skip", ReconcileAction::Skip, false, 20.0, 1},
                      ReconcileCase{"Cancel", ReconcileAction::Cancel, false, 2.0, 0},
                      ReconcileCase{"Correct", ReconcileAction::Correct, true, 7.0, 1},
                      ReconcileCase{"Refresh", ReconcileAction::Refresh, false, 2.0, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ApplyUpdatesTest, ARowChangedByAnotherClerkConflictsAndRefreshTakesTheirs)
{
    FieldDefs fields = lineFields();
    fields[kSL].flags |= FieldFlag::Locating;
    source.setTable(kProvider, fields, lineRows(3));
    ds.close();
    ASSERT_TRUE(ds.open());

    // Another clerk changes row ID 1 on the server, and deletes ID 3.
    QList<RowValues> rows = source.rows(kProvider);
    rows[0][kSL] = 50.0;
    rows.removeAt(2);
    source.setTable(kProvider, fields, rows);

    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(5));
    ASSERT_TRUE(ds.post());
    ASSERT_TRUE(ds.last());
    ASSERT_TRUE(ds.fieldByName(u"BZ")->setValue(QStringLiteral("mine")));
    ASSERT_TRUE(ds.post());
    QStringList messages;
    ds.hooks().reconcileError = [&messages](DataSet &, ReconcileError &e) {
        messages << e.message;
        return ReconcileAction::Refresh;
    };
    EXPECT_EQ(ds.applyUpdates(-1), 2);
    EXPECT_EQ(messages, (QStringList{"记录已被其他用户修改", "记录已被其他用户删除"}));
    EXPECT_EQ(column(ds, QStringLiteral("SL")), (QVariantList{50.0, 2.0})) << "row 3 is gone everywhere";
    EXPECT_EQ(ds.changeCount(), 0);
}

TEST_F(ApplyUpdatesTest, ALostConnectionKeepsEveryChange)
{
    makeThreeChanges();
    source.setUnavailable(QStringLiteral("与服务器的连接已断开"));
    EXPECT_EQ(ds.applyUpdates(0), 3);
    EXPECT_EQ(ds.lastError().message, QStringLiteral("与服务器的连接已断开"));
    EXPECT_EQ(ds.changeCount(), 3);
    source.setUnavailable(QString());
    EXPECT_EQ(ds.applyUpdates(0), 0);
}

TEST_F(ApplyUpdatesTest, ApplyPostsTheRowBeingEditedFirst)
{
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(8));
    EXPECT_EQ(ds.applyUpdates(0), 0);
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(sourceColumn(source, kProvider, kSL).first(), QVariant(8.0));

    ASSERT_TRUE(ds.append());
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(8)); // ID left empty: the post fails
    EXPECT_GT(ds.applyUpdates(0), 0);
    EXPECT_EQ(ds.lastError().field, QStringLiteral("ID"));
}

TEST_F(ApplyUpdatesTest, CancelUpdatesPutsEveryRowBackInPlace)
{
    const QVariantList ids = column(ds, QStringLiteral("ID"));
    const QVariantList sls = column(ds, QStringLiteral("SL"));
    ASSERT_TRUE(ds.moveTo(2));
    makeThreeChanges();
    ASSERT_TRUE(ds.first());
    ASSERT_TRUE(ds.insert());
    ASSERT_TRUE(ds.fieldByName(u"ID")->setValue(11));
    ASSERT_TRUE(ds.post());
    ASSERT_TRUE(ds.remove()); // the new row again: nothing to undo for it
    ASSERT_TRUE(ds.moveTo(0));
    ASSERT_TRUE(ds.remove());
    ASSERT_EQ(ds.changeCount(), 4);

    ds.cancelUpdates();
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(column(ds, QStringLiteral("ID")), ids);
    EXPECT_EQ(column(ds, QStringLiteral("SL")), sls);
    EXPECT_EQ(ds.applyUpdates(0), 0);
    EXPECT_EQ(source.applyCount(), 0) << "nothing was left to send";
}

TEST_F(ApplyUpdatesTest, RevertRecordUndoesOneRowOnly)
{
    makeThreeChanges();
    ASSERT_TRUE(ds.locate(QStringLiteral("ID"), {2}));
    ASSERT_TRUE(ds.revertRecord());
    EXPECT_EQ(ds.fieldByName(u"SL")->value(), QVariant(2.0));
    EXPECT_EQ(ds.changeCount(), 2);
    ds.mergeChangeLog();
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(ds.recordCount(), 5);
}

} // namespace
} // namespace qv::client::test
