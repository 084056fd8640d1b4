#include "client/core/dataset/FieldType.h"

#include "common/DayNumber.h"

#include <QDate>
#include <QDateTime>

#include <cmath>

namespace qv::client {

namespace {

bool isNumberType(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isIntegralType(const QVariant &v)
{
    return isNumberType(v) && v.metaType().id() != QMetaType::Double
           && v.metaType().id() != QMetaType::Float;
}

std::optional<double> textToDouble(const QString &text)
{
    QString t = text.trimmed();
    t.remove(QLatin1Char(','));
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

std::optional<QVariant> toInteger(const QVariant &value)
{
    if (isIntegralType(value))
        return QVariant(value.toLongLong());
    if (isNumberType(value)) {
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::fabs(d) > 9.2e18)
            return std::nullopt;
        return QVariant(qint64(std::llround(d)));
    }
    if (value.metaType().id() == QMetaType::Bool)
        return QVariant(qint64(value.toBool() ? 1 : 0));
    if (value.metaType().id() == QMetaType::QString) {
        bool ok = false;
        const qint64 n = value.toString().trimmed().toLongLong(&ok);
        if (ok)
            return QVariant(n);
        const auto d = textToDouble(value.toString());
        if (d && std::floor(*d) == *d && std::fabs(*d) < 9.2e18)
            return QVariant(qint64(*d));
    }
    return std::nullopt;
}

std::optional<QVariant> toDouble(const QVariant &value)
{
    if (isNumberType(value)) {
        const double d = value.toDouble();
        if (!std::isfinite(d))
            return std::nullopt;
        return QVariant(d);
    }
    if (value.metaType().id() == QMetaType::Bool)
        return QVariant(value.toBool() ? 1.0 : 0.0);
    if (value.metaType().id() == QMetaType::QString) {
        if (const auto d = textToDouble(value.toString()))
            return QVariant(*d);
    }
    return std::nullopt;
}

std::optional<QVariant> toText(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return value;
    case QMetaType::QDateTime:
        return QVariant(common::toDateText(value.toDateTime()));
    case QMetaType::QDate:
        return QVariant(common::toDateText(value.toDate()));
    case QMetaType::QByteArray:
        return QVariant(QString::fromUtf8(value.toByteArray()));
    case QMetaType::Double:
    case QMetaType::Float:
        return QVariant(QString::number(value.toDouble(), 'g', 15));
    default:
        if (isNumberType(value) || value.metaType().id() == QMetaType::Bool
            || value.canConvert<QString>())
            return QVariant(value.toString());
        return std::nullopt;
    }
}

std::optional<QVariant> toYesNo(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::Bool)
        return value;
    if (isNumberType(value))
        return QVariant(value.toDouble() != 0.0);
    if (value.metaType().id() == QMetaType::QString) {
        const QString t = value.toString().trimmed().toLower();
        if (t == u"true" || t == u"1" || t == u"yes" || t == u"y" || t == u"t" || t == u"是")
            return QVariant(true);
        if (t == u"false" || t == u"0" || t == u"no" || t == u"n" || t == u"f" || t == u"否")
            return QVariant(false);
    }
    return std::nullopt;
}

std::optional<QVariant> toDateTime(const QVariant &value, bool dateOnly)
{
    QDateTime dt;
    switch (value.metaType().id()) {
    case QMetaType::QDateTime:
        dt = value.toDateTime();
        break;
    case QMetaType::QDate:
        dt = QDateTime(value.toDate(), QTime(0, 0));
        break;
    case QMetaType::QString:
        dt = common::parseDateText(value.toString());
        break;
    default:
        break;
    }
    if (!dt.isValid())
        return std::nullopt;
    if (dt.timeSpec() != Qt::LocalTime)
        dt = QDateTime(dt.date(), dt.time());
    if (dateOnly)
        dt = QDateTime(dt.date(), QTime(0, 0));
    return QVariant(dt);
}

} // namespace

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::Integer: return QStringLiteral("integer");
    case FieldType::Double: return QStringLiteral("double");
    case FieldType::Text: return QStringLiteral("text");
    case FieldType::Memo: return QStringLiteral("memo");
    case FieldType::Blob: return QStringLiteral("blob");
    case FieldType::YesNo: return QStringLiteral("yesno");
    case FieldType::DateTime: return QStringLiteral("datetime");
    case FieldType::Date: return QStringLiteral("date");
    }
    return QString();
}

bool isValidFieldType(int type)
{
    return type >= int(FieldType::Integer) && type <= int(FieldType::Date);
}

std::optional<QVariant> toFieldValue(FieldType type, const QVariant &value)
{
    if (!value.isValid())
        return QVariant();
    switch (type) {
    case FieldType::Integer: return toInteger(value);
    case FieldType::Double: return toDouble(value);
    case FieldType::Text:
    case FieldType::Memo: return toText(value);
    case FieldType::Blob:
        if (value.metaType().id() == QMetaType::QByteArray)
            return value;
        if (value.metaType().id() == QMetaType::QString)
            return QVariant(value.toString().toUtf8());
        return std::nullopt;
    case FieldType::YesNo: return toYesNo(value);
    case FieldType::DateTime: return toDateTime(value, false);
    case FieldType::Date: return toDateTime(value, true);
    }
    return std::nullopt;
}

bool sameValue(const QVariant &a, const QVariant &b, Qt::CaseSensitivity textCase)
{
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    if (isNumberType(a) && isNumberType(b)) {
        if (isIntegralType(a) && isIntegralType(b))
            return a.toLongLong() == b.toLongLong();
        return a.toDouble() == b.toDouble();
    }
    if (a.metaType().id() == QMetaType::QString && b.metaType().id() == QMetaType::QString)
        return a.toString().compare(b.toString(), textCase) == 0;
    return compareValues(a, b, textCase) == 0 && a.metaType() == b.metaType();
}

int compareValues(const QVariant &a, const QVariant &b, Qt::CaseSensitivity textCase,
                  const QCollator *collator)
{
    const bool an = !a.isValid();
    const bool bn = !b.isValid();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    if (isNumberType(a) && isNumberType(b)) {
        if (isIntegralType(a) && isIntegralType(b)) {
            const qint64 x = a.toLongLong();
            const qint64 y = b.toLongLong();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const int ta = a.metaType().id();
    const int tb = b.metaType().id();
    if (ta == QMetaType::QDateTime && tb == QMetaType::QDateTime) {
        const QDateTime x = a.toDateTime();
        const QDateTime y = b.toDateTime();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (ta == QMetaType::Bool && tb == QMetaType::Bool)
        return int(a.toBool()) - int(b.toBool());
    if (ta == QMetaType::QByteArray && tb == QMetaType::QByteArray) {
        const int c = a.toByteArray().compare(b.toByteArray());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    const QString x = a.toString();
    const QString y = b.toString();
    const int c = collator ? collator->compare(x, y) : x.compare(y, textCase);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

double numericValue(const QVariant &value)
{
    if (isNumberType(value))
        return value.toDouble();
    if (value.metaType().id() == QMetaType::Bool)
        return value.toBool() ? 1.0 : 0.0;
    return 0.0;
}

} // namespace qv::client
