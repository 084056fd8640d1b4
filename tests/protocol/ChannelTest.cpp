// The blocking channel against a small scripted server on a thread of its own:
// hello, calls and their ids, time-outs that keep the connection, and a server
// that misbehaves (closes mid-frame, announces a huge frame, answers nonsense).
// None of them may hang the channel.
#include "protocol/Channel.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

using namespace qv::protocol;

namespace {

const QStringList kBothObjects{QStringLiteral("ZurI.datas"), QStringLiteral("ZurI.DatasBb")};

QString lostText()
{
    return QString::fromUtf8(kConnectionLostText);
}

// The server side of one connection, with blocking calls.
class PeerSocket {
public:
    explicit PeerSocket(QTcpSocket &socket)
        : m_socket(socket)
    {
    }

    std::optional<Message> read(int timeoutMs = 5000)
    {
        const QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            QCborValue value;
            const auto status = m_reader.next(&value);
            if (status == FrameReader::Status::Frame)
                return decodeMessage(value, nullptr);
            if (status == FrameReader::Status::Error)
                return std::nullopt;
            if (m_socket.bytesAvailable() > 0) {
                m_reader.feed(m_socket.readAll());
                continue;
            }
            if (m_socket.state() != QAbstractSocket::ConnectedState || deadline.hasExpired())
                return std::nullopt;
            m_socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
        }
    }

    Call readCall()
    {
        const auto message = read();
        EXPECT_TRUE(message && std::holds_alternative<Call>(*message));
        return message && std::holds_alternative<Call>(*message) ? std::get<Call>(*message) : Call{};
    }

    // Reads the hello and accepts the objects in `accept`.
    void handshake(const QStringList &accept = kBothObjects)
    {
        const auto message = read();
        ASSERT_TRUE(message && std::holds_alternative<Hello>(*message));
        EXPECT_EQ(std::get<Hello>(*message).version, kProtocolVersion);
        send(HelloReply{kProtocolVersion, accept, QStringLiteral("peer")});
    }

    void send(const Message &message) { sendRaw(encodeMessageFrame(message)); }

    void sendRaw(const QByteArray &bytes)
    {
        m_socket.write(bytes);
        m_socket.waitForBytesWritten(2000);
    }

    // Waits until the client closes its end.
    void waitForClose(int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (m_socket.state() == QAbstractSocket::ConnectedState && timer.elapsed() < timeoutMs) {
            m_socket.waitForReadyRead(50);
            m_socket.readAll();
        }
    }

private:
    QTcpSocket &m_socket;
    FrameReader m_reader;
};

// Listens on a loopback port and runs `script` on the first connection, on a
// thread of its own so the channel can block on the test's thread.
class ScriptedPeer {
public:
    explicit ScriptedPeer(std::function<void(PeerSocket &)> script)
        : m_script(std::move(script))
    {
        m_thread.reset(QThread::create([this] { run(); }));
        m_thread->start();
        m_ready.acquire();
    }

    ~ScriptedPeer() { finish(); }

    quint16 port() const { return m_port; }

    // Waits for the script to end.
    void finish() { m_thread->wait(10000); }

private:
    void run()
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        m_ready.release();
        if (!server.waitForNewConnection(5000))
            return;
        std::unique_ptr<QTcpSocket> socket(server.nextPendingConnection());
        PeerSocket peer(*socket);
        m_script(peer);
        socket->disconnectFromHost();
        if (socket->state() != QAbstractSocket::UnconnectedState)
            socket->waitForDisconnected(1000);
    }

    std::function<void(PeerSocket &)> m_script;
    std::unique_ptr<QThread> m_thread;
    QSemaphore m_ready;
    std::atomic<quint16> m_port = 0;
};

QByteArray header(quint32 length)
{
    QByteArray out(4, '\0');
    out[0] = char(length >> 24);
    out[1] = char(length >> 16);
    out[2] = char(length >> 8);
    out[3] = char(length);
    return out;
}

