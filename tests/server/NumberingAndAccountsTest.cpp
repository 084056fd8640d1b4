// Document numbers taken atomically on the server, and account sets created
// and deleted by it.
#include "ServerHarness.h"

#include "db/ConnectionFactory.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QThread>

using namespace qv;
using namespace qv::servertest;

namespace {

class Numbering : public SharedServerTest {
protected:
    static QString key(const char *stem) { return QString::fromLatin1(stem) + QStringLiteral("2024%1").arg(++s_month % 100, 2, 10, QLatin1Char('0')); }
    static qint64 next(Client &client, const QString &key)
    {
        const auto reply = client.call(protocol::NextBillNoArgs{key});
        return reply.ok() ? reply->value : -1;
    }

    static int s_month;
};

int Numbering::s_month = 0;

} // namespace

TEST_P(Numbering, NumbersRunFromOneAndTheCounterMeansTheNextOne)
{
    const QString k = key("CS");
    EXPECT_EQ(next(*m_client, k), 1);
    EXPECT_EQ(m_client->scalar(QStringLiteral("select MaxNo from MaxBillNo where TableName = '%1'").arg(k)).toLongLong(), 2);
    EXPECT_EQ(next(*m_client, k), 2);
    EXPECT_EQ(next(*m_client, key("LL")), 1) << "keys count on their own";
    // A counter left at 0 counts as 1.
    const QString zero = key("TL");
    ASSERT_EQ(m_client->exec(QStringLiteral("insert into MaxBillNo (TableName, MaxNo) values ('%1', 0)").arg(zero)), 1);
    EXPECT_EQ(next(*m_client, zero), 1);
    EXPECT_EQ(next(*m_client, zero), 2);
    EXPECT_FALSE(m_client->call(protocol::NextBillNoArgs{QString()}).ok());
}

TEST_P(Numbering, ARunningNumberAbove9999IsRefusedAndNothingMoves)
{
    const QString k = key("PD");
    ASSERT_EQ(m_client->exec(QStringLiteral("insert into MaxBillNo (TableName, MaxNo) values ('%1', 9999)").arg(k)), 1);
    EXPECT_EQ(next(*m_client, k), 9999);
    const auto refused = m_client->call(protocol::NextBillNoArgs{k});
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error.text.contains(QStringLiteral("9999"))) << qPrintable(refused.error.text);
    EXPECT_TRUE(refused.error.text.contains(k));
    EXPECT_EQ(m_client->scalar(QStringLiteral("select MaxNo from MaxBillNo where TableName = '%1'").arg(k)).toLongLong(), 10000);
}

TEST_P(Numbering, TwoClientsNeverShareANumber)
{
    const QString k = key("XS");
    auto other = connectedClient(*m_server);
    ASSERT_TRUE(other);
    QSet<qint64> numbers;
    for (int i = 0; i < 200; ++i) {
        numbers.insert(next(*m_client, k));
        numbers.insert(next(*other, k));
    }
    EXPECT_EQ(numbers.size(), 400);
    EXPECT_FALSE(numbers.contains(-1));
    EXPECT_EQ(*std::max_element(numbers.begin(), numbers.end()), 400);
}

INSTANTIATE_TEST_SUITE_P(Engines, Numbering, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineLabel);

TEST(AccountSets, CreatedFromTheTemplateAndDeletedWhenNobodyUsesThem)
{
    ProgramFolder folder;
    ASSERT_TRUE(folder.isValid());
    ServerProcess server;
    ASSERT_TRUE(server.start(folder.path()));
    Client admin;
    ASSERT_TRUE(admin.connect(server.port()));
    ASSERT_EQ(admin.connectAct(QStringLiteral("001")), 0);

    protocol::CreateAccountSetArgs create{QStringLiteral("002"), QStringLiteral("第二帐套"), QStringLiteral("某单位")};
    auto created = admin.call(create);
    ASSERT_TRUE(created.ok()) << qPrintable(created.error.describe());
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("data/002/QvData.mdb"))));
    auto accounts = admin.openAll(QStringLiteral("dspAccounts"), QStringLiteral("select * from Act_QVSys order by AccountNo"));
    ASSERT_TRUE(accounts.ok());
    ASSERT_EQ(accounts->rows.size(), 2);
    EXPECT_EQ(accounts->rows[1][fieldIndex(accounts->fields, QStringLiteral("AccountName"))].toString(), QStringLiteral("第二帐套"));
    EXPECT_EQ(accounts->rows[1][fieldIndex(accounts->fields, QStringLiteral("CompanyCode"))].toString(),
              QStringLiteral("BC50A50F-C431-43F1-8E11-23AAE640437E"));

    // The new account set is the template: its super-user and no demo items.
    {
        Client user;
        ASSERT_TRUE(user.connect(server.port()));
        ASSERT_EQ(user.connectAct(QStringLiteral("002")), 0);
        EXPECT_EQ(user.scalar(QStringLiteral("select uCode from AppUser")).toString(), QStringLiteral("SYS"));
        EXPECT_EQ(user.scalar(QStringLiteral("select count(*) from HP")).toLongLong(), 0);
        // Refused while this client has it open.
        const auto inUse = admin.call(protocol::DeleteAccountSetArgs{QStringLiteral("002")});
        ASSERT_FALSE(inUse.ok());
        EXPECT_TRUE(inUse.error.text.contains(QStringLiteral("正在使用")));
    }

    struct Refusal {
        const char *accountNo;
        const char *why;
    };
    for (const Refusal &r : {Refusal{"002", "exists"}, Refusal{"../x", "not a folder name"}, Refusal{"", "empty"},
                             Refusal{"a/b", "separator"}}) {
        create.accountNo = QString::fromUtf8(r.accountNo);
        EXPECT_FALSE(admin.call(create).ok()) << r.why;
    }
    EXPECT_FALSE(admin.call(protocol::DeleteAccountSetArgs{QStringLiteral("001")}).ok()) << "the caller's own account set";
    EXPECT_FALSE(admin.call(protocol::DeleteAccountSetArgs{QStringLiteral("077")}).ok()) << "no such account set";

    // The client that had 002 open has gone; deleting it now succeeds.
    protocol::Outcome<protocol::EmptyReply> deleted;
    for (int i = 0; i < 50 && !deleted.ok(); ++i) {
        deleted = admin.call(protocol::DeleteAccountSetArgs{QStringLiteral("002")});
        if (!deleted.ok())
            QThread::msleep(50);
    }
    ASSERT_TRUE(deleted.ok()) << qPrintable(deleted.error.describe());
    EXPECT_FALSE(QDir(folder.file(QStringLiteral("data/002"))).exists());
    EXPECT_EQ(admin.openAll(QStringLiteral("dspAccounts"))->rows.size(), 1);
}

