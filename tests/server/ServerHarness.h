// Helpers for the tests that run the real QvServer: a temporary program folder
// with the template, the registry and the demo account set; the server
// process on a free loopback port; a PostgreSQL database of its own; and a
// client channel with typed calls.
#pragma once

#include "db/Connection.h"
#include "protocol/Channel.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace qv::servertest {

using protocol::RemoteObject;

inline constexpr int kCallTimeoutMs = 60000;

QString binPath(const QString &program);

// A program folder: data/Sample/QvData.mdb, data/QvSys.mdb and, when asked,
// the demo account set 001.
class ProgramFolder {
public:
    explicit ProgramFolder(bool withDemo = true);
    bool isValid() const { return m_valid; }
    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return m_dir.filePath(relative); }
    QString logFile() const { return file(QStringLiteral("statement.log")); }
    // Appends to QvServer.ini.
    void writeIni(const QString &text) const;

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};

// A PostgreSQL database of its own with the account-set tables and the demo
// rows; dropped at the end. Not available when QV_TEST_PG is unset.
class PgAccountSet {
public:
    PgAccountSet();
    ~PgAccountSet();
    bool available() const { return bool(m_admin); }
    QString conninfo() const;
    // The [Connection] section that points the server at this database.
    QString iniSection() const;
    QString name() const { return m_name; }

private:
    QString m_server;
    QString m_name;
    std::unique_ptr<db::Connection> m_admin;
};

class ServerProcess {
public:
    ~ServerProcess();
    // Starts QvServer --headless on the folder and waits until it listens.
    bool start(const QString &programFolder, const QStringList &extra = {});
    quint16 port() const { return m_port; }
    qint64 pid() const { return m_process.processId(); }
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    // SIGTERM and wait; the exit code.
    int stop(int timeoutMs = 10000);
    void killHard();
    bool waitForExit(int timeoutMs);
    // What the server wrote so far (stdout and stderr).
    QString messages();

private:
    QProcess m_process;
    quint16 m_port = 0;
    QString m_output;
};

class Client {
public:
    bool connect(quint16 port, const QString &name = QStringLiteral("test"));
    protocol::Channel &channel() { return m_channel; }

    template <typename Args>
    protocol::Outcome<typename Args::Reply> call(const Args &args, RemoteObject object = RemoteObject::Business)
    {
        return m_channel.request(object, args, kCallTimeoutMs);
    }

    // ConnectAct in file mode; the reply value.
    qint64 connectAct(const QString &accountNo, int type = 0);
    // Opens the dataset (with a statement when given) and reads every row.
    protocol::Outcome<protocol::OpenReply> openAll(const QString &dataset, const QString &statement = {},
                                                   RemoteObject object = RemoteObject::Business);
    // Runs a statement on the business connection; the rows changed, or -2 on failure.
    qint64 exec(const QString &statement);
    // The first value of a query, or an invalid QVariant.
    QVariant scalar(const QString &statement);

private:
    protocol::Channel m_channel;
};

enum class Engine { Sqlite, Postgres };

std::string engineLabel(const ::testing::TestParamInfo<Engine> &info);

// A server on the demo account set 001, one per engine for the whole test
// program: in file mode on SQLite, or in PostgreSQL mode on a database of its
// own. nullptr with *skip set when PostgreSQL is not available.
struct SharedServer {
    ProgramFolder folder;
    std::unique_ptr<PgAccountSet> pg;
    ServerProcess process;
    quint16 port() const { return process.port(); }
};
SharedServer *sharedServer(Engine engine, QString *skip);

// A client connected to the shared server and bound to account set 001.
std::unique_ptr<Client> connectedClient(SharedServer &server);

// A test run once per engine with a client bound to account set 001 on the
// shared server; skipped when the engine is not available.
class SharedServerTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        QString skip;
        m_server = sharedServer(GetParam(), &skip);
        if (!m_server)
            GTEST_SKIP() << qPrintable(skip);
        m_client = connectedClient(*m_server);
        ASSERT_TRUE(m_client);
    }
    Client &client() { return *m_client; }

    SharedServer *m_server = nullptr;
    std::unique_ptr<Client> m_client;
};

// Index of a field by name, -1 when absent.
int fieldIndex(const QList<protocol::FieldInfo> &fields, const QString &name);

QString readText(const QString &path);

} // namespace qv::servertest
