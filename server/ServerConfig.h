// What the server needs to know before it listens: its program folder, where
// to listen, which database mode it runs in and the limits it holds clients
// to. Read from the command line and from QvServer.ini, section [Server]:
//
//   [Server]
//   Address=0.0.0.0        listening address (any interface by default)
//   Port=6601              TCP port
//   Database=file          file: ConnectAct's type chooses; postgres: every
//                          account set is the PostgreSQL database of [Connection]
//   MaxFrameMB=64          largest request frame a client may send
//   HelloSeconds=30        a connection that has not said hello by then is closed
//   IdleMinutes=0          a client silent this long is disconnected (0: never)
//
// The command line wins over the file:
//   --headless             no window and no tray icon (service managers, tests)
//   --program-folder DIR   the folder holding data/ and the .ini files
//   --address A, --port N  where to listen (port 0: any free port, printed on start)
//   --log-file PATH        keeps a copy of the statement log text in PATH
#pragma once

#include "protocol/Frame.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

namespace qv::server {

inline constexpr quint16 kDefaultPort = 6601;

enum class DatabaseMode {
    File,     // file databases; ConnectAct with a type other than 0 uses PostgreSQL
    Postgres, // the one PostgreSQL database of QvServer.ini for every account set
};

struct ServerConfig {
    QString programFolder;
    QHostAddress address = QHostAddress::Any;
    quint16 port = kDefaultPort;
    bool headless = false;
    DatabaseMode databaseMode = DatabaseMode::File;
    QString logFile;
    int helloSeconds = 30;
    int idleMinutes = 0;
    protocol::FrameLimits limits;

    // Reads the command line (arguments without the program name) and then
    // QvServer.ini in the program folder; nullopt with *error for a bad option.
    static std::optional<ServerConfig> load(const QStringList &arguments, const QString &defaultFolder,
                                            QString *error);

    QString iniPath() const;
};

QString databaseModeName(DatabaseMode mode);

} // namespace qv::server
