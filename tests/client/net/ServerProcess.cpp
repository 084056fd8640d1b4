#include "ServerProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace qv::client::test {

namespace {

QString binFile(const QString &relative)
{
    return QDir(QStringLiteral(QV_BIN_DIR)).filePath(relative);
}

} // namespace

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "qv_client_tests";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv); // lives as long as the test process
}

ServerProcess::ServerProcess()
{
    ensureApplication();
}

ServerProcess::~ServerProcess()
{
    stop();
}

QString ServerProcess::serverProgram()
{
    return binFile(QStringLiteral("QvServer"));
}

QString ServerProcess::accountDatabase() const
{
    return QDir(programFolder()).filePath(QStringLiteral("data/001/QvData.mdb"));
}

bool ServerProcess::prepareFolder()
{
    m_folder = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("qvclient-XXXXXX")));
    if (!m_folder->isValid()) {
        m_error = QStringLiteral("no temporary folder: ") + m_folder->errorString();
        return false;
    }
    const QDir dir(m_folder->path());
    dir.mkpath(QStringLiteral("data/Sample"));
    for (const QString &file : {QStringLiteral("data/Sample/QvData.mdb"), QStringLiteral("data/QvSys.mdb")}) {
        if (!QFile::copy(binFile(file), dir.filePath(file))) {
            m_error = QStringLiteral("cannot copy %1 (build the templates first)").arg(binFile(file));
            return false;
        }
        QFile::setPermissions(dir.filePath(file), QFile::ReadOwner | QFile::WriteOwner);
    }
    QProcess demo;
    demo.start(binFile(QStringLiteral("qvdemo")), {m_folder->path()});
    if (!demo.waitForFinished(60'000) || demo.exitCode() != 0) {
        m_error = QStringLiteral("qvdemo failed: ") + QString::fromLocal8Bit(demo.readAllStandardError());
        return false;
    }
    return true;
}

bool ServerProcess::start()
{
    if (!QFile::exists(serverProgram())) {
        m_skip = QStringLiteral("%1 has not been built yet").arg(serverProgram());
        return false;
    }
    if (!m_folder && !prepareFolder())
        return false;
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->start(serverProgram(),
                     {QStringLiteral("--headless"), QStringLiteral("--program-folder"), m_folder->path(),
                      QStringLiteral("--address"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
                      QStringLiteral("0")});
    if (!m_process->waitForStarted(10'000)) {
        m_error = QStringLiteral("QvServer did not start: ") + m_process->errorString();
        return false;
    }
    // The server prints "QvServer listening on 127.0.0.1:PORT (...)" once it listens.
    static const QRegularExpression listening(QStringLiteral("listening on ([^ ]+):(\\d+)"));
    QByteArray out;
    const QDeadlineTimer deadline(30'000);
    while (!deadline.hasExpired() && m_process->state() == QProcess::Running) {
        m_process->waitForReadyRead(200);
        out += m_process->readAllStandardOutput();
        const auto match = listening.match(QString::fromLocal8Bit(out));
        if (match.hasMatch()) {
            m_address.host = QStringLiteral("127.0.0.1");
            m_address.port = quint16(match.captured(2).toUInt());
            return true;
        }
    }
    m_error = QStringLiteral("QvServer did not start listening: ")
              + QString::fromLocal8Bit(out + m_process->readAllStandardError());
    stop();
    return false;
}

void ServerProcess::kill()
{
    if (!m_process)
        return;
    m_process->kill();
    m_process->waitForFinished(5'000);
}

void ServerProcess::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5'000)) {
            m_process->kill();
            m_process->waitForFinished(5'000);
        }
    }
    m_process.reset();
}

bool ServerProcess::isRunning() const
{
    return m_process && m_process->state() == QProcess::Running;
}

} // namespace qv::client::test
