#include "server/ClientConnection.h"

#include "server/Operations.h"
#include "server/Session.h"

#include <QTcpSocket>

#include <sys/socket.h>

namespace qv::server {

namespace {

// Bytes taken from the socket at a time; the socket holds no more than this.
constexpr qint64 kReadChunk = 256 * 1024;
// How long a closing connection may take to send its last message.
constexpr int kCloseGraceMs = 5000;

} // namespace

ClientConnection::ClientConnection(ServerContext &context, QTcpSocket *socket, QObject *parent)
    : QObject(parent), m_context(context), m_socket(socket), m_reader(context.config.limits),
      m_connectedAt(QDateTime::currentDateTime())
{
    m_socket->setParent(this);
    m_socket->setReadBufferSize(kReadChunk);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_peer = QStringLiteral("%1:%2").arg(m_socket->peerAddress().toString()).arg(m_socket->peerPort());
    m_closeTimer.setSingleShot(true);
    connect(&m_closeTimer, &QTimer::timeout, m_socket, &QTcpSocket::abort);
    connect(m_socket, &QTcpSocket::readyRead, this, &ClientConnection::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &ClientConnection::onDisconnected);
}

ClientConnection::~ClientConnection()
{
    // The session goes first: its cursors and connections (an open transaction
    // is rolled back) before the socket.
    m_session.reset();
}

void ClientConnection::releaseSnapshots()
{
    if (m_session)
        m_session->releaseSnapshots();
}

QDateTime ClientConnection::lastActivity() const
{
    return m_session ? m_session->lastActivity : m_connectedAt;
}

void ClientConnection::close(const QString &reason)
{
    if (m_state == State::Closing)
        return;
    m_context.events.add(QStringLiteral("%1 断开：%2").arg(m_peer, reason));
    m_state = State::Closing;
    m_socket->disconnectFromHost();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_closeTimer.start(kCloseGraceMs);
}

void ClientConnection::resume()
{
    if (!m_finished)
        onReadyRead();
}

void ClientConnection::onReadyRead()
{
    if (m_inCall || m_context.modalDepth > 0)
        return;
    while (m_socket->bytesAvailable() > 0) {
        const QByteArray chunk = m_socket->read(kReadChunk);
        if (m_state == State::Closing)
            continue; // nothing more is read from a broken stream
        if (!m_reader.feed(chunk)) {
            protocolError(m_reader.error());
            continue;
        }
        takeFrames();
    }
}

void ClientConnection::takeFrames()
{
    while (m_state != State::Closing) {
        QCborValue value;
        const auto status = m_reader.next(&value);
        if (status == protocol::FrameReader::Status::NeedMore)
            return;
        if (status == protocol::FrameReader::Status::Error) {
            protocolError(m_reader.error());
            return;
        }
        QString error;
        const auto message = protocol::decodeMessage(value, &error);
        if (!message) {
            protocolError(error);
            return;
        }
        handle(*message);
    }
}

void ClientConnection::onDisconnected()
{
    if (m_inCall) {
        m_disconnectedInCall = true;
        return;
    }
    finish();
}

void ClientConnection::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_state != State::Closing) {
        if (!m_reader.finish())
            m_context.events.add(QStringLiteral("%1 在一帧中间断开：%2").arg(m_peer, m_reader.error()));
        m_context.events.add(QStringLiteral("%1 已断开").arg(m_peer));
    }
    m_state = State::Closing;
    m_closeTimer.stop();
    m_session.reset();
    emit finished(this);
}

void ClientConnection::handle(const protocol::Message &message)
{
    if (const auto *hello = std::get_if<protocol::Hello>(&message))
        return handleHello(*hello);
    if (const auto *call = std::get_if<protocol::Call>(&message))
        return handleCall(*call);
    if (const auto *error = std::get_if<protocol::ProtocolError>(&message)) {
        close(QStringLiteral("客户端报告协议错误：%1").arg(error->text));
        return;
    }
    protocolError(QStringLiteral("a client does not send %1 messages")
                      .arg(std::holds_alternative<protocol::Result>(message) ? QStringLiteral("result")
                                                                              : QStringLiteral("hello-reply")));
}

void ClientConnection::handleHello(const protocol::Hello &hello)
{
    if (m_state != State::AwaitingHello)
        return protocolError(QStringLiteral("hello: the connection has already said hello"));
    if (hello.version != protocol::kProtocolVersion) {
        return protocolError(QStringLiteral("hello: protocol version %1 is not spoken here (server: %2)")
                                 .arg(hello.version)
                                 .arg(protocol::kProtocolVersion));
    }
    protocol::HelloReply reply;
    reply.server = QStringLiteral("QvServer");
    for (const QString &name : hello.objects) {
        const auto object = protocol::remoteObjectFromName(name);
        if (object && !m_objects.contains(*object)) {
            m_objects.insert(*object);
            reply.objects.append(protocol::remoteObjectName(*object));
        }
    }
    const QString who = hello.client.isEmpty() ? m_peer : QStringLiteral("%1 (%2)").arg(m_peer, hello.client);
    m_session = std::make_unique<Session>(m_context, who);
    m_session->peerGone = [this] { return peerHasClosed(); };
    m_state = State::Ready;
    m_context.events.add(QStringLiteral("%1 已连接：%2").arg(who, reply.objects.join(QStringLiteral(", "))));
    send(reply);
}

void ClientConnection::handleCall(const protocol::Call &call)
{
    if (m_state != State::Ready)
        return protocolError(QStringLiteral("call: no hello before the first call"));
    if (!m_objects.contains(call.object)) {
        return protocolError(QStringLiteral("call.object: %1 was not asked for in the hello")
                                 .arg(protocol::remoteObjectName(call.object)));
    }
    m_session->lastActivity = QDateTime::currentDateTime();
    CallResult result;
    m_inCall = true;
    try {
        result = dispatch(*m_session, call.object, call.arguments);
    } catch (const std::exception &e) {
        result = failure(QStringLiteral("服务器内部错误：%1").arg(QString::fromLocal8Bit(e.what())),
                         QStringLiteral("server"));
    }
    m_inCall = false;
    if (m_disconnectedInCall) {
        finish();
        return;
    }
    m_session->lastActivity = QDateTime::currentDateTime();
    if (result.failed())
        send(protocol::Result::failure(call.id, result.error));
    else
        send(protocol::Result::success(call.id, result.reply));
}

void ClientConnection::protocolError(const QString &text)
{
    if (m_state == State::Closing)
        return;
    m_context.events.add(QStringLiteral("%1 协议错误：%2").arg(m_peer, text));
    send(protocol::ProtocolError{text});
    close(QStringLiteral("协议错误"));
}

void ClientConnection::send(const protocol::Message &message)
{
    QString error;
    // Replies are held to the limits every client holds the server to.
    QByteArray frame = protocol::encodeMessageFrame(message, protocol::FrameLimits(), &error);
    if (frame.isEmpty()) {
        const auto *result = std::get_if<protocol::Result>(&message);
        if (!result)
            return;
        frame = protocol::encodeMessageFrame(
            protocol::Result::failure(result->id, protocol::ErrorInfo(
                                                      QStringLiteral("结果太大，无法发送：%1；请分批读取").arg(error),
                                                      QStringLiteral("server"))));
    }
    m_socket->write(frame);
}

bool ClientConnection::peerHasClosed() const
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return true;
    // A peer that has closed its end reads as end of stream; data still queued
    // before it hides the end, which only delays noticing.
    char byte = 0;
    const auto n = ::recv(int(m_socket->socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return n == 0;
}

} // namespace qv::server
