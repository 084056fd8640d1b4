// Where the application server listens: the host the user typed ("host" or
// "host:port") and the port the server listens on when none is given.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace qv::client {

// The port QvServer listens on unless its QvServer.ini names another.
inline constexpr quint16 kDefaultServerPort = 6601;

struct ServerAddress {
    QString host = QStringLiteral("127.0.0.1");
    quint16 port = kDefaultServerPort;

    // Reads "host", "host:port", "[v6-address]" or "[v6-address]:port"; a bare
    // IPv6 address (more than one ':') is a host without a port. Blanks around
    // the text are ignored. nullopt with a message for an empty host or a port
    // that is not a number from 1 to 65535.
    static std::optional<ServerAddress> parse(QStringView text, QString *error = nullptr);

    // "host:port", bracketing an IPv6 host.
    QString toString() const;
    friend bool operator==(const ServerAddress &, const ServerAddress &) = default;
};

// The host text of the client's SysConfig.ini: the value of the first line, in
// whatever section, whose key is HostName (case ignored); empty when the file or
// the key is missing. The file is only read here; creating it belongs to the
// start-up.
QString hostFromSysConfig(const QString &iniPath);

} // namespace qv::client
