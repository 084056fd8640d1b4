// The real QvServer for the client tests: a temporary program folder with the
// template databases and the demo account set 001, and the server started on a
// free loopback port with --headless. Tests skip (with the reason) only when the
// server program has not been built.
#pragma once

#include "client/core/net/ServerAddress.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace qv::client::test {

// A QCoreApplication for the test process (sockets and processes want one).
void ensureApplication();

class ServerProcess {
public:
    ServerProcess();
    ~ServerProcess();
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    // Prepares the folder and starts the server. False with error(); when the
    // program does not exist skipReason() says so.
    bool start();
    // Ends the server at once (SIGKILL): a server that goes away.
    void kill();
    void stop();
    bool isRunning() const;

    const QString &error() const { return m_error; }
    const QString &skipReason() const { return m_skip; }
    ServerAddress address() const { return m_address; }
    QString programFolder() const { return m_folder ? m_folder->path() : QString(); }
    QString accountDatabase() const;

    static QString serverProgram();

private:
    bool prepareFolder();

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QProcess> m_process;
    ServerAddress m_address;
    QString m_error;
    QString m_skip;
};

} // namespace qv::client::test
