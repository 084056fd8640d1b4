#include "protocol/Field.h"

#include "protocol/WireValue.h"

#include <QSet>

#include <array>
#include <limits>

namespace qv::protocol {

namespace {

struct TypeName {
    FieldType type;
    const char *name;
};

constexpr std::array kTypeNames{
    TypeName{FieldType::Unknown, "unknown"},   TypeName{FieldType::Text, "text"},
    TypeName{FieldType::Integer, "integer"},   TypeName{FieldType::SmallInt, "smallint"},
    TypeName{FieldType::AutoNumber, "autonumber"}, TypeName{FieldType::Double, "double"},
    TypeName{FieldType::Decimal, "decimal"},   TypeName{FieldType::Currency, "currency"},
    TypeName{FieldType::Date, "date"},         TypeName{FieldType::DateTime, "datetime"},
    TypeName{FieldType::YesNo, "yesno"},       TypeName{FieldType::Memo, "memo"},
    TypeName{FieldType::Blob, "blob"},
};

struct FlagName {
    FieldFlag flag;
    const char *name;
};

constexpr std::array kFlagNames{
    FlagName{FieldFlag::RowKey, "rowKey"},         FlagName{FieldFlag::Locating, "locating"},
    FlagName{FieldFlag::UpdateOnly, "updateOnly"}, FlagName{FieldFlag::ReadOnly, "readOnly"},
    FlagName{FieldFlag::Computed, "computed"},     FlagName{FieldFlag::Required, "required"},
    FlagName{FieldFlag::BlobOnDemand, "blobOnDemand"},
};

constexpr qint64 kIntMax = std::numeric_limits<int>::max();

bool readType(MapReader &reader, DecodeErrors &errors, FieldType &out)
{
    const QString name = reader.text(QStringLiteral("type"));
    if (!reader.ok())
        return false;
    const auto type = fieldTypeFromName(name);
    if (!type) {
        DecodeErrors::Scope scope(errors, QStringLiteral("type"));
        return errors.fail(QStringLiteral("unknown field type '%1'").arg(name));
    }
    out = *type;
    return true;
}

} // namespace

QString fieldTypeName(FieldType type)
{
    for (const TypeName &entry : kTypeNames) {
        if (entry.type == type)
            return QString::fromLatin1(entry.name);
    }
    return QStringLiteral("unknown");
}

std::optional<FieldType> fieldTypeFromName(const QString &name)
{
    for (const TypeName &entry : kTypeNames) {
        if (name == QLatin1String(entry.name))
            return entry.type;
    }
    return std::nullopt;
}

bool isLargeType(FieldType type)
{
    return type == FieldType::Memo || type == FieldType::Blob;
}

QString fieldFlagName(FieldFlag flag)
{
    for (const FlagName &entry : kFlagNames) {
        if (entry.flag == flag)
            return QString::fromLatin1(entry.name);
    }
    return {};
}

bool FieldInfo::isWritable() const
{
    return flags & (FieldFlag::RowKey | FieldFlag::Locating | FieldFlag::UpdateOnly);
}

QCborValue toCbor(const FieldInfo &field)
{
    QCborMap map;
    map.insert(QStringLiteral("name"), field.name);
    map.insert(QStringLiteral("type"), fieldTypeName(field.type));
    map.insert(QStringLiteral("size"), field.size);
    if (field.scale != 0)
        map.insert(QStringLiteral("scale"), field.scale);
    QCborArray flags;
    for (const FlagName &entry : kFlagNames) {
        if (field.flags.testFlag(entry.flag))
            flags.append(QString::fromLatin1(entry.name));
    }
    map.insert(QStringLiteral("flags"), flags);
    return map;
}

bool fromCbor(const QCborValue &value, FieldInfo &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.name = reader.text(QStringLiteral("name"));
    if (reader.ok() && out.name.isEmpty()) {
        DecodeErrors::Scope scope(errors, QStringLiteral("name"));
        return errors.fail(QStringLiteral("empty field name"));
    }
    if (!readType(reader, errors, out.type))
        return false;
    out.size = int(reader.integer(QStringLiteral("size"), 0, kIntMax));
    out.scale = int(reader.optionalInteger(QStringLiteral("scale"), 0, kIntMax).value_or(0));
    out.flags = {};
    const QStringList flags = reader.textList(QStringLiteral("flags"));
    for (const QString &name : flags) {
        const auto entry = std::find_if(kFlagNames.begin(), kFlagNames.end(), [&](const FlagName &f) {
            return name == QLatin1String(f.name);
        });
        if (entry == kFlagNames.end()) {
            DecodeErrors::Scope scope(errors, QStringLiteral("flags"));
            return errors.fail(QStringLiteral("unknown flag '%1'").arg(name));
        }
        out.flags |= entry->flag;
    }
    return reader.finish();
}

QCborValue toCbor(const Param &param)
{
    QCborMap map;
    map.insert(QStringLiteral("name"), param.name);
    if (param.type != FieldType::Unknown)
        map.insert(QStringLiteral("type"), fieldTypeName(param.type));
    map.insert(QStringLiteral("value"), encodeValue(param.value));
    return map;
}

bool fromCbor(const QCborValue &value, Param &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.name = reader.text(QStringLiteral("name"));
    out.type = FieldType::Unknown;
    if (reader.has(QStringLiteral("type")) && !readType(reader, errors, out.type))
        return false;
    const QCborValue v = reader.value(QStringLiteral("value"));
    if (!reader.ok())
        return false;
    {
        DecodeErrors::Scope scope(errors, QStringLiteral("value"));
        if (!decodeValue(v, out.value, errors))
            return false;
    }
    return reader.finish();
}

QCborValue toCbor(const QList<FieldInfo> &fields)
{
    QCborArray array;
    for (const FieldInfo &field : fields)
        array.append(toCbor(field));
    return array;
}

bool fromCbor(const QCborValue &value, QList<FieldInfo> &out, DecodeErrors &errors)
{
    out.clear();
    QSet<QString> names;
    return decodeArray(value, errors, [&](const QCborValue &element, qsizetype) {
        FieldInfo field;
        if (!fromCbor(element, field, errors))
            return false;
        // Rows are addressed by name; the server renames a repeated column.
        const QString key = field.name.toCaseFolded();
        if (names.contains(key))
            return errors.fail(QStringLiteral("field name '%1' appears twice").arg(field.name));
        names.insert(key);
        out.append(std::move(field));
        return true;
    });
}

QCborValue toCbor(const QList<Param> &params)
{
    QCborArray array;
    for (const Param &param : params)
        array.append(toCbor(param));
    return array;
}

bool fromCbor(const QCborValue &value, QList<Param> &out, DecodeErrors &errors)
{
    out.clear();
    return decodeArray(value, errors, [&](const QCborValue &element, qsizetype) {
        Param param;
        if (!fromCbor(element, param, errors))
            return false;
        out.append(std::move(param));
        return true;
    });
}

} // namespace qv::protocol
