// Rights applied to the menu, the tool bar and the desk, and the group lists
// that go into statements.
#include "client/core/rights/ApplyRights.h"
#include "client/core/rights/SystemFunctionRight.h"

#include <gtest/gtest.h>

using namespace qv::client;

namespace {

QList<NamedAction> mainWindowActions()
{
    return {
        {QStringLiteral("mnuCgsh"), ActionKind::MenuItem},
        {QStringLiteral("mnuLl"), ActionKind::MenuItem},
        {QStringLiteral("mnuHp"), ActionKind::MenuItem},
        {QStringLiteral("mnuCgsh1"), ActionKind::ToolButton},
        {QStringLiteral("mnuHp1"), ActionKind::ToolButton},
        {QStringLiteral("N12"), ActionKind::MenuItem},
        {QStringLiteral("ToolExit"), ActionKind::ToolButton},
        {QStringLiteral("Password_mnu"), ActionKind::MenuItem},
    };
}

bool enabled(const QList<NamedAction> &actions, const char *name)
{
    for (const NamedAction &a : actions) {
        if (a.name == QLatin1String(name))
            return a.enabled;
    }
    ADD_FAILURE() << "no action " << name;
    return false;
}

TEST(ApplyRights, AUserGetsExactlyTheGrantedMenuItemsAndTheirToolButtons)
{
    TSystemFunctionRight rights;
    rights.userCode = QStringLiteral("clerk");
    rights.allowedObjects = {QStringLiteral("mnuCgsh"), QStringLiteral("mnuBbCkkcHz")};
    QList<NamedAction> actions = mainWindowActions();
    applyToMainWindow(rights, actions);
    EXPECT_TRUE(enabled(actions, "mnuCgsh"));
    EXPECT_FALSE(enabled(actions, "mnuLl"));
    EXPECT_FALSE(enabled(actions, "mnuHp"));
    EXPECT_TRUE(enabled(actions, "mnuCgsh1")) << "a tool button goes by its menu item";
    EXPECT_FALSE(enabled(actions, "mnuHp1"));
    EXPECT_TRUE(enabled(actions, "N12")) << "names without mnu are never touched";
    EXPECT_TRUE(enabled(actions, "ToolExit"));
    EXPECT_TRUE(enabled(actions, "Password_mnu"));
    EXPECT_EQ(rights.allowedMenuItems, QStringList{QStringLiteral("mnuCgsh")});
    EXPECT_TRUE(rights.isMenuItemAllowed(u"mnucgsh"));
}

TEST(ApplyRights, TheSuperUserKeepsEverythingAndMayUseEveryMenuItem)
{
    TSystemFunctionRight rights;
    rights.userCode = QStringLiteral("sys");
    QList<NamedAction> actions = mainWindowActions();
    applyToMainWindow(rights, actions);
    for (const NamedAction &a : actions)
        EXPECT_TRUE(a.enabled) << qPrintable(a.name);
    EXPECT_EQ(rights.allowedMenuItems,
              (QStringList{QStringLiteral("mnuCgsh"), QStringLiteral("mnuLl"), QStringLiteral("mnuHp")}));
}

TEST(ApplyRights, TheDeskDrawsBlackAndFollowsTheObjects)
{
    TSystemFunctionRight rights;
    rights.userCode = QStringLiteral("clerk");
    rights.allowedObjects = {QStringLiteral("mnuZh"), QStringLiteral("mnu_LL_Static_Tu_1")};
    QList<NamedAction> desk = {
        {QStringLiteral("mnuZh"), ActionKind::DeskButton},
        {QStringLiteral("mnuGys"), ActionKind::DeskButton},
        {QStringLiteral("mnu_LL_Static_Tu_1"), ActionKind::DeskButton},
        {QStringLiteral("Label3"), ActionKind::DeskLabel},
        {QStringLiteral("mnuCgsh"), ActionKind::MenuItem},
    };
    applyToDesk(rights, desk);
    EXPECT_TRUE(desk[0].enabled);
    EXPECT_FALSE(desk[1].enabled);
    EXPECT_TRUE(desk[2].enabled);
    EXPECT_FALSE(desk[3].enabled) << "a label is enabled by its own name too";
    EXPECT_TRUE(desk[4].enabled) << "not a desk entry";
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(desk[i].blackText);
    EXPECT_FALSE(desk[4].blackText);

    rights.userCode = QStringLiteral("SYS");
    for (NamedAction &a : desk)
        a.enabled = true;
    applyToDesk(rights, desk);
    EXPECT_TRUE(desk[1].enabled);
    EXPECT_TRUE(desk[3].enabled);
}

TEST(ApplyRights, GroupListsAreRebuiltFromNumbersOnly)
{
    const struct {
        const char *text;
        const char *safe;
    } cases[] = {
        {"(1,3)", "(1,3)"},   {" ( 1 , 3 ) ", "(1,3)"}, {"(7)", "(7)"},
        {"", "(-1)"},         {"()", "(-1)"},           {"1,3", "(-1)"},
        {"(1) or 1=1", "(-1)"}, {"(1);delete from AppUser", "(-1)"}, {"(1,x)", "(-1)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TSystemFunctionRight::safeGroupList(QString::fromLatin1(c.text)), QString::fromLatin1(c.safe))
            << c.text;
}

} // namespace
