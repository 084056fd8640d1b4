// QvServer: the application server.
//
//   QvServer [--headless] [--program-folder DIR] [--address A] [--port N] [--log-file PATH]
//
// On a desktop it runs hidden with a tray icon; with --headless, or where no
// display exists, it runs without window and tray and writes its messages to
// stderr. See ServerConfig.h for QvServer.ini's [Server] section.
#include "server/Server.h"
#include "server/ServerConfig.h"
#include "server/SignalWatcher.h"
#include "server/SingleInstance.h"
#include "server/desktop/DesktopShell.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSaveFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace qv::server;

namespace {

bool wantsDesktop(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0)
            return false;
    }
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

void toStderr(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

// Keeps a copy of the log text in a file, for people and tests without the window.
void mirrorLog(StatementLog &log, const QString &path)
{
    log.setListener([path](const QString &text) {
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text.toUtf8());
            file.commit();
        }
    });
}

} // namespace

int main(int argc, char **argv)
{
    // Without TZ glibc reads the zone file again for every local-time
    // conversion, which makes packets full of dates several times slower.
    if (!std::getenv("TZ"))
        setenv("TZ", ":/etc/localtime", 1);

    const bool desktop = wantsDesktop(argc, argv);
    std::unique_ptr<QCoreApplication> app;
    if (desktop)
        app = createDesktopApplication(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("QvServer"));

    QString error;
    auto config = ServerConfig::load(app->arguments().mid(1), QCoreApplication::applicationDirPath(), &error);
    if (!config) {
        toStderr(QStringLiteral("QvServer: %1").arg(error));
        return 2;
    }
    config->headless = !desktop;

    SingleInstance instance(config->programFolder);
    if (!instance.acquire(&error, [](const QString &note) { toStderr(QStringLiteral("QvServer: ") + note); })) {
        toStderr(QStringLiteral("QvServer: %1").arg(error));
        return 1;
    }

    ServerContext context(*config);
    std::unique_ptr<DesktopShell> shell;
    if (desktop)
        shell = std::make_unique<DesktopShell>(context);
    else
        context.events.setListener(toStderr);
    if (!config->logFile.isEmpty())
        mirrorLog(context.statementLog, config->logFile);

    Server server(context);
    if (!server.listen(&error)) {
        toStderr(QStringLiteral("QvServer: %1").arg(error));
        return 1;
    }
    SignalWatcher stopOnSignal([&](int signal) {
        context.events.add(QStringLiteral("收到信号 %1，服务器关闭").arg(signal));
        QCoreApplication::quit();
    });
    std::printf("QvServer listening on %s:%u (%s mode, folder %s)\n",
                qPrintable(config->address.toString()), unsigned(server.port()),
                qPrintable(databaseModeName(config->databaseMode)), qPrintable(config->programFolder));
    std::fflush(stdout);
    context.events.add(QStringLiteral("服务器启动，端口 %1").arg(server.port()));

    const int rc = app->exec();
    server.closeAll(QStringLiteral("服务器关闭"));
    return rc;
}
