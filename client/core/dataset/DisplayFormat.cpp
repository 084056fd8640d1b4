#include "client/core/dataset/DisplayFormat.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace qv::client {

namespace {

struct NumberSection {
    QString prefix;
    QString suffix;
    bool grouping = false;
    bool hasDigits = false;
    int minInt = 0; // '0' placeholders before the point
    int minDec = 0; // decimals always shown
    int maxDec = 0; // decimals shown at most
};

// Splits at ';' outside quotes; at most three sections.
QStringList splitSections(QStringView pattern)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (const QChar ch : pattern) {
        if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
            current += ch;
        } else if (ch == u'"' || ch == u'\'') {
            quote = ch;
            current += ch;
        } else if (ch == u';' && sections.size() < 2) {
            sections << current;
            current.clear();
        } else {
            current += ch;
        }
    }
    sections << current;
    return sections;
}

NumberSection parseSection(QStringView text)
{
    NumberSection s;
    bool inFraction = false;
    int fractionPlaces = 0;
    QChar quote;
    auto literal = [&s](QChar ch) {
        if (s.hasDigits)
            s.suffix += ch;
        else
            s.prefix += ch;
    };
    for (const QChar ch : text) {
        if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
            else
                literal(ch);
            continue;
        }
        if (ch == u'"' || ch == u'\'') {
            quote = ch;
        } else if (ch == u'0' || ch == u'#') {
            // A literal between placeholders is dropped: only text before the
            // first and after the last placeholder is printed.
            s.suffix.clear();
            s.hasDigits = true;
            if (inFraction) {
                ++fractionPlaces;
                if (ch == u'0')
                    s.minDec = fractionPlaces;
            } else if (ch == u'0') {
                ++s.minInt;
            }
        } else if (ch == u'.' && !inFraction) {
            inFraction = true;
        } else if (ch == u',') {
            s.grouping = true;
        } else {
            literal(ch);
        }
    }
    s.maxDec = fractionPlaces;
    return s;
}

// The digits of |value| rounded to `decimals` places, half away from zero on the
// 15-significant-digit decimal form.
void roundedDigits(double magnitude, int decimals, QString &intPart, QString &fracPart)
{
    const QString e = QString::number(magnitude, 'e', 14); // d.dddddddddddddde+XX
    const qsizetype ePos = e.indexOf(u'e');
    QString digits = e.left(ePos);
    digits.remove(u'.');
    const int exponent = e.mid(ePos + 1).toInt();
    int pointPos = exponent + 1;
    if (pointPos <= 0) {
        digits.prepend(QString(1 - pointPos, u'0'));
        pointPos = 1;
    }
    if (pointPos > digits.size())
        digits.append(QString(pointPos - digits.size(), u'0'));
    QString whole = digits.left(pointPos);
    QString frac = digits.mid(pointPos);
    bool roundUp = false;
    if (frac.size() > decimals) {
        roundUp = frac.at(decimals) >= u'5';
        frac.truncate(decimals);
    }
    if (frac.size() < decimals)
        frac.append(QString(decimals - frac.size(), u'0'));
    if (roundUp) {
        QString all = whole + frac;
        qsizetype i = all.size() - 1;
        for (; i >= 0; --i) {
            if (all[i] == u'9') {
                all[i] = u'0';
            } else {
                all[i] = QChar(all[i].unicode() + 1);
                break;
            }
        }
        if (i < 0)
            all.prepend(u'1');
        whole = all.left(all.size() - decimals);
        frac = all.right(decimals);
    }
    intPart = whole;
    fracPart = frac;
}

QString groupThousands(const QString &digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u',';
        out += digits[i];
    }
    return out;
}

