// Rights of a logged-in user against the demo account set: the union of the
// groups' functions, one row's operation flags, audit levels, data scope by
// department, and the company settings read with them.
#include "ServerFixture.h"

#include "client/core/rights/SystemFunctionRight.h"
#include "client/core/rights/TGlobal.h"

using namespace qv::client;
using namespace qv::client::test;

namespace {

class RightsTest : public ServerFixture {
protected:
    void SetUp() override
    {
        ServerFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        exec(QStringLiteral("delete from AppUserGroup where ID in (2,3)"));
        exec(QStringLiteral("delete from Sys_GroupFuncRight where UserGroupNo in (2,3)"));
        exec(QStringLiteral("delete from Sys_GroupUnRight_HPLB"));
        exec(QStringLiteral("delete from BM where ID in (100,101)"));
        // Group 2 belongs to the IT department (9, warehouse 2), group 3 to
        // sales (6, with its sub-departments 7 and 8).
        exec(QStringLiteral("insert into AppUserGroup(ID,gName,bmid) values (2,'信息组',9)"));
        exec(QStringLiteral("insert into AppUserGroup(ID,gName,bmid) values (3,'销售组',6)"));
        grant(2, "0402", "mnuCgsh", "Insert,Print");
        grant(2, "0207", "mnuHp", "");
        grant(3, "0402", "mnuCgsh", "Delete,Auditing2");
        grant(3, "0502", "mnuLl", "Insert,Auditing2,UnAudit");
    }

    void grant(int group, const char *node, const char *object, const char *items)
    {
        exec(QStringLiteral("insert into Sys_GroupFuncRight(CompanyCode,UserGroupNo,FuncNodeNo,ObjectName,FuncItems,GrantDate) "
                            "values ('QV',%1,'%2','%3','%4','2024-01-01')")
                 .arg(group)
                 .arg(QString::fromLatin1(node), QString::fromLatin1(object), QString::fromLatin1(items)));
    }

    void dataScope(bool on)
    {
        exec(QStringLiteral("update CompanyInfo set fBoolean2=%1").arg(on ? 1 : 0));
        ASSERT_TRUE(m_rights.loadCompanySettings(data()).ok());
    }

