// Display and edit formats of fields.
//
// Number patterns follow the desktop convention the windows are written in:
// '0' a digit that is always shown, '#' a digit shown when significant, '.' the
// decimal point, ',' anywhere in the pattern turns on thousands separators;
// anything else (or text between quotes) is printed as it stands, before or after
// the number. Up to three sections separated by ';' format positive, negative
// (printed without its minus sign) and zero values; an empty section falls back
// to the first. Rounding is half away from zero on the decimal value read with
// 15 significant digits, so 2.675 with "0.00" gives "2.68" as a clerk expects.
//
//   "#,0.##"  1234.5 -> "1,234.5"      "0.00"     3     -> "3.00"
//   "#,0.00"  -0.004 -> "0.00"         "￥,0.00"  1234  -> "￥1,234.00"
//
// Date patterns are Qt's ("yyyy-MM-dd HH:mm:ss"); a pattern without 'M' and
// without hours reads "mm" as the month, as the old patterns did ("yyyy-mm-dd").
#pragma once

#include "client/core/dataset/FieldType.h"

#include <QDateTime>
#include <QString>
#include <QStringView>

namespace qv::client {

// The number with the pattern; an empty pattern gives the plain number
// (15 significant digits, no separators).
QString formatNumber(double value, QStringView pattern);
// The plain text of a number: integers without a decimal point, others with up
// to 15 significant digits.
QString plainNumber(double value);
// The edit pattern that goes with a display pattern: every ',' removed, so
// "#,0.00" edits as "0.00".
QString editPatternOf(QStringView displayPattern);
// The spreadsheet number format showing the value as the pattern does
// ("#,0.##" -> "#,##0.##"; the decimal part is left out for a value that shows
// none, so 1234 does not read "1,234.").
QString spreadsheetNumberFormat(QStringView pattern, double value);

// The date with the pattern; an empty pattern gives "yyyy-MM-dd" for a date and
// for a date-time at midnight, "yyyy-MM-dd HH:mm:ss" otherwise.
QString formatDateTime(const QDateTime &value, QStringView pattern, FieldType type);
// The pattern as Qt reads it (see the note on "mm" above).
QString normalizedDatePattern(QStringView pattern);
// The spreadsheet date format for a date pattern.
QString spreadsheetDateFormat(QStringView pattern, FieldType type, const QDateTime &value);

} // namespace qv::client
