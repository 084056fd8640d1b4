#include "server/SingleInstance.h"

#include "common/Paths.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace qv::server {

namespace {

constexpr int kGracefulMs = 5000;
constexpr int kForcedMs = 2000;

// Alive and not a zombie waiting for its parent.
bool isRunning(qint64 pid)
{
    if (pid <= 0 || ::kill(pid_t(pid), 0) != 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close < 0 || text.mid(close + 2, 1) != "Z";
}

// The process runs a QvServer program (not an unrelated one that reused the id).
bool isServerProcess(qint64 pid)
{
    const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    return QFileInfo(exe).fileName().startsWith(QLatin1String("QvServer"));
}

bool waitForExit(qint64 pid, int ms)
{
    QDeadlineTimer deadline(ms);
    while (isRunning(pid)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace

SingleInstance::SingleInstance(const QString &programFolder)
    : m_path(common::joinPath(programFolder, u"QvServer.lock")), m_lock(m_path)
{
    m_lock.setStaleLockTime(0); // only a lock whose owner is gone is stale
}

bool SingleInstance::acquire(QString *error, const std::function<void(const QString &)> &note)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (m_lock.tryLock(0))
            return true;
        if (m_lock.error() != QLockFile::LockFailedError) {
            *error = QStringLiteral("cannot create the lock file %1").arg(m_path);
            return false;
        }
        qint64 pid = 0;
        QString host;
        QString application;
        if (m_lock.getLockInfo(&pid, &host, &application) && pid != ::getpid() && isRunning(pid)
            && isServerProcess(pid)) {
            if (note)
                note(QStringLiteral("ending the older server (process %1)").arg(pid));
            ::kill(pid_t(pid), SIGTERM);
            if (!waitForExit(pid, kGracefulMs)) {
                if (note)
                    note(QStringLiteral("process %1 did not end; killing it").arg(pid));
                ::kill(pid_t(pid), SIGKILL);
                waitForExit(pid, kForcedMs);
            }
        }
        if (m_lock.tryLock(500))
            return true;
        m_lock.removeStaleLockFile();
    }
    *error = QStringLiteral("another server holds %1").arg(m_path);
    return false;
}

} // namespace qv::server
