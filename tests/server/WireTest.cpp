// The wire as a hostile or careless client sees it: broken frames and messages
// are answered with an error message and close that connection only; failed
// calls keep the connection.
#include "ServerHarness.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QtEndian>

using namespace qv;
using namespace qv::servertest;

namespace {

class Wire : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new ProgramFolder();
        ASSERT_TRUE(s_folder->isValid());
        s_server = new ServerProcess();
        ASSERT_TRUE(s_server->start(s_folder->path()));
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        delete s_folder;
    }

    static ProgramFolder *s_folder;
    static ServerProcess *s_server;
};

ProgramFolder *Wire::s_folder = nullptr;
ServerProcess *Wire::s_server = nullptr;

// A raw connection that sends bytes and reads what the server answers.
class RawClient {
public:
    explicit RawClient(quint16 port)
    {
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        EXPECT_TRUE(m_socket.waitForConnected(5000));
    }
    void send(const QByteArray &bytes)
    {
        m_socket.write(bytes);
        m_socket.waitForBytesWritten(5000);
    }
    void sendMessage(const protocol::Message &message) { send(protocol::encodeMessageFrame(message)); }
    // The next message, or nullopt when the connection closed first.
    std::optional<protocol::Message> next(int timeoutMs = 10000)
    {
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            QCborValue value;
            const auto status = m_reader.next(&value);
            if (status == protocol::FrameReader::Status::Frame)
                return protocol::decodeMessage(value, nullptr);
            if (status == protocol::FrameReader::Status::Error || deadline.hasExpired())
                return std::nullopt;
            if (m_socket.bytesAvailable() == 0 && !m_socket.waitForReadyRead(int(deadline.remainingTime())))
                return std::nullopt;
            m_reader.feed(m_socket.readAll());
        }
    }
    bool closedByServer(int timeoutMs = 10000)
    {
        if (m_socket.state() == QAbstractSocket::UnconnectedState)
            return true;
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired() && m_socket.state() != QAbstractSocket::UnconnectedState) {
            m_socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
            m_socket.readAll();
        }
        return m_socket.state() == QAbstractSocket::UnconnectedState;
    }
    void hello()
    {
        sendMessage(protocol::Hello{1, {QStringLiteral("ZurI.datas")}, QStringLiteral("raw")});
        const auto reply = next();
        ASSERT_TRUE(reply && std::holds_alternative<protocol::HelloReply>(*reply));
    }
    QTcpSocket &socket() { return m_socket; }

private:
    QTcpSocket m_socket;
    protocol::FrameReader m_reader;
};

QByteArray header(quint32 length)
{
    QByteArray h(4, '\0');
    qToBigEndian(length, h.data());
    return h;
}

// The server answers with an error message naming the problem and closes.
void expectProtocolError(RawClient &client, const char *expectedText)
{
    const auto message = client.next();
    ASSERT_TRUE(message.has_value()) << "no answer before the close";
    const auto *error = std::get_if<protocol::ProtocolError>(&*message);
    ASSERT_TRUE(error) << "not an error message";
    EXPECT_TRUE(error->text.contains(QString::fromUtf8(expectedText), Qt::CaseInsensitive)) << qPrintable(error->text);
    EXPECT_TRUE(client.closedByServer());
}

} // namespace

TEST_F(Wire, HelloCreatesTheObjectsAskedForAndLeavesOutUnknownNames)
{
    RawClient raw(s_server->port());
    raw.sendMessage(protocol::Hello{1, {QStringLiteral("ZurI.DatasBb"), QStringLiteral("ZurI.Other")}, {}});
    const auto reply = raw.next();
    ASSERT_TRUE(reply);
    const auto *hello = std::get_if<protocol::HelloReply>(&*reply);
    ASSERT_TRUE(hello);
    EXPECT_EQ(hello->objects, QStringList{QStringLiteral("ZurI.DatasBb")});
    // The business module was not asked for, so calling it breaks the protocol.
    raw.sendMessage(protocol::Call{1, RemoteObject::Business, protocol::GetServerDateArgs{}});
    expectProtocolError(raw, "not asked for");
}

