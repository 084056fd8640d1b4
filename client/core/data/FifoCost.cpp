#include "client/core/data/FifoCost.h"

#include "client/core/dataset/DisplayFormat.h"

namespace qv::client {

double fifoUnitCost(const QList<ReceiptLayer> &layers, double alreadyIssued, double quantity)
{
    double toCost = quantity; // R
    double cost = 0;          // C
    double unit = 0;          // U
    double toSkip = alreadyIssued;
    bool skipping = true;
    for (const ReceiptLayer &layer : layers) {
        if (skipping) {
            if (layer.quantity <= toSkip) {
                toSkip -= layer.quantity;
                continue;
            }
            const double left = layer.quantity - toSkip;
            if (toCost <= left)
                return layer.price;
            cost = layer.price * left;
            unit = layer.price;
            toCost -= left;
            skipping = false;
            continue;
        }
        if (layer.quantity > toCost) {
            cost += layer.price * toCost;
            return cost / quantity;
        }
        cost += layer.price * layer.quantity;
        toCost -= layer.quantity;
        const double covered = quantity - toCost;
        unit = covered == 0 ? 0 : cost / covered;
    }
    return unit;
}

double fifoUnitCostFromNewest(const FifoTotals &totals, double quantity,
                              const std::function<bool(ReceiptLayer &)> &next)
{
    // Layers read past the one where what is left begins, so that the usual
    // walk (not a sum compared in another order) decides every boundary.
    constexpr int kMargin = 2;
    const double left = totals.received - totals.issued;
    QList<ReceiptLayer> newestFirst;
    double read = 0;
    int beyond = -1;
    bool atOldest = false;
    ReceiptLayer layer;
    while (beyond < kMargin) {
        if (!next(layer)) {
            atOldest = true;
            break;
        }
        newestFirst.append(layer);
        read += layer.quantity;
        if (beyond >= 0 || read >= left)
            ++beyond;
    }
    const QList<ReceiptLayer> oldestFirst(newestFirst.crbegin(), newestFirst.crend());
    // The layers not read were all used up by earlier issues.
    const double skip = atOldest ? totals.issued : totals.issued - (totals.received - read);
    return fifoUnitCost(oldestFirst, skip, quantity);
}

double roundTo2(double value)
{
    // Read with 12 significant digits first: sums and quotients of quantities
    // with a few decimals carry noise in the 15th digit (7.745 arrives as
    // 7.7449999999999912), which must not decide the rounding.
    const double settled = QString::number(value, 'g', 12).toDouble();
    return formatNumber(settled, u"0.00").toDouble();
}

} // namespace qv::client
