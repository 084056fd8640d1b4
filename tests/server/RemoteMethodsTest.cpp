// The business module's remote methods on a file-mode server: the registry,
// ConnectAct, the clock, the table list, the statement log and its guard,
// backup and compaction.
#include "ServerHarness.h"

#include "common/GbkText.h"
#include "db/ConnectionFactory.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

using namespace qv;
using namespace qv::servertest;

namespace {

class RemoteMethods : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new ProgramFolder();
        ASSERT_TRUE(s_folder->isValid());
        QFile ini(s_folder->file(QStringLiteral("BackInfo.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Back]\r\nDir=%1\\backup\r\n").arg(s_folder->path()).toUtf8());
        ini.close();
        s_server = new ServerProcess();
        ASSERT_TRUE(s_server->start(s_folder->path()));
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        delete s_folder;
    }
    void SetUp() override { ASSERT_TRUE(m_client.connect(s_server->port())); }

    QString log() const { return readText(s_folder->logFile()); }

    static ProgramFolder *s_folder;
    static ServerProcess *s_server;
    Client m_client;
};

ProgramFolder *RemoteMethods::s_folder = nullptr;
ServerProcess *RemoteMethods::s_server = nullptr;

qint64 accounts(Client &client)
{
    const auto reply = client.call(protocol::GetAccountsArgs{});
    EXPECT_TRUE(reply.ok());
    return reply.ok() ? reply->value : -99;
}

} // namespace

TEST(Registry, EmptyOrMissingRegistryReadsAsNoAccountSets)
{
    ProgramFolder folder(false);
    ASSERT_TRUE(folder.isValid());
    ServerProcess server;
    ASSERT_TRUE(server.start(folder.path()));
    {
        Client client;
        ASSERT_TRUE(client.connect(server.port()));
        EXPECT_EQ(accounts(client), -1);
        const auto rows = client.openAll(QStringLiteral("dspAccounts"));
        ASSERT_TRUE(rows.ok());
        EXPECT_TRUE(rows->rows.isEmpty());
    }
    ASSERT_TRUE(QFile::remove(folder.file(QStringLiteral("data/QvSys.mdb"))));
    Client client;
    ASSERT_TRUE(client.connect(server.port()));
    EXPECT_EQ(accounts(client), -1);
    const auto rows = client.openAll(QStringLiteral("dspAccounts"));
    EXPECT_FALSE(rows.ok());
    EXPECT_FALSE(rows.error.text.isEmpty());
}

TEST_F(RemoteMethods, RegistryListsTheDemoAccountSetAndIsNotLogged)
{
    EXPECT_EQ(accounts(m_client), 0);
    const auto rows = m_client.openAll(QStringLiteral("dspAccounts"));
    ASSERT_TRUE(rows.ok());
    ASSERT_EQ(rows->rows.size(), 1);
    EXPECT_EQ(rows->rows[0][fieldIndex(rows->fields, QStringLiteral("AccountNo"))].toString(), QStringLiteral("001"));
    EXPECT_FALSE(log().contains(QStringLiteral("Act_QVSys"))) << "the registry connection has no log";
}

TEST_F(RemoteMethods, ChangesToTheRegistryAreSavedAndNotLogged)
{
    // The client's upload of a new client program: a row with the file's bytes.
    const QByteArray program(70000, 'x');
    protocol::ChangePacket packet;
    packet.fields = QStringList{QStringLiteral("sName"), QStringLiteral("sVersion"), QStringLiteral("sFileName"),
                                QStringLiteral("pict")};
    packet.inserted << protocol::Row{QStringLiteral("Qv"), QStringLiteral("V2.0"), QStringLiteral("QvClient.exe"), program};
    const auto reply = m_client.call(protocol::ApplyUpdatesArgs{QStringLiteral("pVersionInfor"), packet});
    ASSERT_TRUE(reply.ok()) << qPrintable(reply.error.describe());
    EXPECT_TRUE(reply->committed);
    protocol::FetchBlobsArgs blobs{QStringLiteral("pVersionInfor"), {QStringLiteral("sName")}, {QStringLiteral("Qv")}};
    const auto fetched = m_client.call(blobs);
    ASSERT_TRUE(fetched.ok()) << qPrintable(fetched.error.describe());
    EXPECT_EQ(fetched->values.value(0).toByteArray(), program);
    EXPECT_FALSE(log().contains(QStringLiteral("VersionInfor")));
}