TEST_F(Wire, HostileInputClosesThatConnectionOnly)
{
    Client bystander;
    ASSERT_TRUE(bystander.connect(s_server->port()));
    ASSERT_EQ(bystander.connectAct(QStringLiteral("001")), 0);

    struct Case {
        const char *what;
        QByteArray bytes;
        const char *expected;
        bool afterHello;
    };
    const QByteArray notCbor = QByteArray::fromHex("ffffffff");
    QByteArray unknownKind;
    {
        QCborMap map;
        map.insert(QStringLiteral("kind"), QStringLiteral("gossip"));
        unknownKind = protocol::encodeFrame(map);
    }
    QByteArray unknownOp;
    {
        QCborMap map;
        map.insert(QStringLiteral("kind"), QStringLiteral("call"));
        map.insert(QStringLiteral("id"), 1);
        map.insert(QStringLiteral("object"), QStringLiteral("ZurI.datas"));
        map.insert(QStringLiteral("op"), QStringLiteral("FormatDisk"));
        map.insert(QStringLiteral("args"), QCborMap());
        unknownOp = protocol::encodeFrame(map);
    }
    const Case cases[] = {
        {"garbage body", header(4) + notCbor, "", false},
        {"a 2 GiB frame announced", header(0x80000000u), "", false},
        {"an empty frame", header(0), "", false},
        {"a message of an unknown kind", unknownKind, "", true},
        {"an unknown operation", unknownOp, "", true},
        {"a call before the hello", protocol::encodeMessageFrame(protocol::Call{1, RemoteObject::Business,
                                                                                protocol::GetAccountsArgs{}}),
         "hello", false},
        {"a second hello", protocol::encodeMessageFrame(protocol::Hello{1, {QStringLiteral("ZurI.datas")}, {}}),
         "hello", true},
        {"another protocol version", protocol::encodeMessageFrame(protocol::Hello{7, {QStringLiteral("ZurI.datas")}, {}}),
         "version", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RawClient raw(s_server->port());
        if (c.afterHello)
            raw.hello();
        raw.send(c.bytes);
        expectProtocolError(raw, c.expected);
    }
    // The well-behaved client never noticed.
    EXPECT_EQ(bystander.scalar(QStringLiteral("select count(*) from CK")).toLongLong(),
              bystander.scalar(QStringLiteral("select count(*) from CK")).toLongLong());
    EXPECT_TRUE(bystander.call(protocol::GetServerDateArgs{}).ok());
    EXPECT_TRUE(s_server->messages().contains(QStringLiteral("协议错误")));
}

TEST_F(Wire, AFrameInPiecesResumesAndATruncatedOneIsDropped)
{
    RawClient raw(s_server->port());
    const QByteArray hello =
        protocol::encodeMessageFrame(protocol::Hello{1, {QStringLiteral("ZurI.datas")}, QStringLiteral("slow")});
    for (char byte : hello) {
        raw.send(QByteArray(1, byte));
    }
    const auto reply = raw.next();
    ASSERT_TRUE(reply && std::holds_alternative<protocol::HelloReply>(*reply));
    // Half a call, then the client goes away: nothing is answered or run.
    const QByteArray call = protocol::encodeMessageFrame(
        protocol::Call{1, RemoteObject::Business, protocol::ExecuteArgs{std::nullopt, QStringLiteral("delete from CK"), {}}});
    raw.send(call.left(call.size() / 2));
    raw.socket().disconnectFromHost();
    Client check;
    ASSERT_TRUE(check.connect(s_server->port()));
    ASSERT_EQ(check.connectAct(QStringLiteral("001")), 0);
    EXPECT_GT(check.scalar(QStringLiteral("select count(*) from CK")).toLongLong(), 0);
}

TEST_F(Wire, FailedCallsKeepTheConnection)
{
    Client client;
    ASSERT_TRUE(client.connect(s_server->port()));
    ASSERT_EQ(client.connectAct(QStringLiteral("001")), 0);

    protocol::OpenArgs unknown;
    unknown.dataset = QStringLiteral("pNoSuchDataset");
    auto reply = client.call(unknown);
    ASSERT_FALSE(reply.ok());
    EXPECT_TRUE(reply.error.text.contains(QStringLiteral("pNoSuchDataset")));
    EXPECT_EQ(reply.error.phase, QStringLiteral("arguments"));

    // Invalid SQL fails with the place of the error.
    protocol::OpenArgs invalid;
    invalid.dataset = QStringLiteral("pTmp");
    invalid.statement = QStringLiteral("select ID,\n  from HP where");
    reply = client.call(invalid);
    ASSERT_FALSE(reply.ok());
    EXPECT_EQ(reply.error.phase, QStringLiteral("translate"));
    EXPECT_EQ(reply.error.line, 2);
    EXPECT_GT(reply.error.column, 0);

    // A statement the database refuses gives the database's text.
    EXPECT_EQ(client.exec(QStringLiteral("insert into CK (ID, MC) values (900001, 'x')")), 1);
    const auto dup = client.call(protocol::ExecuteArgs{std::nullopt, QStringLiteral("insert into CK (ID, MC) values (900001, 'y')"), {}});
    ASSERT_FALSE(dup.ok());
    EXPECT_EQ(dup.error.phase, QStringLiteral("database"));

    // A report-module dataset is not a business-module one.
    protocol::OpenArgs wrongModule;
    wrongModule.dataset = QStringLiteral("pKhXsHz");
    wrongModule.statement = QStringLiteral("select 1 as X from CK");
    EXPECT_FALSE(client.call(wrongModule).ok());
    EXPECT_TRUE(client.call(wrongModule, RemoteObject::Report).ok());

    // A cursor that does not exist.
    EXPECT_FALSE(client.call(protocol::FetchArgs{4242, 10}).ok());
    EXPECT_TRUE(client.channel().isConnected());
    EXPECT_TRUE(client.call(protocol::GetServerDateArgs{}).ok());
}
