#include "db/ConnectionFactory.h"

#include "db/PgConnection.h"
#include "db/SqliteConnection.h"

namespace qv::db {

std::unique_ptr<Connection> createConnection(const ConnectionDescriptor &descriptor)
{
    switch (descriptor.engine) {
    case Engine::Sqlite:
        return std::make_unique<SqliteConnection>(descriptor);
    case Engine::Postgres:
        return std::make_unique<PgConnection>(descriptor.conninfo);
    }
    return nullptr;
}

std::unique_ptr<Connection> openConnection(const ConnectionDescriptor &descriptor, Error *error)
{
    auto connection = createConnection(descriptor);
    if (!connection->open()) {
        if (error)
            *error = connection->lastError();
        return nullptr;
    }
    if (error)
        *error = Error();
    return connection;
}

} // namespace qv::db
