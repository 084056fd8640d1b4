#include "client/core/data/RequisitionCosting.h"

#include "client/core/data/SqlText.h"
#include "client/core/data/StockCost.h"
#include "client/core/data/TData.h"

namespace qv::client {

namespace {

Field *need(DataSet &ds, QStringView name, QString *error)
{
    Field *f = ds.fieldByName(name);
    if (!f && error->isEmpty())
        *error = QStringLiteral("数据集'%1'没有字段%2").arg(ds.name(), name.toString());
    return f;
}

} // namespace

DataResult<int> recostRequisitionLines(TData &data, DataSet &header, DataSet &lines)
{
    QString error;
    const Field *warehouse = need(header, u"CKID", &error);
    const Field *date = need(header, u"RQ", &error);
    Field *method = need(lines, u"HPHSFSID", &error);
    Field *price = need(lines, u"DJ", &error);
    Field *quantity = need(lines, u"SL", &error);
    Field *item = need(lines, u"HPID", &error);
    if (!error.isEmpty())
        return DataResult<int>::failure(error);
    const qint64 warehouseId = warehouse->asInteger();
    const QString dateText = shortDateText(date->asDateTime().date());

    int recosted = 0;
    lines.disableControls();
    const Bookmark where = lines.bookmark();
    for (bool more = lines.first(); more && !lines.eof(); more = lines.next()) {
        if (method->asInteger() != 2)
            continue;
        const auto cost = fifoIssueCost(data, warehouseId, dateText, QString(), quantity->asDouble(),
                                        item->asInteger());
        if (!cost) {
            error = cost.error;
            break;
        }
        if (!price->setValue(cost.value) || !lines.post()) {
            error = lines.lastError().toString();
            break;
        }
        ++recosted;
    }
    lines.gotoBookmark(where);
    lines.enableControls();
    if (!error.isEmpty())
        return DataResult<int>::failure(error);
    return DataResult<int>::success(recosted);
}

DataResult<int> recalcRequisitionAmounts(TData &data, DataSet &dataSet)
{
    if (!data.runSql(&dataSet, QStringLiteral(" select djbh,sum(sl*dj) as je from ll group by djbh"), true))
        return DataResult<int>::failure(data.lastError());
    const Field *billNo = dataSet.fieldByName(u"djbh");
    const Field *amount = dataSet.fieldByName(u"je");
    if (!billNo || !amount)
        return DataResult<int>::failure(QStringLiteral("领用金额查询的结果没有djbh和je"));
    const auto updates = data.createDataSet(QStringLiteral("RecalcUpdates"), QStringLiteral("pTmpf"));
    int updated = 0;
    for (bool more = dataSet.first(); more && !dataSet.eof(); more = dataSet.next()) {
        const QString sql = QStringLiteral("update llzb set je=") + sqlNumber(amount->asDouble())
                            + QStringLiteral(" where djbh=") + quoted(billNo->asString());
        if (data.runSql(updates.get(), sql, false))
            ++updated;
    }
    return DataResult<int>::success(updated);
}

} // namespace qv::client
