#include "client/core/data/SqlText.h"

#include "common/DayNumber.h"

#include <cmath>

namespace qv::client {

namespace {

std::optional<QDate> dateOf(QStringView text)
{
    const QDateTime value = common::parseDateText(text);
    if (!value.isValid())
        return std::nullopt;
    return value.date();
}

} // namespace

QString shortDateText(QDate date)
{
    return date.toString(kShortDateFormat);
}

QString quoted(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'\'';
    for (const QChar c : text) {
        if (c == u'\'')
            out += u'\'';
        out += c;
    }
    out += u'\'';
    return out;
}

QString sqlNumber(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

std::optional<QString> endOfDayNumber(QStringView dateText)
{
    const auto date = dateOf(dateText);
    if (!date)
        return std::nullopt;
    const auto number = common::dayNumberFromDateTime(QDateTime(*date, QTime(23, 59, 59)));
    if (!number)
        return std::nullopt;
    return sqlNumber(*number);
}

std::optional<QString> startOfDayNumber(QStringView dateText)
{
    const auto date = dateOf(dateText);
    if (!date)
        return std::nullopt;
    const auto number = common::dayNumberFromDate(*date);
    if (!number)
        return std::nullopt;
    return sqlNumber(*number);
}

std::optional<QString> dateRangeClause(bool withStart, QStringView endDate, QStringView startDate)
{
    QString clause;
    if (withStart) {
        const auto start = startOfDayNumber(startDate);
        if (!start)
            return std::nullopt;
        clause += QStringLiteral(" and M.RQ >=") + *start;
    }
    const auto end = endOfDayNumber(endDate);
    if (!end)
        return std::nullopt;
    return clause + QStringLiteral(" and M.RQ <=") + *end;
}

} // namespace qv::client
