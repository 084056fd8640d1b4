// The main window's window management, the desk, the alert and the shared
// queries against the real server, with windows of the test's own.
#include "ShellServerFixture.h"

#include "client/core/shell/FrmAddTab.h"
#include "client/core/shell/MainWindow.h"
#include "client/core/shell/PendingAlert.h"
#include "client/core/shell/TabStrip.h"
#include "client/core/shell/WindowTable.h"
#include "client/core/util/DeleteGuard.h"

#include <QCheckBox>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>
#include <QTreeWidget>

namespace qv::client::test {
namespace {

// A child window that remembers the arguments it was handed.
class ProbeWindow : public TFrmAddTab {
public:
    ProbeWindow(ClientSession &session, const QString &title) : TFrmAddTab(&session) { setWindowTitle(title); }
    void applyMenuArgument(const QString &argument) override { arguments << argument; }
    QStringList arguments;
};

QWidget *makeStockTaking(ClientSession &session, const QString &argument)
{
    auto *window = new ProbeWindow(session, QStringLiteral("盘点单"));
    window->arguments << argument;
    return window;
}

const QList<MenuWindow> &probeTable()
{
    static const QList<MenuWindow> table{
        {"mnuKcpd", OpenAs::Child, "TFrmPdWork", "KCPD", makeStockTaking},
        {"mnuKctz", OpenAs::Child, "TFrmPdWork", "KCTZ", makeStockTaking},
        {"mnuBbCkkcHz", OpenAs::Child, "TFrmRPTCkkcHz", "",
         [](ClientSession &session, const QString &) -> QWidget * {
             return new ProbeWindow(session, QStringLiteral("库存总帐"));
         }},
    };
    return table;
}

class WindowsTest : public ShellServerTest {
protected:
    void SetUp() override
    {
        ShellServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        session = loggedInSession();
        main = std::make_unique<MainWindow>(*session, probeTable());
        main->setConfirmExit(false);
        main->resize(1200, 800);
        main->show();
        main->createDesk();
    }
    void TearDown() override
    {
        main.reset();
        session.reset();
        ShellServerTest::TearDown();
    }

    QMdiSubWindow *frameOf(QWidget *window) { return qobject_cast<QMdiSubWindow *>(window->parentWidget()); }

    std::unique_ptr<ClientSession> session;
    std::unique_ptr<MainWindow> main;
};

TEST_F(WindowsTest, OneWindowPerKindBroughtToTheFrontFromMenuToolBarAndDesk)
{
    main->RunMenuItem(QStringLiteral("mnuBbCkkcHz"));
    QWidget *ledger = main->childWindow(QStringLiteral("FrmRPTCkkcHz"));
    ASSERT_NE(ledger, nullptr);
    EXPECT_EQ(main->tabStrip()->captions(), (QStringList{"业务导航", "库存总帐"}));

    // The tool button "库存查询" and the desk picture open the same window.
    for (QAction *tool : main->toolActions()) {
        if (tool->objectName() == QLatin1String("mnuBbCkkcHz1"))
            tool->trigger();
    }
    main->desk()->showPage(2);
    main->desk()->picture(QStringLiteral("mnuBbCkkcHz"))->click();
    EXPECT_EQ(main->childCount(), 2); // the desk and the one ledger
    EXPECT_EQ(main->mdiArea()->activeSubWindow(), frameOf(ledger));

    // The default place of a child window.
    const TNetCardInfo &card = session->card();
    EXPECT_EQ(frameOf(ledger)->geometry(), QRect(card.childLeft, 0, card.childWidth, card.childHeight));
    EXPECT_EQ(card.childWidth, card.mainClientWidth - card.mainClientWidth / 8);

    // Selecting the desk's tab brings the desk forward; closing the ledger takes its tab.
    emit main->tabStrip()->captionSelected(QStringLiteral("业务导航"));
    EXPECT_EQ(main->mdiArea()->activeSubWindow()->widget(), main->desk());
    frameOf(ledger)->close();
    QApplication::processEvents();
    EXPECT_EQ(main->tabStrip()->captions(), QStringList{QStringLiteral("业务导航")});
    EXPECT_EQ(main->childWindow(QStringLiteral("FrmRPTCkkcHz")), nullptr);
}

TEST_F(WindowsTest, StockTakingAndAdjustmentShareOneWindow)
{
    main->RunMenuItem(QStringLiteral("mnuKcpd"));
    main->RunMenuItem(QStringLiteral("mnuKctz"));
    auto *window = dynamic_cast<ProbeWindow *>(main->childWindow(QStringLiteral("FrmPdWork")));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->arguments, (QStringList{"KCPD", "KCTZ"}));
    EXPECT_EQ(main->childCount(), 2);
}

TEST_F(WindowsTest, ThirtyOneWindowsAtMost)
{
    MessageBoxWatcher boxes;
    // The desk is one of the 31.
    for (int i = 1; i < MainWindow::kMaxChildren; ++i) {
        QWidget *opened = main->OpenChild(QStringLiteral("TKind%1").arg(i), [this, i] {
            return new ProbeWindow(*session, QStringLiteral("窗口%1").arg(i));
        });
        ASSERT_NE(opened, nullptr) << i;
    }
    EXPECT_EQ(main->childCount(), 31);
    boxes.expect();
    EXPECT_EQ(main->OpenChild(QStringLiteral("TKindMore"), [this] { return new ProbeWindow(*session, "多"); }), nullptr);
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("打开太多的窗体，请关掉不必要的窗体！"));
    // An open kind is still brought forward.
    EXPECT_NE(main->OpenChild(QStringLiteral("TKind3"), nullptr), nullptr);
    EXPECT_EQ(main->tabStrip()->count(), 31);