TEST_F(RemoteMethods, ConnectActBindsTheBusinessConnectionOnce)
{
    // A folder that does not exist still answers 0; the first use fails.
    EXPECT_EQ(m_client.connectAct(QStringLiteral("009")), 0);
    EXPECT_FALSE(m_client.openAll(QStringLiteral("pCk")).ok());
    // Not opened yet, so a second ConnectAct still moves the client.
    EXPECT_EQ(m_client.connectAct(QStringLiteral("001")), 0);
    ASSERT_TRUE(m_client.openAll(QStringLiteral("pCk")).ok());
    // Once open, the connection keeps its account set.
    EXPECT_EQ(m_client.connectAct(QStringLiteral("009")), 0);
    EXPECT_TRUE(m_client.openAll(QStringLiteral("pCk")).ok());

    Client other;
    ASSERT_TRUE(other.connect(s_server->port()));
    for (const char *bad : {"../001", "", "a/b", ".."})
        EXPECT_EQ(other.connectAct(QString::fromUtf8(bad)), -1) << bad;
}

TEST_F(RemoteMethods, ServerModeWithoutSettingsFailsHeadlessAndSaysWhy)
{
    QFile::remove(s_folder->file(QStringLiteral("QvServer.ini")));
    EXPECT_EQ(m_client.connectAct(QStringLiteral("001"), 1), -1);
    // The settings file now names the local server, as it always has.
    EXPECT_TRUE(readText(s_folder->file(QStringLiteral("QvServer.ini"))).contains(QStringLiteral("ServerName=.")));
    EXPECT_TRUE(s_server->messages().contains(QStringLiteral("ConnectAct 返回 -1")));
    QFile::remove(s_folder->file(QStringLiteral("QvServer.ini")));
    // The client is not bound to anything.
    EXPECT_FALSE(m_client.openAll(QStringLiteral("pCk")).ok());
}

TEST_F(RemoteMethods, ServerClock)
{
    const auto date = m_client.call(protocol::GetServerDateArgs{});
    const auto dateTime = m_client.call(protocol::GetServerDateTimeArgs{});
    ASSERT_TRUE(date.ok() && dateTime.ok());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d$")).match(date->value).hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")).match(dateTime->value).hasMatch());
    const QDateTime server = QDateTime::fromString(dateTime->value, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    EXPECT_LT(std::abs(server.secsTo(QDateTime::currentDateTime())), 5);
}

TEST_F(RemoteMethods, TableNamesLeaveOutReportAndEngineTables)
{
    ASSERT_EQ(m_client.connectAct(QStringLiteral("001")), 0);
    m_client.exec(QStringLiteral("drop table rpt_Static_Month"));
    m_client.exec(QStringLiteral("drop table XMSysObjects"));
    ASSERT_EQ(m_client.exec(QStringLiteral("create table rpt_Static_Month (A integer)")), 0);
    ASSERT_EQ(m_client.exec(QStringLiteral("create table XMSysObjects (A integer)")), 0);
    const auto reply = m_client.call(protocol::GetTableNamesArgs{});
    ASSERT_TRUE(reply.ok());
    const QStringList names = reply->value.split(QLatin1Char('|'));
    EXPECT_TRUE(names.contains(QStringLiteral("HP")));
    EXPECT_TRUE(names.contains(QStringLiteral("Inv_ItemList")));
    EXPECT_FALSE(reply->value.contains(QStringLiteral("rpt_")));
    EXPECT_FALSE(reply->value.contains(QStringLiteral("MSys")));
    EXPECT_FALSE(reply->value.endsWith(QLatin1Char('|')));
    EXPECT_FALSE(names.contains(QString()));
    m_client.exec(QStringLiteral("drop table XMSysObjects"));
}

TEST_F(RemoteMethods, EveryBusinessStatementPassesTheLogAndItsGuardFirst)
{
    ASSERT_EQ(m_client.connectAct(QStringLiteral("001")), 0);
    struct Case {
        const char *statement;
        bool refused;
    };
    const Case cases[] = {
        {"update CK set BZ = BZ where ID = -1", false},
        {"uPdAtE CK where ID = 1", true},
        {"UPDATE CK WHERE ID = 1", true},
        {"insert into AppLog (uName, CZ) values ('guard', 'update without set')", false},
        // SET inside a value passes the guard (and then fails as a statement).
        {"update CK where MC = 'SETTLE'", false},
    };
    for (const Case &c : cases) {
        const QString statement = QString::fromUtf8(c.statement);
        const auto reply = m_client.call(protocol::ExecuteArgs{std::nullopt, statement, {}});
        const QString text = log();
        if (c.refused) {
            ASSERT_FALSE(reply.ok()) << c.statement;
            EXPECT_EQ(reply.error.phase, QStringLiteral("guard"));
            EXPECT_TRUE(text.startsWith(QStringLiteral("Not Execute: ") + statement + QStringLiteral("\n\n"))) << qPrintable(text.left(200));
        } else {
            EXPECT_NE(reply.error.phase, QStringLiteral("guard")) << c.statement;
            EXPECT_TRUE(text.startsWith(statement + QStringLiteral("\n\n"))) << qPrintable(text.left(200));
        }
    }
    EXPECT_EQ(m_client.scalar(QStringLiteral("select count(*) from AppLog where uName = 'guard'")).toLongLong(), 1);

    // The log keeps its newest 10240 characters.
    const QString filler(3000, QLatin1Char('x'));
    for (int i = 0; i < 5; ++i)
        m_client.exec(QStringLiteral("select '%1' as A%2 from CK").arg(filler).arg(i));
    const QString text = log();
    EXPECT_EQ(text.size(), 10240);
    EXPECT_TRUE(text.startsWith(QStringLiteral("select '%1' as A4 from CK").arg(filler)));
    EXPECT_FALSE(text.contains(QStringLiteral("as A0 ")));
}

