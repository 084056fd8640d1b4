#include "server/desktop/DesktopShell.h"

#include "common/IniFile.h"
#include "server/desktop/LinkConfigDialog.h"
#include "server/desktop/MainWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QStyle>
#include <QSystemTrayIcon>

namespace qv::server {

std::unique_ptr<QApplication> createDesktopApplication(int &argc, char **argv)
{
    auto app = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("澜石进销存服务器"));
    QApplication::setQuitOnLastWindowClosed(false);
    return app;
}

DesktopShell::DesktopShell(ServerContext &context, QObject *parent)
    : QObject(parent), m_context(context), m_window(std::make_unique<MainWindow>())
{
    context.linkPrompt = this;
    context.statementLog.setListener([this](const QString &) { m_logChanged = true; });
    context.events.setListener([this](const QString &line) { m_window->appendMessage(line); });
    connect(m_window.get(), &MainWindow::clearLogRequested, this, [this] { m_context.statementLog.clear(); });
    connect(m_window.get(), &MainWindow::closed, qApp, &QCoreApplication::quit);
    connect(&m_refresh, &QTimer::timeout, this, [this] {
        if (!m_logChanged)
            return;
        m_logChanged = false;
        m_window->setLogText(m_context.statementLog.text());
    });
    m_refresh.start(250);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        const QIcon icon = QApplication::windowIcon().isNull()
                               ? QApplication::style()->standardIcon(QStyle::SP_ComputerIcon)
                               : QApplication::windowIcon();
        m_tray = new QSystemTrayIcon(icon, this);
        m_tray->setToolTip(QStringLiteral("澜石服务器"));
        m_menu.addAction(QStringLiteral("关闭服务器"), qApp, &QCoreApplication::quit);
        m_tray->setContextMenu(&m_menu);
        m_tray->show();
    } else {
        // Without a tray the window is the only way to end the server.
        m_window->showMinimized();
    }
}

DesktopShell::~DesktopShell()
{
    m_context.linkPrompt = nullptr;
    m_context.statementLog.setListener({});
    m_context.events.setListener({});
}

std::optional<LinkSettings> DesktopShell::askForLink(const LinkSettings &failed, const QString &)
{
    const ModalPause pause(m_context);
    QMessageBox question(QMessageBox::Question, QStringLiteral("询问"),
                         QStringLiteral("无法连接到数据库服务器, 是否进行数据连接配置? "),
                         QMessageBox::Yes | QMessageBox::No);
    question.setDefaultButton(QMessageBox::No);
    question.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (question.exec() != QMessageBox::Yes)
        return std::nullopt;
    LinkConfigDialog dialog(failed);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const LinkSettings chosen = dialog.settings();
    common::IniFile ini(m_context.config.iniPath());
    if (!saveLinkSettings(ini, chosen))
        return std::nullopt;
    QMessageBox::information(nullptr, QStringLiteral("信息"),
                             QStringLiteral("连接配置完成, 如果没有出现登录对话框, 请重新启动本系统!"));
    common::IniFile saved(m_context.config.iniPath());
    return readLinkSettings(saved);
}

} // namespace qv::server
