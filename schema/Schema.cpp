#include "schema/Schema.h"

#include "schema/SchemaParser.h"

#include <QFile>
#include <cstdio>
#include <cstdlib>

// The resource must be registered from the global namespace.
static void initSchemaResource()
{
    Q_INIT_RESOURCE(schema);
}

namespace qv::schema {

void ensureSchemaResource()
{
    static const bool done = (initSchemaResource(), true);
    Q_UNUSED(done);
}

const Column *Table::column(QStringView columnName) const
{
    for (const Column &c : columns) {
        if (c.name.compare(columnName, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

const Schema &Schema::builtIn()
{
    static const Schema model = [] {
        ensureSchemaResource();
        QFile file(QStringLiteral(":/qv/schema/qv.schema"));
        Schema s;
        QString error;
        if (!file.open(QIODevice::ReadOnly)
            || !parse(QString::fromUtf8(file.readAll()), s, &error)) {
            std::fprintf(stderr, "built-in schema: %s\n", qPrintable(error));
            std::abort();
        }
        return s;
    }();
    return model;
}

bool Schema::parse(const QString &text, Schema &out, QString *error)
{
    SchemaParser parser;
    if (!parser.parse(text)) {
        if (error)
            *error = parser.error();
        return false;
    }
    out.m_tables = parser.takeTables();
    out.m_datasets = parser.takeDatasets();
    return true;
}

QList<const Table *> Schema::tables(Database database) const
{
    QList<const Table *> result;
    for (const Table &t : m_tables) {
        if (t.database == database)
            result.append(&t);
    }
    return result;
}

const Table *Schema::table(QStringView name) const
{
    for (const Table &t : m_tables) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

QList<const Dataset *> Schema::datasets(Module module) const
{
    QList<const Dataset *> result;
    for (const Dataset &d : m_datasets) {
        if (d.module == module)
            result.append(&d);
    }
    return result;
}

const Dataset *Schema::dataset(QStringView name) const
{
    for (const Dataset &d : m_datasets) {
        if (d.name.compare(name, Qt::CaseInsensitive) == 0)
            return &d;
    }
    return nullptr;
}

QString columnTypeName(ColumnType type)
{
    switch (type) {
    case ColumnType::Text: return QStringLiteral("text");
    case ColumnType::Integer: return QStringLiteral("integer");
    case ColumnType::SmallInt: return QStringLiteral("smallint");
    case ColumnType::AutoNumber: return QStringLiteral("autonumber");
    case ColumnType::Double: return QStringLiteral("double");
    case ColumnType::Decimal: return QStringLiteral("decimal");
    case ColumnType::Currency: return QStringLiteral("currency");
    case ColumnType::Date: return QStringLiteral("date");
    case ColumnType::DateTime: return QStringLiteral("datetime");
    case ColumnType::YesNo: return QStringLiteral("yesno");
    case ColumnType::Memo: return QStringLiteral("memo");
    case ColumnType::Blob: return QStringLiteral("blob");
    }
    return {};
}

} // namespace qv::schema
