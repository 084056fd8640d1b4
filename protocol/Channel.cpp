#include "protocol/Channel.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

namespace qv::protocol {

namespace {

constexpr qint64 kReadChunk = 64 * 1024;

QDeadlineTimer deadlineFor(int timeoutMs)
{
    return timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeoutMs);
}

// What the socket wait functions take: -1 waits without limit.
int waitTime(const QDeadlineTimer &deadline)
{
    if (deadline.isForever())
        return -1;
    return int(std::max<qint64>(0, deadline.remainingTime()));
}

QString seconds(int timeoutMs)
{
    return QString::number(timeoutMs / 1000.0, 'g', 6);
}

} // namespace

Channel::Channel(FrameLimits limits)
    : m_limits(limits)
    , m_reader(limits)
{
}

Channel::~Channel()
{
    close();
}

bool Channel::isConnected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void Channel::close()
{
    if (!m_socket)
        return;
    m_socket->disconnectFromHost();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->waitForDisconnected(1000);
    m_socket.reset();
    if (m_closeReason.isEmpty())
        m_closeReason = QStringLiteral("the connection was closed");
}

bool Channel::connectTo(const QString &host, quint16 port, const QStringList &objects,
                        int timeoutMs, const QString &clientName)
{
    close();
    m_reader = FrameReader(m_limits);
    m_abandoned.clear();
    m_serverHello = {};
    m_lastError = {};
    m_closeReason.clear();

    const QDeadlineTimer deadline = deadlineFor(timeoutMs);
    m_socket = std::make_unique<QTcpSocket>();
    m_socket->connectToHost(host, port);
    if (!m_socket->waitForConnected(waitTime(deadline))) {
        m_lastError = {QStringLiteral("无法连接到服务器 %1:%2：%3")
                           .arg(host)
                           .arg(port)
                           .arg(m_socket->errorString()),
                       QStringLiteral("connection")};
        m_closeReason = m_socket->errorString();
        m_socket.reset();
        return false;
    }
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);

    const Hello hello{kProtocolVersion, objects, clientName};
    if (!send(encodeMessageFrame(hello, m_limits), deadline))
        return false;
    Message message;
    switch (readMessage(deadline, &message)) {
    case Wait::Lost:
        return false;
    case Wait::TimedOut:
        lose(QStringLiteral("no answer to the hello within %1 s").arg(seconds(timeoutMs)));
        m_lastError = timeoutError(timeoutMs);
        return false;
    case Wait::Message:
        break;
    }
    if (const auto *refused = std::get_if<ProtocolError>(&message)) {
        lose(QStringLiteral("the server refused the connection: ") + refused->text);
        return false;
    }
    const auto *reply = std::get_if<HelloReply>(&message);
    if (!reply) {
        protocolFailure(QStringLiteral("the server did not answer the hello"));
        return false;
    }
    if (reply->version != kProtocolVersion) {
        protocolFailure(QStringLiteral("the server speaks protocol version %1, not %2")
                            .arg(reply->version)
                            .arg(kProtocolVersion));
        return false;
    }
    for (const QString &object : objects) {
        if (!reply->objects.contains(object)) {
            lose(QStringLiteral("the server did not accept the object %1").arg(object));
            return false;
        }
    }
    m_serverHello = *reply;
    return true;
}

Result Channel::call(RemoteObject object, const Arguments &arguments, int timeoutMs)
{
    const quint64 id = ++m_lastId;
    if (!isConnected())
        return Result::failure(id, m_socket ? lose(m_socket->errorString())
                                            : lostError());

    QString tooLarge;
    const QByteArray frame = encodeMessageFrame(Call{id, object, arguments}, m_limits, &tooLarge);
    if (frame.isEmpty())
        return Result::failure(id, {QStringLiteral("请求太大，无法发送：") + tooLarge,
                                    QStringLiteral("protocol")});

    const QDeadlineTimer deadline = deadlineFor(timeoutMs);
    if (!send(frame, deadline))
        return Result::failure(id, m_lastError);
    for (;;) {
        Message message;
        switch (readMessage(deadline, &message)) {
        case Wait::TimedOut:
            m_abandoned.insert(id);
            return Result::failure(id, timeoutError(timeoutMs));
        case Wait::Lost:
            return Result::failure(id, m_lastError);
        case Wait::Message:
            break;
        }
        if (const auto *result = std::get_if<Result>(&message)) {
            if (result->id == id)
                return *result;
            if (m_abandoned.remove(result->id))
                continue; // the late answer to a call that timed out
            return Result::failure(
                id, protocolFailure(QStringLiteral("a result for request %1, which is not waiting")
                                        .arg(result->id)));
        }
        if (const auto *error = std::get_if<ProtocolError>(&message))
            return Result::failure(
                id, lose(QStringLiteral("the server reported a protocol error: ") + error->text));
        return Result::failure(id, protocolFailure(QStringLiteral("a message other than a result")));
    }
}

