// The account-set manager and the client upload against the real server.
#include "ShellServerFixture.h"

#include "client/core/shell/AccountSetManager.h"
#include "client/core/shell/Product.h"
#include "client/core/shell/SelfUpdate.h"

#include <QFile>

namespace qv::client::test {
namespace {

class AccountSetTest : public ShellServerTest {};

bool locate(DataSet *accounts, const QString &code)
{
    return accounts->locate(QStringLiteral("AccountNo"), {code}, LocateOption::CaseInsensitive);
}

TEST_F(AccountSetTest, TheOpenAccountSetIsNeverDeleted)
{
    auto session = loggedInSession();
    TfrmZTManager manager(*session);
    manager.show();
    ASSERT_TRUE(locate(manager.accounts(), QStringLiteral("001")));

    // Refused before any question is asked: the one box is the error.
    MessageBoxWatcher boxes;
    boxes.expect();
    manager.deleteAccountSet();
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("删除帐套出错，帐套正在使用！"));
    EXPECT_EQ(boxes.seen()[0].title, QStringLiteral("错误"));
    EXPECT_TRUE(locate(manager.accounts(), QStringLiteral("001")));
    EXPECT_TRUE(QFile::exists(server().accountDatabase()));
}

TEST_F(AccountSetTest, CreateRenameAndDeleteThroughTheServer)
{
    auto session = loggedInSession();
    TfrmZTManager manager(*session);
    manager.show();
    MessageBoxWatcher boxes;

    ASSERT_TRUE(manager.createAccountSet(QStringLiteral("T7"), QStringLiteral("七号帐套"), QStringLiteral("七号公司")));
    ASSERT_TRUE(locate(manager.accounts(), QStringLiteral("T7")));
    EXPECT_EQ(manager.accounts()->fieldByName(u"CompanyName")->asString(), QStringLiteral("七号公司"));
    EXPECT_TRUE(QFile::exists(server().programFolder() + QStringLiteral("/data/T7/QvData.mdb")));

    // The same code again is refused by the server.
    boxes.expect();
    EXPECT_FALSE(manager.createAccountSet(QStringLiteral("T7"), QStringLiteral("重复"), QString()));
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("新建帐套出错！"));

    ASSERT_TRUE(locate(manager.accounts(), QStringLiteral("T7")));
    ASSERT_TRUE(manager.renameCurrentAccountSet(QStringLiteral("改过的名字")));
    ASSERT_TRUE(locate(manager.accounts(), QStringLiteral("T7")));
    EXPECT_EQ(manager.accounts()->fieldByName(u"AccountName")->asString(), QStringLiteral("改过的名字"));

    // Not confirmed: nothing happens.
    EXPECT_FALSE(manager.removeCurrentAccountSet(false));
    EXPECT_TRUE(locate(manager.accounts(), QStringLiteral("T7")));
    EXPECT_TRUE(manager.removeCurrentAccountSet(true));
    EXPECT_FALSE(locate(manager.accounts(), QStringLiteral("T7")));
    EXPECT_FALSE(QFile::exists(server().programFolder() + QStringLiteral("/data/T7/QvData.mdb")));
    EXPECT_EQ(boxes.unexpectedCount(), 0);
}

TEST_F(AccountSetTest, ANewerUploadIsFoundByOlderClientsOnly)
{
    auto uploader = loggedInSession();
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("QvClient"));
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(200000, 'x'));
    file.close();

    uploader->card().versionText = QStringLiteral("V10.0");
    QString error;
    ASSERT_TRUE(SelfUpdate::upload(*uploader, program, &error)) << error.toStdString();
    // A second upload replaces the first rather than adding a row.
    ASSERT_TRUE(SelfUpdate::upload(*uploader, program, &error)) << error.toStdString();

    struct Case {
        const char *running;
        const char *found;
    };
    // V9.9 sees V10.0 as newer although "V10.0" < "V9.9" as text.
    for (const Case &c : {Case{"V9.9", "V10.0"}, Case{"V10.0", ""}, Case{"V10.1", ""}, Case{"V1.0", "V10.0"}}) {
        auto client = loggedInSession();
        client->card().versionText = QString::fromLatin1(c.running);
        EXPECT_EQ(SelfUpdate::newerVersionOnServer(*client), QString::fromLatin1(c.found)) << c.running;
    }

    // Only one row is stored for the product.
    DataSet *registry = uploader->data().dataSet(u"AccountTemp");
    ASSERT_TRUE(uploader->data().runSql(
        registry, QStringLiteral("select count(*) from VersionInfor where sName='") + productKey() + QLatin1Char('\''),
        true));
    EXPECT_EQ(registry->field(0)->asInteger(), 1);
    registry->close();
    uploader->data().runSql(registry, QStringLiteral("delete from VersionInfor"), false);
}

} // namespace
} // namespace qv::client::test
