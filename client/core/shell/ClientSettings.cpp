#include "client/core/shell/ClientSettings.h"

#include "client/core/net/ServerAddress.h"
#include "common/IniFile.h"
#include "common/Paths.h"

#include <QFileInfo>
#include <QHostInfo>

namespace qv::client {

namespace {

const QString kLogin = QStringLiteral("login");

bool readBool(const QString &text, bool defaultValue)
{
    const QString value = text.trimmed().toLower();
    if (value.isEmpty())
        return defaultValue;
    if (value == u"1" || value == u"true" || value == u"yes" || value == u"-1")
        return true;
    if (value == u"0" || value == u"false" || value == u"no")
        return false;
    return defaultValue;
}

} // namespace

QString computerName()
{
    const QString name = QHostInfo::localHostName();
    return name.isEmpty() ? QStringLiteral("localhost") : name;
}

ClientSettings::ClientSettings(QString programFolder) : m_folder(std::move(programFolder)) {}

QString ClientSettings::path() const
{
    return common::joinPath(m_folder, u"SysConfig.ini");
}

bool ClientSettings::exists() const
{
    return QFileInfo::exists(path());
}

QString ClientSettings::hostName() const
{
    return hostFromSysConfig(path());
}

bool ClientSettings::setHostName(const QString &host)
{
    common::IniFile ini(path());
    return ini.writeString(kLogin, u"hostname", host);
}

void ClientSettings::prepareForAddressWindow()
{
    if (!exists())
        setHostName(QStringLiteral("127.0.0.1"));
}

void ClientSettings::prepareForConnect()
{
    if (!exists()) {
        common::IniFile ini(path());
        ini.writeString(u"hostname", u"hostname", computerName());
    }
}

QString ClientSettings::accountSet() const
{
    return common::IniFile(path()).readString(kLogin, u"ztcode");
}

bool ClientSettings::setAccountSet(const QString &accountNo)
{
    common::IniFile ini(path());
    return ini.writeString(kLogin, u"ztcode", accountNo);
}

QString ClientSettings::user() const
{
    return common::IniFile(path()).readString(kLogin, u"user");
}

bool ClientSettings::setUser(const QString &userCode)
{
    common::IniFile ini(path());
    return ini.writeString(kLogin, u"user", userCode);
}

bool ClientSettings::showPendingAtStart() const
{
    return readBool(common::IniFile(path()).readString(kLogin, u"showaudit"), true);
}

bool ClientSettings::setShowPendingAtStart(bool show)
{
    common::IniFile ini(path());
    return ini.writeString(kLogin, u"showaudit", show ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace qv::client
