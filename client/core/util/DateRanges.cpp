#include "client/core/util/DateRanges.h"

#include "common/IniFile.h"
#include "common/Paths.h"

#include <QDateTimeEdit>

namespace qv::client {

namespace {

const QTime kEndOfDay(23, 59, 59);

QDateTime startOf(QDate date)
{
    return QDateTime(date, QTime(0, 0));
}

QDateTime endOf(QDate date)
{
    return QDateTime(date, kEndOfDay);
}

DateTimeRange week(QDate day)
{
    const QDate monday = day.addDays(1 - day.dayOfWeek());
    return {startOf(monday), endOf(monday.addDays(6))};
}

DateTimeRange month(QDate day)
{
    const QDate first(day.year(), day.month(), 1);
    return {startOf(first), endOf(first.addMonths(1).addDays(-1))};
}

DateTimeRange year(int y)
{
    return {startOf(QDate(y, 1, 1)), endOf(QDate(y, 12, 31))};
}

} // namespace

std::optional<DateTimeRange> PresetRange(const QString &name, const QDateTime &now)
{
    const QDate today = now.date();
    if (name == QStringLiteral("今天"))
        return DateTimeRange{now, now};
    if (name == QStringLiteral("昨天"))
        return DateTimeRange{now.addDays(-1), now.addDays(-1)};
    if (name == QStringLiteral("前天"))
        return DateTimeRange{now.addDays(-2), now.addDays(-2)};
    if (name == QStringLiteral("本周"))
        return week(today);
    if (name == QStringLiteral("上周"))
        return week(today.addDays(-7));
    if (name == QStringLiteral("本月"))
        return month(today);
    if (name == QStringLiteral("上月"))
        return month(QDate(today.year(), today.month(), 1).addMonths(-1));
    if (name == QStringLiteral("本年"))
        return year(today.year());
    if (name == QStringLiteral("上年"))
        return year(today.year() - 1);
    return std::nullopt;
}

std::optional<DateTimeRange> PresetRange(const QString &name)
{
    return PresetRange(name, QDateTime::currentDateTime());
}

QString systemSetFile(const QString &programFolder)
{
    return common::joinPath(programFolder, u"System\\SystemSet.ini");
}

ListRangeSettings ListRangeSettings::load(const QString &programFolder)
{
    const common::IniFile ini(systemSetFile(programFolder));
    ListRangeSettings settings;
    settings.itemIndex = ini.readInt(u"CurrentWork", u"ItemIndex", 0);
    settings.day = ini.readInt(u"CurrentWork", u"Day", 0);
    settings.kjqj = ini.readInt(u"CurrentWork", u"KJQJ", 1);
    return settings;
}

bool ListRangeSettings::save(const QString &programFolder) const
{
    common::IniFile ini(systemSetFile(programFolder));
    return ini.writeInt(u"CurrentWork", u"ItemIndex", itemIndex)
           && ini.writeInt(u"CurrentWork", u"Day", day) && ini.writeInt(u"CurrentWork", u"KJQJ", kjqj);
}

DateRange defaultListRange(const ListRangeSettings &settings, QDate today)
{
    const QDate firstOfMonth(today.year(), today.month(), 1);
    switch (settings.itemIndex) {
    case 1:
    case 4:
        return {firstOfMonth, firstOfMonth.addMonths(1).addDays(-1)};
    case 2:
        return {today.addDays(-settings.day), today};
    case 3: {
        QDate start = firstOfMonth;
        if (settings.kjqj != 1) {
            // Day KJQJ of the previous month, or its last day when it is shorter.
            const QDate previous = firstOfMonth.addMonths(-1);
            const int day = std::clamp(settings.kjqj, 1, previous.daysInMonth());
            start = QDate(previous.year(), previous.month(), day);
        }
        return {start, start.addMonths(1).addDays(-1)};
    }
    default:
        return {today, today};
    }
}

int DefaultListRange(QDateTimeEdit *start, QDateTimeEdit *end, const QString &programFolder)
{
    const ListRangeSettings settings = ListRangeSettings::load(programFolder);
    const DateRange range = defaultListRange(settings, QDate::currentDate());
    if (start)
        start->setDate(range.start);
    if (end)
        end->setDate(range.end);
    return settings.itemIndex;
}

int DefaultListRange(QDateTimeEdit *start, QDateTimeEdit *end)
{
    return DefaultListRange(start, end, common::applicationFolder());
}

} // namespace qv::client
