// Statement text the lists and the data export build: the yes/no column of the
// lists, and a table written out as statements that refill it. Quoting, date
// bounds and the date filter of the lists are the data layer's
// (client/core/data/SqlText.h).
#pragma once

#include "client/core/data/SqlText.h"
#include "client/core/dataset/DataSet.h"
#include "client/core/util/QueryService.h"

#include <QString>
#include <QStringList>

namespace qv::client {

// A yes/no column shown as text: iif(...) for database kind 0, a case
// expression for any other kind.
QString IifColumn(int databaseKind, const QString &column, const QString &whenTrue,
                  const QString &alias, const QString &otherwise);

// Tables the statement export leaves out: the engine's own, views and the two
// old query tables.
bool isSkippedByTableScript(const QString &table);

// Appends the table's rows as statements: "delete from T", then one
// "insert into T(cols) Values(...)" line per row. Nothing for a skipped or an
// empty table. Quotes are doubled and memo text is kept (line breaks written
// as chr() so each statement stays on one line); blobs are written null.
// False when the table could not be read (lines are then unchanged).
bool TableInsertScript(QueryService &queries, DataSet &dataSet, const QString &table,
                       QStringList &lines);

// One value as statement text, as the export writes it.
QString scriptValue(const Field &field);

} // namespace qv::client
