// The original engine's value semantics that neither target engine has built
// in: the text form of numbers, Val, Format, day numbers and banker's rounding.
// The SQLite function library calls these directly; the PostgreSQL library
// implements the same rules in SQL, and the tests hold both to the same cases.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace qv::sql::jet {

// The text form of a number: up to 15 significant digits, no trailing zeros.
QString numberText(double value);

// Val: the number at the start of a text (blanks ignored), 0 when there is none.
double val(QStringView text);

// A text that is a number as a whole (surrounding blanks allowed).
std::optional<double> parseNumber(QStringView text);

// Day numbers (days since 1899-12-30, the time as the fraction) and the
// canonical date text.
QString dateText(double dayNumber);                 // empty when out of range
std::optional<double> dayNumber(QStringView text);  // canonical or yyyy-m-d [h:mm[:ss]]

// Round half to even, as the original engine's Round, CInt and CLng do.
double roundHalfEven(double value, int decimals = 0);

// A number pattern of Format, taken apart.
struct NumberPattern {
    int minDecimals = 0;   // '0' after the point
    int maxDecimals = 0;   // '0' and '#' after the point
    int integerZeros = 0;  // '0' before the point
    bool grouping = false; // ',' between digit placeholders
    bool percent = false;
    QString prefix;        // literal text before the digits
    QString suffix;        // literal text after the digits
};

// A Format pattern: either a number pattern or a date pattern.
struct FormatPattern {
    bool isDate = false;
    NumberPattern number;   // positive (and negative, with a minus sign) numbers
    QString datePattern;    // date patterns are kept as written (lower-cased tokens)
};

// Parses a pattern or a named format ("Fixed", "Standard", "Percent", "Short
// Date", ...). nullopt for what the engine does not support.
std::optional<FormatPattern> parseFormatPattern(QStringView pattern);

QString formatNumber(double value, const NumberPattern &pattern);
QString formatDate(double dayNumber, QStringView datePattern);

// Format(value, pattern) for a number or a day number; an empty pattern gives the
// number's text form.
std::optional<QString> format(double value, QStringView pattern);

} // namespace qv::sql::jet
