// The session after login: the user, the rights object, and the registry of open
// child windows (one per kind, found by name). Lives from login to program end.
#pragma once

#include "client/core/rights/SystemFunctionRight.h"

#include <QHash>
#include <QObject>
#include <QPointer>

namespace qv::client {

class TGlobal {
public:
    // --- the user, filled at login --------------------------------------------------
    qint64 userId = 0;
    QString userCode;
    QString userName; // also the operator name written into documents
    QString password;
    QString groupList;
    QString workstation; // the local computer name, written into the log

    bool isSuperUser() const { return TSystemFunctionRight::isSuperUser(userCode); }
    // Copies the user into the rights object (the login does this once).
    void shareUserWithRights();

    TSystemFunctionRight &rights() { return m_rights; }
    const TSystemFunctionRight &rights() const { return m_rights; }

    // --- open child windows by name ---------------------------------------------------
    // A window closed and freed disappears by itself.
    void registerWindow(const QString &name, QObject *window);
    QObject *window(const QString &name) const;
    void unregisterWindow(const QString &name);
    int windowCount() const;

private:
    TSystemFunctionRight m_rights;
    QHash<QString, QPointer<QObject>> m_windows;
};

} // namespace qv::client
