#include "server/TableList.h"

#include <QDir>
#include <QFileInfo>

namespace qv::server {

QString databaseKey(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

std::optional<QStringList> businessTables(Session &session, protocol::ErrorInfo *error)
{
    if (!session.business().open(error))
        return std::nullopt;
    db::Connection &connection = *session.business().connection();
    auto names = connection.tableNames();
    if (!names) {
        *error = databaseError(connection.lastError());
        return std::nullopt;
    }
    for (QString &name : *names) {
        if (const schema::Table *known = session.context().schema.table(name))
            name = known->name;
    }
    return names;
}

} // namespace qv::server
