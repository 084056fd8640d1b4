// The check the master-data lists run before deleting a record: is its key
// still used by a document or another register? One query per table.
#pragma once

#include "client/core/util/QueryService.h"

#include <QString>

#include <optional>

class QWidget;

namespace qv::client {

struct DeleteGuardRule {
    const char *table;   // master table name, upper case
    const char *message; // shown when the record is referenced
};

// The query that finds a reference to the key, for a table of the guard
// (compared in upper case); nullopt for any other table. The key is the
// record's ID, for YHZ the group's name; text keys are quoted.
std::optional<QString> deleteGuardQuery(const QString &table, const QString &key);
// The message of the table's guard; empty for other tables.
QString deleteGuardMessage(const QString &table);

// True when the deletion must stop: no key ("请选择网格内一条记录！") or the
// record is referenced (the table's message). Tables without a guard pass.
bool DeleteGuard(QueryService &queries, const QString &table, const QString &key,
                 QWidget *messageParent = nullptr);

} // namespace qv::client
