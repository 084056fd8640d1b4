// What the link dialog asks of a PostgreSQL server: whether the settings
// connect, and which databases it holds.
#pragma once

#include "server/LinkSettings.h"

#include <optional>

namespace qv::server {

// True when a connection with the settings opens; *error has the engine's text.
bool probeLink(const LinkSettings &settings, QString *error);

// The databases one can connect to, by name, read through the server's
// maintenance database "postgres".
std::optional<QStringList> listDatabases(const LinkSettings &settings, QString *error);

} // namespace qv::server
