// The server database settings of QvServer.ini, section "Connection", and the
// PostgreSQL connection they describe. Every client in server database mode
// uses the one database named here.
#pragma once

#include "common/IniFile.h"

#include <QString>

namespace qv::server {

struct LinkSettings {
    QString server;            // host; "." (or empty) is the local default server
    QString database = QStringLiteral("QvData");
    bool trusted = false;      // the operating system login instead of a user name
    QString user;
    QString password;          // plain; scrambled in the file
    bool autoTranslate = true;

    // Integrated security when asked for or when no user is named.
    bool usesIntegratedSecurity() const { return trusted || user.isEmpty(); }
    // The libpq connection string.
    QString conninfo() const;
    // The same settings as a readable description for the log and messages,
    // without the password.
    QString description() const;
};

// Reads the section; writes "." as ServerName when it is empty, as the server
// always has. A password that is not valid scrambled text reads as empty and
// sets *badPassword.
LinkSettings readLinkSettings(common::IniFile &file, bool *badPassword = nullptr);

// Saves what the link dialog chose; nothing is saved without a database name.
// "Auto Translate" is written as 0 and the password scrambled.
bool saveLinkSettings(common::IniFile &file, const LinkSettings &settings);

} // namespace qv::server
