// Date ranges the lists and reports start from: the named ranges of the range
// pickers ("本月", "上周", ...) and the default range of the document lists,
// set in "System\SystemSet.ini" section CurrentWork.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

class QDateTimeEdit;

namespace qv::client {

struct DateTimeRange {
    QDateTime start;
    QDateTime end;
    friend bool operator==(const DateTimeRange &, const DateTimeRange &) = default;
};

// The named range around `now`: 今天, 昨天, 前天, 本周, 上周, 本月, 上月, 本年,
// 上年. Weeks run Monday to Sunday; every end but the single days' is 23:59:59
// of its last day. nullopt for any other name (the caller keeps its range).
std::optional<DateTimeRange> PresetRange(const QString &name, const QDateTime &now);
std::optional<DateTimeRange> PresetRange(const QString &name);

// The list settings of CurrentWork.
struct ListRangeSettings {
    int itemIndex = 0; // 0 today, 1 this month, 2 last N days, 3 accounting period, 4 everything
    int day = 0;       // N for option 2
    int kjqj = 1;      // first day of the accounting period for option 3

    // Reads "System\SystemSet.ini" under the program folder.
    static ListRangeSettings load(const QString &programFolder);
    bool save(const QString &programFolder) const;
};

QString systemSetFile(const QString &programFolder);

struct DateRange {
    QDate start;
    QDate end;
    friend bool operator==(const DateRange &, const DateRange &) = default;
};

// The default range for the settings on `today`.
DateRange defaultListRange(const ListRangeSettings &settings, QDate today);

// Reads the settings, sets both pickers and answers the option (ItemIndex).
int DefaultListRange(QDateTimeEdit *start, QDateTimeEdit *end, const QString &programFolder);
int DefaultListRange(QDateTimeEdit *start, QDateTimeEdit *end);

} // namespace qv::client
