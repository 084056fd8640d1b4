// The parts of the shell that need no server: settings, recent reports, the
// desk's table, version comparison and the alert's counting statement.
#include "client/core/shell/ClientSession.h"
#include "client/core/shell/DeskTable.h"
#include "client/core/shell/MainMenu.h"
#include "client/core/shell/PendingAlert.h"
#include "client/core/shell/RecentReports.h"
#include "client/core/shell/SelfUpdate.h"
#include "client/core/shell/ServerAddressDialog.h"
#include "client/core/shell/WindowTable.h"
#include "common/IniFile.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qv::client {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString ini() const { return folder.filePath(QStringLiteral("SysConfig.ini")); }
    void write(const QByteArray &text)
    {
        QFile file(ini());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
};

TEST_F(SettingsTest, FirstStartWritesTheDefaultHostBeforeAnythingElse)
{
    ClientSession session(folder.path());
    ASSERT_FALSE(QFile::exists(ini()));
    TfrmServerAddress address(session);
    EXPECT_EQ(address.addressBox()->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(common::IniFile(ini()).readString(u"login", u"hostname"), QStringLiteral("127.0.0.1"));
    // Nothing else was stored yet: the user box will start from "SYS".
    EXPECT_TRUE(session.settings().user().isEmpty());
    EXPECT_TRUE(session.settings().showPendingAtStart());
}

// Every shared dataset puts refused rows to the clerk.
TEST_F(SettingsTest, EverySharedDataSetHasTheReconcileDialog)
{
    ClientSession session(folder.path());
    const QStringList names = session.data().dataSetNames();
    ASSERT_FALSE(names.isEmpty());
    for (const QString &name : names)
        EXPECT_TRUE(bool(session.data().dataSet(name)->hooks().reconcileError)) << name.toStdString();
}

TEST_F(SettingsTest, OkStoresTheTrimmedHost)
{
    ClientSession session(folder.path());
    TfrmServerAddress address(session);
    address.addressBox()->setText(QStringLiteral("  server7:6601 "));
    address.okButton()->click();
    EXPECT_EQ(address.result(), QDialog::Accepted);
    EXPECT_EQ(session.card().serverHost, QStringLiteral("server7:6601"));
    EXPECT_EQ(session.settings().hostName(), QStringLiteral("server7:6601"));
}

TEST_F(SettingsTest, AHandWrittenHostOnAnotherSectionIsHonoured)
{
    struct Case {
        const char *file;
        const char *host;
    };
    const Case cases[] = {
        {"[Options]\r\nHostName=10.0.0.5\r\n", "10.0.0.5"},
        {"; by hand\n[misc]\nfoo=1\nHOSTNAME = 192.168.1.9:6601\n[login]\nuser=SYS\n", "192.168.1.9:6601"},
        {"[login]\nhostname=first\n[other]\nhostname=second\n", "first"},
        {"[login]\nuser=SYS\n", ""},
    };
    for (const Case &c : cases) {
        write(c.file);
        ClientSettings settings(folder.path());
        EXPECT_EQ(settings.hostName(), QString::fromLatin1(c.host)) << c.file;
        ClientSession session(folder.path());
        TfrmServerAddress address(session);
        EXPECT_EQ(address.addressBox()->text(), QString::fromLatin1(c.host)) << c.file;
    }
}

TEST_F(SettingsTest, ConnectWithoutAFileWritesTheComputerName)
{
    ClientSettings settings(folder.path());
    settings.prepareForConnect();
    EXPECT_EQ(common::IniFile(ini()).readString(u"hostname", u"hostname"), computerName());
    EXPECT_EQ(settings.hostName(), computerName());
    // An existing file is left alone.
    settings.setHostName(QStringLiteral("h1"));
    settings.prepareForConnect();
    EXPECT_EQ(common::IniFile(ini()).readString(u"hostname", u"hostname"), computerName());
    EXPECT_EQ(common::IniFile(ini()).readString(u"login", u"hostname"), QStringLiteral("h1"));
}

TEST_F(SettingsTest, UserAccountSetAndAlertSwitchRoundTrip)
{
    ClientSettings settings(folder.path());
    ASSERT_TRUE(settings.setUser(QStringLiteral("abc")));
    ASSERT_TRUE(settings.setAccountSet(QStringLiteral("002")));
    ASSERT_TRUE(settings.setShowPendingAtStart(false));
    ClientSettings again(folder.path());
    EXPECT_EQ(again.user(), QStringLiteral("abc"));
    EXPECT_EQ(again.accountSet(), QStringLiteral("002"));
    EXPECT_FALSE(again.showPendingAtStart());
}

TEST(SelfUpdate, VersionsCompareByTheirNumbers)
{
    struct Case {
        const char *a;
        const char *b;
        int sign;
    };
    const Case cases[] = {
        {"V10.0", "V9.9", 1}, {"V9.9", "V10.0", -1}, {"V9.9", "V9.9", 0},   {"V9.10", "V9.9", 1},
        {"V9.9.1", "V9.9", 1}, {"V9.9.0", "V9.9", 0}, {"9.9", "V9.9", 0},    {"V1", "V0.9", 1},
    };
    for (const Case &c : cases) {
        const int result = SelfUpdate::compareVersions(QString::fromLatin1(c.a), QString::fromLatin1(c.b));
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
    }
    EXPECT_TRUE(SelfUpdate::isClientProgram(QStringLiteral("/opt/qv/QvClient")));
    EXPECT_TRUE(SelfUpdate::isClientProgram(QStringLiteral("C:/qv/QvClient.exe")));
    EXPECT_FALSE(SelfUpdate::isClientProgram(QStringLiteral("/opt/qv/QvServer")));
}

TEST(RecentReports, ListedNamesAndTheirLength)
{
    const QList<std::pair<const char *, const char *>> cases{
        {"采购入库单总表", "采购入库"},  {"员工档案管理", "员工档案"}, {"库存总帐", "库存总帐"},
        {"物品领用单总表", "物品领用"},  {"领用单总表管理", "领用单总"},
    };
    for (const auto &[name, listed] : cases)
        EXPECT_EQ(RecentReports::listedName(QString::fromUtf8(name)), QString::fromUtf8(listed)) << name;
    EXPECT_TRUE(RecentReports::fits(QStringLiteral("物品类别领用汇总"))); // 8 characters, 16 bytes
    EXPECT_FALSE(RecentReports::fits(QStringLiteral("物品类别领用汇总表")));
    EXPECT_TRUE(RecentReports::fits(QStringLiteral("ABCDEFGHIJKLMNOP")));
    EXPECT_FALSE(RecentReports::fits(QStringLiteral("ABCDEFGHIJKLMNOPQ")));
}

TEST(RecentReports, TheTwentyFirstPushesOutTheOldestAndTheListSurvives)
{
    RecentReports recent;
    for (int i = 1; i <= 21; ++i)
        recent.addOnTop({QStringLiteral("报表%1").arg(i), QStringLiteral("mnu%1").arg(i)});
    ASSERT_EQ(recent.entries().size(), 20);
    EXPECT_EQ(recent.entries().first().name, QStringLiteral("报表21"));
    EXPECT_EQ(recent.entries().last().name, QStringLiteral("报表2"));
    // Adding an existing name moves it to the top without a second entry.
    recent.addOnTop({QStringLiteral("报表5"), QStringLiteral("mnu5")});
    EXPECT_EQ(recent.entries().size(), 20);
    EXPECT_EQ(recent.entries().first().name, QStringLiteral("报表5"));

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Tree_Function.txt"));
    ASSERT_TRUE(recent.save(path));
    RecentReports loaded;
    ASSERT_TRUE(loaded.load(path));
    EXPECT_EQ(loaded.entries(), recent.entries());
    // A missing file reads as empty.
    EXPECT_TRUE(loaded.load(folder.filePath(QStringLiteral("none.txt"))));
    EXPECT_TRUE(loaded.entries().isEmpty());
}

TEST(DeskTable, EveryPictureRunsAMenuItemThatExists)
{
    QSet<QString> items;
    for (const MenuSpec &menu : mainMenus()) {
        for (const MenuEntry &entry : menu.entries)
            items << QString::fromLatin1(entry.name);
    }
    EXPECT_EQ(deskPictureTarget(QStringLiteral("mnu_LL_Static_Tu_1")), QStringLiteral("mnu_LL_Static_Tu"));
    EXPECT_EQ(deskPictureTarget(QStringLiteral("mnuBbCkkcHz_FC")), QStringLiteral("mnuBbCkkcHz_FC"));
    for (const DeskPage &page : deskPages()) {
        for (const DeskPicture &picture : page.pictures) {
            const QString target = deskPictureTarget(QString::fromLatin1(picture.name));
            EXPECT_TRUE(items.contains(target)) << picture.name;
        }
    }
    // Every row of the window table names a menu item, once.
    QSet<QString> rows;
    for (const MenuWindow &row : menuWindows()) {
        EXPECT_TRUE(items.contains(row.name())) << row.menuName;
        EXPECT_FALSE(rows.contains(row.name())) << row.menuName;
        rows << row.name();
    }
}

TEST(PendingAlert, OnlyPermittedKindsAreCounted)
{
    const auto kinds = pendingKinds(QStringLiteral("audit_office"));
    ASSERT_TRUE(kinds);
    ASSERT_EQ(kinds->size(), 8);
    EXPECT_FALSE(pendingKinds(QStringLiteral("audit_other")));

    // A user granted only 物品领用: one part, and at start only when it has drafts.
    const QString atStart = pendingQuery(*kinds, false, {QStringLiteral("物品领用")}, true);
    EXPECT_EQ(atStart, QStringLiteral(" select * from ( select '物品领用' as sType,count(*) as Qty from llzb "
                                      "where uflag=0 ) a where Qty > 0 "));
    // From the menu every permitted kind is listed, with or without drafts.
    const QString fromMenu = pendingQuery(*kinds, true, {}, false);
    EXPECT_TRUE(fromMenu.startsWith(QStringLiteral(" select '采购入库' as sType")));
    EXPECT_EQ(fromMenu.count(QStringLiteral("union all")), 7);
    EXPECT_FALSE(fromMenu.contains(QStringLiteral("Qty > 0")));
    EXPECT_TRUE(pendingQuery(*kinds, false, {QStringLiteral("库存总帐")}, true).isEmpty());
}

} // namespace
} // namespace qv::client
