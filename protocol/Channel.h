// A blocking client connection to the server: connect and say hello, then one
// call at a time. Used by the client (which blocks on every server call) and by
// tests.
//
// Nothing here hangs: every wait has the caller's time limit. A lost connection
// answers the call, and every later call, with an error result whose text starts
// with kConnectionLostText and gives the technical reason after it. A time-out
// answers with an error result and keeps the connection; the late reply is
// recognised by its request id and dropped when it arrives. Frames from the
// server are held to the same limits the server holds the client to; a broken
// stream or an unreadable message closes the connection.
#pragma once

#include "protocol/Frame.h"
#include "protocol/Messages.h"

#include <QSet>
#include <QString>

#include <memory>
#include <optional>

class QTcpSocket;
class QDeadlineTimer;

namespace qv::protocol {

inline constexpr const char *kConnectionLostText = "与服务器的连接已断开";

// A typed outcome: the decoded reply, or the error.
template <typename Reply>
struct Outcome {
    std::optional<Reply> value;
    ErrorInfo error;

    bool ok() const { return value.has_value(); }
    const Reply &operator*() const { return *value; }
    const Reply *operator->() const { return &*value; }
};

class Channel {
public:
    explicit Channel(FrameLimits limits = {});
    ~Channel();
    Channel(const Channel &) = delete;
    Channel &operator=(const Channel &) = delete;

    // Connects, sends the hello for `objects` and waits for the reply, all within
    // timeoutMs. False with lastError() set when any step fails, when the server
    // refuses the hello or does not accept every object asked for.
    bool connectTo(const QString &host, quint16 port, const QStringList &objects, int timeoutMs,
                   const QString &clientName = {});
    bool isConnected() const;
    const HelloReply &serverHello() const { return m_serverHello; }
    // Why the last connect failed or the connection was closed.
    const ErrorInfo &lastError() const { return m_lastError; }

    // Sends a call and waits up to timeoutMs (negative: no limit) for its result.
    Result call(RemoteObject object, const Arguments &arguments, int timeoutMs);

    template <typename Args>
    Outcome<typename Args::Reply> request(RemoteObject object, const Args &args, int timeoutMs)
    {
        return typedOutcome<typename Args::Reply>(call(object, Arguments(args), timeoutMs));
    }

    void close();

    // The id the last call used; ids start at 1 and grow by one per call.
    quint64 lastRequestId() const { return m_lastId; }

private:
    template <typename Reply>
    Outcome<Reply> typedOutcome(const Result &result)
    {
        Outcome<Reply> outcome;
        if (!result.ok) {
            outcome.error = result.error;
            return outcome;
        }
        QString problem;
        outcome.value = decode<Reply>(QCborValue(result.value), &problem);
        if (!outcome.value)
            outcome.error = protocolFailure(QStringLiteral("malformed reply: ") + problem);
        return outcome;
    }

    enum class Wait { Message, TimedOut, Lost };

    bool send(const QByteArray &frame, const QDeadlineTimer &deadline);
    Wait readMessage(const QDeadlineTimer &deadline, Message *message);
    ErrorInfo lose(const QString &reason);
    ErrorInfo protocolFailure(const QString &reason);
    ErrorInfo lostError() const;
    ErrorInfo timeoutError(int timeoutMs) const;

    FrameLimits m_limits;
    std::unique_ptr<QTcpSocket> m_socket;
    FrameReader m_reader;
    HelloReply m_serverHello;
    ErrorInfo m_lastError;
    QString m_closeReason;
    quint64 m_lastId = 0;
    QSet<quint64> m_abandoned; // timed-out ids whose replies may still come
};

} // namespace qv::protocol
