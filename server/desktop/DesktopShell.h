// The server on a desktop: the hidden main window with its log, the tray icon
// "澜石服务器" with "关闭服务器", and the questions and link dialog when the
// PostgreSQL database cannot be reached. It shows what the server does; it
// decides nothing for it.
#pragma once

#include "server/LinkPrompt.h"
#include "server/ServerContext.h"

#include <QMenu>
#include <QObject>
#include <QTimer>

#include <memory>

class QApplication;
class QSystemTrayIcon;

namespace qv::server {

class MainWindow;

class DesktopShell : public QObject, public LinkPrompt {
    Q_OBJECT
public:
    explicit DesktopShell(ServerContext &context, QObject *parent = nullptr);
    ~DesktopShell() override;

    std::optional<LinkSettings> askForLink(const LinkSettings &failed, const QString &error) override;

private:
    ServerContext &m_context;
    std::unique_ptr<MainWindow> m_window;
    QSystemTrayIcon *m_tray = nullptr;
    QMenu m_menu;
    QTimer m_refresh; // the log area follows the log a few times a second
    bool m_logChanged = false;
};

// The application object of the desktop program, titled "澜石进销存服务器".
std::unique_ptr<QApplication> createDesktopApplication(int &argc, char **argv);

} // namespace qv::server
