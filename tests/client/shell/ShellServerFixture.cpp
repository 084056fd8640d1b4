#include "ShellServerFixture.h"

#include "client/core/shell/ServerConnect.h"
#include "common/IniFile.h"

#include <QApplication>
#include <QMessageBox>

namespace qv::client::test {

DialogCloser::DialogCloser()
{
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &DialogCloser::poll);
    m_timer.start();
}

void DialogCloser::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    auto *dialog = qobject_cast<QDialog *>(modal);
    if (!dialog || qobject_cast<QMessageBox *>(dialog) || !dialog->isVisible())
        return;
    ++m_closed;
    m_titles << dialog->windowTitle();
    dialog->reject();
}

void ShellServerTest::SetUpTestSuite()
{
    s_server = std::make_unique<ServerProcess>();
    if (!s_server->start()) {
        s_skip = s_server->skipReason().isEmpty() ? QString() : s_server->skipReason();
        if (s_skip.isEmpty())
            s_skip = QStringLiteral("FAILED: ") + s_server->error();
    }
}

void ShellServerTest::TearDownTestSuite()
{
    s_server.reset();
}

void ShellServerTest::SetUp()
{
    if (!s_skip.isEmpty()) {
        if (s_skip.startsWith(QStringLiteral("FAILED: ")))
            FAIL() << s_skip.toStdString();
        GTEST_SKIP() << s_skip.toStdString();
    }
    m_folder = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_folder->isValid());
}

void ShellServerTest::TearDown()
{
    m_folder.reset();
}

QString ShellServerTest::hostText() const
{
    return s_server->address().toString();
}

std::unique_ptr<ClientSession> ShellServerTest::newSession()
{
    common::IniFile ini(m_folder->filePath(QStringLiteral("SysConfig.ini")));
    ini.writeString(u"login", u"hostname", hostText());
    return std::make_unique<ClientSession>(m_folder->path());
}

std::unique_ptr<ClientSession> ShellServerTest::loggedInSession()
{
    auto session = newSession();
    if (!connectToConfiguredServer(*session, nullptr)) {
        ADD_FAILURE() << "cannot connect to " << hostText().toStdString();
        return session;
    }
    session->card().accountNo = QStringLiteral("001");
    session->card().accountName = QStringLiteral("演示帐套");
    const DataResult<qint64> opened = session->data().connectAct(QStringLiteral("001"));
    EXPECT_TRUE(opened.ok() && opened.value == 0) << opened.error.toStdString();
    TGlobal &global = session->global();
    global.userId = 1;
    global.userCode = QStringLiteral("SYS");
    global.userName = QStringLiteral("管理员");
    global.groupList = QStringLiteral("(1)");
    global.shareUserWithRights();
    session->rights().loadCompanySettings(session->data());
    return session;
}

void ShellServerTest::exec(ClientSession &session, const QString &sql)
{
    ASSERT_TRUE(session.data().tryExecSql(sql)) << sql.toStdString() << ": " << session.data().lastError().toStdString();
}

} // namespace qv::client::test
