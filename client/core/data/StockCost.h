// Stock on hand and cost prices, computed from the inventory ledger
// (Inv_ItemList: one row per stock movement, Flag 1 into stock, -1 out). Nothing
// of this is stored; every figure is a sum over the ledger rows posted so far.
//
// A date is the document date as "YYYY-MM-DD"; it bounds the movements by the
// end of that day (a day number at 23:59:59), so every movement of the day
// counts whatever its time. Prices are rounded to two decimals.
#pragma once

#include "client/core/data/DataResult.h"

#include <QString>

namespace qv::client {

class DataSet;
class TData;

// The statement StockQty runs, for the benchmark and the reports that repeat it.
DataResult<QString> stockQtySql(qint64 itemId, const QString &dateText, qint64 warehouseId);

// Quantity of the item in the warehouse at the end of the date (0 without rows).
// The query runs on `dataSet` when given (as a rule Tmp), else on a pool dataset.
DataResult<double> stockQty(TData &data, qint64 itemId, const QString &dateText,
                            qint64 warehouseId, DataSet *dataSet = nullptr);

// The unit cost by method: "YDJQPJ" the weighted average of all receipts into
// the warehouse up to the date (the item's JJ when there is none, or with an
// empty date 0), "LASTCGJJ" the price of the item's latest purchase receipt in
// any warehouse (0 without one); any other method 0.
DataResult<double> costPrice(TData &data, const QString &method, qint64 itemId,
                             const QString &dateText, qint64 warehouseId);

// The first-in-first-out unit cost of issuing `quantity` of the item from the
// warehouse on the date: receipts (opening stock, purchase receipts,
// stock-taking, adjustments, returns) form layers oldest first, earlier
// requisitions and sales use them up, and the issue is costed over what is
// left. With a document number only the issues of earlier numbers count. No
// layer at all gives the item's JJ (unrounded). The ledger is read as one sum
// and the newest layers the issue can reach (see fifoUnitCostFromNewest).
DataResult<double> fifoIssueCost(TData &data, qint64 warehouseId, const QString &dateText,
                                 const QString &billNo, double quantity, qint64 itemId);

// The statements of fifoIssueCost: the quantities issued and received and the
// number of layers in one row, and the layers newest first (the newest `top`
// of them when top > 0).
DataResult<QString> fifoTotalsSql(qint64 warehouseId, const QString &dateText,
                                  const QString &billNo, qint64 itemId);
DataResult<QString> fifoLayersSql(qint64 warehouseId, const QString &dateText, qint64 itemId,
                                  int top = 0);

} // namespace qv::client
