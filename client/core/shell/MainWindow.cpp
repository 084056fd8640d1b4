#include "client/core/shell/MainWindow.h"

#include "client/core/rights/ApplyRights.h"
#include "client/core/shell/ClientSession.h"
#include "client/core/shell/ExitDialog.h"
#include "client/core/shell/FrmAddTab.h"
#include "client/core/shell/Icons.h"
#include "client/core/shell/MainMenu.h"
#include "client/core/shell/NavigationDesk.h"
#include "client/core/shell/Product.h"
#include "client/core/shell/SplashWindow.h"
#include "client/core/shell/TabStrip.h"
#include "client/core/shell/WaitMessage.h"
#include "common/Paths.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

namespace qv::client {

const MenuWindow *findMenuWindow(const QList<MenuWindow> &table, const QString &menuName)
{
    for (const MenuWindow &row : table) {
        if (menuName == QLatin1String(row.menuName))
            return &row;
    }
    return nullptr;
}

QString childWindowName(const QString &windowKind)
{
    return windowKind.startsWith(QLatin1Char('T')) ? windowKind.mid(1) : windowKind;
}

QString statusDateText(const QDate &date)
{
    static const char *const names[] = {"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"};
    return date.toString(QStringLiteral("yyyy年MM月dd日 ")) + QString::fromUtf8(names[date.dayOfWeek() - 1]);
}

MainWindow::MainWindow(ClientSession &session, const QList<MenuWindow> &windows, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_windows(windows), m_wait(std::make_unique<WaitMessage>(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(session.card().productTitle);
    setWindowIcon(icon(QStringLiteral("app")));
    session.setMainWindow(this);

    buildCentre();
    // A failing rights query leaves the lists empty: every guarded item is
    // then disabled for that user.
    TGlobal &global = session.global();
    session.rights().loadRights(session.data(), global.userCode, global.groupList,
                                QStringLiteral("Sys_FuncTree_office"));
    buildMenus();
    buildToolBar();
    buildStatusBar();
    applyRights();
}

MainWindow::~MainWindow()
{
    if (m_desk)
        m_desk->allowClose();
    if (m_session.mainWindow() == this)
        m_session.setMainWindow(nullptr);
}

// --- building ------------------------------------------------------------------

void MainWindow::buildCentre()
{
    auto *centre = new QWidget(this);
    auto *layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_mdi = new QMdiArea(centre);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    const QString picture = common::joinPath(m_session.programFolder(), u"client.jpg");
    if (QFileInfo::exists(picture))
        m_mdi->setBackground(QBrush(QPixmap(picture)));
    else
        m_mdi->setBackground(QColor(0x8c, 0xa6, 0xcc));
    m_mdi->viewport()->installEventFilter(this);
    layout->addWidget(m_mdi, 1);
    m_tabs = new TabStrip(centre);
    m_tabs->addTab(TfrmDesk::caption() + QStringLiteral("   "));
    m_tabs->setPermanent(0);
    layout->addWidget(m_tabs);
    setCentralWidget(centre);

    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MainWindow::subWindowActivated);
    connect(m_tabs, &TabStrip::captionSelected, this, &MainWindow::selectCaption);
    connect(m_tabs, &TabStrip::closeRequested, this, &MainWindow::closeCaption);
}

void MainWindow::buildMenus()
{
    const bool super = m_session.isSuperUser();
    for (const MenuSpec &spec : mainMenus()) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf8(spec.title));
        menu->setObjectName(QString::fromLatin1(spec.name));
        QHash<QString, QMenu *> submenus;
        for (const MenuEntry &entry : spec.entries) {
            const QString name = QString::fromLatin1(entry.name);
            const QString caption = QString::fromUtf8(entry.caption);
            const QString parentName = QString::fromLatin1(entry.parent);
            QMenu *target = parentName.isEmpty() ? menu : submenus.value(parentName, menu);
            const bool hasChildren = std::any_of(spec.entries.cbegin(), spec.entries.cend(), [&](const MenuEntry &e) {
                return name == QLatin1String(e.parent);
            });
            if (entry.separatorBefore)
                target->addSeparator();
            QAction *action = nullptr;
            if (hasChildren) {
                QMenu *submenu = target->addMenu(caption);
                submenus.insert(name, submenu);
                action = submenu->menuAction();
            } else {
                action = target->addAction(caption);
                connect(action, &QAction::triggered, this, [this, name] {
                    if (findMenuWindow(m_windows, name))
                        runRow(*findMenuWindow(m_windows, name));
                    else
                        runCommand(name);
                });
            }
            action->setObjectName(name);
            const QString glyph = iconForMenuItem(name);
            if (!hasChildren && glyph != QStringLiteral("register"))
                action->setIcon(icon(glyph));
            if (entry.visibility == MenuVisibility::Hidden)
                action->setVisible(false);
            if (entry.visibility == MenuVisibility::SuperUserOnly)
                action->setVisible(super);
            m_actions.insert(name, action);
            m_menuItems << action;
        }
    }
}

