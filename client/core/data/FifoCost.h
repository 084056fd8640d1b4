// First-in-first-out costing of an issue over the receipt layers of the ledger.
#pragma once

#include <QList>

#include <functional>

namespace qv::client {

struct ReceiptLayer {
    double quantity = 0; // sl
    double price = 0;    // dj
};

// The unit cost of issuing `quantity` when `alreadyIssued` units have been
// issued before, the layers oldest first, not rounded. Earlier issues use up
// whole layers, then the issue draws from the layer where they stopped and the
// ones after it. Layers that run out before the issue is covered leave the
// average over what they covered; 0 when every layer was already used up.
// The caller handles "no layers at all" (the item's purchase price).
double fifoUnitCost(const QList<ReceiptLayer> &layers, double alreadyIssued, double quantity);

// The ledger's totals for one item, warehouse and date: the quantity already
// issued, the quantity received into layers, and the number of layers.
struct FifoTotals {
    double issued = 0;
    double received = 0;
    qint64 layers = 0;
};

// The same cost as fifoUnitCost, reading the layers newest first and only as
// far back as the issue can reach: every older layer was used up by the
// earlier issues (received - issued is what is left, and it lies in the
// newest layers). A long history thus costs one sum over the ledger and a few
// layers, not the whole history. `next` gives the next older layer and answers
// false at the oldest.
double fifoUnitCostFromNewest(const FifoTotals &totals, double quantity,
                              const std::function<bool(ReceiptLayer &)> &next);

// Rounds to two decimals as the number format "0.00" does (half away from
// zero), on the value as it reads with 12 significant digits, so arithmetic
// noise never moves a price by a cent.
double roundTo2(double value);

} // namespace qv::client
