#include "client/core/util/BillWindows.h"

#include "client/core/dataset/MemoryDataSource.h"
#include "tests/client/util/MessageBoxWatcher.h"

#include <QComboBox>

#include "tests/client/util/RecordingTmpTest.h"
#include "tests/client/util/TestFields.h"

#include <gtest/gtest.h>

namespace qv::client {
namespace {

using test::MessageBoxWatcher;

TEST(BillTypes, NamesAndAliasesFindTheirKind)
{
    const QList<std::pair<const char *, const char *>> cases{
        {"采购收货", "CS"}, {"采购入库", "CS"}, {"现金采购", "CS"}, {"挂帐采购", "CS"},
        {"现金销售", "XS"}, {"挂帐销售", "XS"}, {"库存盘点", "KCPD"}, {"盘亏盘盈", "KCPD"},
        {"库存调整", "KCTZ"}, {"仓库调入", "CKDB"}, {"仓库调出", "CKDB"},
        {"其它库存变动-减少", "QB"}, {"其它库存变动-增加", "QB"}, {"物品领用", "LL"}, {"物品归还", "TL"},
        {"采购订单", ""}, {"帐户转入", ""},
    };
    for (const auto &[name, code] : cases) {
        const BillType *type = billTypeByName(QString::fromUtf8(name));
        ASSERT_NE(type, nullptr) << name;
        EXPECT_EQ(type->codeText(), QString::fromLatin1(code)) << name;
    }
    EXPECT_EQ(billTypeByName(QStringLiteral("不存在")), nullptr);
    EXPECT_EQ(billTypeByName(QString()), nullptr);
    EXPECT_EQ(billTypeName(QStringLiteral("kcpd")), QStringLiteral("盘亏盘盈"));
    EXPECT_TRUE(billTypeName(QStringLiteral("aExport")).isEmpty());
}

TEST(BillTypes, EveryDrillDownQueryEndsReadyForTheId)
{
    for (const BillType &type : billTypes()) {
        const QString query = QString::fromUtf8(type.headerQuery);
        if (query.isEmpty())
            continue;
        EXPECT_TRUE(query.endsWith(QStringLiteral("where Z.ID = "))) << type.name;
        EXPECT_TRUE(query.contains(QString::fromUtf8(type.headerTable))) << type.name;
    }
    const BillType *receipt = billTypeByCode(QStringLiteral("CS"));
    EXPECT_TRUE(billHeaderQuery(*receipt, 42).endsWith(QStringLiteral("where Z.ID = 42 order by Z.DJBH")));
}

TEST(BillTypes, StockTakingAliasOpensTheKcpdWindow)
{
    for (const char *name : {"库存盘点", "盘亏盘盈"}) {
        const auto request = billRequest(QString::fromUtf8(name), 7);
        ASSERT_TRUE(request) << name;
        EXPECT_EQ(request->billType, QStringLiteral("KCPD")) << name;
        EXPECT_EQ(QString::fromUtf8(request->type->billWindow), QStringLiteral("TFrmpd"));
        EXPECT_FALSE(request->viewOnly);
    }
    const auto adjust = billRequest(QStringLiteral("库存调整"), 7);
    ASSERT_TRUE(adjust);
    EXPECT_EQ(adjust->billType, QStringLiteral("KCTZ"));
}

TEST(BillTypes, DrillDownRefusesEmptyUnknownAndNonPositive)
{
    EXPECT_FALSE(billRequest(QString(), 1));
    EXPECT_FALSE(billRequest(QStringLiteral("不存在"), 1));
    for (const QVariant &id : {QVariant(0), QVariant(-3), QVariant(QStringLiteral("abc")), QVariant(1.5), QVariant()})
        EXPECT_FALSE(billRequest(QStringLiteral("领料"), id)) << id.toString().toStdString();
    EXPECT_TRUE(billRequest(QStringLiteral("领料"), QStringLiteral(" 12 ")));
}

TEST(BillWindows, OpenBillDispatchesThroughTheRegisteredWindow)
{
    BillWindows windows;
    QList<BillRequest> opened;
    windows.addBillWindow(QStringLiteral("TfrmStockTl"), [&](const BillRequest &r, QWidget *) { opened << r; });
    QStringList loaded;
    windows.setLoader([&](const QString &dataSet, const QString &sql) { loaded << dataSet + QLatin1Char(':') + sql; });

    EXPECT_EQ(OpenBill(windows, QStringLiteral("物品归还"), 9), OpenBillOutcome::Opened);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].viewOnly);
    EXPECT_EQ(opened[0].id, 9);
    EXPECT_TRUE(opened[0].headerQuery.startsWith(QStringLiteral(" select Z.*, C.MC as aCKMC")));
    EXPECT_TRUE(opened[0].headerQuery.contains(QStringLiteral("TLZB Z")));

