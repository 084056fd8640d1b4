// Compaction of an account set's database file: a compact copy is written
// beside it as "db1.mdb", then swapped in through "QvData.$$$". The names are
// those every installation has always used for the work files.
#pragma once

#include <QString>

namespace qv::server {

// Compacts the file; the caller has closed its own connection to it and made
// sure no other client has it open. On failure the file stays as it was and
// *error says why; the work files are removed either way.
bool compactDatabaseFile(const QString &databaseFile, QString *error);

} // namespace qv::server
