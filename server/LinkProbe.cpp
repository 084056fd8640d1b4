#include "server/LinkProbe.h"

#include "db/ConnectionFactory.h"

namespace qv::server {

bool probeLink(const LinkSettings &settings, QString *error)
{
    db::Error openError;
    auto connection = db::openConnection(db::ConnectionDescriptor::postgres(settings.conninfo()), &openError);
    if (!connection)
        *error = openError.message;
    return connection != nullptr;
}

std::optional<QStringList> listDatabases(const LinkSettings &settings, QString *error)
{
    LinkSettings catalogue = settings;
    catalogue.database = QStringLiteral("postgres");
    db::Error openError;
    auto connection = db::openConnection(db::ConnectionDescriptor::postgres(catalogue.conninfo()), &openError);
    if (!connection) {
        *error = openError.message;
        return std::nullopt;
    }
    const auto rows = connection->query(QStringLiteral(
        "SELECT datname FROM pg_database WHERE datallowconn AND NOT datistemplate ORDER BY datname"));
    if (!rows) {
        *error = connection->lastError().message;
        return std::nullopt;
    }
    QStringList names;
    for (const db::Row &row : rows->rows)
        names.append(row.value(0).toString());
    return names;
}

} // namespace qv::server