    // A kind whose window is not there yet opens nothing and says nothing.
    MessageBoxWatcher boxes;
    EXPECT_EQ(OpenBill(windows, QStringLiteral("采购入库"), 9), OpenBillOutcome::NotAvailable);

    // Orders and processes only load a dataset.
    EXPECT_EQ(OpenBill(windows, QStringLiteral("采购订单"), 3), OpenBillOutcome::Loaded);
    EXPECT_EQ(OpenBill(windows, QStringLiteral("销售收款过程"), 4), OpenBillOutcome::Loaded);
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_TRUE(loaded[0].startsWith(QStringLiteral("Cgddzb:select Z.*")));
    EXPECT_TRUE(loaded[1].startsWith(QStringLiteral("XsSkgc:select Z.DJBH")));
    EXPECT_TRUE(loaded[1].endsWith(QStringLiteral("M.DDID = 4 order by Z.DJBH")));
    EXPECT_TRUE(boxes.seen().isEmpty());
}

TEST(BillWindows, RefusalsShowTheMessage)
{
    BillWindows windows;
    MessageBoxWatcher boxes;
    boxes.expect(3);
    EXPECT_EQ(OpenBill(windows, QString(), 1), OpenBillOutcome::Refused);
    EXPECT_EQ(OpenBill(windows, QStringLiteral("领料"), 0), OpenBillOutcome::Refused);
    EXPECT_EQ(OpenBill(windows, QStringLiteral("零售"), 5), OpenBillOutcome::Refused);
    ASSERT_EQ(boxes.seen().size(), 3);
    for (const auto &box : boxes.seen()) {
        EXPECT_EQ(box.text, QStringLiteral("不能打开此单据。"));
        EXPECT_EQ(box.title, QStringLiteral("操作失败"));
        EXPECT_EQ(box.icon, QMessageBox::Warning);
    }
}

TEST(BillWindows, OpenBillListFindsTheListWindowOfTheKind)
{
    BillWindows windows;
    QStringList opened;
    for (const char *kind : {"TfrmStockLlWork", "TFrmPdWork", "TfrmCgddzb", "TfrmProductInWork"}) {
        const QString name = QString::fromLatin1(kind);
        windows.addListWindow(name, [&opened, name](const QString &billType, QWidget *) {
            opened << name + QLatin1Char('/') + billType;
        });
    }
    EXPECT_TRUE(OpenBillList(windows, QStringLiteral("物品领用")));
    EXPECT_TRUE(OpenBillList(windows, QStringLiteral("库存盘点")));
    EXPECT_TRUE(OpenBillList(windows, QStringLiteral("采购订单")));
    EXPECT_TRUE(OpenBillList(windows, QStringLiteral("产品进仓")));
    EXPECT_FALSE(OpenBillList(windows, QStringLiteral("费用开支"))); // not registered
    EXPECT_FALSE(OpenBillList(windows, QStringLiteral("采购付款"))); // no list window
    EXPECT_EQ(opened, (QStringList{"TfrmStockLlWork/", "TFrmPdWork/KCPD", "TfrmCgddzb/", "TfrmProductInWork/CJ"}));
}

class PoolQueryTest : public test::RecordingTmpTest {
protected:
    void SetUp() override
    {
        serveTmp({test::fieldDef("V", FieldType::Double)});
    }
};

TEST_F(PoolQueryTest, ItemPriceOfAnUnknownItemIsZero)
{
    EXPECT_DOUBLE_EQ(ItemPrice(queries, 77), 0.0);
    EXPECT_EQ(asked, QStringList{QStringLiteral("select JJJ from HP  where ID = 77")});
    answer = {{12.5}};
    EXPECT_DOUBLE_EQ(ItemPrice(queries, 3), 12.5);
}

TEST_F(PoolQueryTest, FillListReplacesTheEntries)
{
    answer = {{1.0}, {2.5}};
    QComboBox list;
    list.addItems({QStringLiteral("old")});
    FillList(&list, queries, QStringLiteral("select V from T"));
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.itemText(1), QStringLiteral("2.5"));
    EXPECT_EQ(queries.poolSize(), 1); // the pool dataset was given back
}

} // namespace
} // namespace qv::client
