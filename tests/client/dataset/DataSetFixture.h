// A document-line table served by a MemoryDataSource, and a recorder of the
// events a dataset raises.
#pragma once

#include "client/core/dataset/DataSet.h"
#include "client/core/dataset/MemoryDataSource.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

// Readable values in failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QVariant &v, std::ostream *os)
{
    if (!v.isValid())
        *os << "null";
    else
        *os << v.typeName() << '(' << v.toString().toStdString() << ')';
}
inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}
inline void PrintTo(const QVariantList &list, std::ostream *os)
{
    *os << '[';
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i)
            *os << ", ";
        PrintTo(list[i], os);
    }
    *os << ']';
}

namespace qv::client::test {

// ID (row key), ZBID, HPID, aBH (joined, never written back), SL, DJ, BZ, RQ, ZT.
FieldDefs lineFields();
// Row i (0-based): ID i+1, ZBID 1, HPID 100+i, aBH "H0001".., SL i+1, DJ 2.5,
// BZ "line i+1", RQ 2024-01-01 + i days, ZT false.
QList<RowValues> lineRows(int count);

// Appends the name of every event to `log`; "stateChange:Edit",
// "dataChange:SL" name the state and field. Calculated fields are not logged.
void recordEvents(DataSet &ds, QStringList &log);

// The values of one column over the dataset's rows, in view order.
QVariantList column(DataSet &ds, const QString &field);
// The values of one column of a source table.
QVariantList sourceColumn(const MemoryDataSource &source, const QString &provider, int column);

class LinesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void openWith(int rows);

    MemoryDataSource source;
    DataSet ds{QStringLiteral("Ll")};
};

} // namespace qv::client::test
