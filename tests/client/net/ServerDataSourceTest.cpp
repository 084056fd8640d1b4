// Datasets against the real server: what the server says about its columns
// arrives as field definitions, rows come in packets, changes go back and the
// saved rows come home, a refused row reaches the reconcile hook, blobs come
// when they are read.
#include "ServerFixture.h"

#include "client/core/net/ServerDataSource.h"

using namespace qv::client;
using namespace qv::client::test;

namespace {

class ServerDataSourceTest : public ServerFixture {
protected:
    std::unique_ptr<DataSet> openProvider(const QString &provider, const QString &statement = {},
                                          int packetSize = 2000)
    {
        auto ds = data().createDataSet(provider.mid(1), provider);
        ds->setCommandText(statement);
        ds->setPacketSize(packetSize);
        EXPECT_TRUE(ds->open()) << qPrintable(ds->lastError().toString());
        return ds;
    }
};

TEST_F(ServerDataSourceTest, FieldsCarryTheServersTypesAndRoles)
{
    auto hp = openProvider(QStringLiteral("pHp"));
    struct Expect {
        const char *name;
        FieldType type;
        FieldFlag flag;
    };
    const Expect expected[] = {
        {"ID", FieldType::Integer, FieldFlag::RowKey},  {"PM", FieldType::Text, FieldFlag::None},
        {"JJ", FieldType::Double, FieldFlag::None},     {"ZT", FieldType::YesNo, FieldFlag::None},
        {"aHPLBMC", FieldType::Text, FieldFlag::Computed},
    };
    for (const Expect &e : expected) {
        const Field *f = hp->fieldByName(QString::fromLatin1(e.name));
        ASSERT_NE(f, nullptr) << e.name;
        EXPECT_EQ(f->type(), e.type) << e.name;
        if (e.flag != FieldFlag::None) {
            EXPECT_TRUE(f->hasFlag(e.flag)) << e.name;
        }
    }
    EXPECT_EQ(hp->fieldByName(u"PM")->size(), 40);
    EXPECT_FALSE(hp->fieldByName(u"aHPLBMC")->isWrittenBack());
}

TEST_F(ServerDataSourceTest, RowsArriveInPacketsAsTheCursorMoves)
{
    const qint64 total = value(QStringLiteral("select count(*) from HP")).toLongLong();
    ASSERT_GT(total, 14);
    auto hp = openProvider(QStringLiteral("pHp"), {}, 7);
    EXPECT_EQ(hp->recordCount(), 7);
    EXPECT_FALSE(hp->isAllFetched());
    hp->moveTo(6);
    hp->next();
    EXPECT_EQ(hp->recordCount(), 14) << "moving past the last row held reads the next packet";
    ASSERT_TRUE(hp->last());
    EXPECT_EQ(hp->recordCount(), total);
    EXPECT_TRUE(hp->isAllFetched());
    // Closing a half-read dataset releases its cursor; the next open works.
    auto again = openProvider(QStringLiteral("pHp"), {}, 3);
    again->close();
    EXPECT_TRUE(again->open());
    EXPECT_EQ(again->fieldByName(u"BH")->asString(), QStringLiteral("0001"));
}

TEST_F(ServerDataSourceTest, InsertEditDeleteReachTheServerAndSavedRowsComeBack)
{
    auto dq = openProvider(QStringLiteral("pDq"));
    ASSERT_TRUE(dq->append());
    dq->fieldByName(u"ID")->setValue(501);
    dq->fieldByName(u"ParentCode")->setValue(1);
    dq->fieldByName(u"MC")->setValue(QStringLiteral("西北地区"));
    dq->fieldByName(u"ZT")->setValue(false);
    ASSERT_TRUE(dq->post());
    ASSERT_EQ(dq->applyUpdates(0), 0) << qPrintable(dq->lastError().toString());
    EXPECT_EQ(dq->changeCount(), 0);
    EXPECT_EQ(value(QStringLiteral("select MC from DQ where ID=501")).toString(), QStringLiteral("西北地区"));

    ASSERT_TRUE(dq->locate(QStringLiteral("ID"), {501}));
    dq->fieldByName(u"MC")->setValue(QStringLiteral("西北"));
    ASSERT_EQ(dq->applyUpdates(0), 0) << qPrintable(dq->lastError().toString());
    EXPECT_EQ(value(QStringLiteral("select MC from DQ where ID=501")).toString(), QStringLiteral("西北"));
    EXPECT_EQ(dq->fieldByName(u"MC")->asString(), QStringLiteral("西北"));

    ASSERT_TRUE(dq->locate(QStringLiteral("ID"), {501}));
    ASSERT_TRUE(dq->remove());
    ASSERT_EQ(dq->applyUpdates(0), 0) << qPrintable(dq->lastError().toString());
    EXPECT_EQ(value(QStringLiteral("select count(*) from DQ where ID=501")).toLongLong(), 0);
    EXPECT_EQ(dq->changeCount(), 0);
}

TEST_F(ServerDataSourceTest, ARefusedRowRollsBackUnderLimitZeroAndIsReconciled)
{
    auto dq = openProvider(QStringLiteral("pDq"));
    QStringList messages;
    dq->hooks().reconcileError = [&messages](DataSet &, ReconcileError &e) {
        messages << e.message;
        return ReconcileAction::Skip;
    };
    auto add = [&](int id, const QString &name) {
        ASSERT_TRUE(dq->append());
        dq->fieldByName(u"ID")->setValue(id);
        dq->fieldByName(u"ParentCode")->setValue(0);
        dq->fieldByName(u"MC")->setValue(name);
        ASSERT_TRUE(dq->post());
    };
    add(502, QStringLiteral("好的一行"));
    add(1, QStringLiteral("重复的主键")); // DQ 1 exists already

    EXPECT_EQ(dq->applyUpdates(0), 1);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_FALSE(messages.first().isEmpty());
    EXPECT_EQ(value(QStringLiteral("select count(*) from DQ where ID=502")).toLongLong(), 0)
        << "one failure under limit 0 rolls the whole packet back";
    EXPECT_EQ(dq->changeCount(), 2) << "both rows stay pending";

    EXPECT_EQ(dq->applyUpdates(-1), 1);
    EXPECT_EQ(value(QStringLiteral("select count(*) from DQ where ID=502")).toLongLong(), 1)
        << "without a limit the good row is kept";
    EXPECT_EQ(dq->changeCount(), 1) << "only the refused row is still pending";
}

TEST_F(ServerDataSourceTest, AChangeBasedOnStaleValuesIsRefused)
{
    // AppUser finds a row by its key and the changed locating columns.
    auto users = openProvider(QStringLiteral("pAppUser"));
    ASSERT_TRUE(users->locate(QStringLiteral("ID"), {1}));
    exec(QStringLiteral("update AppUser set uName='别人改过' where ID=1"));
    users->fieldByName(u"uName")->setValue(QStringLiteral("我来改"));
    ReconcileError seen;
    users->hooks().reconcileError = [&seen](DataSet &, ReconcileError &e) {
        seen = e;
        return ReconcileAction::Cancel;
    };
    EXPECT_EQ(users->applyUpdates(0), 1);
    EXPECT_EQ(value(QStringLiteral("select uName from AppUser where ID=1")).toString(), QStringLiteral("别人改过"));
    EXPECT_EQ(seen.kind, ChangeKind::Modify);
    EXPECT_FALSE(seen.message.isEmpty());
    EXPECT_EQ(users->fieldByName(u"uName")->asString(), QStringLiteral("管理员")) << "cancel restores the row as read";
    EXPECT_EQ(users->changeCount(), 0);
}

// "Refresh" takes the row as the server holds it after the refused save: the
// other user's version, or nothing when the row is gone.
TEST_F(ServerDataSourceTest, RefreshTakesTheServersRowOrDropsAGoneOne)
{
    exec(QStringLiteral("insert into DQ (ID, ParentCode, MC, ZT) values (601, 0, '甲区', 0)"));
    exec(QStringLiteral("insert into DQ (ID, ParentCode, MC, ZT) values (602, 0, '乙区', 0)"));
    auto dq = openProvider(QStringLiteral("pDq"));
    const int before = dq->recordCount();
    exec(QStringLiteral("update DQ set MC='甲区（别人改过）' where ID=601"));
    exec(QStringLiteral("delete from DQ where ID=602"));
    // 601 is refused for its name (longer than the column), 602 for being gone.
    const QString tooLong = QStringLiteral("一个长得放不进这一列的地区名称");
    for (int id : {601, 602}) {
        ASSERT_TRUE(dq->locate(QStringLiteral("ID"), {id}));
        dq->fieldByName(u"MC")->setValue(tooLong);
        dq->fieldByName(u"ZT")->setValue(true);
        ASSERT_TRUE(dq->post());
    }
    ASSERT_TRUE(dq->locate(QStringLiteral("ID"), {602}));
    dq->fieldByName(u"MC")->setValue(QStringLiteral("乙"));
    ASSERT_TRUE(dq->post());
    QList<ReconcileError> seen;
    dq->hooks().reconcileError = [&seen](DataSet &, ReconcileError &e) {
        seen << e;
        return ReconcileAction::Refresh;
    };
    EXPECT_EQ(dq->applyUpdates(-1), 2);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_TRUE(seen[0].serverHasRow);
    EXPECT_EQ(seen[0].serverValues.value(dq->fieldByName(u"MC")->slot()).toString(),
              QStringLiteral("甲区（别人改过）"));
    EXPECT_FALSE(seen[1].serverHasRow);

    EXPECT_EQ(dq->changeCount(), 0);
    ASSERT_EQ(dq->recordCount(), before - 1) << "the row another user deleted leaves the list";
    ASSERT_TRUE(dq->locate(QStringLiteral("ID"), {601}));
    EXPECT_EQ(dq->fieldByName(u"MC")->asString(), QStringLiteral("甲区（别人改过）"));
    EXPECT_FALSE(dq->fieldByName(u"ZT")->asBool());
}

TEST_F(ServerDataSourceTest, BlobsComeOnlyWhenARowReadsThem)
{
    const QByteArray picture("\x89PNG\r\n\x1a\n-picture-bytes", 24);
    auto modal = openProvider(QStringLiteral("pPub_PrintModal"));
    ASSERT_TRUE(modal->append());
    modal->fieldByName(u"ID")->setValue(77);
    modal->fieldByName(u"ObjectName")->setValue(QStringLiteral("frmTest"));
    modal->fieldByName(u"FileStream")->setValue(picture);
    ASSERT_TRUE(modal->post());
    ASSERT_EQ(modal->applyUpdates(0), 0) << qPrintable(modal->lastError().toString());

    // The row packets leave the blob out...
    ServerDataSource &source = data().source();
    const OpenResult opened = source.open({QStringLiteral("pPub_PrintModal"), {}, 100});
    ASSERT_TRUE(opened.ok) << qPrintable(opened.error);
    qsizetype blob = -1;
    for (qsizetype i = 0; i < opened.fields.size(); ++i) {
        if (opened.fields[i].name.compare(u"FileStream", Qt::CaseInsensitive) == 0)
            blob = i;
    }
    ASSERT_GE(blob, 0);
    EXPECT_TRUE(opened.fields[blob].flags.testFlag(FieldFlag::BlobOnDemand));
    ASSERT_FALSE(opened.rows.isEmpty());
    EXPECT_FALSE(opened.rows.first().value(blob).isValid());

    // ... and a dataset reads it for the row that asks.
    auto again = openProvider(QStringLiteral("pPub_PrintModal"));
    ASSERT_TRUE(again->locate(QStringLiteral("ID"), {77}));
    EXPECT_EQ(again->fieldByName(u"FileStream")->asBytes(), picture);
    // Editing another field of that row does not send the blob back.
    again->fieldByName(u"ObjectName")->setValue(QStringLiteral("frmTest2"));
    ASSERT_EQ(again->applyUpdates(0), 0) << qPrintable(again->lastError().toString());
    auto third = openProvider(QStringLiteral("pPub_PrintModal"));
    ASSERT_TRUE(third->locate(QStringLiteral("ID"), {77}));
    EXPECT_EQ(third->fieldByName(u"ObjectName")->asString(), QStringLiteral("frmTest2"));
    EXPECT_EQ(third->fieldByName(u"FileStream")->asBytes(), picture);
}

TEST_F(ServerDataSourceTest, AStatementErrorNamesItsPlace)
{
    auto tmp = data().createDataSet(QStringLiteral("T"), QStringLiteral("pTmp"));
    tmp->setCommandText(QStringLiteral("select nosuchcolumn from HP"));
    EXPECT_FALSE(tmp->open());
    EXPECT_FALSE(tmp->lastError().message.isEmpty());
    EXPECT_FALSE(tmp->isActive());
}

} // namespace
