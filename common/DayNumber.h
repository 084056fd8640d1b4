// Dates as the programs exchange them: day numbers (days since 1899-12-30, the time
// of day as the fraction) and the canonical date text kept in the databases.
//
// Day numbers before day 0 follow the old engine's convention: the integer part
// counts days backwards and the fraction is still the time of day added to that
// day, so -1.25 is 1899-12-29 06:00 (not 1899-12-28 18:00). As a consequence
// -0.25 and 0.25 name the same moment; converting back always gives 0.25.
//
// All values are local wall-clock times (QDateTime in local time); the system
// keeps no time zones.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

namespace qv::common {

// Day number 0: 1899-12-30 at midnight.
QDate dayNumberEpoch();

// The date-time a day number stands for, rounded to the nearest second.
// Invalid for NaN, infinities and values outside the years 1..9999.
QDateTime dateTimeFromDayNumber(double dayNumber);

// The day number of a date-time (milliseconds included); nullopt when the value is
// invalid or outside the years 1..9999.
std::optional<double> dayNumberFromDateTime(const QDateTime &value);
std::optional<double> dayNumberFromDate(QDate date);

// Canonical text: "YYYY-MM-DD" for a midnight value, "YYYY-MM-DD HH:MM:SS"
// otherwise. Milliseconds are dropped (a clock at 23:59:59.7 still reads
// 23:59:59). Text order is time order. Empty for an invalid value.
QString toDateText(const QDateTime &value);
QString toDateText(QDate date);

// Reads canonical text back, and also "YYYY-MM-DD HH:MM" and the same forms with
// '/' between the date parts ("YYYY/MM/DD"). Month, day and hour may have one
// digit; surrounding blanks are ignored. Anything else gives an invalid value.
QDateTime parseDateText(QStringView text);

} // namespace qv::common
