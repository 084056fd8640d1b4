#include "protocol/WireValue.h"

#include "common/DayNumber.h"

#include <QCborArray>

#include <cmath>
#include <limits>

namespace qv::protocol {

namespace {

// The number written by `count` ASCII digits at `from`; -1 when one is not a digit.
int digits(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

QDateTime midnight(QDate date)
{
    return QDateTime(date, QTime(0, 0));
}

} // namespace

QVariant notFetched()
{
    return QVariant::fromValue(NotFetched{});
}

bool isNotFetched(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<NotFetched>();
}

bool isNullValue(const QVariant &value)
{
    return !value.isValid() || value.isNull();
}

QString dateTimeText(const QDateTime &value)
{
    return common::toDateText(value);
}

std::optional<QDateTime> parseWireDateTime(const QString &text)
{
    const auto at = [&](qsizetype i, char c) { return text[i] == QLatin1Char(c); };
    if (text.size() != 10 && text.size() != 19)
        return std::nullopt;
    const int year = digits(text, 0, 4);
    const int month = digits(text, 5, 2);
    const int day = digits(text, 8, 2);
    if (year < 1 || month < 0 || day < 0 || !at(4, '-') || !at(7, '-'))
        return std::nullopt;
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (text.size() == 19) {
        hour = digits(text, 11, 2);
        minute = digits(text, 14, 2);
        second = digits(text, 17, 2);
        if (!at(10, ' ') || !at(13, ':') || !at(16, ':') || hour < 0 || minute < 0 || second < 0)
            return std::nullopt;
    }
    if (!QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        return std::nullopt;
    const QDateTime value(QDate(year, month, day), QTime(hour, minute, second));
    if (!value.isValid())
        return std::nullopt;
    return value;
}

bool isWireValue(const QVariant &value)
{
    if (isNullValue(value) || isNotFetched(value))
        return true;
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Float:
    case QMetaType::Double:
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return true;
    case QMetaType::QDateTime:
        return !dateTimeText(value.toDateTime()).isEmpty();
    case QMetaType::QDate:
        return !dateTimeText(midnight(value.toDate())).isEmpty();
    default:
        return false;
    }
}

QCborValue encodeValue(const QVariant &value)
{
    if (isNullValue(value))
        return QCborValue(nullptr);
    if (isNotFetched(value))
        return QCborValue(QCborValue::Undefined);
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return QCborValue(value.toBool());
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return QCborValue(value.toDouble());
        return QCborValue(qint64(value.toULongLong()));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return QCborValue(value.toLongLong());
    case QMetaType::Float:
    case QMetaType::Double:
        return QCborValue(value.toDouble());
    case QMetaType::QString:
        return QCborValue(value.toString());
    case QMetaType::QByteArray:
        return QCborValue(value.toByteArray());
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        const QDateTime dt = value.metaType().id() == QMetaType::QDate ? midnight(value.toDate())
                                                                        : value.toDateTime();
        const QString text = dateTimeText(dt);
        if (text.isEmpty())
            return QCborValue(nullptr);
        return QCborValue(QCborTag(kDateTimeTag), QCborValue(text));
    }
    default:
        return QCborValue(nullptr);
    }
}

bool decodeValue(const QCborValue &value, QVariant &out, DecodeErrors &errors,
                 NotFetchedMarker marker)
{
    switch (value.type()) {
    case QCborValue::Null:
        out = QVariant();
        return true;
    case QCborValue::Undefined:
        if (marker == NotFetchedMarker::Refused)
            return errors.fail(QStringLiteral("the not-fetched marker is not allowed here"));
        out = notFetched();
        return true;
    case QCborValue::Integer:
        out = QVariant(qint64(value.toInteger()));
        return true;
    case QCborValue::Double:
        out = QVariant(value.toDouble());
        return true;
    case QCborValue::False:
    case QCborValue::True:
        out = QVariant(value.toBool());
        return true;
    case QCborValue::String: {
        QString text = value.toString();
        out = QVariant(text.isNull() ? QStringLiteral("") : text);
        return true;
    }
    case QCborValue::ByteArray: {
        QByteArray bytes = value.toByteArray();
        out = QVariant(bytes.isNull() ? QByteArray("") : bytes);
        return true;
    }
    default:
        break;
    }
    if (value.isTag() && value.tag() == QCborTag(kDateTimeTag)) {
        const QCborValue inner = value.taggedValue();
        if (!inner.isString())
            return errors.fail(QStringLiteral("a date must be text, found %1").arg(cborTypeName(inner)));
        const auto date = parseWireDateTime(inner.toString());
        if (!date)
            return errors.fail(QStringLiteral("'%1' is not a date in the form YYYY-MM-DD[ HH:MM:SS]")
                                   .arg(inner.toString().left(40)));
        out = QVariant(*date);
        return true;
    }
    return errors.fail(QStringLiteral("expected a value (null, integer, double, text, bytes, "
                                      "yes/no or date), found %1")
                           .arg(cborTypeName(value)));
}

QCborValue encodeRow(const Row &row)
{
    QCborArray array;
    for (const QVariant &value : row)
        array.append(encodeValue(value));
    return array;
}

bool decodeRow(const QCborValue &value, Row &out, DecodeErrors &errors, qsizetype width,
               NotFetchedMarker marker)
{
    if (!value.isArray())
        return errors.fail(QStringLiteral("expected a row (an array), found %1").arg(cborTypeName(value)));
    const QCborArray array = value.toArray();
    if (width >= 0 && array.size() != width)
        return errors.fail(QStringLiteral("row of %1 values for %2 fields").arg(array.size()).arg(width));
    out.clear();
    out.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        DecodeErrors::Scope scope(errors, i);
        QVariant v;
        if (!decodeValue(array.at(i), v, errors, marker))
            return false;
        out.append(std::move(v));
    }
    return true;
}

QCborValue encodeRows(const QList<Row> &rows)
{
    QCborArray array;
    for (const Row &row : rows)
        array.append(encodeRow(row));
    return array;
}

bool decodeRows(const QCborValue &value, QList<Row> &out, DecodeErrors &errors, qsizetype width,
                NotFetchedMarker marker)
{
    out.clear();
    return decodeArray(value, errors, [&](const QCborValue &element, qsizetype) {
        Row row;
        if (!decodeRow(element, row, errors, width, marker))
            return false;
        out.append(std::move(row));
        return true;
    });
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (isNullValue(a) || isNullValue(b))
        return isNullValue(a) && isNullValue(b);
    if (a.metaType() != b.metaType())
        return false;
    if (a.metaType().id() == QMetaType::Double) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x == y || (std::isnan(x) && std::isnan(y));
    }
    return a == b;
}

bool sameRow(const Row &a, const Row &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!sameValue(a[i], b[i]))
            return false;
    }
    return true;
}

} // namespace qv::protocol
