#include "sql/JetValues.h"

#include "common/DayNumber.h"

#include <QRegularExpression>

#include <cmath>

namespace qv::sql::jet {

namespace {

// A number as decimal digits: what Format rounds. The double is first taken to
// 15 significant digits, as the original engine does, so 2.345 is 2.345 and
// not 2.34499999999999997.
struct Decimal {
    bool negative = false;
    QString digits; // no leading zeros except a single "0"
    int exponent = 0; // value = 0.digits * 10^exponent
};

Decimal toDecimal(double value)
{
    Decimal d;
    d.negative = value < 0;
    const QString s = QString::number(std::abs(value), 'e', 14); // d.dddddddddddddde±xx
    const int e = int(s.indexOf(QLatin1Char('e')));
    QString mantissa = s.left(e);
    mantissa.remove(QLatin1Char('.'));
    d.digits = mantissa;
    d.exponent = s.mid(e + 1).toInt() + 1;
    return d;
}

// Rounds to 'decimals' places, half away from zero; returns integer and
// fraction digits.
void roundDecimal(const Decimal &d, int decimals, QString *integerPart, QString *fraction, bool *isZero)
{
    // Digits of the value with the point after position 'exponent'.
    QString digits = d.digits;
    int point = d.exponent;
    if (point < 0) {
        digits.prepend(QString(-point, QLatin1Char('0')));
        point = 0;
    }
    if (digits.size() < point + decimals)
        digits.append(QString(point + decimals - digits.size(), QLatin1Char('0')));
    const int keep = point + decimals;
    bool roundUp = keep < digits.size() && digits[keep] >= QLatin1Char('5');
    QString kept = digits.left(keep);
    if (roundUp) {
        int i = int(kept.size()) - 1;
        for (; i >= 0; --i) {
            if (kept[i] == QLatin1Char('9')) {
                kept[i] = QLatin1Char('0');
            } else {
                kept[i] = QChar(kept[i].unicode() + 1);
                break;
            }
        }
        if (i < 0) {
            kept.prepend(QLatin1Char('1'));
            ++point;
        }
    }
    QString intPart = kept.left(point);
    while (intPart.size() > 1 && intPart.startsWith(QLatin1Char('0')))
        intPart.remove(0, 1);
    if (intPart.isEmpty())
        intPart = QStringLiteral("0");
    *integerPart = intPart;
    *fraction = kept.mid(point);
    *isZero = !kept.contains(QRegularExpression(QStringLiteral("[1-9]")));
}

QString group(const QString &integer)
{
    QString out;
    const int n = int(integer.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += integer[i];
    }
    return out;
}

} // namespace

QString numberText(double value)
{
    if (std::isnan(value) || std::isinf(value))
        return QString::number(value);
    if (value == std::floor(value) && std::abs(value) < 1e15)
        return QString::number(qint64(value));
    QString s = QString::number(value, 'g', 15);
    s.replace(QLatin1Char('e'), QLatin1Char('E'));
    return s;
}

double val(QStringView text)
{
    QString compact;
    for (QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            compact += c;
    }
    static const QRegularExpression number(QStringLiteral(
        R"(^[+-]?(\d+\.?\d*|\.\d+)([eEdD][+-]?\d+)?)"));
    const QRegularExpressionMatch m = number.match(compact);
    if (!m.hasMatch())
        return 0;
    QString matched = m.captured(0);
    matched.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    const double v = matched.toDouble(&ok);
    if (ok)
        return v;
    // An exponent too large: take the digits without it.
    return m.captured(1).toDouble() * (matched.startsWith(QLatin1Char('-')) ? -1 : 1);
}

std::optional<double> parseNumber(QStringView text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

QString dateText(double dayNumber)
{
    return common::toDateText(common::dateTimeFromDayNumber(dayNumber));
}

std::optional<double> dayNumber(QStringView text)
{
    const QDateTime dt = common::parseDateText(text);
    if (!dt.isValid())
        return std::nullopt;
    return common::dayNumberFromDateTime(dt);
}

double roundHalfEven(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    // Take the product to 15 significant digits first, so 2.675 * 100 counts as
    // 267.5 and not 267.49999999999997.
    const double cleaned = QString::number(scaled, 'g', 15).toDouble();
    return std::nearbyint(cleaned) / scale; // the default rounding mode is to even
}

std::optional<FormatPattern> parseFormatPattern(QStringView pattern)
{
    const QString p = pattern.toString();
    const QString lower = p.toLower();
    FormatPattern f;
    if (lower == QLatin1String("fixed"))
        return parseFormatPattern(u"0.00");
    if (lower == QLatin1String("standard"))
        return parseFormatPattern(u"#,##0.00");
    if (lower == QLatin1String("percent"))
        return parseFormatPattern(u"0.00%");
    if (lower == QLatin1String("general number")) {
        f.number.maxDecimals = -1;
        return f;
    }
    if (lower == QLatin1String("short date") || lower == QLatin1String("medium date") || lower == QLatin1String("long date")) {
        f.isDate = true;
        f.datePattern = QStringLiteral("yyyy-mm-dd");
        return f;
    }
    if (lower == QLatin1String("long time") || lower == QLatin1String("medium time")) {
        f.isDate = true;
        f.datePattern = QStringLiteral("hh:nn:ss");
        return f;
    }
    if (lower == QLatin1String("short time")) {
        f.isDate = true;
        f.datePattern = QStringLiteral("hh:nn");
        return f;
    }
    static const QRegularExpression dateTokens(QStringLiteral("^(yyyy|yy|mm|m|dd|d|hh|h|nn|n|ss|s|[-/: .年月日时分秒])+$"));
    if (dateTokens.match(lower).hasMatch() && lower.contains(QRegularExpression(QStringLiteral("[ymdhns]")))) {
        f.isDate = true;
        f.datePattern = lower;
        return f;
    }
    // A number pattern: one section (the positive one); further sections for
    // negative, zero and Null values are not supported.
    if (p.contains(QLatin1Char(';')))
        return std::nullopt;
    NumberPattern &n = f.number;
    int firstPlaceholder = -1;
    int lastPlaceholder = -1;
    bool afterPoint = false;
    for (int i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (firstPlaceholder < 0)
                firstPlaceholder = i;
            lastPlaceholder = i;
            if (afterPoint) {
                ++n.maxDecimals;
                if (c == QLatin1Char('0'))
                    n.minDecimals = n.maxDecimals;
            } else if (c == QLatin1Char('0')) {
                ++n.integerZeros;
            }
        } else if (c == QLatin1Char('.')) {
            if (afterPoint)
                return std::nullopt;
            afterPoint = true;
            if (firstPlaceholder < 0)
                firstPlaceholder = i;
            lastPlaceholder = i;
        } else if (c == QLatin1Char(',')) {
            if (firstPlaceholder >= 0 && !afterPoint)
                n.grouping = true;
            else
                return std::nullopt;
        } else if (c == QLatin1Char('%')) {
            n.percent = true;
        } else if ((c.unicode() < 128 && c.isLetterOrNumber()) || c == QLatin1Char('"') || c == QLatin1Char('\\')
                   || c == QLatin1Char('@') || c == QLatin1Char('&')) {
            return std::nullopt; // quoted literals, text and date placeholders; other text is shown as it is
        }
    }
    if (firstPlaceholder < 0)
        return std::nullopt;
    for (int i = 0; i < firstPlaceholder; ++i)
        n.prefix += p[i];
    for (int i = lastPlaceholder + 1; i < p.size(); ++i)
        n.suffix += p[i];
    for (int i = firstPlaceholder; i <= lastPlaceholder; ++i) {
        const QChar c = p[i];
        if (c != QLatin1Char('0') && c != QLatin1Char('#') && c != QLatin1Char('.') && c != QLatin1Char(','))
            return std::nullopt; // literal text among the digits
    }
    return f;
}

QString formatNumber(double value, const NumberPattern &pattern)
{
    if (pattern.maxDecimals < 0)
        return numberText(value);
    QString integer;
    QString fraction;
    bool isZero = false;
    Decimal d = toDecimal(value);
    if (pattern.percent && d.digits != QLatin1String("0"))
        d.exponent += 2;
    roundDecimal(d, pattern.maxDecimals, &integer, &fraction, &isZero);
    while (fraction.size() > pattern.minDecimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (integer == QLatin1String("0") && pattern.integerZeros == 0)
        integer.clear();
    while (integer.size() < pattern.integerZeros)
        integer.prepend(QLatin1Char('0'));
    if (pattern.grouping)
        integer = group(integer);
    QString out = integer;
    if (pattern.maxDecimals > 0)
        out += QLatin1Char('.') + fraction; // "#.##" of a whole number keeps its point
    const bool negative = d.negative && !isZero;
    return (negative ? QStringLiteral("-") : QString()) + pattern.prefix + out + pattern.suffix;
}

QString formatDate(double dayNumber, QStringView datePattern)
{
    const QDateTime dt = common::dateTimeFromDayNumber(dayNumber);
    if (!dt.isValid())
        return {};
    const QDate date = dt.date();
    const QTime time = dt.time();
    QString out;
    const QString p = datePattern.toString();
    bool afterHour = false;
    for (int i = 0; i < p.size();) {
        auto run = [&](QChar c) {
            int n = 0;
            while (i + n < p.size() && p[i + n] == c)
                ++n;
            return n;
        };
        const QChar c = p[i];
        const int n = run(c);
        auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        if (c == QLatin1Char('y')) {
            out += n >= 4 ? QString::number(date.year()) : two(date.year() % 100);
        } else if (c == QLatin1Char('m')) {
            const int v = afterHour ? time.minute() : date.month(); // "h:mm" is minutes
            out += n >= 2 ? two(v) : QString::number(v);
        } else if (c == QLatin1Char('d')) {
            out += n >= 2 ? two(date.day()) : QString::number(date.day());
        } else if (c == QLatin1Char('h')) {
            out += n >= 2 ? two(time.hour()) : QString::number(time.hour());
            afterHour = true;
        } else if (c == QLatin1Char('n')) {
            out += n >= 2 ? two(time.minute()) : QString::number(time.minute());
        } else if (c == QLatin1Char('s')) {
            out += n >= 2 ? two(time.second()) : QString::number(time.second());
        } else {
            out += QString(n, c);
        }
        if (c != QLatin1Char('h') && c != QLatin1Char(':') && c != QLatin1Char('m'))
            afterHour = false;
        i += n;
    }
    return out;
}

std::optional<QString> format(double value, QStringView pattern)
{
    if (pattern.isEmpty())
        return numberText(value);
    const std::optional<FormatPattern> f = parseFormatPattern(pattern);
    if (!f)
        return std::nullopt;
    return f->isDate ? formatDate(value, f->datePattern) : formatNumber(value, f->number);
}

} // namespace qv::sql::jet
