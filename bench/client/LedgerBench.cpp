// StockQty and FifoIssueCost on a generated ledger of 1 000 000 rows (one item
// with 50 000 movements in warehouse 1, and 950 000 rows over 1 000 items and
// 4 warehouses, dated over ten years): through
// the client and the real server, and the same statements (as the server
// translates them) run directly on the SQLite file. Prints the ratios after
// the benchmarks:
//   S/R stock  2 000 StockQty (item, warehouse, date) triples, server / raw
//   S/R FIFO   one FifoIssueCost of an item with 50 000 movements, server / raw
// and the fixed cost of one call through client and server (a statement that
// reads nothing), which bounds the stock ratio from below.
// Goals: both ratios at most 1.3, one FIFO cost under 25 ms.
#include "ServerProcess.h"

#include "client/core/data/FifoCost.h"
#include "client/core/data/StockCost.h"
#include "client/core/data/TData.h"
#include "common/DayNumber.h"
#include "schema/Schema.h"
#include "sql/Catalog.h"
#include "sql/SqliteFunctions.h"
#include "sql/Translator.h"

#include <QCoreApplication>
#include <QDate>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>

using namespace qv;
using namespace qv::client;

namespace {

constexpr int kLedgerRows = 1'000'000;
constexpr int kHotMovements = 50'000;
constexpr qint64 kHotItem = 5000;
constexpr int kItems = 1000;
constexpr int kWarehouses = 4;
constexpr int kTriples = 2000;
const QDate kFirstDay(2015, 1, 1);
constexpr int kDays = 3650;

struct Triple {
    qint64 item;
    qint64 warehouse;
    QString date;
};

// Everything the benchmarks share, built once before they run.
struct Bench {
    test::ServerProcess server;
    std::unique_ptr<TData> data;
    sqlite3 *raw = nullptr;
    sql::Translator translator{sql::Catalog::fromSchema(schema::Schema::builtIn(), schema::Database::Business)};
    QList<Triple> triples;
    QString fifoDate;
    double fifoQuantity = 0;
    QString error;

    ~Bench()
    {
        data.reset();
        if (raw)
            sqlite3_close(raw);
    }
};

Bench *g_bench = nullptr;

bool check(int rc, sqlite3 *db, QString *error)
{
    if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW)
        return true;
    *error = QString::fromUtf8(sqlite3_errmsg(db));
    return false;
}

QString when(QRandomGenerator &random, int day)
{
    const QDateTime at(kFirstDay.addDays(day), QTime(random.bounded(24), random.bounded(60), random.bounded(60)));
    return common::toDateText(at);
}