TEST(AccountSets, PostgresModeOnlyRegistersAndBuildsAnEmptyDatabase)
{
    PgAccountSet existing;
    if (!existing.available())
        GTEST_SKIP() << "QV_TEST_PG is not set";
    // A second, empty database: creating an account set builds its tables.
    auto admin = db::openConnection(db::ConnectionDescriptor::postgres(qEnvironmentVariable("QV_TEST_PG")));
    ASSERT_TRUE(admin);
    const QString empty = existing.name() + QStringLiteral("_empty");
    admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(empty));
    ASSERT_TRUE(admin->exec(QStringLiteral("CREATE DATABASE ") + empty));

    ProgramFolder folder(false);
    ASSERT_TRUE(folder.isValid());
    QString section = existing.iniSection();
    section.replace(existing.name(), empty);
    folder.writeIni(QStringLiteral("[Server]\nDatabase=postgres\n") + section);
    {
        ServerProcess server;
        ASSERT_TRUE(server.start(folder.path()));
        Client client;
        ASSERT_TRUE(client.connect(server.port()));
        const auto created = client.call(protocol::CreateAccountSetArgs{QStringLiteral("100"), QStringLiteral("总部"), {}});
        ASSERT_TRUE(created.ok()) << qPrintable(created.error.describe());
        EXPECT_FALSE(QDir(folder.file(QStringLiteral("data/100"))).exists()) << "no folder in PostgreSQL mode";
        ASSERT_EQ(client.connectAct(QStringLiteral("100")), 0);
        EXPECT_EQ(client.scalar(QStringLiteral("select uCode from AppUser")).toString(), QStringLiteral("SYS"));
        const auto compact = client.call(protocol::CompactDatabaseArgs{});
        ASSERT_FALSE(compact.ok());
        EXPECT_TRUE(compact.error.text.contains(QStringLiteral("PostgreSQL")));
        const auto backup = client.call(protocol::BackupDataArgs{});
        ASSERT_TRUE(backup.ok()) << qPrintable(backup.error.describe());
        EXPECT_EQ(backup->value, 1) << qPrintable(server.messages());
        const QStringList files = QDir(folder.file(QStringLiteral("backup"))).entryList(QDir::Files);
        ASSERT_EQ(files.size(), 1);
        EXPECT_TRUE(readText(folder.file(QStringLiteral("backup/")) + files[0]).contains(QStringLiteral("delete from AppUser\r\n")));

        Client other;
        ASSERT_TRUE(other.connect(server.port()));
        EXPECT_FALSE(other.call(protocol::CreateAccountSetArgs{QStringLiteral("100"), {}, {}}).ok());
        EXPECT_TRUE(other.call(protocol::DeleteAccountSetArgs{QStringLiteral("100")}).ok()) << "only unregisters";
        EXPECT_EQ(client.scalar(QStringLiteral("select count(*) from AppUser")).toLongLong(), 1) << "the data stays";
        const auto names = other.call(protocol::GetTableNamesArgs{});
        ASSERT_FALSE(names.ok()) << "not bound to an account set yet";
        ASSERT_EQ(other.connectAct(QStringLiteral("x")), 0);
        const auto bound = other.call(protocol::GetTableNamesArgs{});
        ASSERT_TRUE(bound.ok());
        EXPECT_TRUE(bound->value.split(QLatin1Char('|')).contains(QStringLiteral("Inv_ItemList")));
    }
    admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(empty));
}