void MainWindow::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("工具栏"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(32, 32));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ToolButtonSpec &spec : toolButtons()) {
        QAction *action = m_toolBar->addAction(icon(QString::fromLatin1(spec.icon)), QString::fromUtf8(spec.caption));
        action->setObjectName(QString::fromLatin1(spec.name));
        const QString runs = QString::fromLatin1(spec.runs);
        connect(action, &QAction::triggered, this, [this, runs] { RunMenuItem(runs); });
        m_toolActions << action;
        if (action->objectName() == QLatin1String(MainCommand::ToolExit))
            m_toolBar->insertSeparator(action);
    }
}

void MainWindow::buildStatusBar()
{
    const TNetCardInfo &card = m_session.card();
    const QStringList texts{QStringLiteral("帐套：") + card.accountName, m_session.global().userName,
                            statusDateText(QDate::currentDate()), productNotice()};
    const int widths[] = {180, 100, 200, 50};
    for (int i = 0; i < texts.size(); ++i) {
        auto *panel = new QLabel(texts.at(i), this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setMinimumWidth(widths[i]);
        if (i < 3)
            panel->setMaximumWidth(widths[i]);
        statusBar()->addWidget(panel, i == 3 ? 1 : 0);
        m_panels << panel;
    }
}

QLabel *MainWindow::statusPanel(int index) const
{
    return m_panels.value(index);
}

void MainWindow::applyRights()
{
    QList<NamedAction> actions;
    for (QAction *action : std::as_const(m_menuItems))
        actions << NamedAction{action->objectName(), ActionKind::MenuItem, action->isEnabled(), action->isVisible(), false};
    for (QAction *action : std::as_const(m_toolActions))
        actions << NamedAction{action->objectName(), ActionKind::ToolButton, action->isEnabled(), action->isVisible(), false};
    applyToMainWindow(m_session.rights(), actions);
    for (const NamedAction &named : std::as_const(actions)) {
        QAction *action = m_actions.value(named.name);
        if (!action) {
            for (QAction *tool : std::as_const(m_toolActions)) {
                if (tool->objectName() == named.name)
                    action = tool;
            }
        }
        if (action)
            action->setEnabled(named.enabled);
    }
    // Two items exist for the super-user alone.
    const bool super = m_session.isSuperUser();
    for (const char *name : {"Tool_UpLoad", "mnuInitData"}) {
        if (QAction *action = m_actions.value(QString::fromLatin1(name)))
            action->setVisible(super);
    }
}

// --- the menu's work -------------------------------------------------------------

void MainWindow::RunMenuItem(const QString &name)
{
    QAction *action = m_actions.value(name);
    if (!action || !action->isEnabled() || action->menu())
        return;
    action->trigger();
}

void MainWindow::runRow(const MenuWindow &row)
{
    if (!row.factory)
        return; // the window is not part of the client yet
    const QString argument = row.argumentText();
    switch (row.openAs) {
    case OpenAs::Child:
        OpenChild(row.kind(), [this, &row, &argument] { return row.factory(m_session, argument); }, argument);
        break;
    case OpenAs::Modal: {
        std::unique_ptr<QWidget> window(row.factory(m_session, argument));
        if (auto *dialog = qobject_cast<QDialog *>(window.get())) {
            dialog->setParent(this, dialog->windowFlags() | Qt::Dialog);
            dialog->exec();
        }
        break;
    }
    case OpenAs::Command:
        row.factory(m_session, argument);
        break;
    }
}

void MainWindow::runCommand(const QString &name)
{
    if (name == QLatin1String(MainCommand::Exit))
        close();
    else if (name == QLatin1String(MainCommand::Cascade))
        cascadeChildren();
    else if (name == QLatin1String(MainCommand::Tile))
        tileChildren();
    else if (name == QLatin1String(MainCommand::MinimizeAll))
        minimizeChildren();
    else if (name == QLatin1String(MainCommand::CloseAll))
        closeChildren();
    else if (name == QLatin1String(MainCommand::Help))
        showHelp();
    else if (name == QLatin1String(MainCommand::About))
        showAbout();
}

void MainWindow::showHelp()
{
    const QString file = common::joinPath(m_session.programFolder(), u"help.chm");
    if (QFileInfo::exists(file))
        QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

void MainWindow::showAbout()
{
    SplashWindow about(m_session.programFolder(), this);
    about.setClosesOnClick(true);
    about.exec();
}

// --- child windows ------------------------------------------------------------------

QWidget *MainWindow::childWindow(const QString &name) const
{
    const auto windows = m_mdi->subWindowList();
    for (QMdiSubWindow *window : windows) {
        if (window->widget() && window->widget()->objectName() == name)
            return window->widget();
    }
    return nullptr;
}

int MainWindow::childCount() const
{
    return int(m_mdi->subWindowList().size());
}

QList<QWidget *> MainWindow::childWindows() const
{
    QList<QWidget *> list;
    const auto windows = m_mdi->subWindowList();
    for (QMdiSubWindow *window : windows) {
        if (window->widget())
            list << window->widget();
    }
    return list;
}

QWidget *MainWindow::OpenChild(const QString &windowKind, const std::function<QWidget *()> &create,
                               const QString &argument)
{
    const QString name = childWindowName(windowKind);
    if (QWidget *open = childWindow(name)) {
        if (auto *base = qobject_cast<TFrmQvBase *>(open); base && !argument.isEmpty())
            base->applyMenuArgument(argument);
        auto *frame = qobject_cast<QMdiSubWindow *>(open->parentWidget());
        if (frame->isMinimized())
            frame->showNormal();
        frame->show();
        open->show();
        m_mdi->setActiveSubWindow(frame);
        frame->raise();
        return open;
    }
    if (childCount() >= kMaxChildren) {
        QMessageBox::information(this, windowTitle(), QString::fromUtf8(kTooManyWindowsMessage));
        return nullptr;
    }
    QWidget *window = create ? create() : nullptr;
    if (!window)
        return nullptr;
    window->setObjectName(name);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *frame = m_mdi->addSubWindow(window, Qt::SubWindow | Qt::WindowSystemMenuHint
                                                           | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(icon(QStringLiteral("app")));
    // A window that closes itself takes its frame with it.
    connect(window, &QObject::destroyed, frame, [frame] { frame->deleteLater(); });
    m_session.global().registerWindow(name, window);
    frame->show();
    window->show();
    m_mdi->setActiveSubWindow(frame);
    return window;
}

TfrmDesk *MainWindow::createDesk()
{
    if (m_desk)
        return m_desk;
    auto *desk = new TfrmDesk(m_session);
    m_deskWindow = m_mdi->addSubWindow(desk, Qt::SubWindow | Qt::FramelessWindowHint);
    m_desk = desk;
    m_session.global().registerWindow(desk->objectName(), desk);
    fitDesk();
    m_deskWindow->show();
    m_mdi->setActiveSubWindow(m_deskWindow);
    return desk;
}

void MainWindow::AddRecentReport(const QString &reportName)
{
    if (m_desk)
        m_desk->AddRecentReport(reportName);
}

void MainWindow::fitDesk()
{
    if (m_deskWindow)
        m_deskWindow->setGeometry(m_mdi->viewport()->rect());
}

// --- tabs and geometry -------------------------------------------------------------

void MainWindow::SetTab(int mode, const QString &caption)
{
    if (mode == 1)
        m_tabs->showCaption(caption);
    else if (mode == -1)
        m_tabs->removeCaption(caption);
}

QMdiSubWindow *MainWindow::subWindowOf(const QString &caption) const
{
    const QString wanted = caption.trimmed();
    const auto windows = m_mdi->subWindowList();
    for (QMdiSubWindow *window : windows) {
        if (window->widget() && window->widget()->windowTitle().trimmed() == wanted)
            return window;
    }
    return nullptr;
}

void MainWindow::selectCaption(const QString &caption)
{
    QMdiSubWindow *window = subWindowOf(caption);
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    if (!window->isVisible())
        window->show();
    window->widget()->show();
    window->update();
    m_mdi->setActiveSubWindow(window);
    window->raise();
}

void MainWindow::closeCaption(const QString &caption)
{
    if (QMdiSubWindow *window = subWindowOf(caption); window && window != m_deskWindow)
        window->close();
}

void MainWindow::subWindowActivated(QMdiSubWindow *window)
{
    if (!window || !window->widget())
        return;
    if (window == m_deskWindow)
        m_tabs->showCaption(TfrmDesk::caption());
    else if (auto *child = qobject_cast<TFrmAddTab *>(window->widget()))
        child->activated();
}

void MainWindow::computeGeometry()
{
    TNetCardInfo &card = m_session.card();
    card.mainClientHeight = m_mdi->height();
    card.mainClientWidth = m_mdi->width();
    card.titleOverhead = frameGeometry().height() - m_mdi->height();
    card.childHeight = card.mainClientHeight - card.mainClientHeight / 7;
    card.childWidth = card.mainClientWidth - card.mainClientWidth / 8;
    card.childLeft = width() / 2 - card.childWidth / 2;
    card.childTop = 0;
}

void MainWindow::ApplyDefaultGeometry(QWidget *window)
{
    if (!window)
        return;
    const TNetCardInfo &card = m_session.card();
    if (card.childWidth <= 0 || card.childHeight <= 0)
        computeGeometry();
    if (auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget())) {
        frame->setGeometry(card.childLeft, card.childTop, card.childWidth, card.childHeight);
        return;
    }
    const QPoint origin = geometry().topLeft();
    window->setGeometry(origin.x() + card.childLeft, origin.y() + card.titleOverhead, card.childWidth,
                        card.childHeight);
}

// --- the window menu --------------------------------------------------------------

void MainWindow::cascadeChildren()
{
    int step = 0;
    const auto windows = m_mdi->subWindowList(QMdiArea::StackingOrder);
    const QSize size(m_mdi->width() * 2 / 3, m_mdi->height() * 2 / 3);
    for (QMdiSubWindow *window : windows) {
        if (window == m_deskWindow)
            continue;
        window->showNormal();
        window->setGeometry(QRect(QPoint(step, step), size));
        window->raise();
        step += 26;
    }
}

void MainWindow::tileChildren()
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : m_mdi->subWindowList()) {
        if (window != m_deskWindow)
            windows << window;
    }
    if (windows.isEmpty())
        return;
    const int columns = int(std::ceil(std::sqrt(double(windows.size()))));
    const int rows = int((windows.size() + columns - 1) / columns);
    const int w = m_mdi->width() / columns;
    const int h = m_mdi->height() / rows;
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry((i % columns) * w, (i / columns) * h, w, h);
        windows[i]->raise();
    }
}

