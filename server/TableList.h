// The tables of a client's business database in catalogue order, spelled as the
// schema spells them (PostgreSQL keeps them in lower case).
#pragma once

#include "server/Session.h"

#include <optional>

namespace qv::server {

std::optional<QStringList> businessTables(Session &session, protocol::ErrorInfo *error);

// The key under which a database file is shared between sessions.
QString databaseKey(const QString &path);

} // namespace qv::server
