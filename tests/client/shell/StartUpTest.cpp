// The whole way in against the real server: address, account set, login, main
// window; then every menu item once, and the exit with a backup.
#include "ShellServerFixture.h"

#include "client/core/shell/AccountSetChooser.h"
#include "client/core/shell/ExitDialog.h"
#include "client/core/shell/LoginDialog.h"
#include "client/core/shell/MainMenu.h"
#include "client/core/shell/MainWindow.h"
#include "client/core/shell/ServerAddressDialog.h"
#include "client/core/shell/StartUp.h"
#include "client/core/shell/TabStrip.h"
#include "client/core/shell/WindowTable.h"
#include "client/core/views/DbGrid.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>

namespace qv::client::test {
namespace {

class StartUpTest : public ShellServerTest {};

// Answers each start-up window as a clerk would, checking what it shows.
struct Clerk {
    QString expectedHost;
    QString password;
    QStringList seen;
    QString chooserRow;
    QString userShown;

    void operator()(QDialog *dialog)
    {
        QTimer::singleShot(0, dialog, [this, dialog] {
            seen << dialog->objectName();
            if (auto *address = qobject_cast<TfrmServerAddress *>(dialog)) {
                EXPECT_EQ(address->addressBox()->text(), expectedHost);
                address->okButton()->click();
            } else if (auto *chooser = qobject_cast<TfrmZTLogin *>(dialog)) {
                chooserRow = chooser->accounts()->fieldByName(u"AccountNo")->asString();
                chooser->okButton()->click();
            } else if (auto *login = qobject_cast<TfrmLogin *>(dialog)) {
                userShown = login->userBox()->currentText();
                login->passwordBox()->setText(password);
                login->okButton()->click();
            } else {
                ADD_FAILURE() << "unexpected window " << dialog->objectName().toStdString();
                dialog->reject();
            }
        });
    }
};

TEST_F(StartUpTest, AddressChooserLoginMainWindowAndEveryMenuItem)
{
    auto session = newSession();
    registerClientWindows(*session);
    // A stale account-set code from an earlier installation.
    session->settings().setAccountSet(QStringLiteral("gone"));
    MessageBoxWatcher boxes;

    StartUp steps(*session, menuWindows(), {0, true});
    Clerk clerk{hostText(), QString(), {}, {}, {}};
    steps.setBeforeDialog(std::ref(clerk));
    ASSERT_TRUE(steps.run());
    EXPECT_EQ(clerk.seen, (QStringList{"frmSeverAdress", "frmZTLogin", "frmLogin"}));
    EXPECT_EQ(clerk.chooserRow, QStringLiteral("001")); // the first row, since "gone" is gone
    EXPECT_EQ(clerk.userShown, QStringLiteral("SYS"));  // first start: nothing remembered
    EXPECT_EQ(session->settings().accountSet(), QStringLiteral("001"));
    EXPECT_EQ(session->settings().user(), QStringLiteral("SYS"));
    EXPECT_TRUE(QDir(m_folder->path()).exists(QStringLiteral("System")));
    EXPECT_TRUE(QDir(m_folder->path()).exists(QStringLiteral("Reports")));

    MainWindow *main = steps.mainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(session->global().userCode, QStringLiteral("SYS"));
    EXPECT_EQ(main->windowTitle(), session->card().productTitle);
    EXPECT_EQ(main->statusPanel(0)->text(), QStringLiteral("帐套：演示帐套"));
    EXPECT_EQ(main->statusPanel(1)->text(), QStringLiteral("管理员"));
    EXPECT_EQ(main->statusPanel(2)->text(), statusDateText(QDate::currentDate()));
    EXPECT_EQ(session->card().defaultPriceKind, 1);
    ASSERT_NE(main->desk(), nullptr);
    EXPECT_EQ(main->tabStrip()->captions(), QStringList{QStringLiteral("业务导航")});
    EXPECT_GT(session->card().childWidth, 0);
    EXPECT_EQ(session->card().childHeight, session->card().mainClientHeight - session->card().mainClientHeight / 7);
    // The super-user sees the two items kept for it.
    EXPECT_TRUE(main->menuAction(QStringLiteral("Tool_UpLoad"))->isVisible());
    EXPECT_TRUE(main->menuAction(QStringLiteral("mnuInitData"))->isVisible());
    EXPECT_FALSE(main->menuAction(QStringLiteral("mnuLog"))->isVisible());

    // What a person sees after login, kept with the build.
    QDir().mkpath(QStringLiteral(QV_SCREENSHOT_DIR));
    main->showNormal();
    main->resize(1280, 800);
    QApplication::processEvents();
    EXPECT_TRUE(main->grab().save(QStringLiteral(QV_SCREENSHOT_DIR "/main-window.png")));

    // Every menu item once: windows that exist open, the others stay quiet.
    DialogCloser dialogs;
    int triggered = 0;
    for (QAction *action : main->menuItems()) {
        const QString name = action->objectName();
        if (action->menu() || name == QLatin1String("Exit_mnu"))
            continue;
        action->trigger();
        QApplication::processEvents();
        ++triggered;
        ASSERT_LE(main->childCount(), MainWindow::kMaxChildren) << name.toStdString();
    }
    int items = 0;
    for (const MenuSpec &menu : mainMenus()) {
        for (const MenuEntry &entry : menu.entries) {
            const bool holdsOthers = std::any_of(menu.entries.cbegin(), menu.entries.cend(),
                                                 [&](const MenuEntry &e) { return qstrcmp(e.parent, entry.name) == 0; });
            items += holdsOthers ? 0 : 1;
        }
    }
    EXPECT_EQ(triggered, items - 1); // all but Exit_mnu
    EXPECT_EQ(boxes.unexpectedCount(), 0);
    EXPECT_TRUE(dialogs.titles().contains(QStringLiteral("帐套管理")));
    EXPECT_TRUE(dialogs.titles().contains(QStringLiteral("万年历")));
    // "系统提示" from the menu opens as a child with its tab ("全部关闭" above
    // closed the first one).
    main->RunMenuItem(QStringLiteral("mnuAlert"));
    QApplication::processEvents();
    EXPECT_NE(main->childWindow(QStringLiteral("frmAlert")), nullptr);
    EXPECT_TRUE(main->tabStrip()->captions().contains(QStringLiteral("系统提示")));
    main->grab().save(QStringLiteral(QV_SCREENSHOT_DIR "/main-window-alert.png"));

    // Leaving with a backup: the server writes it, the client lets go.
    EXPECT_TRUE(main->handleExitChoice(TfrmExit::BackupAndExit));
    QDirIterator backups(server().programFolder(), {QStringLiteral("*_备份数据.txt")}, QDir::Files,
                         QDirIterator::Subdirectories);
    EXPECT_TRUE(backups.hasNext());
    main->setConfirmExit(false);
    main->close();
    EXPECT_FALSE(session->data().cn().isConnected());
}

TEST_F(StartUpTest, CancelAnywhereEndsTheStartUp)
{
    for (const QString &cancelAt : {QStringLiteral("frmSeverAdress"), QStringLiteral("frmZTLogin"),
                                    QStringLiteral("frmLogin")}) {
        auto session = newSession();
        StartUp steps(*session, menuWindows(), {0, false});
        steps.setBeforeDialog([&](QDialog *dialog) {
            QTimer::singleShot(0, dialog, [dialog, cancelAt] {
                if (dialog->objectName() == cancelAt) {
                    dialog->reject();
                    return;
                }
                for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
                    if (button->objectName() == QLatin1String("btnOK")) {
                        button->click();
                        return;
                    }
                }
            });
        });
        EXPECT_FALSE(steps.run()) << cancelAt.toStdString();
        EXPECT_EQ(steps.mainWindow(), nullptr);
    }
}

TEST_F(StartUpTest, AServerThatIsNotThereIsNamedAndEndsTheStartUp)
{
    auto session = newSession();
    session->settings().setHostName(QStringLiteral("127.0.0.1:1"));
    MessageBoxWatcher boxes;
    boxes.expect();
    TfrmZTLogin chooser(*session);
    EXPECT_FALSE(chooser.shouldShow());
    EXPECT_FALSE(chooser.okButton()->isEnabled());
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("找不到服务器，请检查本软件包安装目录下面的SysConfig.ini配置文件！"));
}

TEST_F(StartUpTest, TheChooserFindsTheRememberedAccountSet)
{
    auto admin = loggedInSession();
    ASSERT_TRUE(admin->data().createAccountSet(QStringLiteral("T02"), QStringLiteral("第二帐套"), QString()).ok());
    struct Case {
        const char *remembered;
        const char *expected;
    };
    for (const Case &c : {Case{"t02", "T02"}, Case{"001", "001"}, Case{"nope", "001"}, Case{"", "001"}}) {
        auto session = newSession();
        session->settings().setAccountSet(QString::fromLatin1(c.remembered));
        TfrmZTLogin chooser(*session);
        ASSERT_TRUE(chooser.shouldShow());
        chooser.placeCursor();
        EXPECT_EQ(chooser.accounts()->fieldByName(u"AccountNo")->asString(), QString::fromLatin1(c.expected))
            << c.remembered;
    }
    EXPECT_TRUE(admin->data().deleteAccountSet(QStringLiteral("T02")).ok());
}

} // namespace
} // namespace qv::client::test
