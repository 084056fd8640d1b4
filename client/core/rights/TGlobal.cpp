#include "client/core/rights/TGlobal.h"

namespace qv::client {

void TGlobal::shareUserWithRights()
{
    m_rights.userIdText = QString::number(userId);
    m_rights.userCode = userCode;
    m_rights.userName = userName;
    m_rights.password = password;
    m_rights.groupList = groupList;
}

void TGlobal::registerWindow(const QString &name, QObject *window)
{
    m_windows.insert(name, window);
}

QObject *TGlobal::window(const QString &name) const
{
    return m_windows.value(name).data();
}

void TGlobal::unregisterWindow(const QString &name)
{
    m_windows.remove(name);
}

int TGlobal::windowCount() const
{
    int open = 0;
    for (const auto &w : m_windows)
        open += w ? 1 : 0;
    return open;
}

} // namespace qv::client
