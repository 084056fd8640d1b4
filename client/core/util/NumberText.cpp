#include "client/core/util/NumberText.h"

#include "client/core/dataset/DataSet.h"
#include "client/core/dataset/DisplayFormat.h"

namespace qv::client {

QString FormatDecimals(int decimals)
{
    if (decimals <= 0)
        return QStringLiteral("0");
    return QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
}

void MoneyFormats(DataSet &dataSet)
{
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        Field *field = dataSet.field(i);
        if (field->type() != FieldType::Double)
            continue;
        const QString name = field->name().toUpper();
        if (name.contains(QStringLiteral("DJ")) || name.contains(QStringLiteral("PRICE"))
            || name.contains(QStringLiteral("JE"))) {
            field->setEditFormat(QStringLiteral("0.00"));
            field->setDisplayFormat(QStringLiteral("￥,0.00"));
        }
    }
}

double RoundTo(const QVariant &value, int decimals)
{
    if (!value.isValid() || value.isNull())
        return 0;
    bool ok = false;
    const double number = value.typeId() == QMetaType::QString ? readNumber(value.toString(), &ok)
                                                                 : value.toDouble(&ok);
    if (!ok)
        return 0;
    return formatNumber(number, FormatDecimals(decimals)).toDouble();
}

QString PadNumber(int width, qint64 number)
{
    const QString digits = QString::number(number < 0 ? -number : number);
    const QString sign = number < 0 ? QStringLiteral("-") : QString();
    const int fill = std::max(0, width - int(sign.size() + digits.size()));
    return sign + QString(fill, QLatin1Char('0')) + digits;
}

QString PadDigitRuns(const QString &text, int width)
{
    QString result;
    result.reserve(text.size() + width);
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            result += c;
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && text.at(end) >= QLatin1Char('0') && text.at(end) <= QLatin1Char('9'))
            ++end;
        const QString filled = QString(width, QLatin1Char('0')) + text.mid(i, end - i);
        result += filled.right(std::max(width, 0));
        i = end;
    }
    return result;
}

double readNumber(const QString &text, bool *ok)
{
    QString plain = text;
    plain = plain.remove(QLatin1Char(',')).trimmed();
    if (plain.isEmpty()) {
        if (ok)
            *ok = true;
        return 0;
    }
    bool converted = false;
    const double value = plain.toDouble(&converted);
    if (ok)
        *ok = converted;
    return converted ? value : 0;
}

bool isZeroText(const QString &text)
{
    bool ok = false;
    const double value = readNumber(text, &ok);
    return ok && value == 0;
}

QString ChineseDigit(const QString &digit)
{
    static const QString digits = QStringLiteral("一二三四五六七八九");
    if (digit.size() == 1 && digit.at(0) >= QLatin1Char('1') && digit.at(0) <= QLatin1Char('9'))
        return QString(digits.at(digit.at(0).unicode() - '1'));
    return QStringLiteral("0");
}

} // namespace qv::client
