// The server process: one copy per program folder, a clean end on SIGTERM, and
// a batch that is all or nothing when its client vanishes or the server is
// killed in the middle of it.
#include "ServerHarness.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpSocket>
#include <QThread>

using namespace qv;
using namespace qv::servertest;

namespace {

constexpr qint64 kFirstId = 5000000;

// A batch inserting `rows` warehouses from kFirstId on.
protocol::BatchArgs bigBatch(int rows)
{
    protocol::ChangePacket packet;
    packet.fields = QStringList{QStringLiteral("ID"), QStringLiteral("MC"), QStringLiteral("WZ")};
    packet.maxErrors = 0;
    for (int i = 0; i < rows; ++i)
        packet.inserted << protocol::Row{kFirstId + i, QStringLiteral("仓%1").arg(i), QStringLiteral("批量")};
    protocol::BatchArgs batch;
    batch.items << protocol::ApplyUpdatesArgs{QStringLiteral("pCk"), packet};
    return batch;
}

// Sends hello, ConnectAct and then the batch over a raw socket, without
// waiting for the batch's result.
class RawBatchClient {
public:
    bool start(quint16 port, const protocol::BatchArgs &batch)
    {
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!m_socket.waitForConnected(5000))
            return false;
        protocol::ConnectActArgs connect;
        connect.dataBaseName = QStringLiteral("001");
        send(protocol::Hello{1, {QStringLiteral("ZurI.datas")}, QStringLiteral("batch")});
        send(protocol::Call{1, RemoteObject::Business, connect});
        // The hello reply and the ConnectAct result.
        if (!readMessages(2))
            return false;
        send(protocol::Call{2, RemoteObject::Business, batch});
        return true;
    }
    void close() { m_socket.abort(); }
    // Whether any answer to the batch has arrived.
    bool answered()
    {
        m_socket.waitForReadyRead(0);
        return m_socket.bytesAvailable() > 0;
    }

private:
    void send(const protocol::Message &message)
    {
        m_socket.write(protocol::encodeMessageFrame(message));
        m_socket.waitForBytesWritten(10000);
        while (m_socket.bytesToWrite() > 0 && m_socket.waitForBytesWritten(10000)) {
        }
    }
    bool readMessages(int count)
    {
        protocol::FrameReader reader;
        int seen = 0;
        QDeadlineTimer deadline(10000);
        while (seen < count && !deadline.hasExpired()) {
            QCborValue value;
            if (reader.next(&value) == protocol::FrameReader::Status::Frame) {
                ++seen;
                continue;
            }
            if (!m_socket.waitForReadyRead(int(deadline.remainingTime())))
                return false;
            reader.feed(m_socket.readAll());
        }
        return seen == count;
    }

    QTcpSocket m_socket;
};

bool waitForLogged(const ProgramFolder &folder, const QString &text, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (readText(folder.logFile()).contains(text))
            return true;
        QThread::msleep(5);
    }
    return false;
}

qint64 batchRows(quint16 port)
{
    Client client;
    if (!client.connect(port) || client.connectAct(QStringLiteral("001")) != 0)
        return -1;
    return client.scalar(QStringLiteral("select count(*) from CK where ID >= %1").arg(kFirstId)).toLongLong();
}

} // namespace

TEST(Lifecycle, ANewerServerEndsTheOlderCopyOfTheSameFolder)
{
    ProgramFolder folder;
    ASSERT_TRUE(folder.isValid());
    ServerProcess older;
    ASSERT_TRUE(older.start(folder.path()));
    Client client;
    ASSERT_TRUE(client.connect(older.port()));
    ASSERT_EQ(client.connectAct(QStringLiteral("001")), 0);

    ServerProcess newer;
    ASSERT_TRUE(newer.start(folder.path()));
    ASSERT_TRUE(older.waitForExit(10000));
    EXPECT_EQ(older.stop(), 0) << "the older copy ended cleanly on its signal";
    EXPECT_TRUE(newer.messages().contains(QStringLiteral("ending the older server")));
    // The client of the older copy has lost its connection; the newer serves.
    EXPECT_FALSE(client.call(protocol::GetServerDateArgs{}).ok());
    Client again;
    ASSERT_TRUE(again.connect(newer.port()));
    EXPECT_TRUE(again.call(protocol::GetServerDateArgs{}).ok());

    // A server in another folder is left alone.
    ProgramFolder elsewhere(false);
    ServerProcess third;
    ASSERT_TRUE(third.start(elsewhere.path()));
    EXPECT_TRUE(newer.isRunning());

    EXPECT_EQ(newer.stop(), 0);
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("QvServer.lock")))) << "the lock goes with the server";
}

TEST(Lifecycle, AClientThatVanishesDuringABatchLeavesNothingOfIt)
{
    ProgramFolder folder;
    ASSERT_TRUE(folder.isValid());
    ServerProcess server;
    ASSERT_TRUE(server.start(folder.path()));
    RawBatchClient raw;
    ASSERT_TRUE(raw.start(server.port(), bigBatch(3000)));
    raw.close();
    // Let the server finish the batch it had already read.
    ASSERT_TRUE(waitForLogged(folder, QStringLiteral("仓2999"), 60000));
    QThread::msleep(200);
    EXPECT_EQ(batchRows(server.port()), 0);
    EXPECT_TRUE(server.messages().contains(QStringLiteral("已回滚")));
}

TEST(Lifecycle, KillingTheServerDuringALargeBatchKeepsAllOrNothing)
{
    ProgramFolder folder;
    ASSERT_TRUE(folder.isValid());
    const int rows = 20000;
    {
        ServerProcess server;
        ASSERT_TRUE(server.start(folder.path()));
        RawBatchClient raw;
        ASSERT_TRUE(raw.start(server.port(), bigBatch(rows)));
        // Well inside the batch, the server is killed.
        ASSERT_TRUE(waitForLogged(folder, QStringLiteral("仓500'"), 60000));
        EXPECT_FALSE(raw.answered()) << "the batch was still running";
        server.killHard();
    }
    ServerProcess restarted;
    ASSERT_TRUE(restarted.start(folder.path())) << "the lock of the killed server is taken over";
    const qint64 stored = batchRows(restarted.port());
    EXPECT_TRUE(stored == 0 || stored == rows) << stored << " rows of the batch are in the database";
    EXPECT_EQ(stored, 0) << "killed before its commit";
}
