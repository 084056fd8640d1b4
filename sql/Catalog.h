// The tables a statement can name, with their columns and value types, as the
// binder needs them. Built from the schema; tables created at run time (the
// reports' temporary tables) are added and removed as their statements pass.
#pragma once

#include "sql/SqlType.h"

#include "schema/Schema.h"

#include <QHash>
#include <QString>
#include <vector>

namespace qv::sql {

struct CatalogColumn {
    QString name;
    SqlType type = SqlType::Unknown;
    bool autoNumber = false; // numbered by the database when an INSERT leaves it out
};

struct CatalogTable {
    QString name;
    std::vector<CatalogColumn> columns;

    const CatalogColumn *column(QStringView columnName) const; // case-insensitive
};

SqlType sqlTypeOf(schema::ColumnType type);

class Catalog {
public:
    Catalog() = default;

    // Every table of one database of the model.
    static Catalog fromSchema(const schema::Schema &schema, schema::Database database);

    void addTable(CatalogTable table); // replaces a table of the same name
    void addTable(const schema::Table &table);
    bool removeTable(QStringView name);

    const CatalogTable *table(QStringView name) const; // case-insensitive
    std::vector<const CatalogTable *> tables() const;  // by name
    int size() const { return int(m_tables.size()); }

    // Changes with every addition and removal; cached translations made under
    // another generation may name tables that changed.
    quint64 generation() const { return m_generation; }

private:
    QHash<QString, CatalogTable> m_tables; // by lower-case name
    quint64 m_generation = 0;
};

} // namespace qv::sql
