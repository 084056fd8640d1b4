// SysConfig.ini beside the client program: the server's host, the last account
// set and user, and whether the pending-documents alert shows at start.
//
//   [login]
//   hostname=127.0.0.1
//   ztcode=001
//   user=SYS
//   showaudit=1
//
// The host is looked up on any line of the file whose key is HostName, in
// whatever section: people edit this file by hand.
#pragma once

#include <QString>

namespace qv::client {

class ClientSettings {
public:
    explicit ClientSettings(QString programFolder);

    const QString &programFolder() const { return m_folder; }
    QString path() const;
    bool exists() const;

    // The host text of the first HostName line of any section; empty when none.
    QString hostName() const;
    // login/hostname.
    bool setHostName(const QString &host);

    // The address window opens: a first start writes login/hostname=127.0.0.1.
    void prepareForAddressWindow();
    // The connect operation: a missing file is created with the computer's own
    // name as hostname/hostname.
    void prepareForConnect();

    QString accountSet() const; // login/ztcode
    bool setAccountSet(const QString &accountNo);
    QString user() const; // login/user
    bool setUser(const QString &userCode);
    bool showPendingAtStart() const; // login/showaudit, true when absent
    bool setShowPendingAtStart(bool show);

private:
    QString m_folder;
};

// The local computer's name (the workstation name of the log).
QString computerName();

} // namespace qv::client