    TSystemFunctionRight m_rights;
};

TEST_F(RightsTest, AUserOfTwoGroupsHasTheUnionOfTheirFunctions)
{
    dataScope(false);
    const auto loaded = m_rights.loadRights(data(), QStringLiteral("clerk"), QStringLiteral("(2,3)"));
    ASSERT_TRUE(loaded.ok()) << qPrintable(loaded.error);
    QStringList objects = m_rights.allowedObjects;
    objects.sort();
    EXPECT_EQ(objects, (QStringList{QStringLiteral("mnuCgsh"), QStringLiteral("mnuHp"), QStringLiteral("mnuLl")}));
    EXPECT_TRUE(m_rights.allowedFunctionNames.contains(QStringLiteral("物品领用单")));
    EXPECT_TRUE(m_rights.isObjectAllowed(u"mnuLl"));
    EXPECT_FALSE(m_rights.isObjectAllowed(u"mnuCk"));

    const auto one = m_rights.loadRights(data(), QStringLiteral("clerk"), QStringLiteral("(2)"));
    ASSERT_TRUE(one.ok());
    EXPECT_FALSE(m_rights.isObjectAllowed(u"mnuLl")) << "the lists are rebuilt at every load";
}

TEST_F(RightsTest, OperationFlagsComeFromOneRowNotFromTheUnion)
{
    ASSERT_TRUE(m_rights.checkObject(data(), QStringLiteral("(2,3)"), QStringLiteral("clerk"),
                                     QStringLiteral("mnuCgsh")).ok());
    const bool fromGroup2 = m_rights.mayAdd && m_rights.mayPrint && !m_rights.mayDelete && !m_rights.mayAudit;
    const bool fromGroup3 = !m_rights.mayAdd && !m_rights.mayPrint && m_rights.mayDelete && m_rights.mayAudit;
    EXPECT_TRUE(fromGroup2 != fromGroup3) << "exactly one group's row decides";

    ASSERT_TRUE(m_rights.checkObject(data(), QStringLiteral("(3)"), QStringLiteral("clerk"),
                                     QStringLiteral("mnuLl")).ok());
    EXPECT_TRUE(m_rights.mayAdd);
    EXPECT_FALSE(m_rights.mayDelete);
    EXPECT_TRUE(m_rights.mayAudit);
    EXPECT_TRUE(m_rights.mayUnAudit);
    EXPECT_FALSE(m_rights.mayPrint);
    EXPECT_EQ(m_rights.auditLevels, QStringList{QStringLiteral("2")});

    ASSERT_TRUE(m_rights.checkObject(data(), QStringLiteral("(3)"), QStringLiteral("clerk"),
                                     QStringLiteral("mnuCk")).ok());
    EXPECT_FALSE(m_rights.mayAdd || m_rights.mayDelete || m_rights.mayAudit || m_rights.mayPrint)
        << "an object the groups were not granted allows nothing";
    EXPECT_TRUE(m_rights.auditLevels.isEmpty()) << "no levels left over from the previous object";
}

TEST_F(RightsTest, ALevelTwoAuditorIsRefusedLevelOne)
{
    ASSERT_TRUE(m_rights.checkObject(data(), QStringLiteral("(3)"), QStringLiteral("clerk"),
                                     QStringLiteral("mnuLl")).ok());
    EXPECT_FALSE(m_rights.mayAuditLevel(QStringLiteral("clerk"), 1));
    EXPECT_FALSE(m_rights.mayAudit);
    EXPECT_FALSE(m_rights.mayAuditThisLevel);
    EXPECT_TRUE(m_rights.mayAuditLevel(QStringLiteral("clerk"), 2));
    EXPECT_TRUE(m_rights.mayAuditThisLevel);
    EXPECT_TRUE(m_rights.mayAuditLevel(QStringLiteral("Sys"), 1)) << "the super-user audits every level";
}

TEST_F(RightsTest, TheSuperUserPassesEveryCheckAndSeesEveryRecord)
{
    dataScope(true);
    ASSERT_TRUE(m_rights.checkObject(data(), QStringLiteral("(-1)"), QStringLiteral("SYS"),
                                     QStringLiteral("mnuAnything")).ok());
    EXPECT_TRUE(m_rights.mayAdd && m_rights.mayDelete && m_rights.mayAudit && m_rights.mayUnAudit
                && m_rights.mayPrint && m_rights.mayAuditThisLevel);
    ASSERT_TRUE(m_rights.loadRights(data(), QStringLiteral("sys"), QStringLiteral("(1)")).ok());
    EXPECT_EQ(m_rights.warehouseQuery,
              QStringLiteral(" select b.mc as bmmc,c.* from CK  C  left join BM B on c.bmid=b.id "));
    EXPECT_EQ(m_rights.defaultWarehouse, 1);
    EXPECT_EQ(m_rights.departmentNames(data()), QStringLiteral(" select mc from bm "));
}

TEST_F(RightsTest, WithDataScopeOffASubDepartmentUserSeesEveryWarehouse)
{
    dataScope(false);
    ASSERT_TRUE(m_rights.loadRights(data(), QStringLiteral("clerk"), QStringLiteral("(3)")).ok());
    EXPECT_EQ(m_rights.userDepartment, 6);
    EXPECT_EQ(m_rights.departmentIdScope, QStringLiteral("6,7,8"));
    DataSet *ck = data().ck();
    ASSERT_TRUE(ck->open()) << qPrintable(ck->lastError().toString());
    EXPECT_EQ(ck->recordCount(), 2);
    EXPECT_EQ(m_rights.defaultWarehouse, 1);
    EXPECT_EQ(m_rights.departmentNames(data()), QStringLiteral(" select mc from bm "));
}

TEST_F(RightsTest, WithDataScopeOnTheListsShowTheGroupsDepartmentsOnly)
{
    dataScope(true);
    ASSERT_TRUE(m_rights.loadRights(data(), QStringLiteral("clerk"), QStringLiteral("(2,3)")).ok());
    EXPECT_EQ(m_rights.userDepartment, 6) << "the department of the last group";
    EXPECT_EQ(m_rights.departmentIdScope, QStringLiteral("9,6,7,8"));
    DataSet *ck = data().ck();
    ASSERT_TRUE(ck->open()) << qPrintable(ck->lastError().toString());
    ASSERT_EQ(ck->recordCount(), 1);
    EXPECT_EQ(ck->fieldByName(u"ID")->asInteger(), 2) << "only the IT department's warehouse";
    EXPECT_EQ(m_rights.defaultWarehouse, 2);
    DataSet *bm = data().bm();
    ASSERT_TRUE(bm->open()) << qPrintable(bm->lastError().toString());
    EXPECT_EQ(bm->recordCount(), 4);
    EXPECT_EQ(m_rights.departmentNames(data()),
              QStringLiteral("'销售部','销售一部','销售二部'"))
        << "names of the user's own department and below, quoted";
    EXPECT_TRUE(data().runSql(data().tmp(), m_rights.employeeNameQuery, true)) << qPrintable(data().lastError());

    TSystemFunctionRight nobody;
    ASSERT_TRUE(nobody.loadCompanySettings(data()).ok());
    ASSERT_TRUE(nobody.loadRights(data(), QStringLiteral("clerk"), QStringLiteral("(99)")).ok());
    DataSet *ck2 = data().ck();
    ck2->close();
    ASSERT_TRUE(ck2->open()) << "an empty scope still gives a statement that runs";
    EXPECT_EQ(ck2->recordCount(), 0);
}

TEST_F(RightsTest, HiddenItemCategoriesAreLeftOut)
{
    exec(QStringLiteral("insert into Sys_GroupUnRight_HPLB(UserGroupNo,ItemType) values (2,7)"));
    exec(QStringLiteral("insert into Sys_GroupUnRight_HPLB(UserGroupNo,ItemType) values (2,8)"));
    ASSERT_TRUE(m_rights.loadRights(data(), QStringLiteral("clerk"), QStringLiteral("(2)")).ok());
    const auto visible = data().queryValue(QStringLiteral("select count(*) from ") + m_rights.categorySource);
    ASSERT_TRUE(visible.ok()) << qPrintable(visible.error);
    const qint64 all = value(QStringLiteral("select count(*) from Pub_ItemType")).toLongLong();
    EXPECT_EQ(visible.value.toLongLong(), all - 2);
}

TEST_F(RightsTest, ScopeListWalksTheTreeAndSurvivesALoop)
{
    const QString tree = QStringLiteral(" select ID, ParentCode,MC  from bm");
    EXPECT_EQ(TSystemFunctionRight::scopeList(data(), 6, QStringLiteral("ID"), tree).value,
              QStringLiteral("6,7,8"));
    EXPECT_EQ(TSystemFunctionRight::scopeList(data(), 1, QStringLiteral("ID"), tree).value.split(u',').size(), 9);
    EXPECT_EQ(TSystemFunctionRight::scopeList(data(), 42, QStringLiteral("ID"), tree).value, QString());
    exec(QStringLiteral("insert into BM(ID,ParentCode,MC) values (100,101,'环甲')"));
    exec(QStringLiteral("insert into BM(ID,ParentCode,MC) values (101,100,'环乙')"));
    EXPECT_EQ(TSystemFunctionRight::scopeList(data(), 6, QStringLiteral("ID"), tree).value,
              QStringLiteral("6,7,8"));
    EXPECT_EQ(TSystemFunctionRight::scopeList(data(), 100, QStringLiteral("MC"), tree).value,
              QStringLiteral("'环甲','环乙'"));
}

TEST_F(RightsTest, CompanySettingsAreReadWithTheirDefaults)
{
    exec(QStringLiteral("update CompanyInfo set fAuditNum=2, fZK=0, fExcelPageSetup='2,2.5,1,1,0.5,0.8', "
                        "HP_SX1='颜色', HP_SX2='', HP_SX3='产地', fBoolean2=0, fBoolean3=1, fIsFSCK=1"));
    ASSERT_TRUE(m_rights.loadCompanySettings(data()).ok());
    const CompanySettings &c = m_rights.company;
    EXPECT_EQ(c.companyName, QStringLiteral("澜石演示有限公司"));
    EXPECT_EQ(c.auditLevels, 2);
    EXPECT_EQ(c.discountText, QStringLiteral("1.00")) << "a stored 0 discount means none";
    EXPECT_EQ(c.pageMargins, (std::array<double, 6>{2, 2.5, 1, 1, 0.5, 0.8}));
    EXPECT_TRUE(c.numberOnFirstSave);
    EXPECT_TRUE(c.noNegativeStock);
    EXPECT_FALSE(c.dataScope);
    EXPECT_EQ(c.itemAttributeFields, QStringLiteral(",SX1,SX3"));
    ASSERT_EQ(c.itemAttributes.size(), 2);
    EXPECT_EQ(c.itemAttributes[1], (ItemAttribute{QStringLiteral("SX3"), QStringLiteral("产地")}));

    exec(QStringLiteral("update CompanyInfo set fZK=0.9, fExcelPageSetup='1,2,3'"));
    ASSERT_TRUE(m_rights.loadCompanySettings(data()).ok());
    EXPECT_EQ(m_rights.company.discountText, QStringLiteral("0.90"));
    EXPECT_EQ(m_rights.company.pageMargins, (std::array<double, 6>{1.5, 1.5, 1.0, 1.0, 0.5, 0.5}))
        << "fewer than six parts keep the defaults";
}

TEST_F(RightsTest, TheSessionSharesItsUserWithTheRights)
{
    TGlobal global;
    global.userId = 7;
    global.userCode = QStringLiteral("clerk");
    global.groupList = QStringLiteral("(2,3)");
    global.shareUserWithRights();
    EXPECT_EQ(global.rights().userIdText, QStringLiteral("7"));
    EXPECT_EQ(global.rights().groupList, QStringLiteral("(2,3)"));
    EXPECT_FALSE(global.isSuperUser());
    {
        QObject window;
        global.registerWindow(QStringLiteral("frmCgsh"), &window);
        EXPECT_EQ(global.window(QStringLiteral("frmCgsh")), &window);
        EXPECT_EQ(global.windowCount(), 1);
    }
    EXPECT_EQ(global.window(QStringLiteral("frmCgsh")), nullptr) << "a freed window leaves the registry";
    EXPECT_EQ(global.windowCount(), 0);
}

} // namespace