bool Channel::send(const QByteArray &frame, const QDeadlineTimer &deadline)
{
    if (m_socket->write(frame) != frame.size()) {
        lose(m_socket->errorString());
        return false;
    }
    while (m_socket->bytesToWrite() > 0) {
        if (m_socket->waitForBytesWritten(waitTime(deadline)))
            continue;
        // A frame cut in the middle cannot be resumed: the stream is lost either way.
        lose(deadline.hasExpired() ? QStringLiteral("the request could not be sent in time")
                                   : m_socket->errorString());
        return false;
    }
    return true;
}

Channel::Wait Channel::readMessage(const QDeadlineTimer &deadline, Message *message)
{
    for (;;) {
        QCborValue value;
        const FrameReader::Status status = m_reader.next(&value);
        if (status == FrameReader::Status::Error) {
            protocolFailure(m_reader.error());
            return Wait::Lost;
        }
        if (status == FrameReader::Status::Frame) {
            QString problem;
            auto decoded = decodeMessage(value, &problem);
            if (!decoded) {
                protocolFailure(QStringLiteral("malformed message: ") + problem);
                return Wait::Lost;
            }
            *message = std::move(*decoded);
            return Wait::Message;
        }
        if (m_socket->bytesAvailable() > 0) {
            while (m_socket->bytesAvailable() > 0 && !m_reader.hasError())
                m_reader.feed(m_socket->read(std::min(m_socket->bytesAvailable(), kReadChunk)));
            continue;
        }
        if (m_socket->state() != QAbstractSocket::ConnectedState) {
            QString reason = m_socket->errorString();
            if (!m_reader.finish())
                reason += QStringLiteral(" (") + m_reader.error() + QLatin1Char(')');
            lose(reason);
            return Wait::Lost;
        }
        if (deadline.hasExpired())
            return Wait::TimedOut;
        if (!m_socket->waitForReadyRead(waitTime(deadline))
            && m_socket->state() == QAbstractSocket::ConnectedState && deadline.hasExpired())
            return Wait::TimedOut;
    }
}

ErrorInfo Channel::lose(const QString &reason)
{
    m_closeReason = reason;
    if (m_socket) {
        m_socket->abort();
        m_socket.reset();
    }
    m_lastError = lostError();
    return m_lastError;
}

ErrorInfo Channel::protocolFailure(const QString &reason)
{
    // Tell the server why before closing, when the stream still allows it.
    if (isConnected()) {
        const QByteArray frame = encodeMessageFrame(ProtocolError{reason}, m_limits);
        if (!frame.isEmpty()) {
            m_socket->write(frame);
            m_socket->waitForBytesWritten(200);
        }
    }
    lose(reason);
    m_lastError.phase = QStringLiteral("protocol");
    return m_lastError;
}

ErrorInfo Channel::lostError() const
{
    const QString reason =
        m_closeReason.isEmpty() ? QStringLiteral("not connected") : m_closeReason;
    return {QString::fromUtf8(kConnectionLostText) + QStringLiteral("：") + reason,
            QStringLiteral("connection")};
}

ErrorInfo Channel::timeoutError(int timeoutMs) const
{
    return {QStringLiteral("服务器没有在 %1 秒内应答").arg(seconds(timeoutMs)),
            QStringLiteral("timeout")};
}

} // namespace qv::protocol
