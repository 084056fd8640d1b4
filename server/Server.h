// The listening side: accepts connections, gives each its ClientConnection,
// and sweeps connections that never said hello or have been idle too long.
// Calls of all clients are served one at a time on this one event loop.
#pragma once

#include "server/ServerContext.h"

#include <QObject>
#include <QTcpServer>
#include <QTimer>

namespace qv::server {

class ClientConnection;

class Server : public QObject {
    Q_OBJECT
public:
    explicit Server(ServerContext &context, QObject *parent = nullptr);
    ~Server() override;

    bool listen(QString *error);
    quint16 port() const { return m_listener.serverPort(); }
    int connectionCount() const { return int(m_connections.size()); }

    // Drops every client: their sessions close their connections, rolling back
    // anything unfinished.
    void closeAll(const QString &reason);

private:
    void onNewConnection();
    void onFinished(ClientConnection *connection);
    void sweep();

    ServerContext &m_context;
    QTcpServer m_listener;
    QList<ClientConnection *> m_connections;
    QTimer m_sweep;
};

} // namespace qv::server
