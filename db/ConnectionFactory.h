// Opening a connection from a small descriptor: the engine and where the database is.
#pragma once

#include "db/Connection.h"
#include "db/EngineTraits.h"

#include <QString>

#include <functional>
#include <memory>

struct sqlite3;

namespace qv::db {

// Called on every SQLite connection right after it opens, to install functions
// written in C++. Answers false with a message to make the open fail.
using SqliteFunctionHook = std::function<bool(sqlite3 *db, QString *error)>;

struct ConnectionDescriptor {
    Engine engine = Engine::Sqlite;
    QString path;                         // SQLite: the database file
    bool createIfMissing = false;         // SQLite: create the file when absent
    SqliteFunctionHook registerFunctions; // SQLite: optional
    QString conninfo;                     // PostgreSQL: libpq connection string

    static ConnectionDescriptor sqlite(const QString &path, bool createIfMissing = false)
    {
        ConnectionDescriptor d;
        d.engine = Engine::Sqlite;
        d.path = path;
        d.createIfMissing = createIfMissing;
        return d;
    }
    static ConnectionDescriptor postgres(const QString &conninfo)
    {
        ConnectionDescriptor d;
        d.engine = Engine::Postgres;
        d.conninfo = conninfo;
        return d;
    }
};

// A connection for the descriptor, not yet open.
std::unique_ptr<Connection> createConnection(const ConnectionDescriptor &descriptor);

// An open connection, or nullptr with the reason in 'error'.
std::unique_ptr<Connection> openConnection(const ConnectionDescriptor &descriptor,
                                           Error *error = nullptr);

} // namespace qv::db
