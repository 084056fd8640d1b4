#include "server/LinkSettings.h"

#include "common/PasswordScramble.h"

namespace qv::server {

namespace {

const QString kSection = QStringLiteral("Connection");

// A conninfo value in single quotes, with quotes and backslashes escaped.
QString conninfoValue(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

bool isLocalDefault(const QString &server)
{
    return server.isEmpty() || server == QLatin1String(".") || server.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString LinkSettings::conninfo() const
{
    QStringList parts;
    if (!isLocalDefault(server)) {
        // "host:port" or "host,port" names a port as well.
        QString host = server;
        QString port;
        const qsizetype separator = std::max(host.lastIndexOf(QLatin1Char(':')), host.lastIndexOf(QLatin1Char(',')));
        if (separator > 0) {
            port = host.mid(separator + 1);
            host.truncate(separator);
        }
        parts << QStringLiteral("host=") + conninfoValue(host);
        if (!port.isEmpty())
            parts << QStringLiteral("port=") + conninfoValue(port);
    }
    if (!usesIntegratedSecurity()) {
        parts << QStringLiteral("user=") + conninfoValue(user);
        if (!password.isEmpty())
            parts << QStringLiteral("password=") + conninfoValue(password);
    }
    parts << QStringLiteral("dbname=") + conninfoValue(database);
    parts << QStringLiteral("client_encoding='UTF8'");
    parts << QStringLiteral("connect_timeout='10'");
    return parts.join(QLatin1Char(' '));
}

QString LinkSettings::description() const
{
    QStringList parts;
    if (!server.isEmpty())
        parts << QStringLiteral("Data Source=") + server;
    if (usesIntegratedSecurity())
        parts << QStringLiteral("Integrated Security=SSPI");
    else
        parts << QStringLiteral("User ID=") + user;
    parts << QStringLiteral("Initial Catalog=") + database;
    if (!autoTranslate)
        parts << QStringLiteral("Auto Translate=False");
    return parts.join(QLatin1Char(';'));
}

LinkSettings readLinkSettings(common::IniFile &file, bool *badPassword)
{
    if (badPassword)
        *badPassword = false;
    LinkSettings s;
    s.server = file.readString(kSection, u"ServerName");
    if (s.server.isEmpty())
        file.writeString(kSection, u"ServerName", u".");
    s.database = file.readString(kSection, u"DatabaseName", QStringLiteral("QvData"));
    s.trusted = file.readInt(kSection, u"TrustConnect", 0) == 1;
    if (!s.trusted) {
        s.user = file.readString(kSection, u"UserId");
        const QString scrambled = file.readString(kSection, u"Password");
        if (!scrambled.isEmpty()) {
            const auto plain = common::unscramblePasswordText(scrambled);
            if (plain)
                s.password = *plain;
            else if (badPassword)
                *badPassword = true;
        }
    }
    s.autoTranslate = file.readInt(kSection, u"Auto Translate", 1) != 0;
    return s;
}

bool saveLinkSettings(common::IniFile &file, const LinkSettings &settings)
{
    if (settings.database.isEmpty())
        return false;
    bool ok = file.writeString(kSection, u"ServerName", settings.server)
              && file.writeString(kSection, u"DatabaseName", settings.database)
              && file.writeInt(kSection, u"TrustConnect", settings.trusted ? 1 : 0)
              && file.writeInt(kSection, u"Auto Translate", 0);
    if (ok && !settings.trusted) {
        QString scrambled;
        if (!settings.password.isEmpty()) {
            const auto s = common::scramblePasswordText(settings.password);
            if (!s)
                return false;
            scrambled = *s;
        }
        ok = file.writeString(kSection, u"UserId", settings.user) && file.writeString(kSection, u"Password", scrambled);
    }
    return ok;
}

} // namespace qv::server
