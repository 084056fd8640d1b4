#include "db/ResultSet.h"

namespace qv::db {

qsizetype ResultSet::columnIndex(QStringView name) const
{
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (QStringView(columns[i].name).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Value ResultSet::value(qsizetype row, qsizetype column) const
{
    if (row < 0 || row >= rows.size() || column < 0 || column >= rows[row].size())
        return Value();
    return rows[row][column];
}

Value ResultSet::value(qsizetype row, QStringView columnName) const
{
    return value(row, columnIndex(columnName));
}

} // namespace qv::db
