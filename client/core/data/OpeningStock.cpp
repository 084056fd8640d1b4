#include "client/core/data/OpeningStock.h"

#include "client/core/data/Numbering.h"
#include "client/core/data/SqlText.h"
#include "client/core/data/TData.h"
#include "client/core/net/SaveBatch.h"

#include "common/DayNumber.h"

namespace qv::client {

namespace {

struct OpeningItem {
    qint64 id = 0;
    double quantity = 0;
    double price = 0;
};

// The items of one warehouse value as the item table holds it: a null
// warehouse is found with "is null", never with "ckid=" and nothing after it.
QString warehouseCondition(const QVariant &warehouse)
{
    if (!warehouse.isValid() || warehouse.toString().trimmed().isEmpty())
        return QStringLiteral("ckid is null");
    return QStringLiteral("ckid=") + QString::number(qint64(numericValue(warehouse)));
}

qint64 bookedWarehouse(const QVariant &warehouse)
{
    if (!warehouse.isValid())
        return 1;
    const qint64 w = qint64(numericValue(warehouse));
    return w == 0 ? 1 : w;
}

// Line record ids as the document editor makes them: the server's date and time
// and the line number.
QString recordIdStem(TData &data)
{
    const auto now = data.serverDateTime();
    const QDateTime at = now ? common::parseDateText(now.value) : QDateTime();
    return at.isValid() ? at.toString(QStringLiteral("yyyyMMddHHmmss")) : QString();
}

} // namespace

DataResult<OpeningStockReport> importOpeningStock(TData &data)
{
    const auto today = data.serverDate();
    if (!today)
        return DataResult<OpeningStockReport>::failure(today.error);
    const QString date = today.value;
    const auto warehouses = data.selectRows(QStringLiteral(" select distinct ckid from hp where insl > 0"));
    if (!warehouses)
        return DataResult<OpeningStockReport>::failure(warehouses.error);

    OpeningStockReport report;
    const QString stem = recordIdStem(data);
    int lineNo = 0; // runs on across all documents of the import
    for (const RowValues &row : warehouses.value) {
        const QVariant w = row.value(0);
        const QString condition = warehouseCondition(w);
        const qint64 k = bookedWarehouse(w);

        const auto items = data.selectRows(
            QStringLiteral(" select id,insl,jj,ckid from hp where insl > 0 and ") + condition);
        if (!items) {
            report.skipped.append(items.error);
            continue;
        }
        const auto billNo = getBillNo(data, QStringLiteral("PD"), date, QStringLiteral("PD"));
        if (!billNo) {
            report.skipped.append(billNo.error);
            continue;
        }
        const QString b = billNo.value;
        const QString headerId = b.mid(2);
        // The document's amount is the sum of its own lines.
        double amount = 0;
        for (const RowValues &item : items.value)
            amount += numericValue(item.value(1)) * numericValue(item.value(2));

        SaveBatch batch(data.cn());
        batch.addStatement(
            QStringLiteral("insert into KCPDZB(ID,DJBH,RQ,CKID,BillType,JE,uFlag,YGID,BZ) values (")
            + headerId + u',' + quoted(b) + u',' + quoted(date) + u',' + QString::number(k)
            + QStringLiteral(",'KCPD',") + sqlNumber(amount) + QStringLiteral(",1,1,'期初导入')"));
        int lines = 0;
        for (const RowValues &item : items.value) {
            const qint64 itemId = qint64(numericValue(item.value(0)));
            const double quantity = numericValue(item.value(1));
            const double price = numericValue(item.value(2));
            ++lineNo;
            ++lines;
            const QString n = QString::number(lineNo);
            const QString recordId = stem.isEmpty() ? QStringLiteral("null")
                                                    : quoted(stem + u'_' + n);
            batch.addStatement(
                QStringLiteral("insert into KCPD(RECID,ZBID,HH,RQ,CKID,HPID,SL,DJ) values (")
                + recordId + u',' + headerId + u',' + n + u',' + quoted(date) + u','
                + QString::number(k) + u',' + QString::number(itemId) + u',' + sqlNumber(quantity)
                + u',' + sqlNumber(price) + u')');
            batch.addStatement(
                QStringLiteral("insert into inv_itemlist(RQ,BillType,Flag,DJBH,hpid,hh,sl,dj,cbdj,nzk,nsl,je,ckid) values(")
                + quoted(date) + QStringLiteral(",'KCPD',1,") + quoted(b) + u','
                + QString::number(itemId) + u',' + n + u',' + sqlNumber(quantity) + u','
                + sqlNumber(price) + u',' + sqlNumber(price) + QStringLiteral(",1,0,")
                + sqlNumber(quantity * price) + u',' + QString::number(k) + u')');
        }
        const SaveBatch::Result saved = batch.commit();
        if (!saved.ok) {
            report.skipped.append(b + QStringLiteral("：") + saved.error);
            continue;
        }
        ++report.documents;
        report.lines += lines;
    }
    return DataResult<OpeningStockReport>::success(report);
}

} // namespace qv::client
