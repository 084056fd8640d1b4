#include "db/Catalogue.h"

namespace qv::db::catalogue {

std::optional<QStringList> names(const std::optional<ResultSet> &result)
{
    if (!result)
        return std::nullopt;
    QStringList names;
    for (const Row &row : result->rows)
        names.append(row.value(0).toString());
    return names;
}

std::optional<QList<Row>> tableRows(Connection &connection, const QString &sql, const QString &table,
                                    Error *error)
{
    const auto statement = connection.prepare(sql);
    if (!statement) {
        *error = connection.lastError();
        return std::nullopt;
    }
    statement->bind(1, table);
    auto result = statement->query();
    if (!result) {
        *error = statement->lastError();
        return std::nullopt;
    }
    if (result->rows.isEmpty()) {
        *error = Error{Phase::Prepare, QStringLiteral("no such table: %1").arg(table), sql};
        return std::nullopt;
    }
    return std::move(result->rows);
}

TableColumn column(const Row &row, int first)
{
    TableColumn column;
    column.name = row.value(first).toString();
    column.declaredType = row.value(first + 1).toString();
    column.notNull = row.value(first + 2).toBool();
    column.primaryKeyPosition = int(row.value(first + 3).toLongLong());
    return column;
}

} // namespace qv::db::catalogue
