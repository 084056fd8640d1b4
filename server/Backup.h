// The backup of an account set: a text file of statements that empties and
// refills every table, written in code page 936 into the backup folder of
// BackInfo.ini. Embedded quotes are doubled and memo text is kept, so running
// the file gives back what was saved.
#pragma once

#include "db/Connection.h"
#include "schema/Schema.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace qv::server {

// Tables the backup leaves out: the engine's own, report work tables, views
// and two old query tables.
bool isSkippedByBackup(const QString &table);

// The backup folder: BackInfo.ini [Back] Dir, or <program folder>/backup.
QString backupFolder(const QString &programFolder);

// backup folder + "YYYYMMDDHHMMSS_备份数据.txt"; creates the folder (one level).
QString backupFileName(const QString &folder, const QDateTime &when);

// Writes the statements for the given tables into the file, lines separated by
// CR LF, each insert followed by an empty line; tables are read a packet at a
// time so a large ledger never sits in memory whole. Column types come from the
// schema where it knows the table, otherwise from the engine. Text is code page
// 936; a character GBK lacks takes its GB 18030 form, so nothing is lost. The
// file appears only when complete; false with *error on any failure.
bool writeBackup(db::Connection &connection, const QStringList &tables, const schema::Schema &schema,
                 const QString &path, QString *error);

// The text of a backup file.
QString readBackupFile(const QString &path);

} // namespace qv::server
