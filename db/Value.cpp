#include "db/Value.h"

#include <QDate>
#include <QDateTime>

namespace qv::db {

std::optional<ValueKind> kindOf(const Value &value)
{
    if (isNull(value))
        return ValueKind::Null;
    switch (value.typeId()) {
    case QMetaType::Nullptr:
        return ValueKind::Null;
    case QMetaType::Bool:
        return ValueKind::Bool;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return ValueKind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return ValueKind::Double;
    case QMetaType::QString:
        return ValueKind::Text;
    case QMetaType::QByteArray:
        return ValueKind::Blob;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        return ValueKind::DateTime;
    default:
        return std::nullopt;
    }
}

QString kindName(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Null: return QStringLiteral("null");
    case ValueKind::Integer: return QStringLiteral("integer");
    case ValueKind::Double: return QStringLiteral("double");
    case ValueKind::Text: return QStringLiteral("text");
    case ValueKind::Blob: return QStringLiteral("blob");
    case ValueKind::Bool: return QStringLiteral("yes/no");
    case ValueKind::DateTime: return QStringLiteral("date");
    }
    return QString();
}

} // namespace qv::db
