#include "client/core/dataset/Field.h"

#include "client/core/dataset/DataSet.h"
#include "client/core/dataset/DisplayFormat.h"

#include "common/DayNumber.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace qv::client {

namespace {

QStringList boolTextPair(const QString &texts)
{
    QStringList pair = texts.split(u';');
    if (texts.isEmpty() || pair.size() != 2)
        return {QStringLiteral("True"), QStringLiteral("False")};
    return pair;
}

QDateTime parseDate(const QString &text, const QString &pattern)
{
    if (!pattern.isEmpty()) {
        const QDateTime dt = QDateTime::fromString(text, normalizedDatePattern(pattern));
        if (dt.isValid())
            return dt;
    }
    QDateTime dt = common::parseDateText(text);
    if (dt.isValid())
        return dt;
    // Eight digits typed without separators: 20240105.
    const QString t = text.trimmed();
    if (t.size() == 8 && std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); })) {
        const QDate d = QDate::fromString(t, QStringLiteral("yyyyMMdd"));
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    return QDateTime();
}

} // namespace

Field::Field(DataSet *dataSet, const FieldDef &def, FieldKind kind)
    : m_dataSet(dataSet)
    , m_name(def.name)
    , m_type(def.type)
    , m_size(def.size)
    , m_flags(def.flags)
    , m_kind(kind)
    , m_required(def.flags.testFlag(FieldFlag::Required))
{
}

bool Field::isWrittenBack() const
{
    return m_kind == FieldKind::Data
           && !(m_flags & (FieldFlag::ReadOnly | FieldFlag::Computed));
}

QString Field::effectiveEditFormat() const
{
    if (!m_editFormat.isEmpty())
        return m_editFormat;
    if (isNumeric(m_type))
        return editPatternOf(m_displayFormat);
    return m_displayFormat;
}

QVariant Field::value() const
{
    return m_dataSet->fieldValue(*this);
}

bool Field::setValue(const QVariant &value)
{
    return m_dataSet->setFieldValue(*this, value);
}

QVariant Field::oldValue() const
{
    return m_dataSet->fieldOldValue(*this);
}

QString Field::asString() const
{
    const QVariant v = value();
    if (!v.isValid())
        return QString();
    switch (m_type) {
    case FieldType::Integer:
        return QString::number(v.toLongLong());
    case FieldType::Double:
        return plainNumber(v.toDouble());
    case FieldType::DateTime:
    case FieldType::Date:
        return common::toDateText(v.toDateTime());
    case FieldType::YesNo:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Blob:
        return QString::fromUtf8(v.toByteArray());
    default:
        return v.toString();
    }
}

qint64 Field::asInteger() const
{
    const QVariant v = value();
    if (m_type == FieldType::Double)
        return qRound64(v.toDouble());
    const auto converted = toFieldValue(FieldType::Integer, v);
    return converted ? converted->toLongLong() : 0;
}

double Field::asDouble() const
{
    const auto converted = toFieldValue(FieldType::Double, value());
    return converted ? converted->toDouble() : 0.0;
}

bool Field::asBool() const
{
    const auto converted = toFieldValue(FieldType::YesNo, value());
    return converted && converted->toBool();
}

QDateTime Field::asDateTime() const
{
    const auto converted = toFieldValue(FieldType::DateTime, value());
    return converted ? converted->toDateTime() : QDateTime();
}

QByteArray Field::asBytes() const
{
    const QVariant v = value();
    if (v.metaType().id() == QMetaType::QByteArray)
        return v.toByteArray();
    return asString().toUtf8();
}

QString Field::formatValue(const QVariant &v, bool displayText) const
{
    if (!v.isValid())
        return QString();
    switch (m_type) {
    case FieldType::Integer:
    case FieldType::Double: {
        if (v.metaType().id() == QMetaType::QString)
            return v.toString(); // a server value that is not a number stays as it came
        const double d = v.toDouble();
        if (m_zeroToEmpty && d == 0.0)
            return QString();
        const QString pattern = displayText ? m_displayFormat : effectiveEditFormat();
        if (pattern.isEmpty() && m_type == FieldType::Integer)
            return QString::number(v.toLongLong());
        return formatNumber(d, pattern);
    }
    case FieldType::Text:
    case FieldType::Memo:
        return v.toString();
    case FieldType::Blob:
        return displayText ? QStringLiteral("(BLOB)") : QString();
    case FieldType::YesNo: {
        const QStringList pair = boolTextPair(m_boolTexts);
        return v.toBool() ? pair[0] : pair[1];
    }
    case FieldType::DateTime:
    case FieldType::Date:
        return formatDateTime(v.toDateTime(),
                              displayText ? m_displayFormat : effectiveEditFormat(), m_type);
    }
    return QString();
}

QString Field::displayText() const
{
    QString text = formatValue(value(), true);
    if (m_getText)
        m_getText(*this, text, true);
    return text;
}

QString Field::text() const
{
    QString text = formatValue(value(), false);
    if (m_getText)
        m_getText(*this, text, false);
    return text;
}

std::optional<QVariant> Field::parseText(const QString &text, QString *error) const
{
    auto fail = [&](const QString &what) -> std::optional<QVariant> {
        if (error)
            *error = QStringLiteral("'%1'不是有效的%2").arg(text, what);
        return std::nullopt;
    };
    const QString trimmed = text.trimmed();
    switch (m_type) {
    case FieldType::Text:
    case FieldType::Memo:
        return QVariant(text);
    case FieldType::Integer:
    case FieldType::Double: {
        if (trimmed.isEmpty())
            return QVariant();
        QString t = trimmed;
        t.remove(u',');
        // A currency sign or a percent sign typed with the number is not part of it.
        if (t.startsWith(u'￥') || t.startsWith(u'¥'))
            t.remove(0, 1);
        if (t.endsWith(u'%'))
            t.chop(1);
        bool ok = false;
        if (m_type == FieldType::Integer) {
            const qint64 n = t.toLongLong(&ok);
            if (!ok)
                return fail(QStringLiteral("整数"));
            return QVariant(n);
        }
        const double d = t.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            return fail(QStringLiteral("数值"));
        return QVariant(d);
    }
    case FieldType::YesNo: {
        if (trimmed.isEmpty())
            return QVariant();
        const QStringList pair = boolTextPair(m_boolTexts);
        if (trimmed.compare(pair[0], Qt::CaseInsensitive) == 0)
            return QVariant(true);
        if (trimmed.compare(pair[1], Qt::CaseInsensitive) == 0)
            return QVariant(false);
        if (auto v = toFieldValue(FieldType::YesNo, QVariant(trimmed)))
            return v;
        return fail(QStringLiteral("逻辑值"));
    }
    case FieldType::DateTime:
    case FieldType::Date: {
        if (trimmed.isEmpty())
            return QVariant();
        const QDateTime dt = parseDate(trimmed, effectiveEditFormat());
        if (!dt.isValid())
            return fail(QStringLiteral("日期"));
        return toFieldValue(m_type, QVariant(dt));
    }
    case FieldType::Blob:
        if (error)
            *error = QStringLiteral("二进制字段不能用文字赋值");
        return std::nullopt;
    }
    return std::nullopt;
}

bool Field::assignText(const QString &text)
{
    QString error;
    const auto parsed = parseText(text, &error);
    if (!parsed) {
        m_dataSet->reportFieldError(*this, error);
        return false;
    }
    return setValue(*parsed);
}

bool Field::setAsText(const QString &text)
{
    return m_dataSet->setFieldText(*this, text);
}

} // namespace qv::client
