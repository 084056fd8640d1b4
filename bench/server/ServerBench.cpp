// qv_server_bench: QvServer under the workloads of a busy office, against the
// engine doing the same work in-process.
//
//   qv_server_bench [--pg CONNINFO] [--quick] [--only fetch|apply|clients]
//
//   1. fetch 100 000 ledger rows × 8 columns in packets of 2000 through the
//      server, and the same translated statement run in-process (S/R);
//   2. 1000 documents of 20 lines saved as batches, and the same rows inserted
//      in-process with prepared statements;
//   3. 50 clients at once, each opening a dataset, 20 stock look-ups and one
//      change packet of 20 rows.
// The data (1 000 000 ledger rows, 20 000 items, 20 warehouses, three years) is
// generated in a temporary folder first. --quick uses a tenth of it.
#include "Workloads.h"

#include <QCoreApplication>

#include <cstdio>

using namespace qv::bench;

namespace {

void runFetch(Stage &stage, bool postgres, bool quick);
void runApply(Stage &stage, bool postgres, bool quick);
void runClients(Stage &stage);

void printTimings(const char *what, const Timings &t)
{
    std::printf("  %-34s p50 %9.2f ms   p99 %9.2f ms   (%lld samples)\n", what, t.percentile(50), t.percentile(99),
                static_cast<long long>(t.samples.size()));
}

bool runEngine(Stage &stage, bool postgres, bool quick, const QString &only)
{
    const auto wanted = [&only](const char *name) { return only.isEmpty() || only == QLatin1String(name); };
    const char *engine = postgres ? "PostgreSQL" : "SQLite";
    QString error;
    if (!stage.startServer(postgres, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    std::printf("\n== %s ==\n", engine);

    if (wanted("fetch"))
        runFetch(stage, postgres, quick);
    if (wanted("apply"))
        runApply(stage, postgres, quick);
    if (wanted("clients"))
        runClients(stage);
    stage.stopServer();
    return true;
}

void runFetch(Stage &stage, bool postgres, bool quick)
{
    QString error;
    const FetchResult fetch = fetchWorkload(stage, postgres, quick ? 3 : 11, &error);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "fetch: %s\n", qPrintable(error));
        return;
    }
    std::printf("fetch %lld rows x 8 columns, packets of 2000\n", static_cast<long long>(fetch.rows));
    printTimings("through the server (S)", fetch.server);
    printTimings("in-process (R)", fetch.raw);
    std::printf("  ratio S/R at p50: %.2f\n", fetch.server.percentile(50) / fetch.raw.percentile(50));
    std::printf("  server resident %.1f MiB before, peak %.1f MiB while fetching; in-process peak growth %.1f MiB\n",
                fetch.serverBaseMiB, fetch.serverPeakMiB, fetch.rawPeakMiB);

}

void runApply(Stage &stage, bool postgres, bool quick)
{
    QString error;
    const ApplyResult apply = applyWorkload(stage, postgres, quick ? 200 : 1000, &error);
    if (!error.isEmpty())
        std::fprintf(stderr, "apply: %s\n", qPrintable(error));
    std::printf("apply %d documents of 20 lines (one batch each)\n", apply.documents);
    printTimings("batch through the server", apply.serverPerDocument);
    printTimings("raw prepared inserts", apply.rawPerDocument);
    std::printf("  total %.0f ms vs %.0f ms, ratio %.2f, failed batches %d\n", apply.serverTotalMs, apply.rawTotalMs,
                apply.serverTotalMs / apply.rawTotalMs, apply.failures);

}

void runClients(Stage &stage)
{
    QString error;
    const ConcurrencyResult many = concurrencyWorkload(stage, 50, &error);
    std::printf("50 clients: connect, open pHp, 20 look-ups, one change packet of 20 rows\n");
    std::printf("  wall %.0f ms, %lld calls, %.0f calls/s, %.1f client sessions/s\n", many.wallMs,
                static_cast<long long>(many.callCount), many.callCount / (many.wallMs / 1000.0),
                many.clients / (many.wallMs / 1000.0));
    printTimings("call latency", many.calls);
    for (auto it = many.byStep.cbegin(); it != many.byStep.cend(); ++it)
        printTimings(qPrintable(QStringLiteral("  ") + it.key()), it.value());
    std::printf("  failed calls: %d%s%s\n", many.failures, many.failures ? " - first: " : "",
                qPrintable(many.firstFailure));
    std::printf("  server resident after: %.1f MiB (peak %.1f MiB)\n", residentMiB(stage.serverPid()),
                peakResidentMiB(stage.serverPid()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool quick = args.contains(QStringLiteral("--quick"));
    const auto option = [&args](const QString &name) {
        const qsizetype at = args.indexOf(name);
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
    };
    const QString pg = option(QStringLiteral("--pg"));
    const QString only = option(QStringLiteral("--only"));

    DataShape shape;
    if (quick) {
        shape.items = 2000;
        shape.ledgerRows = 120000;
    }
    Stage stage;
    QString error;
    if (!stage.prepare(shape, pg, &error)) {
        std::fprintf(stderr, "preparing the data: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("data: %d ledger rows, %d items, %d warehouses, %d years\n", shape.ledgerRows, shape.items,
                shape.warehouses, shape.years);
    bool ok = runEngine(stage, false, quick, only);
    if (stage.hasPostgres())
        ok = runEngine(stage, true, quick, only) && ok;
    return ok ? 0 : 1;
}