void MainWindow::minimizeChildren()
{
    for (QMdiSubWindow *window : m_mdi->subWindowList()) {
        if (window != m_deskWindow)
            window->showMinimized();
    }
}

void MainWindow::closeChildren()
{
    for (QMdiSubWindow *window : m_mdi->subWindowList()) {
        if (window != m_deskWindow)
            window->close();
    }
}

// --- events ---------------------------------------------------------------------------

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mdi->viewport() && event->type() == QEvent::Resize) {
        fitDesk();
        computeGeometry();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    computeGeometry();
    if (!m_priceKindRead) {
        m_priceKindRead = true;
        readDefaultPriceKind();
    }
}

void MainWindow::readDefaultPriceKind()
{
    const QVariant id = m_session.queries().queryValue(QStringLiteral("select Top 1 ID from SJZL order by XH"));
    m_session.card().defaultPriceKind = id.isValid() ? id.toLongLong() : 0;
}

TfrmExit *MainWindow::exitDialog()
{
    if (!m_exit)
        m_exit = new TfrmExit(this);
    return m_exit;
}

bool MainWindow::handleExitChoice(int choice)
{
    if (choice == TfrmExit::Exit)
        return true;
    if (choice != TfrmExit::BackupAndExit)
        return false;
    m_wait->ShowWait(QStringLiteral("正在备份数据，请稍候..."));
    const DataResult<qint64> backup = m_session.data().backupData(m_session.card().accountNo);
    m_wait->HideWait();
    if (!backup) {
        QMessageBox::critical(this, windowTitle(), backup.error);
        return false;
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_confirmExit) {
        for (;;) {
            const TfrmExit::Choice choice = exitDialog()->ask();
            if (choice == TfrmExit::Cancel) {
                event->ignore();
                return;
            }
            if (handleExitChoice(choice))
                break;
        }
    }
    if (m_desk) {
        m_desk->allowClose();
        m_desk->saveRecent();
    }
    m_session.data().disconnectFromServer();
    event->accept();
    QCoreApplication::quit();
}

} // namespace qv::client