    // "全部关闭" leaves the desk.
    main->closeChildren();
    QApplication::processEvents();
    EXPECT_EQ(main->childCount(), 1);
    EXPECT_EQ(main->childWindows().first(), main->desk());
    EXPECT_EQ(main->tabStrip()->captions(), QStringList{QStringLiteral("业务导航")});
    // The desk cannot be closed by the user.
    main->desk()->close();
    EXPECT_EQ(main->childCount(), 1);
}

TEST_F(WindowsTest, WindowMenuKeepsTheDeskInPlace)
{
    for (int i = 0; i < 3; ++i)
        main->OpenChild(QStringLiteral("TKind%1").arg(i), [this, i] { return new ProbeWindow(*session, QString::number(i)); });
    const QRect desk = frameOf(main->desk())->geometry();
    main->cascadeChildren();
    main->tileChildren();
    main->minimizeChildren();
    EXPECT_EQ(frameOf(main->desk())->geometry(), desk);
    EXPECT_FALSE(frameOf(main->desk())->isMinimized());
    for (QWidget *window : main->childWindows()) {
        if (window != main->desk()) {
            EXPECT_TRUE(frameOf(window)->isMinimized());
        }
    }
}

TEST_F(WindowsTest, UnknownOrDisabledItemsDoNothing)
{
    main->RunMenuItem(QStringLiteral("mnuNoSuchThing"));
    main->menuAction(QStringLiteral("mnuBbCkkcHz"))->setEnabled(false);
    main->RunMenuItem(QStringLiteral("mnuBbCkkcHz"));
    main->desk()->picture(QStringLiteral("mnuBbCkkcHz"))->click();
    EXPECT_EQ(main->childCount(), 1);
}

TEST_F(WindowsTest, RecentReportsAreLookedUpAndKept)
{
    TfrmDesk *desk = main->desk();
    main->AddRecentReport(QStringLiteral("库存总帐"));
    main->AddRecentReport(QStringLiteral("没有这个报表"));
    main->AddRecentReport(QStringLiteral("物品类别领用汇总表")); // longer than 16 bytes
    ASSERT_EQ(desk->recentReports().entries().size(), 1);
    EXPECT_EQ(desk->recentReports().entries()[0], (RecentReport{QStringLiteral("库存总帐"), QStringLiteral("mnuBbCkkcHz")}));
    EXPECT_EQ(desk->recentTree()->topLevelItemCount(), 1);

    // A double click runs the stored item.
    desk->runRecent(0);
    EXPECT_NE(main->childWindow(QStringLiteral("FrmRPTCkkcHz")), nullptr);

    ASSERT_TRUE(desk->saveRecent());
    RecentReports saved;
    ASSERT_TRUE(saved.load(m_folder->filePath(QStringLiteral("Tree_Function.txt"))));
    EXPECT_EQ(saved.entries(), desk->recentReports().entries());
    desk->clearRecent();
    EXPECT_EQ(desk->recentTree()->topLevelItemCount(), 0);
}

