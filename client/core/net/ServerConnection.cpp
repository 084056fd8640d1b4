#include "client/core/net/ServerConnection.h"

namespace qv::client {

ServerConnection::ServerConnection(protocol::RemoteObject object)
    : m_object(object)
    , m_channel(std::make_unique<protocol::Channel>())
{
}

ServerConnection::~ServerConnection() = default;

ServerConnection::BusyScope::BusyScope(ServerConnection &connection)
    : m_connection(connection)
{
    if (m_connection.m_busyDepth++ == 0 && m_connection.m_busy)
        m_connection.m_busy(true);
}

ServerConnection::BusyScope::~BusyScope()
{
    if (--m_connection.m_busyDepth == 0 && m_connection.m_busy)
        m_connection.m_busy(false);
}

bool ServerConnection::connectToServer()
{
    m_channel->close();
    BusyScope busy(*this);
    if (!m_channel->connectTo(m_address.host, m_address.port, {objectName()}, m_connectTimeout,
                              m_clientName)) {
        m_lastError = m_channel->lastError();
        if (m_lastError.isEmpty())
            m_lastError = {QStringLiteral("连接服务器 %1 失败").arg(m_address.toString()),
                           QStringLiteral("connection")};
        return false;
    }
    m_everConnected = true;
    m_lastError = {};
    return true;
}

void ServerConnection::disconnectFromServer()
{
    m_channel->close();
}

bool ServerConnection::isConnected() const
{
    return m_channel->isConnected();
}

bool ServerConnection::checkConnected(protocol::ErrorInfo *error) const
{
    // Once connected, the channel itself answers with the reason of the loss.
    if (m_everConnected)
        return true;
    *error = {QStringLiteral("没有连接到服务器 %1").arg(m_address.toString()),
              QStringLiteral("connection")};
    return false;
}

} // namespace qv::client
