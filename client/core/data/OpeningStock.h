// The opening stock of an item import: the opening quantities of the items
// (HP.InSL, with the item's warehouse HP.CKID and price JJ) become one audited
// stock-taking document per warehouse, with its lines and ledger rows, marked
// "期初导入".
#pragma once

#include "client/core/data/DataResult.h"

#include <QStringList>

namespace qv::client {

class TData;

struct OpeningStockReport {
    int documents = 0;       // stock-taking documents written
    int lines = 0;           // their lines (one ledger row each)
    QStringList skipped;     // why a warehouse's document was not written
};

// Items whose warehouse is empty or 0 are booked to warehouse 1. Each document
// is written in one transaction (header, lines and ledger rows together): a
// warehouse whose document fails leaves nothing behind and the import goes on
// with the next one. Fails only when the items cannot be read at all.
DataResult<OpeningStockReport> importOpeningStock(TData &data);

} // namespace qv::client
