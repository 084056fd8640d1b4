// The functions SQLite lacks for the original dialect, registered on a
// connection under names starting "qv_" (no clash with SQLite's own). The
// translated statements call them; every connection the server opens needs them.
#pragma once

#include <QString>

struct sqlite3;

namespace qv::sql {

bool installSqliteFunctions(sqlite3 *db, QString *error);

} // namespace qv::sql
