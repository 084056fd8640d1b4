#include "server/Compaction.h"

#include "db/ConnectionFactory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qv::server {

namespace {

void removeWithJournal(const QString &path)
{
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(path + suffix);
}

bool writeCompactCopy(const QString &source, const QString &target, QString *error)
{
    db::Error openError;
    auto connection = db::openConnection(db::ConnectionDescriptor::sqlite(source), &openError);
    if (!connection) {
        *error = openError.text();
        return false;
    }
    // Everything in the write-ahead log goes into the file first, so the copy
    // and the file agree and no log is left behind to be applied to the copy.
    QString sql = target;
    sql.replace(QLatin1Char('\''), QStringLiteral("''"));
    if (!connection->exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"))
        || !connection->exec(QStringLiteral("VACUUM INTO '%1'").arg(sql))) {
        *error = connection->lastError().text();
        return false;
    }
    connection->close();
    return true;
}

} // namespace

bool compactDatabaseFile(const QString &databaseFile, QString *error)
{
    const QDir folder = QFileInfo(databaseFile).absoluteDir();
    const QString current = folder.filePath(QStringLiteral("QvData.mdb"));
    const QString saved = folder.filePath(QStringLiteral("QvData.$$$"));
    const QString compact = folder.filePath(QStringLiteral("db1.mdb"));
    removeWithJournal(saved);
    removeWithJournal(compact);

    bool ok = QFile::exists(databaseFile);
    if (!ok)
        *error = QStringLiteral("%1 does not exist").arg(databaseFile);
    ok = ok && writeCompactCopy(databaseFile, compact, error);
    if (ok) {
        QFile::remove(current + QStringLiteral("-wal"));
        QFile::remove(current + QStringLiteral("-shm"));
        ok = QFile::rename(current, saved);
        if (!ok)
            *error = QStringLiteral("cannot rename %1").arg(current);
    }
    if (ok && !QFile::rename(compact, current)) {
        // Put the original back rather than leave the account set without a file.
        QFile::rename(saved, current);
        *error = QStringLiteral("cannot rename %1").arg(compact);
        ok = false;
    }
    if (QFile::exists(current)) {
        removeWithJournal(saved);
        removeWithJournal(compact);
    }
    return ok;
}

} // namespace qv::server
