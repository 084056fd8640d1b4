// The real server for the shell tests (started once per suite on the demo
// account set) and a client session of the test's own: a temporary program
// folder whose SysConfig.ini points at the server.
#pragma once

#include "ServerProcess.h"

#include "client/core/shell/ClientSession.h"
#include "tests/client/util/MessageBoxWatcher.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace qv::client::test {

// Rejects every modal dialog that is not a message box (the menu's modal
// windows, file dialogs, the about picture) soon after it appears, and counts
// them.
class DialogCloser : public QObject {
public:
    DialogCloser();
    int closed() const { return m_closed; }
    QStringList titles() const { return m_titles; }

private:
    void poll();
    QTimer m_timer;
    int m_closed = 0;
    QStringList m_titles;
};

class ShellServerTest : public ::testing::Test {
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;
    void TearDown() override;

    static ServerProcess &server() { return *s_server; }
    QString hostText() const;

    // A session of its own in a fresh program folder, pointed at the server.
    std::unique_ptr<ClientSession> newSession();
    // Connected, account set 001 open on the server, SYS logged in.
    std::unique_ptr<ClientSession> loggedInSession();
    // A statement on the account set that must succeed.
    void exec(ClientSession &session, const QString &sql);

    std::unique_ptr<QTemporaryDir> m_folder;

private:
    static inline std::unique_ptr<ServerProcess> s_server;
    static inline QString s_skip;
};

} // namespace qv::client::test
