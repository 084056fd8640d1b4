#include "client/core/data/StockCost.h"

#include "client/core/data/FifoCost.h"
#include "client/core/data/SqlText.h"
#include "client/core/data/TData.h"

namespace qv::client {

namespace {

DataResult<QString> bound(const QString &dateText)
{
    const auto end = endOfDayNumber(dateText);
    if (!end)
        return DataResult<QString>::failure(QStringLiteral("日期“%1”不是有效的日期").arg(dateText));
    return DataResult<QString>::success(*end);
}

QString id(qint64 value)
{
    return QString::number(value);
}

// The first column of the first row as a number: a sum over no rows (null) or
// no row at all reads 0.
DataResult<double> firstNumber(TData &data, const QString &sql, DataSet *dataSet)
{
    if (!dataSet) {
        // Straight from the connection: a sum needs no dataset around it.
        const auto rows = data.selectRows(sql);
        if (!rows)
            return DataResult<double>::failure(rows.error);
        return DataResult<double>::success(
            rows.value.isEmpty() ? 0.0 : numericValue(rows.value.first().value(0)));
    }
    if (!data.runSql(dataSet, sql, true))
        return DataResult<double>::failure(data.lastError());
    const double n = dataSet->isEmpty() || dataSet->fieldCount() == 0
                         ? 0.0
                         : numericValue(dataSet->field(0)->value());
    return DataResult<double>::success(n);
}

DataResult<double> purchasePrice(TData &data, qint64 itemId)
{
    return firstNumber(data, QStringLiteral("select JJ from hp where id=") + id(itemId), nullptr);
}

} // namespace

DataResult<QString> stockQtySql(qint64 itemId, const QString &dateText, qint64 warehouseId)
{
    const auto end = bound(dateText);
    if (!end)
        return end;
    return DataResult<QString>::success(
        QStringLiteral("select sum(flag*sl) as qty From Inv_ItemList  where 1=1  and hpid =")
        + id(itemId) + QStringLiteral(" and RQ <= ") + end.value + QStringLiteral(" and CKID = ")
        + id(warehouseId));
}

DataResult<double> stockQty(TData &data, qint64 itemId, const QString &dateText,
                            qint64 warehouseId, DataSet *dataSet)
{
    const auto sql = stockQtySql(itemId, dateText, warehouseId);
    if (!sql)
        return DataResult<double>::failure(sql.error);
    return firstNumber(data, sql.value, dataSet);
}

DataResult<double> costPrice(TData &data, const QString &method, qint64 itemId,
                             const QString &dateText, qint64 warehouseId)
{
    if (method == u"YDJQPJ") {
        if (dateText.trimmed().isEmpty())
            return DataResult<double>::success(0);
        const auto end = bound(dateText);
        if (!end)
            return DataResult<double>::failure(end.error);
        auto average = firstNumber(
            data,
            QStringLiteral("select sum(sl*dj)/sum(sl) From Inv_ItemList  where flag=1  and hpid =")
                + id(itemId) + QStringLiteral(" and RQ <= ") + end.value
                + QStringLiteral(" and CKID = ") + id(warehouseId),
            nullptr);
        if (average && average.value == 0)
            average = purchasePrice(data, itemId);
        if (!average)
            return average;
        return DataResult<double>::success(roundTo2(average.value));
    }
    if (method == u"LASTCGJJ") {
        const auto last = firstNumber(
            data,
            QStringLiteral("select top 1 dj From Inv_ItemList  where BillType='CS'  and hpid =")
                + id(itemId) + QStringLiteral(" order by rq desc"),
            nullptr);
        if (!last)
            return last;
        return DataResult<double>::success(roundTo2(last.value));
    }
    return DataResult<double>::success(0);
}

namespace {

const QString kIssueTypes = QStringLiteral("'LL','XS'");
const QString kLayerTypes = QStringLiteral("'aExport','CS','KCPD','KCTZ','TL'");

QString itemWhere(const QString &bound, qint64 warehouseId, qint64 itemId)
{
    return QStringLiteral(" and RQ <=") + bound + QStringLiteral(" and ckid=") + id(warehouseId)
           + QStringLiteral(" and hpid=") + id(itemId);
}

// Reads the layers newest first in growing windows ("top 64", then 512, ...),
// each read whole in one call: a walk that stops early never leaves a cursor
// open on the server, and an item with a long history is read only as far
// back as the issue reaches.
class LayerReader {
public:
    LayerReader(TData &data, qint64 warehouseId, const QString &dateText, qint64 itemId)
        : m_data(data)
        , m_warehouseId(warehouseId)
        , m_dateText(dateText)
        , m_itemId(itemId)
    {
    }

