// Number and money formats the windows share, and the small text helpers for
// numbers: padding, rounding, reading typed numbers with thousands separators.
#pragma once

#include <QString>
#include <QVariant>

namespace qv::client {

class DataSet;

// "0." followed by n zeros, or "0" for n = 0.
QString FormatDecimals(int decimals);

// Every floating field whose upper-case name contains "DJ" or "PRICE" (prices)
// or "JE" (amounts) edits as "0.00" and shows as "￥,0.00".
void MoneyFormats(DataSet &dataSet);

// The value shown with n decimals and read back; null or empty text gives 0.
double RoundTo(const QVariant &value, int decimals);

// The number's decimal text zero-filled on the left to the width, never cut
// (PadNumber(4, 12) = "0012", PadNumber(4, 12345) = "12345"). A minus sign
// stays in front of the zeros.
QString PadNumber(int width, qint64 number);

// Every maximal run of the digits 0-9 replaced by its last `width` characters
// after filling it with zeros: "AB7" -> "AB0007", "AB12345" -> "AB2345" (width 4).
QString PadDigitRuns(const QString &text, int width);

// A typed number: every "," removed, empty text reads as 0; nullopt-like 0 for
// text that is not a number (ok tells).
double readNumber(const QString &text, bool *ok = nullptr);
// Empty (after removing commas) or equal to 0.
bool isZeroText(const QString &text);

// "1".."9" -> "一".."九"; anything else "0".
QString ChineseDigit(const QString &digit);

} // namespace qv::client
