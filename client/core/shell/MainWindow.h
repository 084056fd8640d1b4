// The main window: maximized, the parent of every business window. Its menu
// and tool bar carry the functions (rights applied), its status bar the
// account set, the user and the day, its middle the child windows with the
// navigation desk behind them, and a strip of tabs along the bottom names
// every open child window.
//
// Child windows are opened through OpenChild: one window per kind (the kind's
// name without its leading T is the window's name), brought to the front when
// it is already open, at most 31 open at once.
#pragma once

#include "client/core/shell/MenuWindows.h"
#include "client/core/shell/NavigationDesk.h"
#include "client/core/shell/WindowHost.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;

namespace qv::client {

class ClientSession;
class TabStrip;
class TfrmExit;
class WaitMessage;

inline constexpr const char *kTooManyWindowsMessage = "打开太多的窗体，请关掉不必要的窗体！";

class MainWindow : public QMainWindow, public WindowHost {
    Q_OBJECT

public:
    static constexpr int kMaxChildren = 31;

    MainWindow(ClientSession &session, const QList<MenuWindow> &windows, QWidget *parent = nullptr);
    ~MainWindow() override;

    ClientSession &session() const { return m_session; }

    // --- windows ---------------------------------------------------------------
    // Opens (or brings to the front) the child window of the kind. `create`
    // makes the window when none is open; `argument` is handed to a window of
    // the kind that is open already. nullptr when 31 windows are open (the
    // user is told) or nothing was created.
    QWidget *OpenChild(const QString &windowKind, const std::function<QWidget *()> &create,
                       const QString &argument = QString());
    // The child window of that name, if open.
    QWidget *childWindow(const QString &name) const;
    int childCount() const;
    QList<QWidget *> childWindows() const;

    // --- WindowHost ------------------------------------------------------------
    void SetTab(int mode, const QString &caption) override;
    void ApplyDefaultGeometry(QWidget *window) override;
    void RunMenuItem(const QString &name) override;

    // --- the desk ----------------------------------------------------------------
    // Creates the navigation desk (once, after the main window is shown).
    TfrmDesk *createDesk();
    TfrmDesk *desk() const { return m_desk; }
    void AddRecentReport(const QString &reportName);

    // --- parts, for the windows and for tests -------------------------------------
    QMdiArea *mdiArea() const { return m_mdi; }
    TabStrip *tabStrip() const { return m_tabs; }
    QToolBar *toolBar() const { return m_toolBar; }
    QAction *menuAction(const QString &name) const { return m_actions.value(name); }
    // Every item of the menus (submenu items included), in menu order.
    QList<QAction *> menuItems() const { return m_menuItems; }
    QList<QAction *> toolActions() const { return m_toolActions; }
    QLabel *statusPanel(int index) const;
    const QList<MenuWindow> &windowTable() const { return m_windows; }

    // The window menu.
    void cascadeChildren();
    void tileChildren();
    void minimizeChildren();
    void closeChildren();

    // Closing asks "退出选项" unless told not to (tests, the update restart).
    void setConfirmExit(bool confirm) { m_confirmExit = confirm; }
    TfrmExit *exitDialog();
    // What the exit dialog's choice does; true when the program may end.
    bool handleExitChoice(int choice);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void buildCentre();
    void applyRights();
    void runRow(const MenuWindow &row);
    void runCommand(const QString &name);
    void computeGeometry();
    void selectCaption(const QString &caption);
    void closeCaption(const QString &caption);
    QMdiSubWindow *subWindowOf(const QString &caption) const;
    void subWindowActivated(QMdiSubWindow *window);
    void readDefaultPriceKind();
    void fitDesk();
    void showAbout();
    void showHelp();

    ClientSession &m_session;
    QList<MenuWindow> m_windows;
    QMdiArea *m_mdi = nullptr;
    TabStrip *m_tabs = nullptr;
    QToolBar *m_toolBar = nullptr;
    QList<QLabel *> m_panels;
    QHash<QString, QAction *> m_actions;
    QList<QAction *> m_menuItems;
    QList<QAction *> m_toolActions;
    QPointer<TfrmDesk> m_desk;
    QPointer<QMdiSubWindow> m_deskWindow;
    TfrmExit *m_exit = nullptr;
    std::unique_ptr<WaitMessage> m_wait;
    bool m_confirmExit = true;
    bool m_priceKindRead = false;
};

// "yyyy年MM月dd日 " + the weekday ("星期日" .. "星期六"), whatever the locale.
QString statusDateText(const QDate &date);

} // namespace qv::client