    bool next(ReceiptLayer &layer)
    {
        if (m_next >= m_rows.size()) {
            if (m_complete || !readWindow())
                return false;
            if (m_next >= m_rows.size())
                return false;
        }
        const RowValues &row = m_rows[m_next++];
        layer = {numericValue(row.value(0)), numericValue(row.value(1))};
        return true;
    }
    const QString &error() const { return m_error; }

private:
    bool readWindow()
    {
        m_window = m_window == 0 ? kFirstWindow : m_window * 8;
        const auto sql = fifoLayersSql(m_warehouseId, m_dateText, m_itemId, m_window);
        const auto rows = m_data.selectRows(sql.value);
        if (!rows) {
            m_error = rows.error;
            m_complete = true;
            return false;
        }
        // The window starts again at the newest layer; the ones already walked
        // are passed over.
        m_rows = rows.value;
        m_complete = m_rows.size() < m_window;
        return true;
    }

    static constexpr int kFirstWindow = 64;
    TData &m_data;
    qint64 m_warehouseId;
    QString m_dateText;
    qint64 m_itemId;
    QList<RowValues> m_rows;
    qsizetype m_next = 0;
    int m_window = 0;
    bool m_complete = false;
    QString m_error;
};

} // namespace

DataResult<QString> fifoTotalsSql(qint64 warehouseId, const QString &dateText, const QString &billNo,
                                  qint64 itemId)
{
    const auto end = bound(dateText);
    if (!end)
        return end;
    QString issued = QStringLiteral("BillType in (") + kIssueTypes + u')';
    if (!billNo.isEmpty())
        issued += QStringLiteral(" and DJBH <") + quoted(billNo);
    const QString layer = QStringLiteral("BillType in (") + kLayerTypes + u')';
    return DataResult<QString>::success(
        QStringLiteral("select sum(iif(") + issued + QStringLiteral(",sl,0)) as issued, sum(iif(") + layer
        + QStringLiteral(",sl,0)) as received, sum(iif(") + layer
        + QStringLiteral(",1,0)) as layers From Inv_ItemList where BillType in (") + kIssueTypes + u','
        + kLayerTypes + u')' + itemWhere(end.value, warehouseId, itemId));
}

DataResult<QString> fifoLayersSql(qint64 warehouseId, const QString &dateText, qint64 itemId, int top)
{
    const auto end = bound(dateText);
    if (!end)
        return end;
    const QString limit = top > 0 ? QStringLiteral("top %1 ").arg(top) : QString();
    return DataResult<QString>::success(QStringLiteral("select ") + limit
                                        + QStringLiteral("sl,dj from Inv_ItemList where BillType in(")
                                        + kLayerTypes + u')' + itemWhere(end.value, warehouseId, itemId)
                                        + QStringLiteral(" order by rq desc,id desc"));
}

DataResult<double> fifoIssueCost(TData &data, qint64 warehouseId, const QString &dateText,
                                 const QString &billNo, double quantity, qint64 itemId)
{
    const auto totalsSql = fifoTotalsSql(warehouseId, dateText, billNo, itemId);
    if (!totalsSql)
        return DataResult<double>::failure(totalsSql.error);
    const auto sums = data.selectRows(totalsSql.value);
    if (!sums)
        return DataResult<double>::failure(sums.error);
    const RowValues row = sums.value.value(0);
    const FifoTotals totals{numericValue(row.value(0)), numericValue(row.value(1)),
                            qint64(numericValue(row.value(2)))};
    if (totals.layers == 0)
        return purchasePrice(data, itemId);

    LayerReader layers(data, warehouseId, dateText, itemId);
    const double unit = fifoUnitCostFromNewest(totals, quantity,
                                               [&layers](ReceiptLayer &layer) { return layers.next(layer); });
    if (!layers.error().isEmpty())
        return DataResult<double>::failure(layers.error());
    return DataResult<double>::success(roundTo2(unit));
}

} // namespace qv::client
