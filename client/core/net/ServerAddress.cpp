#include "client/core/net/ServerAddress.h"

#include "common/IniFile.h"

namespace qv::client {

namespace {

std::optional<ServerAddress> refuse(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return std::nullopt;
}

} // namespace

std::optional<ServerAddress> ServerAddress::parse(QStringView text, QString *error)
{
    const QString trimmed = text.trimmed().toString();
    QString host = trimmed;
    QString port;
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        if (close < 0)
            return refuse(error, QStringLiteral("服务器地址“%1”缺少“]”").arg(trimmed));
        host = trimmed.mid(1, close - 1);
        const QString rest = trimmed.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                return refuse(error, QStringLiteral("服务器地址“%1”的格式不对").arg(trimmed));
            port = rest.mid(1);
        }
    } else if (trimmed.count(u':') == 1) {
        const qsizetype colon = trimmed.indexOf(u':');
        host = trimmed.left(colon).trimmed();
        port = trimmed.mid(colon + 1).trimmed();
    }
    if (host.isEmpty())
        return refuse(error, QStringLiteral("没有给出服务器名称或IP地址"));

    ServerAddress address;
    address.host = host;
    if (!port.isNull()) {
        bool ok = false;
        const uint number = port.toUInt(&ok);
        if (!ok || number < 1 || number > 65535)
            return refuse(error, QStringLiteral("服务器地址“%1”中的端口“%2”不是1到65535之间的数")
                                     .arg(trimmed, port));
        address.port = quint16(number);
    }
    return address;
}

QString ServerAddress::toString() const
{
    const QString shown = host.contains(u':') ? u'[' + host + u']' : host;
    return shown + u':' + QString::number(port);
}

QString hostFromSysConfig(const QString &iniPath)
{
    const common::IniFile ini(iniPath);
    const auto entry = ini.findKeyInAnySection(u"HostName");
    return entry ? entry->value.trimmed() : QString();
}

} // namespace qv::client
