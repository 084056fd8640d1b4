// The way into the client: splash, server address, account set, login, then
// the main window with its desk and, when the user wants it, the alert of
// documents waiting for audit. Each step only moves forward or ends the
// program.
#pragma once

#include "client/core/shell/MenuWindows.h"

#include <QList>

#include <functional>
#include <memory>

class QDialog;

namespace qv::client {

class ClientSession;
class MainWindow;
class SplashWindow;

struct StartUpOptions {
    int splashMs = 2500;
    bool showMaximized = true;
};

class StartUp {
public:
    enum class Step { Splash, ServerAddress, AccountSet, Login, MainWindow, Done };

    StartUp(ClientSession &session, const QList<MenuWindow> &windows, StartUpOptions options = {});
    ~StartUp();

    // Runs the steps; true when the main window is up, false when the program
    // should end (a Cancel, a server that cannot be reached, an account set
    // that cannot be opened, an update taken).
    bool run();
    Step step() const { return m_step; }
    MainWindow *mainWindow() const { return m_main.get(); }
    // Hands the main window to the caller (the program keeps it until exit).
    std::unique_ptr<MainWindow> takeMainWindow();

    // Called with each modal window just before it is shown (tests drive the
    // start-up through it).
    void setBeforeDialog(std::function<void(QDialog *)> hook) { m_beforeDialog = std::move(hook); }

private:
    int exec(QDialog &dialog);

    ClientSession &m_session;
    QList<MenuWindow> m_windows;
    StartUpOptions m_options;
    Step m_step = Step::Splash;
    std::unique_ptr<MainWindow> m_main;
    std::function<void(QDialog *)> m_beforeDialog;
};

} // namespace qv::client
