#include "ServerHarness.h"

#include "db/ConnectionFactory.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <csignal>

namespace qv::servertest {

QString binPath(const QString &program)
{
    return QStringLiteral(QV_BIN_DIR "/") + program;
}

namespace {

bool run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(binPath(program), arguments);
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        ADD_FAILURE() << qPrintable(program) << " failed: " << p.readAllStandardError().constData();
        return false;
    }
    return true;
}

} // namespace

ProgramFolder::ProgramFolder(bool withDemo)
{
    if (!m_dir.isValid())
        return;
    QDir(m_dir.path()).mkpath(QStringLiteral("data/Sample"));
    m_valid = QFile::copy(binPath(QStringLiteral("data/Sample/QvData.mdb")), file(QStringLiteral("data/Sample/QvData.mdb")))
              && QFile::copy(binPath(QStringLiteral("data/QvSys.mdb")), file(QStringLiteral("data/QvSys.mdb")));
    for (const QString &f : {QStringLiteral("data/Sample/QvData.mdb"), QStringLiteral("data/QvSys.mdb")})
        QFile(file(f)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    // The built registry may list the demo account set already; start empty.
    if (m_valid) {
        auto registry = db::openConnection(db::ConnectionDescriptor::sqlite(file(QStringLiteral("data/QvSys.mdb"))));
        m_valid = registry && registry->exec(QStringLiteral("DELETE FROM Act_QVSys"));
    }
    if (m_valid && withDemo)
        m_valid = run(QStringLiteral("qvdemo"), {m_dir.path()});
}

void ProgramFolder::writeIni(const QString &text) const
{
    QFile ini(file(QStringLiteral("QvServer.ini")));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write(text.toUtf8());
}

PgAccountSet::PgAccountSet()
{
    m_server = qEnvironmentVariable("QV_TEST_PG");
    if (m_server.isEmpty())
        return;
    static int counter = 0;
    m_name = QStringLiteral("qv_server_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    m_admin = db::openConnection(db::ConnectionDescriptor::postgres(m_server));
    if (!m_admin) {
        ADD_FAILURE() << "QV_TEST_PG does not connect";
        return;
    }
    m_admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    if (!m_admin->exec(QStringLiteral("CREATE DATABASE ") + m_name)
        || !run(QStringLiteral("qvtemplate"), {QStringLiteral("--pg"), conninfo()})
        || !run(QStringLiteral("qvdemo"), {QStringLiteral("--pg"), conninfo()}))
        m_admin.reset();
}

PgAccountSet::~PgAccountSet()
{
    if (m_admin)
        m_admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
}

QString PgAccountSet::conninfo() const
{
    return m_server + QStringLiteral(" dbname=") + m_name;
}

QString PgAccountSet::iniSection() const
{
    const auto value = [this](const QString &key) {
        const QRegularExpression re(QStringLiteral("(?:^|\\s)%1=(\\S+)").arg(key));
        return re.match(m_server).captured(1);
    };
    QString server = value(QStringLiteral("host"));
    if (!value(QStringLiteral("port")).isEmpty())
        server += QLatin1Char(':') + value(QStringLiteral("port"));
    return QStringLiteral("[Connection]\nServerName=%1\nDatabaseName=%2\nUserId=%3\nPassword=\nTrustConnect=0\n")
        .arg(server, m_name, value(QStringLiteral("user")));
}

ServerProcess::~ServerProcess()
{
    if (isRunning()) {
        stop();
        if (isRunning())
            killHard();
    }
}

bool ServerProcess::start(const QString &programFolder, const QStringList &extra)
{
    QStringList args{QStringLiteral("--headless"), QStringLiteral("--program-folder"), programFolder,
                     QStringLiteral("--address"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
                     QStringLiteral("0"), QStringLiteral("--log-file"),
                     QDir(programFolder).filePath(QStringLiteral("statement.log"))};
    args << extra;
    // Output goes to a file: a pipe nobody reads could fill and stop the server.
    m_output = QDir(programFolder).filePath(QStringLiteral("server.out"));
    QFile::remove(m_output);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_output, QIODevice::Append);
    m_process.start(binPath(QStringLiteral("QvServer")), args);
    if (!m_process.waitForStarted(10000))
        return false;
    static const QRegularExpression listening(QStringLiteral("listening on [^:]+:(\\d+)"));
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        const auto match = listening.match(messages());
        if (match.hasMatch()) {
            m_port = quint16(match.captured(1).toUInt());
            return true;
        }
        QThread::msleep(20);
    }
    ADD_FAILURE() << "QvServer did not start: " << qPrintable(messages());
    return false;
}

int ServerProcess::stop(int timeoutMs)
{
    if (!isRunning())
        return m_process.exitCode();
    ::kill(pid_t(m_process.processId()), SIGTERM);
    waitForExit(timeoutMs);
    return m_process.exitCode();
}

void ServerProcess::killHard()
{
    if (isRunning()) {
        ::kill(pid_t(m_process.processId()), SIGKILL);
        waitForExit(10000);
    }
}

bool ServerProcess::waitForExit(int timeoutMs)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
}

