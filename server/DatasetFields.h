// The field list a dataset statement gives the client, and what saving may do
// with each field. A result column is bound to its base table's column only
// when it is that column passed through unchanged under its own name: aliases,
// columns of other tables and expressions are never written back, and neither
// are read-only or autonumber columns.
#pragma once

#include "protocol/Field.h"
#include "server/Providers.h"
#include "sql/runner/SqlRunner.h"

#include <QList>

namespace qv::server {

struct DatasetField {
    protocol::FieldInfo info;
    // The base table's column this field passes through (any role); nullptr
    // for everything else.
    const schema::Column *baseColumn = nullptr;

    bool isLarge() const { return protocol::isLargeType(info.type); }
    // Written on insert and update: a column of the base table that is neither
    // read-only nor assigned by the database.
    bool isWritable() const
    {
        return baseColumn && baseColumn->type != schema::ColumnType::AutoNumber
               && !info.has(protocol::FieldFlag::ReadOnly);
    }
};

// Fields for the result columns of a statement of the provider (which may be
// nullptr for statements run without a dataset). Names come out unique,
// case-insensitively: a repeated name gets "_1", "_2", ...
QList<DatasetField> describeFields(const QList<sql::RunColumn> &columns, const Provider *provider,
                                   const schema::Schema &schema);

QList<protocol::FieldInfo> fieldInfos(const QList<DatasetField> &fields);

// The wire type of a schema column and of a translated column type.
protocol::FieldType fieldType(schema::ColumnType type);
protocol::FieldType fieldType(sql::SqlType type);

} // namespace qv::server