TEST_F(RemoteMethods, BackupWritesCodePage936AndTwoInOneSecondShareTheFile)
{
    ASSERT_EQ(m_client.connectAct(QStringLiteral("001")), 0);
    m_client.exec(QStringLiteral("delete from Rs_work where ID = 77"));
    ASSERT_EQ(m_client.exec(QStringLiteral("insert into Rs_work (ID, F_empID, F_Education) values (77, 1, 'O''Neil 学历')")), 1);
    const QDir backups(s_folder->file(QStringLiteral("backup")));
    // Two backups within one second write one file; try again if a second
    // boundary fell between them.
    QStringList files;
    for (int attempt = 0; attempt < 5; ++attempt) {
        QDir(backups).removeRecursively();
        for (int i = 0; i < 2; ++i) {
            const auto reply = m_client.call(protocol::BackupDataArgs{QStringLiteral("ignored")});
            ASSERT_TRUE(reply.ok()) << qPrintable(reply.error.describe());
            EXPECT_EQ(reply->value, 1);
        }
        files = backups.entryList(QDir::Files);
        if (files.size() == 1)
            break;
    }
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}_备份数据\\.txt$")).match(files[0]).hasMatch()) << qPrintable(files[0]);
    QFile file(backups.filePath(files[0]));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto text = common::fromGbk(file.readAll());
    ASSERT_TRUE(text.has_value()) << "the file is code page 936";
    EXPECT_TRUE(text->contains(QStringLiteral("delete from HP\r\n")));
    EXPECT_TRUE(text->contains(QStringLiteral("'O''Neil 学历'"))) << "quotes doubled, memo kept";
    EXPECT_TRUE(text->contains(QStringLiteral("中性笔")));
    EXPECT_TRUE(log().contains(QStringLiteral("select * from HP\n\n")));

    // A folder that cannot be made: the call answers 0.
    QFile ini(s_folder->file(QStringLiteral("BackInfo.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Back]\r\nDir=/nonexistent/deeper/backup\r\n");
    ini.close();
    const auto failed = m_client.call(protocol::BackupDataArgs{});
    ASSERT_TRUE(failed.ok());
    EXPECT_EQ(failed->value, 0);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[Back]\r\nDir=%1/backup\r\n").arg(s_folder->path()).toUtf8());
}

TEST_F(RemoteMethods, CompactionWaitsUntilNoOtherClientHasTheFileOpen)
{
    EXPECT_FALSE(m_client.call(protocol::CompactDatabaseArgs{}).ok()) << "no account set yet";
    ASSERT_EQ(m_client.connectAct(QStringLiteral("001")), 0);
    ASSERT_TRUE(m_client.openAll(QStringLiteral("pCk")).ok());
    {
        Client other;
        ASSERT_TRUE(other.connect(s_server->port()));
        ASSERT_EQ(other.connectAct(QStringLiteral("001")), 0);
        ASSERT_TRUE(other.openAll(QStringLiteral("pHp")).ok());
        const auto refused = m_client.call(protocol::CompactDatabaseArgs{QStringLiteral("a"), QStringLiteral("b")});
        ASSERT_FALSE(refused.ok());
        EXPECT_TRUE(refused.error.text.contains(QStringLiteral("其他客户端"))) << qPrintable(refused.error.text);
        EXPECT_TRUE(other.openAll(QStringLiteral("pHp")).ok()) << "the other client keeps working";
    }
    // The other client has gone; the server notices within a moment.
    protocol::Outcome<protocol::IntegerReply> done;
    for (int i = 0; i < 50; ++i) {
        done = m_client.call(protocol::CompactDatabaseArgs{});
        if (done.ok())
            break;
        QThread::msleep(50);
    }
    ASSERT_TRUE(done.ok()) << qPrintable(done.error.describe());
    EXPECT_EQ(done->value, 1);
    const QString folder = s_folder->file(QStringLiteral("data/001"));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/QvData.$$$")));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/db1.mdb")));
    // The connection reopens on the next use.
    EXPECT_EQ(m_client.openAll(QStringLiteral("pHp"))->rows.size(), 48);
}
