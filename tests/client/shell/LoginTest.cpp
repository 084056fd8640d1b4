// The login window against the real server: the code found without regard to
// case, the password compared exactly, and the typed code kept on any close.
#include "ShellServerFixture.h"

#include "client/core/shell/LoginDialog.h"
#include "client/core/shell/ServerConnect.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

namespace qv::client::test {
namespace {

class LoginTest : public ShellServerTest {
protected:
    void SetUp() override
    {
        ShellServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        admin = loggedInSession();
        exec(*admin, QStringLiteral("delete from AppUser where ID in (90, 91)"));
        exec(*admin, QStringLiteral("insert into AppUser (ID, uCode, uName, uPassword, gID, gName) "
                                    "values (90, 'Abc', '测试员', 'Pw', '(1)', '系统管理员')"));
    }
    void TearDown() override
    {
        if (admin)
            admin->data().tryExecSql(QStringLiteral("delete from AppUser where ID in (90, 91)"));
        ShellServerTest::TearDown();
    }

    // A session at the login step: connected, account set 001 chosen.
    std::unique_ptr<ClientSession> atLogin()
    {
        auto session = newSession();
        EXPECT_TRUE(connectToConfiguredServer(*session, nullptr));
        session->card().accountNo = QStringLiteral("001");
        return session;
    }

    std::unique_ptr<ClientSession> admin;
};

TEST_F(LoginTest, CodeIgnoresCaseAndPasswordIsExact)
{
    struct Case {
        const char *code;
        const char *password;
        const char *message; // empty: logged in
        const char *loggedInAs;
    };
    const Case cases[] = {
        {"nobody", "", kUnknownUserMessage, ""},
        {"abc", "pw", kWrongPasswordMessage, ""},
        {"ABC", "Pw ", kWrongPasswordMessage, ""},
        {"ABC", "P", kWrongPasswordMessage, ""},
        {"sys", "x", kWrongPasswordMessage, ""},
        {"abc", "Pw", "", "Abc"},
        {"sys", "", "", "SYS"}, // an empty box matches an empty password
    };
    for (const Case &c : cases) {
        auto session = atLogin();
        TfrmLogin login(*session);
        ASSERT_TRUE(login.shouldShow());
        ASSERT_TRUE(login.prepare());
        MessageBoxWatcher boxes;
        const bool refused = *c.message != '\0';
        if (refused)
            boxes.expect();
        login.userBox()->setEditText(QString::fromUtf8(c.code));
        login.passwordBox()->setText(QString::fromUtf8(c.password));
        login.okButton()->click();
        if (refused) {
            ASSERT_EQ(boxes.seen().size(), 1) << c.code;
            EXPECT_EQ(boxes.seen()[0].text, QString::fromUtf8(c.message)) << c.code << "/" << c.password;
            EXPECT_EQ(boxes.seen()[0].title, QStringLiteral("系统登录"));
            EXPECT_EQ(boxes.seen()[0].icon, QMessageBox::Critical);
            EXPECT_EQ(login.result(), 0) << "the window stays";
            EXPECT_TRUE(session->global().userCode.isEmpty());
        } else {
            EXPECT_TRUE(boxes.seen().isEmpty()) << c.code;
            EXPECT_EQ(login.result(), QDialog::Accepted) << c.code;
            EXPECT_EQ(session->global().userCode, QString::fromUtf8(c.loggedInAs));
            EXPECT_EQ(session->rights().userCode, QString::fromUtf8(c.loggedInAs));
            EXPECT_EQ(session->global().groupList, QStringLiteral("(1)"));
            EXPECT_FALSE(session->rights().company.companyName.isEmpty());
        }
    }
}

TEST_F(LoginTest, CancelKeepsTheTypedCodeForTheNextStart)
{
    auto session = atLogin();
    {
        TfrmLogin login(*session);
        ASSERT_TRUE(login.prepare());
        EXPECT_EQ(login.userBox()->currentText(), QStringLiteral("SYS"));
        login.userBox()->setEditText(QStringLiteral("Abc"));
        login.cancelButton()->click();
        EXPECT_EQ(login.result(), QDialog::Rejected);
    }
    EXPECT_EQ(session->settings().user(), QStringLiteral("Abc"));
    TfrmLogin again(*session);
    ASSERT_TRUE(again.prepare());
    EXPECT_EQ(again.userBox()->currentText(), QStringLiteral("Abc"));
    // An empty box disables OK.
    again.userBox()->setEditText(QString());
    EXPECT_FALSE(again.okButton()->isEnabled());
}

TEST_F(LoginTest, AnAccountSetTheServerCannotOpenEndsTheStartUp)
{
    auto session = newSession();
    ASSERT_TRUE(connectToConfiguredServer(*session, nullptr));
    session->card().accountNo = QStringLiteral("no-such-set");
    // The server may refuse at once (no message) or when the user list is
    // read (its reason is shown); either way the window does not open.
    MessageBoxWatcher boxes;
    boxes.expectAny();
    TfrmLogin login(*session);
    EXPECT_FALSE(login.shouldShow());
    EXPECT_FALSE(login.okButton()->isEnabled());
    EXPECT_LE(boxes.seen().size(), 1);
}

TEST_F(LoginTest, FirstRunLoadsTheSampleDataOnce)
{
    auto session = atLogin();
    QFile demo(m_folder->filePath(QStringLiteral("demo.txt")));
    ASSERT_TRUE(demo.open(QIODevice::WriteOnly));
    demo.write("insert into AppUser (ID, uCode, uName, uPassword, gID, gName) values (91, 'D1', '演示', '', '(1)', '')\n"
               "\n"
               "this is not a statement\n");
    demo.close();
    {
        TfrmLogin login(*session);
        ASSERT_TRUE(login.prepare());
    }
    EXPECT_FALSE(QFile::exists(demo.fileName()));
    EXPECT_EQ(session->queries().queryValue(QStringLiteral("select uCode from AppUser where ID = 91")).toString(),
              QStringLiteral("D1"));

    // "System" exists now: a second demo.txt is not read.
    ASSERT_TRUE(demo.open(QIODevice::WriteOnly));
    demo.write("delete from AppUser where ID = 91\n");
    demo.close();
    TfrmLogin again(*session);
    ASSERT_TRUE(again.prepare());
    EXPECT_TRUE(QFile::exists(demo.fileName()));
}

TEST_F(LoginTest, AnUnreadableSampleFileAbandonsTheStartUp)
{
    auto session = atLogin();
    // A folder where the file should be cannot be read as one.
    ASSERT_TRUE(QDir(m_folder->path()).mkdir(QStringLiteral("demo.txt")));
    MessageBoxWatcher boxes;
    boxes.expect();
    TfrmLogin login(*session);
    EXPECT_FALSE(login.prepare());
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("加载演示数据失败！"));
}

} // namespace
} // namespace qv::client::test
