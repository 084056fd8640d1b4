// QvClient: the desktop client.
//
//   QvClient [--program-folder DIR] [--splash-ms N]
//
// The program folder holds SysConfig.ini, System\SystemSet.ini, the Reports
// folder and the optional pictures; it is the folder of the program unless
// given.
#include "client/core/shell/ClientSession.h"
#include "client/core/shell/ClientStyle.h"
#include "client/core/shell/MainWindow.h"
#include "client/core/shell/StartUp.h"
#include "client/core/shell/WindowTable.h"
#include "common/Paths.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdlib>

using namespace qv::client;

int main(int argc, char **argv)
{
    if (!std::getenv("TZ"))
        setenv("TZ", ":/etc/localtime", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QvClient"));
    QApplication::setStyle(new ClientStyle);

    QCommandLineParser options;
    options.addHelpOption();
    options.addOption({QStringLiteral("program-folder"), QStringLiteral("The client's folder."), QStringLiteral("dir")});
    options.addOption({QStringLiteral("splash-ms"), QStringLiteral("How long the splash shows."), QStringLiteral("ms")});
    options.process(app);

    const QString folder = options.isSet(QStringLiteral("program-folder"))
                               ? options.value(QStringLiteral("program-folder"))
                               : qv::common::applicationFolder();
    StartUpOptions startUp;
    if (options.isSet(QStringLiteral("splash-ms")))
        startUp.splashMs = options.value(QStringLiteral("splash-ms")).toInt();

    ClientSession session(folder);
    registerClientWindows(session);
    StartUp steps(session, menuWindows(), startUp);
    if (!steps.run())
        return 0;
    std::unique_ptr<MainWindow> main = steps.takeMainWindow();
    return app.exec();
}
