#include "client/core/shell/StartUp.h"

#include "client/core/shell/AccountSetChooser.h"
#include "client/core/shell/ClientSession.h"
#include "client/core/shell/LoginDialog.h"
#include "client/core/shell/MainWindow.h"
#include "client/core/shell/PendingAlert.h"
#include "client/core/shell/ServerAddressDialog.h"
#include "client/core/shell/SplashWindow.h"

#include <QGuiApplication>
#include <QScreen>


namespace qv::client {

StartUp::StartUp(ClientSession &session, const QList<MenuWindow> &windows, StartUpOptions options)
    : m_session(session), m_windows(windows), m_options(options)
{
}

StartUp::~StartUp() = default;

std::unique_ptr<MainWindow> StartUp::takeMainWindow()
{
    return std::move(m_main);
}

int StartUp::exec(QDialog &dialog)
{
    if (m_beforeDialog)
        m_beforeDialog(&dialog);
    return dialog.exec();
}

bool StartUp::run()
{
    m_step = Step::Splash;
    SplashWindow splash(m_session.programFolder());
    splash.showFor(m_options.splashMs);

    m_step = Step::ServerAddress;
    {
        TfrmServerAddress address(m_session);
        if (exec(address) != QDialog::Accepted)
            return false;
    }

    m_step = Step::AccountSet;
    {
        TfrmZTLogin chooser(m_session);
        if (!chooser.shouldShow())
            return false;
        if (exec(chooser) != QDialog::Accepted || chooser.updateTaken())
            return false;
    }

    m_step = Step::Login;
    {
        TfrmLogin login(m_session);
        if (!login.shouldShow())
            return false;
        if (!login.prepare())
            return false;
        if (exec(login) != QDialog::Accepted)
            return false;
    }

    m_step = Step::MainWindow;
    splash.show();
    splash.repaint();
    m_main = std::make_unique<MainWindow>(m_session, m_windows);
    if (m_options.showMaximized) {
        // Without a window manager "maximized" means nothing: fill the screen.
        if (QScreen *screen = QGuiApplication::primaryScreen())
            m_main->setGeometry(screen->availableGeometry());
        m_main->showMaximized();
    }
    else
        m_main->show();
    m_main->createDesk();
    splash.hide();

    ShowPending(m_session, QStringLiteral("audit_office"), true);
    m_step = Step::Done;
    return true;
}

} // namespace qv::client
