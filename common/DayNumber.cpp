#include "common/DayNumber.h"

#include <QTime>

#include <cmath>

namespace qv::common {

namespace {

constexpr qint64 secondsPerDay = 86400;
constexpr qint64 msecsPerDay = secondsPerDay * 1000;

bool inSupportedRange(QDate date)
{
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

// Reads 'minDigits'..'maxDigits' decimal digits at 'pos'; advances pos.
std::optional<int> readNumber(QStringView text, qsizetype &pos, int minDigits, int maxDigits)
{
    int value = 0;
    int digits = 0;
    while (pos < text.size() && digits < maxDigits && text[pos].isDigit()
           && text[pos].unicode() < 128) {
        value = value * 10 + (text[pos].unicode() - '0');
        ++pos;
        ++digits;
    }
    if (digits < minDigits)
        return std::nullopt;
    return value;
}

bool expect(QStringView text, qsizetype &pos, QChar c)
{
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

QDate dayNumberEpoch()
{
    return QDate(1899, 12, 30);
}

QDateTime dateTimeFromDayNumber(double dayNumber)
{
    // Nine thousand years fit comfortably in +-4e6 days; rejecting the rest first
    // keeps the cast below defined.
    if (!std::isfinite(dayNumber) || std::abs(dayNumber) > 4.0e6)
        return {};
    double wholeDays = 0;
    const double fraction = std::abs(std::modf(dayNumber, &wholeDays));
    qint64 days = static_cast<qint64>(wholeDays);
    qint64 seconds = std::llround(fraction * double(secondsPerDay));
    if (seconds >= secondsPerDay) { // 23:59:59.6 and later round to the next midnight
        seconds -= secondsPerDay;
        days += 1;
    }
    const QDate date = dayNumberEpoch().addDays(days);
    if (!inSupportedRange(date))
        return {};
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(seconds * 1000)));
}

std::optional<double> dayNumberFromDateTime(const QDateTime &value)
{
    if (!value.isValid() || !inSupportedRange(value.date()))
        return std::nullopt;
    const qint64 days = dayNumberEpoch().daysTo(value.date());
    const double fraction = double(value.time().msecsSinceStartOfDay()) / double(msecsPerDay);
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

std::optional<double> dayNumberFromDate(QDate date)
{
    if (!inSupportedRange(date))
        return std::nullopt;
    return double(dayNumberEpoch().daysTo(date));
}

QString toDateText(QDate date)
{
    if (!inSupportedRange(date))
        return {};
    return QStringLiteral("%1-%2-%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(twoDigits(date.month()), twoDigits(date.day()));
}

QString toDateText(const QDateTime &value)
{
    if (!value.isValid())
        return {};
    const QString date = toDateText(value.date());
    const QTime time = value.time();
    if (date.isEmpty() || time.msecsSinceStartOfDay() < 1000)
        return date;
    return date + QLatin1Char(' ') + twoDigits(time.hour()) + QLatin1Char(':')
        + twoDigits(time.minute()) + QLatin1Char(':') + twoDigits(time.second());
}

QDateTime parseDateText(QStringView input)
{
    const QStringView text = input.trimmed();
    qsizetype pos = 0;
    const auto year = readNumber(text, pos, 4, 4);
    if (!year || pos >= text.size())
        return {};
    const QChar separator = text[pos];
    if (separator != QLatin1Char('-') && separator != QLatin1Char('/'))
        return {};
    ++pos;
    const auto month = readNumber(text, pos, 1, 2);
    if (!month || !expect(text, pos, separator))
        return {};
    const auto day = readNumber(text, pos, 1, 2);
    if (!day)
        return {};
    const QDate date(*year, *month, *day);
    if (!inSupportedRange(date))
        return {};
    if (pos == text.size())
        return QDateTime(date, QTime(0, 0));

    if (!expect(text, pos, QLatin1Char(' ')) && !expect(text, pos, QLatin1Char('T')))
        return {};
    while (pos < text.size() && text[pos] == QLatin1Char(' '))
        ++pos;
    const auto hour = readNumber(text, pos, 1, 2);
    if (!hour || !expect(text, pos, QLatin1Char(':')))
        return {};
    const auto minute = readNumber(text, pos, 2, 2);
    if (!minute)
        return {};
    int second = 0;
    if (pos < text.size()) {
        if (!expect(text, pos, QLatin1Char(':')))
            return {};
        const auto s = readNumber(text, pos, 2, 2);
        if (!s || pos != text.size())
            return {};
        second = *s;
    }
    const QTime time(*hour, *minute, second);
    if (!time.isValid())
        return {};
    return QDateTime(date, time);
}

} // namespace qv::common
