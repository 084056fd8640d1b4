// The rows of a query, read whole. For large results use a Cursor.
#pragma once

#include "db/Value.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace qv::db {

struct ColumnInfo {
    QString name;         // as the engine reports it
    QString declaredType; // the engine's type name; empty when it has none
    ValueKind kind = ValueKind::Null;
};

struct ResultSet {
    QList<ColumnInfo> columns;
    QList<Row> rows;

    qsizetype rowCount() const { return rows.size(); }
    qsizetype columnCount() const { return columns.size(); }
    // Index of the first column of that name, compared without regard to case;
    // -1 when there is none.
    qsizetype columnIndex(QStringView name) const;
    // The value at (row, column); a null value outside the result.
    Value value(qsizetype row, qsizetype column) const;
    Value value(qsizetype row, QStringView columnName) const;
};

} // namespace qv::db
