// The connection never hangs and always says why it failed: no server at the
// address, a server that accepts but never answers, a server that goes away in
// the middle of a session. The busy hook frames every call.
#include "ServerProcess.h"

#include "client/core/net/ServerConnection.h"

#include "protocol/RemoteMethods.h"

#include <QElapsedTimer>
#include <QTcpServer>

#include <gtest/gtest.h>

using namespace qv::client;
using namespace qv::client::test;
using qv::protocol::RemoteObject;

namespace {

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

TEST(ServerConnection, NoServerAtTheAddressFailsAtOnceNamingIt)
{
    ensureApplication();
    ServerConnection cn(RemoteObject::Business);
    cn.setAddress({QStringLiteral("127.0.0.1"), closedPort()});
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(cn.connectToServer());
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(cn.lastError().phase, QStringLiteral("connection"));
    EXPECT_TRUE(cn.lastError().text.contains(cn.address().toString().section(u':', 0, 0)))
        << qPrintable(cn.lastError().text);
    EXPECT_FALSE(cn.isConnected());
}

TEST(ServerConnection, ACallBeforeConnectingFailsWithoutWaiting)
{
    ensureApplication();
    ServerConnection cn(RemoteObject::Business);
    int busy = 0;
    cn.setBusyHook([&busy](bool) { ++busy; });
    const auto outcome = cn.request(qv::protocol::GetServerDateArgs{});
    EXPECT_FALSE(outcome.ok());
    EXPECT_TRUE(outcome.error.text.startsWith(QStringLiteral("没有连接到服务器")));
    EXPECT_EQ(busy, 0) << "nothing was sent, so nothing was waited for";
}

TEST(ServerConnection, APeerThatNeverAnswersRunsIntoTheTimeLimit)
{
    ensureApplication();
    QTcpServer silent; // the kernel completes the handshake; nobody ever answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    ServerConnection cn(RemoteObject::Business);
    cn.setAddress({QStringLiteral("127.0.0.1"), silent.serverPort()});
    cn.setConnectTimeout(400);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(cn.connectToServer());
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_FALSE(cn.lastError().text.isEmpty());
}

class LiveServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!m_server.start()) {
            if (!m_server.skipReason().isEmpty())
                GTEST_SKIP() << qPrintable(m_server.skipReason());
            FAIL() << qPrintable(m_server.error());
        }
        m_cn.setAddress(m_server.address());
        ASSERT_TRUE(m_cn.connectToServer()) << qPrintable(m_cn.lastError().describe());
    }

    ServerProcess m_server;
    ServerConnection m_cn{RemoteObject::Business};
};

TEST_F(LiveServer, TheBusyHookIsOnExactlyWhileACallWaits)
{
    QList<bool> seen;
    m_cn.setBusyHook([&seen](bool busy) { seen.append(busy); });
    const auto date = m_cn.request(qv::protocol::GetServerDateArgs{});
    ASSERT_TRUE(date.ok()) << qPrintable(date.error.describe());
    EXPECT_EQ(date->value.size(), 10) << qPrintable(date->value);
    EXPECT_EQ(seen, (QList<bool>{true, false}));
}

TEST_F(LiveServer, AServerThatGoesAwayGivesAClearMessageAndNoHang)
{
    ASSERT_TRUE(m_cn.request(qv::protocol::GetServerDateArgs{}).ok());
    m_server.kill();

    QElapsedTimer clock;
    clock.start();
    const auto first = m_cn.request(qv::protocol::GetServerDateTimeArgs{});
    EXPECT_FALSE(first.ok());
    EXPECT_TRUE(first.error.text.startsWith(QString::fromUtf8(qv::protocol::kConnectionLostText)))
        << qPrintable(first.error.text);
    EXPECT_EQ(m_cn.lastError(), first.error);
    const auto again = m_cn.request(qv::protocol::GetServerDateArgs{});
    EXPECT_FALSE(again.ok());
    EXPECT_TRUE(again.error.text.startsWith(QString::fromUtf8(qv::protocol::kConnectionLostText)));
    EXPECT_LT(clock.elapsed(), 5000) << "a lost server is noticed at once, not after the call time limit";
    EXPECT_FALSE(m_cn.isConnected());
}

TEST_F(LiveServer, ReconnectingAfterTheServerIsBackWorks)
{
    m_server.stop();
    EXPECT_FALSE(m_cn.request(qv::protocol::GetServerDateArgs{}).ok());
    ASSERT_TRUE(m_server.start()) << qPrintable(m_server.error());
    m_cn.setAddress(m_server.address());
    ASSERT_TRUE(m_cn.connectToServer()) << qPrintable(m_cn.lastError().describe());
    EXPECT_TRUE(m_cn.request(qv::protocol::GetServerDateArgs{}).ok());
}

} // namespace