QString ServerProcess::messages()
{
    QFile file(m_output);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

bool Client::connect(quint16 port, const QString &name)
{
    const bool ok = m_channel.connectTo(QStringLiteral("127.0.0.1"), port,
                                        {QStringLiteral("ZurI.datas"), QStringLiteral("ZurI.DatasBb")}, 10000, name);
    if (!ok)
        ADD_FAILURE() << qPrintable(m_channel.lastError().describe());
    return ok;
}

qint64 Client::connectAct(const QString &accountNo, int type)
{
    protocol::ConnectActArgs args;
    args.dataBaseType = type;
    args.dataBaseName = accountNo;
    const auto reply = call(args);
    if (!reply.ok()) {
        ADD_FAILURE() << qPrintable(reply.error.describe());
        return -99;
    }
    return reply->value;
}

protocol::Outcome<protocol::OpenReply> Client::openAll(const QString &dataset, const QString &statement,
                                                       RemoteObject object)
{
    protocol::OpenArgs args;
    args.dataset = dataset;
    if (!statement.isEmpty())
        args.statement = statement;
    args.packetSize = protocol::kAllRows;
    return call(args, object);
}

qint64 Client::exec(const QString &statement)
{
    protocol::ExecuteArgs args;
    args.statement = statement;
    const auto reply = call(args);
    return reply.ok() ? reply->rowsAffected : -2;
}

QVariant Client::scalar(const QString &statement)
{
    const auto reply = openAll(QStringLiteral("pTmp"), statement);
    if (!reply.ok()) {
        ADD_FAILURE() << qPrintable(statement) << ": " << qPrintable(reply.error.describe());
        return {};
    }
    return reply->rows.isEmpty() ? QVariant() : reply->rows.first().value(0);
}

std::string engineLabel(const ::testing::TestParamInfo<Engine> &info)
{
    return info.param == Engine::Sqlite ? "Sqlite" : "Postgres";
}

SharedServer *sharedServer(Engine engine, QString *skip)
{
    static std::unique_ptr<SharedServer> servers[2];
    static bool tried[2] = {false, false};
    const int slot = engine == Engine::Postgres ? 1 : 0;
    if (tried[slot]) {
        if (!servers[slot])
            *skip = QStringLiteral("the %1 server did not start").arg(slot ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite"));
        return servers[slot].get();
    }
    tried[slot] = true;
    if (engine == Engine::Postgres && qEnvironmentVariableIsEmpty("QV_TEST_PG")) {
        *skip = QStringLiteral("QV_TEST_PG is not set");
        return nullptr;
    }
    auto server = std::make_unique<SharedServer>();
    if (!server->folder.isValid())
        return nullptr;
    if (engine == Engine::Postgres) {
        server->pg = std::make_unique<PgAccountSet>();
        if (!server->pg->available())
            return nullptr;
        server->folder.writeIni(QStringLiteral("[Server]\nDatabase=postgres\n") + server->pg->iniSection());
    }
    if (!server->process.start(server->folder.path()))
        return nullptr;
    servers[slot] = std::move(server);
    return servers[slot].get();
}

std::unique_ptr<Client> connectedClient(SharedServer &server)
{
    auto client = std::make_unique<Client>();
    if (!client->connect(server.port()) || client->connectAct(QStringLiteral("001")) != 0)
        return nullptr;
    return client;
}

int fieldIndex(const QList<protocol::FieldInfo> &fields, const QString &name)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace qv::servertest
