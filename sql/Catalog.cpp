#include "sql/Catalog.h"

namespace qv::sql {

const CatalogColumn *CatalogTable::column(QStringView columnName) const
{
    for (const CatalogColumn &c : columns) {
        if (c.name.compare(columnName, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

SqlType sqlTypeOf(schema::ColumnType type)
{
    using schema::ColumnType;
    switch (type) {
    case ColumnType::Text:
    case ColumnType::Memo: return SqlType::Text;
    case ColumnType::Integer:
    case ColumnType::SmallInt:
    case ColumnType::AutoNumber: return SqlType::Integer;
    case ColumnType::Double:
    case ColumnType::Decimal:
    case ColumnType::Currency: return SqlType::Double;
    case ColumnType::Date:
    case ColumnType::DateTime: return SqlType::Date;
    case ColumnType::YesNo: return SqlType::YesNo;
    case ColumnType::Blob: return SqlType::Blob;
    }
    return SqlType::Unknown;
}

Catalog Catalog::fromSchema(const schema::Schema &schema, schema::Database database)
{
    Catalog catalog;
    for (const schema::Table &t : schema.tables()) {
        if (t.database == database)
            catalog.addTable(t);
    }
    return catalog;
}

void Catalog::addTable(CatalogTable table)
{
    const QString key = table.name.toLower();
    m_tables.insert(key, std::move(table));
    ++m_generation;
}

void Catalog::addTable(const schema::Table &table)
{
    CatalogTable t;
    t.name = table.name;
    for (const schema::Column &c : table.columns)
        t.columns.push_back({c.name, sqlTypeOf(c.type), c.type == schema::ColumnType::AutoNumber});
    addTable(std::move(t));
}

bool Catalog::removeTable(QStringView name)
{
    if (m_tables.remove(name.toString().toLower()) == 0)
        return false;
    ++m_generation;
    return true;
}

const CatalogTable *Catalog::table(QStringView name) const
{
    const auto it = m_tables.constFind(name.toString().toLower());
    return it == m_tables.constEnd() ? nullptr : &it.value();
}

std::vector<const CatalogTable *> Catalog::tables() const
{
    std::vector<const CatalogTable *> list;
    for (const CatalogTable &t : m_tables)
        list.push_back(&t);
    std::sort(list.begin(), list.end(), [](const CatalogTable *a, const CatalogTable *b) {
        return a->name.compare(b->name, Qt::CaseInsensitive) < 0;
    });
    return list;
}

} // namespace qv::sql
