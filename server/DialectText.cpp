#include "server/DialectText.h"

#include "common/DayNumber.h"
#include "protocol/WireValue.h"

#include <QDateTime>

namespace qv::server {

std::optional<QString> dialectLiteral(const QVariant &value)
{
    if (protocol::isNullValue(value) || protocol::isNotFetched(value))
        return QStringLiteral("Null");
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::QDateTime:
        return QLatin1Char('#') + common::toDateText(value.toDateTime()) + QLatin1Char('#');
    case QMetaType::QDate:
        return QLatin1Char('#') + common::toDateText(value.toDate()) + QLatin1Char('#');
    case QMetaType::QString: {
        QString text = value.toString();
        text.replace(QLatin1Char('\''), QStringLiteral("''"));
        return QLatin1Char('\'') + text + QLatin1Char('\'');
    }
    default:
        return std::nullopt;
    }
}

QString displayLiteral(const QVariant &value)
{
    if (value.typeId() == QMetaType::QByteArray)
        return QStringLiteral("<%1 bytes>").arg(value.toByteArray().size());
    return dialectLiteral(value).value_or(QStringLiteral("?"));
}

QString bracketName(const QString &name)
{
    QString inner = name;
    inner.remove(QLatin1Char(']'));
    return QLatin1Char('[') + inner + QLatin1Char(']');
}

} // namespace qv::server