// The ledger: 50 000 movements of the hot item in warehouse 1 (receipts and
// requisitions alternating, oldest first), the rest spread over 1 000 items
// and 4 warehouses.
bool generateLedger(const QString &path, QString *error)
{
    sqlite3 *db = nullptr;
    if (!check(sqlite3_open(path.toUtf8().constData(), &db), db, error))
        return false;
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    check(sqlite3_prepare_v2(db,
                             "insert into Inv_ItemList(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID) "
                             "values (?,?,?,?,?,1,?,?,?,?,?)",
                             -1, &insert, nullptr),
          db, error);
    QRandomGenerator random(20240115);
    auto add = [&](const QString &rq, const char *type, int flag, qint64 item, double sl, double dj,
                   qint64 warehouse, int n) {
        const QByteArray date = rq.toUtf8();
        const QByteArray bill = QStringLiteral("%1%2").arg(QLatin1String(type)).arg(n, 10, 10, QLatin1Char('0')).toUtf8();
        sqlite3_bind_text(insert, 1, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, type, -1, SQLITE_STATIC);
        sqlite3_bind_int(insert, 3, flag);
        sqlite3_bind_text(insert, 4, bill.constData(), int(bill.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 5, item);
        sqlite3_bind_double(insert, 6, sl);
        sqlite3_bind_double(insert, 7, dj);
        sqlite3_bind_double(insert, 8, dj);
        sqlite3_bind_double(insert, 9, sl * dj);
        sqlite3_bind_int64(insert, 10, warehouse);
        const int rc = sqlite3_step(insert);
        sqlite3_reset(insert);
        return check(rc, db, error);
    };
    bool ok = true;
    // The hot item is received and issued in turn; each issue takes what the
    // receipt before it brought, except now and then a little less, so the
    // stock on hand at the end is a few dozen receipts' worth.
    double lastReceipt = 0;
    for (int i = 0; ok && i < kHotMovements; ++i) {
        const int day = i * kDays / kHotMovements;
        const bool receipt = i % 2 == 0;
        if (receipt)
            lastReceipt = 10 + random.bounded(40);
        const double quantity = receipt ? lastReceipt : lastReceipt - (i % 100 == 1 ? 20 : 0);
        ok = add(when(random, day), receipt ? "CS" : "LL", receipt ? 1 : -1, kHotItem, quantity,
                 1 + random.bounded(400) / 100.0, 1, i);
    }
    static const char *const kTypes[] = {"CS", "LL", "TL", "KCPD", "XS", "CT"};
    static const int kFlags[] = {1, -1, 1, 1, -1, -1};
    for (int i = kHotMovements; ok && i < kLedgerRows; ++i) {
        const int t = random.bounded(6);
        ok = add(when(random, random.bounded(kDays)), kTypes[t], kFlags[t], 1 + random.bounded(kItems),
                 1 + random.bounded(50), 1 + random.bounded(1000) / 100.0, 1 + random.bounded(kWarehouses), i);
    }
    sqlite3_finalize(insert);
    ok = ok && check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, error);
    sqlite3_exec(db, "ANALYZE", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return ok;
}

bool prepare(Bench &b)
{
    // The folder with the demo account set, then the ledger, then the server.
    if (!b.server.start()) {
        b.error = b.server.skipReason().isEmpty() ? b.server.error() : b.server.skipReason();
        return false;
    }
    b.server.stop();
    std::fprintf(stderr, "generating %d ledger rows...\n", kLedgerRows);
    if (!generateLedger(b.server.accountDatabase(), &b.error))
        return false;
    if (!b.server.start()) {
        b.error = b.server.error();
        return false;
    }
    b.data = std::make_unique<TData>();
    if (!b.data->connectToServer(b.server.address()) || b.data->connectAct(QStringLiteral("001")).value != 0) {
        b.error = b.data->lastError();
        return false;
    }
    if (!check(sqlite3_open_v2(b.server.accountDatabase().toUtf8().constData(), &b.raw, SQLITE_OPEN_READONLY,
                               nullptr),
               b.raw, &b.error))
        return false;
    if (!sql::installSqliteFunctions(b.raw, &b.error))
        return false;
    QRandomGenerator random(7);
    for (int i = 0; i < kTriples; ++i)
        b.triples.append({1 + random.bounded(kItems), 1 + random.bounded(kWarehouses),
                          kFirstDay.addDays(random.bounded(kDays)).toString(u"yyyy-MM-dd")});
    b.fifoDate = kFirstDay.addDays(kDays).toString(u"yyyy-MM-dd");
    b.fifoQuantity = 40;
    return true;
}

// A statement of the client's dialect as the server runs it on SQLite.
QByteArray translated(Bench &b, const QString &statement)
{
    const sql::TranslateResult t = b.translator.translate(statement, sql::Engine::Sqlite);
    if (!t.ok)
        std::fprintf(stderr, "cannot translate %s\n", qPrintable(statement));
    return t.sql.toUtf8();
}

// Runs a query directly and hands every row to `row`.
template <typename Row>
bool rawQuery(Bench &b, const QByteArray &sql, Row row)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(b.raw, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
        return false;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        row(stmt);
    sqlite3_finalize(stmt);
    return true;
}

void BM_StockQty_Server(benchmark::State &state)
{
    Bench &b = *g_bench;
    for (auto _ : state) {
        double total = 0;
        for (const Triple &t : b.triples)
            total += stockQty(*b.data, t.item, t.date, t.warehouse).value;
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kTriples);
}

// The fixed cost of one call: a statement that reads nothing, through client and
// server. StockQty pays it once per triple.
void BM_RoundTrip(benchmark::State &state)
{
    Bench &b = *g_bench;
    for (auto _ : state) {
        for (int i = 0; i < kTriples; ++i)
            benchmark::DoNotOptimize(b.data->selectRows(QStringLiteral("select 1 as x")));
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kTriples);
}

void BM_StockQty_Raw(benchmark::State &state)
{
    Bench &b = *g_bench;
    // Translated once, as the server's cache would after the first run.
    QList<QByteArray> statements;
    for (const Triple &t : b.triples)
        statements.append(translated(b, stockQtySql(t.item, t.date, t.warehouse).value));
    for (auto _ : state) {
        double total = 0;
        for (const QByteArray &sql : statements)
            rawQuery(b, sql, [&total](sqlite3_stmt *s) { total += sqlite3_column_double(s, 0); });
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kTriples);
}

void BM_Fifo_Server(benchmark::State &state)
{
    Bench &b = *g_bench;
    for (auto _ : state)
        benchmark::DoNotOptimize(fifoIssueCost(*b.data, 1, b.fifoDate, QString(), b.fifoQuantity, kHotItem));
}

void BM_Fifo_Raw(benchmark::State &state)
{
    Bench &b = *g_bench;
    const QByteArray totalsSql = translated(b, fifoTotalsSql(1, b.fifoDate, QString(), kHotItem).value);
    // The client's windows of newest layers: 64, 512, 4096, ...
    QList<QByteArray> windows;
    for (int top = 64; top < 8 * kHotMovements; top *= 8)
        windows.append(translated(b, fifoLayersSql(1, b.fifoDate, kHotItem, top).value));
    for (auto _ : state) {
        FifoTotals totals;
        rawQuery(b, totalsSql, [&totals](sqlite3_stmt *s) {
            totals = {sqlite3_column_double(s, 0), sqlite3_column_double(s, 1), sqlite3_column_int64(s, 2)};
        });
        QList<ReceiptLayer> rows;
        qsizetype walked = 0;
        int window = -1;
        bool complete = false;
        const double unit = fifoUnitCostFromNewest(totals, b.fifoQuantity, [&](ReceiptLayer &layer) {
            if (walked >= rows.size()) {
                if (complete || ++window >= windows.size())
                    return false;
                rows.clear();
                rawQuery(b, windows[window], [&rows](sqlite3_stmt *s) {
                    rows.append({sqlite3_column_double(s, 0), sqlite3_column_double(s, 1)});
                });
                complete = rows.size() < (64 << (3 * window));
                if (walked >= rows.size())
                    return false;
            }
            layer = rows[walked++];
            return true;
        });
        benchmark::DoNotOptimize(roundTo2(unit));
    }
}

BENCHMARK(BM_StockQty_Server)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_StockQty_Raw)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RoundTrip)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Fifo_Server)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Fifo_Raw)->Unit(benchmark::kMillisecond)->MinTime(2.0);

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            // "BM_Fifo_Raw/min_time:2.000" is kept as "BM_Fifo_Raw".
            const std::string name = run.benchmark_name();
            milliseconds[name.substr(0, name.find('/'))] = run.real_accumulated_time / double(run.iterations) * 1e3;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double ratio(const std::string &server, const std::string &raw) const
    {
        const auto s = milliseconds.find(server);
        const auto r = milliseconds.find(raw);
        return s == milliseconds.end() || r == milliseconds.end() || r->second == 0 ? 0 : s->second / r->second;
    }
    std::map<std::string, double> milliseconds;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Bench bench;
    g_bench = &bench;
    if (!prepare(bench)) {
        std::fprintf(stderr, "qv_client_ledger_bench: %s\n", qPrintable(bench.error));
        return 1;
    }
    // The same answers both ways before anything is timed.
    const Triple &t = bench.triples.first();
    double raw = 0;
    rawQuery(bench, translated(bench, stockQtySql(t.item, t.date, t.warehouse).value),
             [&raw](sqlite3_stmt *s) { raw = sqlite3_column_double(s, 0); });
    std::printf("check: StockQty(%lld, %s, %lld) server %.4f raw %.4f; FIFO cost %.2f\n", t.item,
                qPrintable(t.date), t.warehouse, stockQty(*bench.data, t.item, t.date, t.warehouse).value, raw,
                fifoIssueCost(*bench.data, 1, bench.fifoDate, QString(), bench.fifoQuantity, kHotItem).value);

    // What SQLite runs for each kind of statement, and how.
    for (const QString &statement : {stockQtySql(t.item, t.date, t.warehouse).value,
                                     fifoTotalsSql(1, bench.fifoDate, QString(), kHotItem).value,
                                     fifoLayersSql(1, bench.fifoDate, kHotItem).value}) {
        const QByteArray sql = translated(bench, statement);
        std::printf("%s\n  plan:", sql.constData());
        rawQuery(bench, "EXPLAIN QUERY PLAN " + sql,
                 [](sqlite3_stmt *s) { std::printf(" %s;", reinterpret_cast<const char *>(sqlite3_column_text(s, 3))); });
        std::printf("\n");
    }

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nS/R stock (2 000 StockQty): %.2f (goal: at most 1.3)\n",
                reporter.ratio("BM_StockQty_Server", "BM_StockQty_Raw"));
    std::printf("S/R FIFO (50 000 movements): %.2f (goal: at most 1.3)\n",
                reporter.ratio("BM_Fifo_Server", "BM_Fifo_Raw"));
    const auto fifo = reporter.milliseconds.find("BM_Fifo_Server");
    if (fifo != reporter.milliseconds.end())
        std::printf("one FIFO cost through the server: %.2f ms (goal: under 25 ms)\n", fifo->second);
    const auto roundTrip = reporter.milliseconds.find("BM_RoundTrip");
    const auto rawStock = reporter.milliseconds.find("BM_StockQty_Raw");
    if (roundTrip != reporter.milliseconds.end() && rawStock != reporter.milliseconds.end()) {
        std::printf("one call that reads nothing: %.1f us; one StockQty statement on SQLite: %.1f us\n",
                    roundTrip->second * 1000 / kTriples, rawStock->second * 1000 / kTriples);
    }
    benchmark::Shutdown();
    return 0;
}
