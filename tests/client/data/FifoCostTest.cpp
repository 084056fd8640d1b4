// First-in-first-out costing over receipt layers, and the rounding of prices.
#include "client/core/data/FifoCost.h"

#include <QRandomGenerator>

#include <iomanip>

#include <gtest/gtest.h>

using namespace qv::client;

namespace {

struct FifoCase {
    const char *what;
    QList<ReceiptLayer> layers;
    double issued;
    double quantity;
    double cost;
};

void PrintTo(const FifoCase &c, std::ostream *os)
{
    *os << c.what;
}

class FifoWalk : public ::testing::TestWithParam<FifoCase> {};

TEST_P(FifoWalk, CostsTheIssueOverWhatEarlierIssuesLeft)
{
    const FifoCase &c = GetParam();
    EXPECT_NEAR(fifoUnitCost(c.layers, c.issued, c.quantity), c.cost, 1e-9) << c.what;
}

const QList<ReceiptLayer> kTwoLayers{{10, 2.00}, {10, 3.00}};

INSTANTIATE_TEST_SUITE_P(
    Layers, FifoWalk,
    ::testing::Values(
        FifoCase{"earlier issues 5: half of each layer", kTwoLayers, 5, 10, 2.50},
        FifoCase{"earlier issues 20 use up every layer", kTwoLayers, 20, 10, 0},
        FifoCase{"nothing issued yet, the first layer covers it", kTwoLayers, 0, 10, 2.00},
        FifoCase{"inside one layer after the skip", kTwoLayers, 12, 5, 3.00},
        FifoCase{"earlier issues end exactly at a layer's end", kTwoLayers, 10, 4, 3.00},
        FifoCase{"the issue runs past the last layer: average of what is covered", kTwoLayers, 5, 30,
                 (5 * 2.0 + 10 * 3.0) / 15},
        FifoCase{"three layers drawn whole", {{2, 1.0}, {3, 2.0}, {5, 4.0}}, 0, 10,
                 (2 * 1.0 + 3 * 2.0 + 5 * 4.0) / 10},
        FifoCase{"drawing ends inside the third layer", {{2, 1.0}, {3, 2.0}, {5, 4.0}}, 1, 6,
                 (1 * 1.0 + 3 * 2.0 + 2 * 4.0) / 6}));

TEST(FifoCost, RoundingIsHalfAwayFromZeroOnTheDecimalValue)
{
    EXPECT_DOUBLE_EQ(roundTo2(2.675), 2.68);
    EXPECT_DOUBLE_EQ(roundTo2(1.005), 1.01);
    EXPECT_DOUBLE_EQ(roundTo2(2.5), 2.5);
    EXPECT_DOUBLE_EQ(roundTo2(1.0 / 3), 0.33);
    EXPECT_DOUBLE_EQ(roundTo2(-1.005), -1.01);
    EXPECT_DOUBLE_EQ(roundTo2(0), 0);
    EXPECT_DOUBLE_EQ(roundTo2(7.7449999999999912), 7.75) << "7.745 with noise from the walk";
    EXPECT_DOUBLE_EQ(roundTo2(7.7450000000000037), 7.75);
    EXPECT_DOUBLE_EQ(roundTo2(1.004999), 1.0);
}

} // namespace

namespace {

FifoTotals totalsOf(const QList<ReceiptLayer> &layers, double issued)
{
    FifoTotals totals{issued, 0, layers.size()};
    for (const ReceiptLayer &l : layers)
        totals.received += l.quantity;
    return totals;
}

// Reads the layers newest first and counts how many were asked for.
struct NewestFirst {
    const QList<ReceiptLayer> &layers;
    qsizetype read = 0;
    bool operator()(ReceiptLayer &layer)
    {
        if (read >= layers.size())
            return false;
        layer = layers[layers.size() - 1 - read++];
        return true;
    }
};

TEST(FifoCost, ReadingFromTheNewestGivesTheSameCostAsTheWholeWalk)
{
    QRandomGenerator random(4711);
    for (int round = 0; round < 2000; ++round) {
        QList<ReceiptLayer> layers;
        const int count = random.bounded(12);
        const bool fractions = round % 3 == 0;
        for (int i = 0; i < count; ++i) {
            const double q = fractions ? random.bounded(1, 400) / 10.0 : random.bounded(0, 40);
            layers.append({q, random.bounded(100, 900) / 100.0});
        }
        const FifoTotals totals = totalsOf(layers, 0);
        const double issued = fractions ? random.bounded(0, int(totals.received * 10) + 20) / 10.0
                                        : random.bounded(0, int(totals.received) + 10);
        const double quantity = fractions ? random.bounded(1, 300) / 10.0 : random.bounded(1, 60);
        NewestFirst next{layers};
        const double fromNewest = fifoUnitCostFromNewest(totalsOf(layers, issued), quantity, std::ref(next));
        EXPECT_DOUBLE_EQ(roundTo2(fromNewest), roundTo2(fifoUnitCost(layers, issued, quantity)))
            << "round " << round << ", " << count << " layers, issued " << issued << ", quantity " << quantity
            << std::setprecision(17) << " newest " << fromNewest << " whole " << fifoUnitCost(layers, issued, quantity);
    }
}

TEST(FifoCost, ALongHistoryIsReadOnlyAsFarBackAsTheIssueReaches)
{
    QList<ReceiptLayer> layers;
    for (int i = 0; i < 25000; ++i)
        layers.append({10, 1.0 + (i % 7)});
    // 249 900 of 250 000 received were issued: 100 are left in the ten newest layers.
    NewestFirst next{layers};
    const double cost = fifoUnitCostFromNewest(totalsOf(layers, 249900), 30, std::ref(next));
    EXPECT_DOUBLE_EQ(cost, fifoUnitCost(layers, 249900, 30));
    EXPECT_LE(next.read, 13);
}

} // namespace