TEST_F(WindowsTest, AlertAtStartShowsOnlyWaitingKindsTheUserMayOpen)
{
    exec(*session, QStringLiteral("delete from LLZB where ID = 9901"));
    exec(*session, QStringLiteral("insert into LLZB (ID, DJBH, RQ, uFlag) values (9901, 'LL2024019901', #2024-01-05#, 0)"));

    // Nothing at start when the user switched the alert off.
    session->settings().setShowPendingAtStart(false);
    EXPECT_EQ(ShowPending(*session, QStringLiteral("audit_office"), true), nullptr);

    // A clerk granted only 物品领用 sees that row alone.
    session->settings().setShowPendingAtStart(true);
    session->global().userCode = QStringLiteral("CLERK");
    session->global().shareUserWithRights();
    session->rights().allowedFunctionNames = {QStringLiteral("物品领用")};
    TfrmAlert *alert = ShowPending(*session, QStringLiteral("audit_office"), true);
    ASSERT_NE(alert, nullptr);
    ASSERT_EQ(alert->counts()->recordCount(), 1);
    EXPECT_EQ(alert->counts()->fieldByName(u"sType")->asString(), QStringLiteral("物品领用"));
    EXPECT_EQ(alert->counts()->fieldByName(u"Qty")->asInteger(), 1);
    EXPECT_TRUE(main->tabStrip()->captions().contains(QStringLiteral("系统提示")));

    // "查看" opens the list window of the kind.
    QStringList lists;
    session->billWindows().addListWindow(QStringLiteral("TfrmStockLlWork"),
                                         [&lists](const QString &billType, QWidget *) { lists << billType; });
    alert->viewCurrent();
    EXPECT_EQ(lists, QStringList{QString()});

    // The check box goes back to SysConfig.ini when the window closes.
    alert->showAtStart()->setChecked(false);
    qobject_cast<QMdiSubWindow *>(alert->parentWidget())->close();
    QApplication::processEvents();
    EXPECT_FALSE(session->settings().showPendingAtStart());
    EXPECT_FALSE(main->tabStrip()->captions().contains(QStringLiteral("系统提示")));

    // Without drafts of a permitted kind nothing opens at start.
    session->settings().setShowPendingAtStart(true);
    session->rights().allowedFunctionNames = {QStringLiteral("费用开支")};
    EXPECT_EQ(ShowPending(*session, QStringLiteral("audit_office"), true), nullptr);

    // From the menu every permitted kind shows, with 0 where nothing waits.
    session->global().userCode = QStringLiteral("SYS");
    session->global().shareUserWithRights();
    alert = ShowPending(*session, QStringLiteral("audit_office"), false);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->counts()->recordCount(), 8);
    exec(*session, QStringLiteral("delete from LLZB where ID = 9901"));

    MessageBoxWatcher boxes;
    boxes.expect();
    EXPECT_EQ(ShowPending(*session, QStringLiteral("audit_other"), false), nullptr);
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("提醒类型不正确！"));
}

TEST_F(WindowsTest, DeleteGuardFindsLineTableReferences)
{
    const qint64 item = session->queries().queryValue(QStringLiteral("select min(ID) from HP")).toLongLong();
    ASSERT_GT(item, 0);
    MessageBoxWatcher boxes;
    // Every guard statement runs on the server as written.
    for (const char *table : {"HP", "HPLB", "CUST", "DQ", "CK", "PUR", "ITEMTYPE", "DEPT", "YHZ", "QTKCBDLX"}) {
        const auto sql = deleteGuardQuery(QString::fromLatin1(table), QStringLiteral("1"));
        ASSERT_TRUE(sql);
        DataSet *query = session->data().getPoolQuery();
        EXPECT_TRUE(session->data().runSql(query, *sql, true)) << table << ": " << session->data().lastError().toStdString();
        query->close();
    }
    EXPECT_FALSE(DeleteGuard(session->queries(), QStringLiteral("HP"), QString::number(item)));

    // An item used only in a line table is still found.
    exec(*session, QStringLiteral("delete from CGSH where RECID = 'guard'"));
    exec(*session, QStringLiteral("insert into CGSH (RECID, ZBID, HH, HPID, SL, DJ) values ('guard', 99999, 1, %1, 1, 1)")
                       .arg(item));
    boxes.expect();
    EXPECT_TRUE(DeleteGuard(session->queries(), QStringLiteral("HP"), QString::number(item)));
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("该数据已被引用,不能删除！"));
    exec(*session, QStringLiteral("delete from CGSH where RECID = 'guard'"));
}

} // namespace
} // namespace qv::client::test
