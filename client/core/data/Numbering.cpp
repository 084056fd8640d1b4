#include "client/core/data/Numbering.h"

#include "client/core/data/TData.h"

namespace qv::client {

namespace {

struct PrefixRow {
    const char *table;
    const char *prefix;
};

const PrefixRow kPrefixes[] = {
    {"CGSQZB", "CQ"}, {"CGDDZB", "CD"}, {"CGSHZB", "CS"},   {"CGTHZB", "CT"}, {"CGFKZB", "CK"},
    {"XSDDZB", "XD"}, {"XSKDZB", "XS"}, {"XSTHZB", "XT"},   {"XSSKZB", "XK"}, {"LSKDZB", "LS"},
    {"LLZB", "LL"},   {"TLZB", "TL"},   {"CKZZZB", "ZZ"},   {"KCPDZB", "PD"}, {"CPJCZB", "CP"},
    {"CKDBZB", "DB"}, {"QTKCBDZB", "QB"}, {"FYKZZB", "KZ"}, {"QTSRZB", "SR"},
};

constexpr qint64 kLargestRunningNumber = 9999;

const QString kBadNumber = QStringLiteral("单号格式错误！");

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// "YYYY-MM..." gives "YYYYMM"; anything else nothing.
QString yearMonth(const QString &dateText)
{
    const QString t = dateText.trimmed();
    if (t.size() < 7 || t[4] != u'-')
        return {};
    const QString ym = t.left(4) + t.mid(5, 2);
    for (const QChar c : ym) {
        if (!isAsciiDigit(c))
            return {};
    }
    const int month = ym.right(2).toInt();
    return month >= 1 && month <= 12 ? ym : QString();
}

} // namespace

QString billPrefix(QStringView headerTable)
{
    const QString upper = headerTable.trimmed().toString().toUpper();
    for (const PrefixRow &row : kPrefixes) {
        if (upper == QLatin1String(row.table))
            return QLatin1String(row.prefix);
    }
    return {};
}

DataResult<QString> getBillNo(TData &data, const QString &prefix, const QString &dateText,
                              const QString &keyPrefix)
{
    const QString ym = yearMonth(dateText);
    if (ym.isEmpty())
        return DataResult<QString>::failure(
            QStringLiteral("单据日期“%1”不是YYYY-MM-DD格式，无法编号").arg(dateText));
    const QString key = keyPrefix + ym;
    const auto taken = data.nextBillNo(key);
    if (!taken)
        return DataResult<QString>::failure(taken.error);
    const qint64 running = taken.value;
    if (running < 1)
        return DataResult<QString>::failure(
            QStringLiteral("服务器给出的流水号 %1 不正确（编号键 %2）").arg(running).arg(key));
    if (running > kLargestRunningNumber)
        return DataResult<QString>::failure(
            QStringLiteral("%1 年 %2 月的单号已经用到 %3，超过了 9999，不能再编号")
                .arg(ym.left(4), ym.mid(4, 2))
                .arg(running));
    return DataResult<QString>::success(prefix + ym
                                        + QStringLiteral("%1").arg(running, 4, 10, QLatin1Char('0')));
}

DataResult<qint64> billNoToId(QStringView billNo)
{
    if (billNo.isEmpty())
        return DataResult<qint64>::failure(kBadNumber);
    qsizetype first = 0;
    while (first < billNo.size() && !isAsciiDigit(billNo[first]) && billNo[first] != u',')
        ++first;
    const QStringView tail = billNo.mid(first);
    bool ok = false;
    const qint64 id = tail.toLongLong(&ok);
    if (tail.isEmpty() || !ok)
        return DataResult<qint64>::failure(kBadNumber);
    for (const QChar c : tail) {
        if (!isAsciiDigit(c))
            return DataResult<qint64>::failure(kBadNumber);
    }
    return DataResult<qint64>::success(id);
}

} // namespace qv::client
