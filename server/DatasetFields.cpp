#include "server/DatasetFields.h"

#include <QSet>

namespace qv::server {

using protocol::FieldFlag;
using protocol::FieldType;

FieldType fieldType(schema::ColumnType type)
{
    switch (type) {
    case schema::ColumnType::Text: return FieldType::Text;
    case schema::ColumnType::Integer: return FieldType::Integer;
    case schema::ColumnType::SmallInt: return FieldType::SmallInt;
    case schema::ColumnType::AutoNumber: return FieldType::AutoNumber;
    case schema::ColumnType::Double: return FieldType::Double;
    case schema::ColumnType::Decimal: return FieldType::Decimal;
    case schema::ColumnType::Currency: return FieldType::Currency;
    case schema::ColumnType::Date: return FieldType::Date;
    case schema::ColumnType::DateTime: return FieldType::DateTime;
    case schema::ColumnType::YesNo: return FieldType::YesNo;
    case schema::ColumnType::Memo: return FieldType::Memo;
    case schema::ColumnType::Blob: return FieldType::Blob;
    }
    return FieldType::Unknown;
}

FieldType fieldType(sql::SqlType type)
{
    switch (type) {
    case sql::SqlType::Integer: return FieldType::Integer;
    case sql::SqlType::Double: return FieldType::Double;
    case sql::SqlType::Text: return FieldType::Text;
    case sql::SqlType::YesNo: return FieldType::YesNo;
    case sql::SqlType::Date: return FieldType::DateTime;
    case sql::SqlType::Blob: return FieldType::Blob;
    case sql::SqlType::Unknown:
    case sql::SqlType::Null: break;
    }
    return FieldType::Unknown;
}

namespace {

protocol::FieldFlags roleFlags(const schema::Table &table, const schema::Column &column)
{
    const bool autoNumber = column.type == schema::ColumnType::AutoNumber;
    for (const QString &key : table.rowKey) {
        if (key.compare(column.name, Qt::CaseInsensitive) != 0)
            continue;
        // An autonumber key finds the row but the database assigns it.
        if (autoNumber)
            return FieldFlag::RowKey | FieldFlag::ReadOnly;
        return table.primaryKey ? (FieldFlag::RowKey | FieldFlag::Required) : protocol::FieldFlags(FieldFlag::RowKey);
    }
    if (autoNumber)
        return FieldFlag::ReadOnly;
    switch (column.role) {
    case schema::ColumnRole::RowKey: return FieldFlag::RowKey;
    case schema::ColumnRole::Locating: return FieldFlag::Locating;
    case schema::ColumnRole::UpdateOnly: return FieldFlag::UpdateOnly;
    case schema::ColumnRole::ReadOnly: break;
    }
    return FieldFlag::ReadOnly;
}

QString uniqueName(const QString &name, QSet<QString> &taken)
{
    QString candidate = name.isEmpty() ? QStringLiteral("Expr") : name;
    for (int n = 1; taken.contains(candidate.toLower()); ++n)
        candidate = QStringLiteral("%1_%2").arg(name).arg(n);
    taken.insert(candidate.toLower());
    return candidate;
}

} // namespace

QList<DatasetField> describeFields(const QList<sql::RunColumn> &columns, const Provider *provider,
                                   const schema::Schema &schema)
{
    const schema::Table *base = provider ? provider->baseTable : nullptr;
    QList<DatasetField> fields;
    fields.reserve(columns.size());
    QSet<QString> taken;
    for (const sql::RunColumn &c : columns) {
        DatasetField f;
        f.info.name = uniqueName(c.name, taken);
        const schema::Table *origin = c.originTable.isEmpty() ? nullptr : schema.table(c.originTable);
        const schema::Column *declared = origin ? origin->column(c.originColumn) : nullptr;
        if (declared) {
            f.info.type = fieldType(declared->type);
            f.info.size = declared->size;
            f.info.scale = declared->scale;
        } else {
            f.info.type = fieldType(c.type);
        }
        const bool passesThrough = declared && origin == base
                                   && c.name.compare(declared->name, Qt::CaseInsensitive) == 0
                                   && f.info.name == c.name;
        if (passesThrough) {
            f.baseColumn = declared;
            f.info.flags = roleFlags(*base, *declared);
        } else {
            f.info.flags = FieldFlag::Computed;
        }
        if (f.isLarge())
            f.info.flags |= FieldFlag::BlobOnDemand;
        fields.append(f);
    }
    return fields;
}

QList<protocol::FieldInfo> fieldInfos(const QList<DatasetField> &fields)
{
    QList<protocol::FieldInfo> infos;
    infos.reserve(fields.size());
    for (const DatasetField &f : fields)
        infos.append(f.info);
    return infos;
}

} // namespace qv::server
