// The dialect engine's cost: uncached translations per second over the whole
// statement corpus, and what a cached translation adds to the cheapest query
// the server runs (a single-row look-up by key) on SQLite, against the raw
// engine doing the same look-up. Prints both figures after the benchmarks.
#include "Corpus.h"
#include "SeededDatabases.h"

#include "db/ConnectionFactory.h"
#include "schema/Schema.h"
#include "sql/runner/SqlRunner.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

using namespace qv;
using namespace qv::sql;
using namespace qv::sql::test;

namespace {

// The look-up the sales documents make for every line (the item's price).
const QString kLookup = QStringLiteral("select JJJ from HP  where ID = 11");

QStringList corpusStatements()
{
    QStringList statements;
    for (const QString &path : corpusFiles(corpusFolder())) {
        QString error;
        const auto entries = readCorpusFile(path, &error);
        if (!entries) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            continue;
        }
        for (const CorpusEntry &e : *entries)
            statements << QString(e.sql).replace(QStringLiteral("${olddb}"), QStringLiteral("/tmp/old/QvData.mdb"));
    }
    for (const schema::Dataset &d : schema::Schema::builtIn().datasets()) {
        if (!d.statement.isEmpty())
            statements << d.statement;
    }
    return statements;
}

const QStringList &statements()
{
    static const QStringList list = corpusStatements();
    return list;
}

// A seeded SQLite database, built once.
struct Seeded {
    SeededDatabases seeds;
    QString path;
    QString error;

    Seeded()
    {
        if (seeds.prepare(QString(), &error))
            path = seeds.sqliteSeedPath();
    }
};

Seeded &seeded()
{
    static Seeded s;
    return s;
}

void translateCorpus(benchmark::State &state, Engine engine)
{
    const QStringList &all = statements();
    for (auto _ : state) {
        Translator translator(corpusCatalog()); // created tables start unknown on every pass
        for (const QString &statement : all)
            benchmark::DoNotOptimize(translator.translateUncached(statement, engine));
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * all.size());
}

void BM_TranslateCorpusUncachedSqlite(benchmark::State &state) { translateCorpus(state, Engine::Sqlite); }
void BM_TranslateCorpusUncachedPostgres(benchmark::State &state) { translateCorpus(state, Engine::Postgres); }

void BM_CachedTranslation(benchmark::State &state)
{
    Translator translator(corpusCatalog());
    translator.translate(kLookup, Engine::Sqlite);
    for (auto _ : state)
        benchmark::DoNotOptimize(translator.translate(kLookup, Engine::Sqlite));
}

// The raw engine: the translated look-up run on the connection.
void BM_LookupOnSqlite(benchmark::State &state)
{
    if (seeded().path.isEmpty()) {
        state.SkipWithError(qPrintable(seeded().error));
        return;
    }
    Translator translator(corpusCatalog());
    RunError error;
    auto runner = SqlRunner::open(db::ConnectionDescriptor::sqlite(seeded().path), translator, &error);
    const QString sql = translator.translate(kLookup, Engine::Sqlite).sql;
    for (auto _ : state)
        benchmark::DoNotOptimize(runner->connection().query(sql));
}

// The whole path of the server: cached translation, execution, normalisation.
void BM_LookupThroughRunner(benchmark::State &state)
{
    if (seeded().path.isEmpty()) {
        state.SkipWithError(qPrintable(seeded().error));
        return;
    }
    Translator translator(corpusCatalog());
    RunError error;
    auto runner = SqlRunner::open(db::ConnectionDescriptor::sqlite(seeded().path), translator, &error);
    for (auto _ : state)
        benchmark::DoNotOptimize(runner->query(kLookup, &error));
}

BENCHMARK(BM_TranslateCorpusUncachedSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TranslateCorpusUncachedPostgres)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CachedTranslation);
BENCHMARK(BM_LookupOnSqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LookupThroughRunner)->Unit(benchmark::kMicrosecond);

// Keeps each run's time per iteration (nanoseconds) and rate, for the summary.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            const double seconds = run.real_accumulated_time / double(run.iterations);
            nanoseconds[run.benchmark_name()] = seconds * 1e9;
            const auto items = run.counters.find("items_per_second");
            if (items != run.counters.end())
                rates[run.benchmark_name()] = items->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> nanoseconds;
    std::map<std::string, double> rates;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nstatements in the corpus: %lld\n", static_cast<long long>(statements().size()));
    for (const char *name : {"BM_TranslateCorpusUncachedSqlite", "BM_TranslateCorpusUncachedPostgres"}) {
        const auto it = reporter.rates.find(name);
        if (it != reporter.rates.end())
            std::printf("uncached translations per second (%s): %.0f\n", name + 26, it->second);
    }
    const auto cached = reporter.nanoseconds.find("BM_CachedTranslation");
    const auto lookup = reporter.nanoseconds.find("BM_LookupOnSqlite");
    if (cached != reporter.nanoseconds.end() && lookup != reporter.nanoseconds.end() && lookup->second > 0) {
        std::printf("cached translation: %.0f ns; look-up on SQLite: %.0f ns; overhead: %.2f%% (goal: under 2%%)\n",
                    cached->second, lookup->second, 100.0 * cached->second / lookup->second);
    }
    benchmark::Shutdown();
    return 0;
}
