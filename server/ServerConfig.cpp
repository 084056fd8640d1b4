#include "server/ServerConfig.h"

#include "common/IniFile.h"
#include "common/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace qv::server {

namespace {

const QString kSection = QStringLiteral("Server");

struct CommandLine {
    bool headless = false;
    QString folder;
    QString address;
    std::optional<int> port;
    QString logFile;
};

std::optional<CommandLine> parseCommandLine(const QStringList &arguments, QString *error)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("%1 needs a value").arg(a);
                return std::nullopt;
            }
            return arguments[++i];
        };
        if (a == QLatin1String("--headless")) {
            line.headless = true;
        } else if (a == QLatin1String("--program-folder")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            line.folder = *v;
        } else if (a == QLatin1String("--address")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            line.address = *v;
        } else if (a == QLatin1String("--port")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            bool ok = false;
            const int port = v->toInt(&ok);
            if (!ok || port < 0 || port > 65535) {
                *error = QStringLiteral("--port: %1 is not a port number").arg(*v);
                return std::nullopt;
            }
            line.port = port;
        } else if (a == QLatin1String("--log-file")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            line.logFile = *v;
        } else {
            *error = QStringLiteral("unknown option %1").arg(a);
            return std::nullopt;
        }
    }
    return line;
}

} // namespace

QString databaseModeName(DatabaseMode mode)
{
    return mode == DatabaseMode::Postgres ? QStringLiteral("postgres") : QStringLiteral("file");
}

QString ServerConfig::iniPath() const
{
    return common::joinPath(programFolder, u"QvServer.ini");
}

std::optional<ServerConfig> ServerConfig::load(const QStringList &arguments, const QString &defaultFolder,
                                               QString *error)
{
    const auto line = parseCommandLine(arguments, error);
    if (!line)
        return std::nullopt;
    ServerConfig config;
    config.headless = line->headless;
    config.programFolder = QDir(line->folder.isEmpty() ? defaultFolder : line->folder).absolutePath();
    if (!QFileInfo(config.programFolder).isDir()) {
        *error = QStringLiteral("the program folder %1 does not exist").arg(config.programFolder);
        return std::nullopt;
    }
    config.logFile = line->logFile;

    const common::IniFile ini(config.iniPath());
    const QString address = line->address.isEmpty() ? ini.readString(kSection, u"Address") : line->address;
    if (!address.isEmpty() && !config.address.setAddress(address)) {
        *error = QStringLiteral("%1 is not an address to listen on").arg(address);
        return std::nullopt;
    }
    const int port = line->port ? *line->port : ini.readInt(kSection, u"Port", kDefaultPort);
    if (port < 0 || port > 65535) {
        *error = QStringLiteral("[Server] Port=%1 is not a port number").arg(port);
        return std::nullopt;
    }
    config.port = quint16(port);

    const QString mode = ini.readString(kSection, u"Database", QStringLiteral("file")).trimmed().toLower();
    if (mode == QLatin1String("postgres") || mode == QLatin1String("postgresql"))
        config.databaseMode = DatabaseMode::Postgres;
    else if (mode != QLatin1String("file")) {
        *error = QStringLiteral("[Server] Database=%1: use file or postgres").arg(mode);
        return std::nullopt;
    }

    const int frameMb = ini.readInt(kSection, u"MaxFrameMB", 64);
    if (frameMb < 1 || frameMb > 1024) {
        *error = QStringLiteral("[Server] MaxFrameMB=%1: use 1 to 1024").arg(frameMb);
        return std::nullopt;
    }
    config.limits.maxFrameSize = qint64(frameMb) * 1024 * 1024;
    config.limits.maxBuffered = config.limits.maxFrameSize + config.limits.maxFrameSize / 4;
    config.helloSeconds = std::max(1, ini.readInt(kSection, u"HelloSeconds", 30));
    config.idleMinutes = std::max(0, ini.readInt(kSection, u"IdleMinutes", 0));
    return config;
}

} // namespace qv::server