// Formats |value| with one section; `negative` adds the minus sign.
QString formatWithSection(double magnitude, bool negative, const NumberSection &s)
{
    if (!s.hasDigits)
        return s.prefix + s.suffix;
    QString whole;
    QString frac;
    roundedDigits(magnitude, s.maxDec, whole, frac);
    while (frac.size() > s.minDec && frac.endsWith(u'0'))
        frac.chop(1);
    qsizetype lead = 0;
    while (lead < whole.size() && whole[lead] == u'0')
        ++lead;
    whole = whole.mid(lead);
    if (whole.size() < s.minInt)
        whole.prepend(QString(s.minInt - whole.size(), u'0'));
    const bool allZero = whole.count(u'0') == whole.size() && frac.count(u'0') == frac.size();
    if (s.grouping)
        whole = groupThousands(whole);
    QString out;
    if (negative && !allZero)
        out += u'-';
    out += s.prefix + whole;
    if (!frac.isEmpty())
        out += u'.' + frac;
    out += s.suffix;
    return out;
}

QString quotedLiteral(const QString &text)
{
    if (text.isEmpty())
        return QString();
    QString t = text;
    t.replace(u'"', QStringLiteral("\"\""));
    return u'"' + t + u'"';
}

} // namespace

QString plainNumber(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (std::floor(value) == value && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

QString formatNumber(double value, QStringView pattern)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (pattern.isEmpty())
        return plainNumber(value);
    const QStringList sections = splitSections(pattern);
    if (sections.size() >= 3 && value == 0.0 && !sections[2].isEmpty())
        return formatWithSection(0.0, false, parseSection(sections[2]));
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return formatWithSection(-value, false, parseSection(sections[1]));
    return formatWithSection(std::fabs(value), value < 0, parseSection(sections[0]));
}

QString editPatternOf(QStringView displayPattern)
{
    QString p = displayPattern.toString();
    p.remove(u',');
    // "#0.00" shows exactly what "0.00" shows; keep the pattern a clerk reads.
    static const QRegularExpression optionalLead(QStringLiteral("#+0"));
    p.replace(optionalLead, QStringLiteral("0"));
    return p;
}

QString spreadsheetNumberFormat(QStringView pattern, double value)
{
    if (pattern.isEmpty())
        return QStringLiteral("General");
    const QStringList sections = splitSections(pattern);
    const NumberSection s = parseSection(sections[0]);
    if (!s.hasDigits)
        return QStringLiteral("General");
    QString whole;
    if (s.grouping)
        whole = s.minInt > 0 ? QStringLiteral("#,##0") : QStringLiteral("#,###");
    else
        whole = s.minInt > 0 ? QString(s.minInt, u'0') : QStringLiteral("#");
    // Only as many optional decimals as this value shows: spreadsheets print a
    // bare point for "0.##" when the value is whole.
    const QString shown = formatWithSection(std::fabs(value), false, s);
    const qsizetype point = shown.indexOf(u'.', s.prefix.size());
    QString fraction;
    if (s.maxDec > 0 && (s.minDec > 0 || point >= 0))
        fraction = u'.' + QString(s.minDec, u'0') + QString(s.maxDec - s.minDec, u'#');
    return quotedLiteral(s.prefix) + whole + fraction + quotedLiteral(s.suffix);
}

QString normalizedDatePattern(QStringView pattern)
{
    QString p = pattern.toString();
    if (!p.contains(u'M') && !p.contains(u'h') && !p.contains(u'H'))
        p.replace(u'm', u'M');
    return p;
}

QString formatDateTime(const QDateTime &value, QStringView pattern, FieldType type)
{
    if (!value.isValid())
        return QString();
    if (pattern.isEmpty()) {
        if (type == FieldType::Date || value.time() == QTime(0, 0))
            return value.toString(QStringLiteral("yyyy-MM-dd"));
        return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    return value.toString(normalizedDatePattern(pattern));
}

QString spreadsheetDateFormat(QStringView pattern, FieldType type, const QDateTime &value)
{
    QString p = pattern.isEmpty()
                    ? ((type == FieldType::Date || value.time() == QTime(0, 0))
                           ? QStringLiteral("yyyy-MM-dd")
                           : QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                    : normalizedDatePattern(pattern);
    QString out;
    QChar quote;
    for (const QChar ch : p) {
        if (!quote.isNull()) {
            if (ch == quote) {
                quote = QChar();
                out += u'"';
            } else {
                out += ch;
            }
        } else if (ch == u'\'') {
            quote = ch;
            out += u'"';
        } else {
            out += ch.toLower();
        }
    }
    return out;
}

} // namespace qv::client