TEST(Channel, CallsCarryGrowingIdsAndAnswersComeBackTyped)
{
    ScriptedPeer peer([](PeerSocket &s) {
        s.handshake();
        const Call first = s.readCall();
        EXPECT_EQ(first.id, 1u);
        EXPECT_EQ(first.object, RemoteObject::Business);
        EXPECT_EQ(first.operation(), Operation::NextBillNo);
        s.send(Result::success(first.id, toCbor(IntegerReply{17})));
        const Call second = s.readCall();
        EXPECT_EQ(second.id, 2u);
        EXPECT_EQ(second.object, RemoteObject::Report);
        s.send(Result::failure(second.id, {QStringLiteral("语法错误"), QStringLiteral("translate"), 1, 8}));
        const Call third = s.readCall();
        EXPECT_EQ(third.id, 3u);
        s.send(Result::success(third.id, toCbor(TextReply{QStringLiteral("2024-01-15")})));
    });
    Channel channel;
    ASSERT_TRUE(channel.connectTo(QStringLiteral("127.0.0.1"), peer.port(), kBothObjects, 3000,
                                  QStringLiteral("test")))
        << channel.lastError().text.toStdString();
    EXPECT_EQ(channel.serverHello().server, QStringLiteral("peer"));

    const auto number = channel.request(RemoteObject::Business, NextBillNoArgs{QStringLiteral("LL202401")}, 3000);
    ASSERT_TRUE(number.ok()) << number.error.text.toStdString();
    EXPECT_EQ(number->value, 17);

    const Result failed = channel.call(RemoteObject::Report,
                                       OpenArgs{QStringLiteral("pBbPub"), QStringLiteral("selec"), 2000, {}, false}, 3000);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, ErrorInfo(QStringLiteral("语法错误"), QStringLiteral("translate"), 1, 8));
    EXPECT_TRUE(channel.isConnected()); // a failed call is not a broken connection

    const auto date = channel.request(RemoteObject::Business, GetServerDateArgs{}, 3000);
    ASSERT_TRUE(date.ok());
    EXPECT_EQ(date->value, QStringLiteral("2024-01-15"));
    EXPECT_EQ(channel.lastRequestId(), 3u);
}

TEST(Channel, RefusedOrIncompleteHelloFailsTheConnect)
{
    {
        ScriptedPeer peer([](PeerSocket &s) {
            ASSERT_TRUE(s.read());
            s.send(ProtocolError{QStringLiteral("protocol version 1 is not spoken here")});
        });
        Channel channel;
        EXPECT_FALSE(channel.connectTo(QStringLiteral("127.0.0.1"), peer.port(), kBothObjects, 3000));
        EXPECT_TRUE(channel.lastError().text.startsWith(lostText()));
        EXPECT_TRUE(channel.lastError().text.contains(QStringLiteral("protocol version 1 is not spoken here")));
        EXPECT_FALSE(channel.isConnected());
    }
    {
        ScriptedPeer peer([](PeerSocket &s) {
            s.handshake({QStringLiteral("ZurI.datas")});
            s.waitForClose();
        });
        Channel channel;
        EXPECT_FALSE(channel.connectTo(QStringLiteral("127.0.0.1"), peer.port(), kBothObjects, 3000));
        EXPECT_TRUE(channel.lastError().text.contains(QStringLiteral("ZurI.DatasBb")))
            << channel.lastError().text.toStdString();
    }
}

TEST(Channel, ServerThatNeverAnswersTheHelloTimesOut)
{
    ScriptedPeer peer([](PeerSocket &s) {
        s.read();
        s.waitForClose();
    });
    Channel channel;
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(channel.connectTo(QStringLiteral("127.0.0.1"), peer.port(), kBothObjects, 200));
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(channel.lastError().phase, QStringLiteral("timeout"));
    EXPECT_FALSE(channel.isConnected());
}

TEST(Channel, NoServerListeningFailsQuickly)
{
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    Channel channel;
    EXPECT_FALSE(channel.connectTo(QStringLiteral("127.0.0.1"), port, kBothObjects, 3000));
    EXPECT_TRUE(channel.lastError().text.startsWith(QStringLiteral("无法连接到服务器 127.0.0.1:")))
        << channel.lastError().text.toStdString();
    const Result result = channel.call(RemoteObject::Business, GetAccountsArgs{}, 1000);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.text.startsWith(lostText()));
}

TEST(Channel, TimedOutCallKeepsTheConnectionAndDropsTheLateAnswer)
{
    ScriptedPeer peer([](PeerSocket &s) {
        s.handshake();
        const Call slow = s.readCall();
        // The client gives up on the first call and sends the second; only then
        // do both answers arrive, the late one first.
        const Call next = s.readCall();
        s.send(Result::success(slow.id, toCbor(IntegerReply{1})));
        s.send(Result::success(next.id, toCbor(IntegerReply{2})));
    });
    Channel channel;
    ASSERT_TRUE(channel.connectTo(QStringLiteral("127.0.0.1"), peer.port(), kBothObjects, 3000));

    QElapsedTimer timer;
    timer.start();
    const Result slow = channel.call(RemoteObject::Business, BackupDataArgs{}, 150);
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_FALSE(slow.ok);
    EXPECT_EQ(slow.error.phase, QStringLiteral("timeout"));
    EXPECT_TRUE(slow.error.text.contains(QStringLiteral("0.15")));
    EXPECT_TRUE(channel.isConnected());

    const auto next = channel.request(RemoteObject::Business, GetAccountsArgs{}, 3000);
    ASSERT_TRUE(next.ok()) << next.error.text.toStdString();
    EXPECT_EQ(next->value, 2);
}

