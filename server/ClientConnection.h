// One client's TCP connection: frames in, calls dispatched, results out. Parse
// state lives here, so a frame that arrives in pieces simply resumes; the
// socket's read buffer is bounded and every length is checked against its
// limit before the body is kept. A protocol error is answered with an error
// message and closes this connection only.
//
// States: waiting for the hello, ready (serving calls), closing.
#pragma once

#include "protocol/Messages.h"
#include "server/ServerContext.h"

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <memory>

class QTcpSocket;

namespace qv::server {

class Session;

class ClientConnection : public QObject {
    Q_OBJECT
public:
    enum class State { AwaitingHello, Ready, Closing };

    ClientConnection(ServerContext &context, QTcpSocket *socket, QObject *parent = nullptr);
    ~ClientConnection() override;

    State state() const { return m_state; }
    const QString &peer() const { return m_peer; }
    const QDateTime &connectedAt() const { return m_connectedAt; }
    QDateTime lastActivity() const;

    // Ends the connection (the server stops, the client was idle too long).
    void close(const QString &reason);
    // Serves what arrived while calls were held (a dialog on the server's screen).
    void resume();
    // Half-read lists of this client stop holding a snapshot of the database.
    void releaseSnapshots();

signals:
    void finished(qv::server::ClientConnection *connection);

private:
    void onReadyRead();
    void onDisconnected();
    void finish();
    void takeFrames();
    void handle(const protocol::Message &message);
    void handleHello(const protocol::Hello &hello);
    void handleCall(const protocol::Call &call);
    void protocolError(const QString &text);
    void send(const protocol::Message &message);
    bool peerHasClosed() const;

    ServerContext &m_context;
    QTcpSocket *m_socket;
    protocol::FrameReader m_reader;
    std::unique_ptr<Session> m_session;
    QSet<protocol::RemoteObject> m_objects;
    State m_state = State::AwaitingHello;
    QString m_peer;
    QDateTime m_connectedAt;
    QTimer m_closeTimer;
    bool m_finished = false;
    // A call is being served; a dialog's event loop may deliver socket events
    // meanwhile, which wait until it returns.
    bool m_inCall = false;
    bool m_disconnectedInCall = false;
};

} // namespace qv::server
