// Pieces of statement text as the client writes them. Statements are built as
// text in the original dialect and translated by the server; values go into the
// text, never as parameters, so they must be written safely and in the one form
// the dialect reads.
#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

namespace qv::client {

// The client's short date format: dates turned into text read YYYY-MM-DD
// everywhere, and document numbering relies on it.
inline constexpr QStringView kShortDateFormat = u"yyyy-MM-dd";
QString shortDateText(QDate date);

// A text value between single quotes, every embedded quote doubled, so a name
// such as O'Neil can never end the literal early.
QString quoted(QStringView text);

// A number as the standard float-to-text conversion writes it: up to 15
// significant digits, no thousands separators, integers without a decimal point.
QString sqlNumber(double value);

// A date used as an upper bound: the end of that day (23:59:59) as a day number,
// for example "2024-01-15" gives 45306.9999884259. The text may carry a time of
// day, which is ignored. nullopt when the text is not a date.
std::optional<QString> endOfDayNumber(QStringView dateText);
// The start of the day (00:00) as a day number: "2024-01-15" gives 45306.
std::optional<QString> startOfDayNumber(QStringView dateText);

// The date filter of the document lists on their header alias M:
// " and M.RQ >=" + start of the start date (only withStart) and always
// " and M.RQ <=" + end of the end date. nullopt when a date it needs is invalid.
std::optional<QString> dateRangeClause(bool withStart, QStringView endDate,
                                       QStringView startDate = {});

} // namespace qv::client
