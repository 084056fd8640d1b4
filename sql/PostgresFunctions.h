// The functions PostgreSQL lacks for the original dialect, as the SQL that
// creates them (CREATE OR REPLACE, so running it again is harmless). Names start
// with "qv_" and cannot clash with PostgreSQL's own. The schema builder runs
// these with the tables; the server may run them again on start.
#pragma once

#include <QStringList>

namespace qv::sql {

QStringList postgresFunctionStatements();

} // namespace qv::sql
