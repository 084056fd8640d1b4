#include "server/Server.h"

#include "server/ClientConnection.h"

#include <QTcpSocket>

namespace qv::server {

namespace {

// A client that has not called for this long while a list of its is half read
// stops pinning a snapshot: the rest of the list moves aside and the database
// can fold its journal back in.
constexpr int kSnapshotSeconds = 30;

} // namespace

Server::Server(ServerContext &context, QObject *parent) : QObject(parent), m_context(context)
{
    connect(&m_listener, &QTcpServer::newConnection, this, &Server::onNewConnection);
    connect(&m_sweep, &QTimer::timeout, this, &Server::sweep);
    m_sweep.start(5000);
    context.resumeClients = [this] {
        QTimer::singleShot(0, this, [this] {
            const QList<ClientConnection *> connections = m_connections;
            for (ClientConnection *connection : connections)
                connection->resume();
        });
    };
}

Server::~Server()
{
    m_context.resumeClients = nullptr;
    closeAll(QStringLiteral("服务器关闭"));
    qDeleteAll(m_connections);
}

bool Server::listen(QString *error)
{
    // Clients that connect while a long call runs wait in the kernel's queue;
    // a short queue would drop their first attempt and cost them a second.
    m_listener.setListenBacklogSize(256);
    m_listener.setMaxPendingConnections(256);
    if (m_listener.listen(m_context.config.address, m_context.config.port))
        return true;
    *error = QStringLiteral("cannot listen on %1:%2: %3")
                 .arg(m_context.config.address.toString())
                 .arg(m_context.config.port)
                 .arg(m_listener.errorString());
    return false;
}

void Server::closeAll(const QString &reason)
{
    m_listener.close();
    // Closing may finish a connection at once, which takes it off the list.
    const QList<ClientConnection *> connections = m_connections;
    for (ClientConnection *connection : connections)
        connection->close(reason);
}

void Server::onNewConnection()
{
    while (QTcpSocket *socket = m_listener.nextPendingConnection()) {
        auto *connection = new ClientConnection(m_context, socket, this);
        connect(connection, &ClientConnection::finished, this, &Server::onFinished);
        m_connections.append(connection);
    }
}

void Server::onFinished(ClientConnection *connection)
{
    m_connections.removeOne(connection);
    connection->deleteLater();
}

void Server::sweep()
{
    if (m_context.modalDepth > 0)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    const int idleSeconds = m_context.config.idleMinutes * 60;
    const QList<ClientConnection *> connections = m_connections;
    for (ClientConnection *connection : connections) {
        if (connection->state() == ClientConnection::State::AwaitingHello
            && connection->connectedAt().secsTo(now) >= m_context.config.helloSeconds)
            connection->close(QStringLiteral("%1 秒内没有 hello").arg(m_context.config.helloSeconds));
        else if (idleSeconds > 0 && connection->state() == ClientConnection::State::Ready
                 && connection->lastActivity().secsTo(now) >= idleSeconds)
            connection->close(QStringLiteral("空闲超过 %1 分钟").arg(m_context.config.idleMinutes));
        else if (connection->state() == ClientConnection::State::Ready
                 && connection->lastActivity().secsTo(now) >= kSnapshotSeconds)
            connection->releaseSnapshots();
    }
}

} // namespace qv::server
