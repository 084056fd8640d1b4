// Document numbers: a two-letter prefix, the year and month of the document's
// date and a four-digit running number per prefix and month (CS2024010001).
// The header's integer ID is the numeric tail of its number.
//
// Running numbers are taken from the server's MaxBillNo counters in one atomic
// step, so two clerks numbering at the same moment never share a number. The
// counter keeps meaning "the next number to hand out": the first document of a
// month gets 0001 and leaves 2, a counter found at 0 counts as 1. A month's
// 10000th document is refused: four digits cannot hold it, and cutting it to
// 0000 would repeat the month's first number.
#pragma once

#include "client/core/data/DataResult.h"

#include <QString>
#include <QStringView>

namespace qv::client {

class TData;

// The prefix of a document family from its header table (CGSHZB gives CS,
// LLZB gives LL, ...); empty for any other table.
QString billPrefix(QStringView headerTable);

// The next number: prefix + yyyyMM of the date text ("YYYY-MM-DD") + the
// running number of the key keyPrefix + yyyyMM, four digits.
DataResult<QString> getBillNo(TData &data, const QString &prefix, const QString &dateText,
                              const QString &keyPrefix);

// The integer from the first digit to the end: XS2023120015 gives 2023120015.
// An empty number or one without a readable integer tail is refused with
// "单号格式错误！".
DataResult<qint64> billNoToId(QStringView billNo);

} // namespace qv::client
