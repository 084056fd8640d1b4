#include "client/core/util/DeleteGuard.h"
#include "client/core/util/DictionaryList.h"
#include "client/core/util/PickerRegistry.h"

#include "client/core/dataset/MemoryDataSource.h"
#include "tests/client/util/MessageBoxWatcher.h"

#include <QComboBox>
#include <QLineEdit>

#include "tests/client/util/RecordingTmpTest.h"
#include "tests/client/util/TestFields.h"

#include <gtest/gtest.h>

namespace qv::client {
namespace {

using test::MessageBoxWatcher;

class GuardTest : public test::RecordingTmpTest {
protected:
    void SetUp() override
    {
        serveTmp({test::fieldDef("X", FieldType::Integer)});
    }
};

TEST_F(GuardTest, ItemsAreLookedUpInTheLineTables)
{
    const auto sql = deleteGuardQuery(QStringLiteral("hp"), QStringLiteral("5"));
    ASSERT_TRUE(sql);
    EXPECT_EQ(*sql, QStringLiteral(" select top 1 1 from CGSH where hpid = 5 union "
                                   " select top 1 1 from LL where hpid = 5 union "
                                   " select top 1 1 from XSKD where hpid = 5 union "
                                   " select top 1 1 from KCPD where hpid = 5"));
}

TEST_F(GuardTest, WarehousesAreLookedUpInTheHeaderTables)
{
    const auto sql = deleteGuardQuery(QStringLiteral("CK"), QStringLiteral("2"));
    ASSERT_TRUE(sql);
    EXPECT_EQ(sql->count(QStringLiteral("union")), 4);
    for (const char *part : {"CGSHZB where ckid = 2", "LLZB where ckid = 2", "KCPDZB where ckid = 2",
                             "CKDBZB where DCCID = 2", "CKDBZB where DRCID = 2"})
        EXPECT_TRUE(sql->contains(QString::fromLatin1(part))) << part;
    EXPECT_FALSE(sql->contains(QStringLiteral("from LL ")));
}

TEST_F(GuardTest, TextKeysAreQuoted)
{
    EXPECT_EQ(*deleteGuardQuery(QStringLiteral("YHZ"), QStringLiteral("O'Neil组")),
              QStringLiteral(" select top 1 1 from AppUser where gName = 'O''Neil组'"));
    EXPECT_TRUE(deleteGuardQuery(QStringLiteral("DEPT"), QStringLiteral("3"))
                    ->contains(QStringLiteral("AppUserGroup where gMemo = '3'")));
    EXPECT_FALSE(deleteGuardQuery(QStringLiteral("ZH"), QStringLiteral("1")));
}

TEST_F(GuardTest, AReferencedRecordIsKeptWithTheTablesMessage)
{
    MessageBoxWatcher boxes;
    answer = {{qint64(1)}};
    boxes.expect();
    EXPECT_TRUE(DeleteGuard(queries, QStringLiteral("ck"), QStringLiteral("2")));
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("仓库可能被单据引用,不能删除！"));
    EXPECT_EQ(boxes.seen()[0].title, QStringLiteral("资料删除失败"));
    EXPECT_EQ(boxes.seen()[0].icon, QMessageBox::Warning);
}

TEST_F(GuardTest, AnUnreferencedRecordMayGo)
{
    MessageBoxWatcher boxes;
    EXPECT_FALSE(DeleteGuard(queries, QStringLiteral("HPLB"), QStringLiteral("4")));
    EXPECT_EQ(asked.size(), 1);
    // A table without a guard runs nothing.
    EXPECT_FALSE(DeleteGuard(queries, QStringLiteral("ZH"), QStringLiteral("4")));
    EXPECT_EQ(asked.size(), 1);
}

TEST_F(GuardTest, NoKeyStopsTheDeletion)
{
    MessageBoxWatcher boxes;
    boxes.expect();
    EXPECT_TRUE(DeleteGuard(queries, QStringLiteral("HP"), QStringLiteral("  ")));
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("请选择网格内一条记录！"));
    EXPECT_EQ(boxes.seen()[0].title, QStringLiteral("资料删除"));
    EXPECT_EQ(boxes.seen()[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(asked.isEmpty());
}

TEST_F(GuardTest, DictionaryListsFillByTheirName)
{
    answer = {{qint64(1)}, {qint64(2)}};
    QComboBox units;
    units.setObjectName(QStringLiteral("DW"));
    FillDictionaryList(&units, queries, QString());
    FillDictionaryList(&units, queries, QString());
    // The units are refilled every time.
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0], QStringLiteral(" select TypeName from Pub_Project  where ParentCode = "
                                       "(select ItemType from Pub_Project where TypeName='计量单位')"));

    QComboBox nation;
    nation.setObjectName(QStringLiteral("MZ"));
    FillDictionaryList(&nation, queries, QString());
    FillDictionaryList(&nation, queries, QString());
    // Two entries are enough: the second drop-down asks nothing.
    EXPECT_EQ(asked.size(), 3);
    EXPECT_EQ(nation.count(), 2);

    QComboBox staff;
    staff.setObjectName(QStringLiteral("EMPLOYEE"));
    FillDictionaryList(&staff, queries, QStringLiteral("'办公室','仓库'"));
    EXPECT_EQ(asked.last(), QStringLiteral(" select Y.XM   from YG Y, BM C  where   Y.BMID = C.ID  and C.MC in "
                                           "('办公室','仓库') order by Y.XM "));
}

TEST(PickerRegistry, NamedBoxesRunTheirPicker)
{
    PickerRegistry registry;
    QLineEdit box;
    box.setObjectName(QStringLiteral("RzButtonEdit_Stock"));
    EXPECT_FALSE(OnPickerButton(registry, &box)); // not there yet: nothing happens

    registry.add(QStringLiteral("rzbuttonedit_stock"), [](QLineEdit &edit) {
        edit.setToolTip(QStringLiteral("1,3"));
        edit.setText(QStringLiteral("总仓,分仓"));
        return true;
    });
    EXPECT_TRUE(OnPickerButton(registry, &box));
    EXPECT_EQ(box.toolTip(), QStringLiteral("1,3"));
    EXPECT_EQ(box.text(), QStringLiteral("总仓,分仓"));
}

} // namespace
} // namespace qv::client