TEST(Channel, ServerClosingMidFrameGivesTheLostConnectionText)
{
    ScriptedPeer peer([](PeerSocket &s) {
        s.handshake();
        s.readCall();
        s.sendRaw(header(100) + QByteArray(10, '\x01'));
    });
    Channel channel;
    ASSERT_TRUE(channel.connectTo(QStringLiteral("127.0.0.1"), peer.port(), kBothObjects, 3000));
    QElapsedTimer timer;
    timer.start();
    const Result result = channel.call(RemoteObject::Business, GetTableNamesArgs{}, 8000);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error.phase, QStringLiteral("connection"));
    EXPECT_TRUE(result.error.text.startsWith(lostText() + QStringLiteral("：")));
    EXPECT_TRUE(result.error.text.contains(QStringLiteral("inside a frame: 10 of 100 bytes")))
        << result.error.text.toStdString();
    EXPECT_FALSE(channel.isConnected());

    // Every later call answers at once with the same reason.
    const Result later = channel.call(RemoteObject::Business, GetTableNamesArgs{}, 8000);
    EXPECT_FALSE(later.ok);
    EXPECT_EQ(later.error, result.error);
    EXPECT_EQ(later.id, result.id + 1);
}

TEST(Channel, RefusesAFrameOverItsLimitAndTellsTheServer)
{
    QString told;
    ScriptedPeer peer([&told](PeerSocket &s) {
        s.handshake();
        s.readCall();
        s.sendRaw(header(0x7fffffff)); // and never a byte more
        const auto message = s.read();
        if (message && std::holds_alternative<ProtocolError>(*message))
            told = std::get<ProtocolError>(*message).text;
        s.waitForClose();
    });
    FrameLimits limits;
    limits.maxFrameSize = 4096;
    Channel channel(limits);
    ASSERT_TRUE(channel.connectTo(QStringLiteral("127.0.0.1"), peer.port(), kBothObjects, 3000));
    QElapsedTimer timer;
    timer.start();
    const Result result = channel.call(RemoteObject::Business, GetAccountsArgs{}, 8000);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error.phase, QStringLiteral("protocol"));
    EXPECT_TRUE(result.error.text.contains(QStringLiteral("over the limit of 4096 bytes")))
        << result.error.text.toStdString();
    peer.finish();
    EXPECT_TRUE(told.contains(QStringLiteral("over the limit"))) << told.toStdString();
}

TEST(Channel, MalformedOrUnexpectedAnswersCloseTheConnection)
{
    const struct {
        const char *name;
        std::function<Message(quint64)> answer;
        const char *expected;
    } cases[] = {
        {"replyMissingItsValue",
         [](quint64 id) { return Message(Result::success(id, QCborMap{{QStringLiteral("wrong"), 1}})); },
         "malformed reply: value: missing field"},
        {"resultForAnotherRequest",
         [](quint64) { return Message(Result::success(99, toCbor(IntegerReply{1}))); },
         "a result for request 99"},
        {"helloInsteadOfResult",
         [](quint64) { return Message(HelloReply{}); },
         "a message other than a result"},
    };
    for (const auto &c : cases) {
        ScriptedPeer peer([&](PeerSocket &s) {
            s.handshake();
            const Call call = s.readCall();
            s.send(c.answer(call.id));
            s.waitForClose();
        });
        Channel channel;
        ASSERT_TRUE(channel.connectTo(QStringLiteral("127.0.0.1"), peer.port(), kBothObjects, 3000));
        const auto reply = channel.request(RemoteObject::Business, GetAccountsArgs{}, 3000);
        EXPECT_FALSE(reply.ok()) << c.name;
        EXPECT_EQ(reply.error.phase, QStringLiteral("protocol")) << c.name;
        EXPECT_TRUE(reply.error.text.contains(QLatin1String(c.expected)))
            << c.name << ": " << reply.error.text.toStdString();
        EXPECT_FALSE(channel.isConnected()) << c.name;
    }
}

TEST(Channel, RequestOverTheLimitIsNotSentAndTheConnectionStays)
{
    ScriptedPeer peer([](PeerSocket &s) {
        s.handshake();
        const Call call = s.readCall();
        EXPECT_EQ(call.id, 2u);
        s.send(Result::success(call.id, toCbor(ExecuteReply{1})));
    });
    FrameLimits limits;
    limits.maxFrameSize = 512;
    Channel channel(limits);
    ASSERT_TRUE(channel.connectTo(QStringLiteral("127.0.0.1"), peer.port(), kBothObjects, 3000));
    const ExecuteArgs huge{std::nullopt, QString(2000, QLatin1Char('x')), {}};
    const Result refused = channel.call(RemoteObject::Business, huge, 3000);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.error.text.startsWith(QStringLiteral("请求太大")));
    EXPECT_TRUE(channel.isConnected());
    const auto done = channel.request(RemoteObject::Business,
                                      ExecuteArgs{std::nullopt, QStringLiteral("delete from AppLog"), {}}, 3000);
    ASSERT_TRUE(done.ok()) << done.error.text.toStdString();
    EXPECT_EQ(done->rowsAffected, 1);
}

} // namespace
