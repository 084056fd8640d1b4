// Opening a data grid on a ledger of 100 000 rows through the client and the real
// server, on the offscreen platform:
//   first paint  from DataSet::open() until the grid's viewport has painted its
//                first rows (the grid is already on screen, empty, as in a list
//                window whose query button was pressed); split into the server
//                round trip of the first packet, the rest of open() (records,
//                model reset) and the view's layout and paint
//   fetch all    every remaining packet, with the grid attached and following
//   memory       the client's resident memory (and its heap in use) before the
//                open and once every row is held, per row; the server's
//                resident memory while the packets go out
// Goal: the first packet of 2000 rows painted in under 300 ms.
//
// Run by hand: build/bench/client/qv_client_grid_bench [--runs N] [--statement SQL]
#include "ServerProcess.h"

#include "client/core/data/TData.h"
#include "client/core/views/DbGrid.h"
#include "common/DayNumber.h"
#include "protocol/Frame.h"
#include "protocol/WireValue.h"
#include "schema/Schema.h"
#include "sql/Catalog.h"
#include "sql/SqliteFunctions.h"
#include "sql/Translator.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTableView>
#include <sqlite3.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

using namespace qv;
using namespace qv::client;

namespace {

constexpr int kRows = 100'000;
constexpr int kItems = 1000;
constexpr int kWarehouses = 4;
constexpr int kDays = 3650;
const QDate kFirstDay(2015, 1, 1);
const QString kDefaultStatement = QStringLiteral("select * from Inv_ItemList");

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// --- memory ---------------------------------------------------------------

// VmRSS of a process in bytes (0 when it cannot be read).
qint64 residentBytes(const QString &pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

// Bytes the allocator hands out at the moment: finer than the resident set,
// which also holds freed pages the allocator keeps.
qint64 heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

double mib(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

// The server started by ServerProcess is our child named QvServer.
QString serverPid()
{
    const QString self = QString::number(getpid());
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool number = false;
        entry.toInt(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (comm) state ppid ..."
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        const QList<QByteArray> rest = text.mid(close + 2).split(' ');
        if (text.contains("(QvServer)") && rest.value(1) == self.toLatin1())
            return entry;
    }
    return QString();
}

// --- the ledger -----------------------------------------------------------

bool check(int rc, sqlite3 *db, QString *error)
{
    if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW)
        return true;
    *error = QString::fromUtf8(sqlite3_errmsg(db));
    return false;
}

// Fills Inv_ItemList up to kRows rows with every column set, as the document
// windows write it: movements of 1 000 items in 4 warehouses over ten years.
bool generateLedger(const QString &path, QString *error)
{
    sqlite3 *db = nullptr;
    if (!check(sqlite3_open(path.toUtf8().constData(), &db), db, error)) {
        sqlite3_close(db);
        return false;
    }
    int existing = 0;
    sqlite3_stmt *count = nullptr;
    if (sqlite3_prepare_v2(db, "select count(*) from Inv_ItemList", -1, &count, nullptr) == SQLITE_OK
        && sqlite3_step(count) == SQLITE_ROW)
        existing = sqlite3_column_int(count, 0);
    sqlite3_finalize(count);

    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    bool ok = check(sqlite3_prepare_v2(db,
                                       "insert into Inv_ItemList(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,NZK,NSL,"
                                       "CustVendID,CKID,F1,YGID,RefSL,Employee) "
                                       "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                       -1, &insert, nullptr),
                    db, error);
    static const char *const kTypes[] = {"CS", "LL", "TL", "KCPD", "XS", "CT"};
    static const int kFlags[] = {1, -1, 1, 1, -1, -1};
    static const char *const kClerks[] = {"张伟", "王芳", "李娜", "刘洋", "陈静", "杨磊"};
    QRandomGenerator random(20240301);
    for (int i = existing; ok && i < kRows; ++i) {
        const int t = int(random.bounded(6));
        const QDateTime at(kFirstDay.addDays(random.bounded(kDays)),
                           QTime(random.bounded(24), random.bounded(60), random.bounded(60)));
        const QByteArray date = common::toDateText(at).toUtf8();
        const QByteArray bill = QStringLiteral("%1%2%3")
                                    .arg(QLatin1String(kTypes[t]))
                                    .arg(at.date().toString(u"yyyyMM"))
                                    .arg(i % 10000, 4, 10, QLatin1Char('0'))
                                    .toUtf8();
        const double sl = 1 + random.bounded(50);
        const double dj = 1 + random.bounded(100000) / 100.0;
        sqlite3_bind_text(insert, 1, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, kTypes[t], -1, SQLITE_STATIC);
        sqlite3_bind_int(insert, 3, kFlags[t]);
        sqlite3_bind_text(insert, 4, bill.constData(), int(bill.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 5, 1 + random.bounded(kItems));
        sqlite3_bind_int(insert, 6, 1 + i % 12);
        sqlite3_bind_double(insert, 7, sl);
        sqlite3_bind_double(insert, 8, dj);
        sqlite3_bind_double(insert, 9, dj * 0.8);
        sqlite3_bind_double(insert, 10, sl * dj);
        sqlite3_bind_double(insert, 11, 100);
        sqlite3_bind_double(insert, 12, 17);
        sqlite3_bind_int64(insert, 13, 1 + random.bounded(200));
        sqlite3_bind_int64(insert, 14, 1 + random.bounded(kWarehouses));
        sqlite3_bind_int(insert, 15, 0);
        sqlite3_bind_int64(insert, 16, 1 + random.bounded(30));
        sqlite3_bind_double(insert, 17, sl);
        sqlite3_bind_text(insert, 18, kClerks[random.bounded(6)], -1, SQLITE_STATIC);
        ok = check(sqlite3_step(insert), db, error);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    ok = ok && check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, error);
    sqlite3_exec(db, "ANALYZE", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return ok;
}

// The statement as the server runs it, straight on the file: the floor under
// the server's part of the first packet (2 001 rows stepped, every column read).
double rawFirstPacketMs(const QString &path, const QString &statement, QString *error)
{
    sql::Translator translator(sql::Catalog::fromSchema(schema::Schema::builtIn(), schema::Database::Business));
    const sql::TranslateResult t = translator.translate(statement, sql::Engine::Sqlite);
    if (!t.ok) {
        *error = QStringLiteral("cannot translate %1").arg(statement);
        return -1;
    }
    sqlite3 *db = nullptr;
    if (!check(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), db, error)
        || !sql::installSqliteFunctions(db, error)) {
        sqlite3_close(db);
        return -1;
    }
    const QByteArray text = t.sql.toUtf8();
    QList<double> times;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr);
        int rows = 0;
        QList<QVariantList> held;
        while (rows <= TData::kPacketSize && sqlite3_step(stmt) == SQLITE_ROW) {
            QVariantList row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER: row << sqlite3_column_int64(stmt, c); break;
                case SQLITE_FLOAT: row << sqlite3_column_double(stmt, c); break;
                case SQLITE_TEXT:
                    row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c)));
                    break;
                default: row << QVariant(); break;
                }
            }
            held << row;
            ++rows;
        }
        sqlite3_finalize(stmt);
        times << ms(timer);
    }
    sqlite3_close(db);
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// --- timing the dataset's calls to the server -------------------------------

// Passes every call on to the server's source and notes how long the round
// trips took (query, packet encoding, transfer and decoding), and the
// server's resident memory after each packet.
class TimingSource : public DataSource {
public:
    TimingSource(DataSource &inner, QString serverPid)
        : m_inner(inner)
        , m_serverPid(std::move(serverPid))
    {
    }

    void reset()
    {
        openMs = 0;
        fetchMs = 0;
        fetches = 0;
        serverPeak = residentBytes(m_serverPid);
    }

    OpenResult open(const OpenRequest &request) override
    {
        QElapsedTimer timer;
        timer.start();
        OpenResult result = m_inner.open(request);
        openMs = ms(timer);
        sampleServer();
        if (keepFirstPacket)
            firstPacket = result.rows;
        return result;
    }
    FetchResult fetch(int cursor, int count) override
    {
        QElapsedTimer timer;
        timer.start();
        FetchResult result = m_inner.fetch(cursor, count);
        fetchMs += ms(timer);
        ++fetches;
        sampleServer();
        return result;
    }
    void closeCursor(int cursor) override { m_inner.closeCursor(cursor); }
    ApplyResult applyUpdates(const ChangePacket &packet, int maxErrors) override
    {
        return m_inner.applyUpdates(packet, maxErrors);
    }
    ExecResult execute(const QString &provider, const QString &statement) override
    {
        return m_inner.execute(provider, statement);
    }
    BlobResult fetchBlobs(const QString &provider, const RowValues &rowKey) override
    {
        return m_inner.fetchBlobs(provider, rowKey);
    }

    double openMs = 0;
    double fetchMs = 0;
    int fetches = 0;
    qint64 serverPeak = 0;
    bool keepFirstPacket = false;
    QList<RowValues> firstPacket; // as the client received it, when kept

private:
    void sampleServer() { serverPeak = std::max(serverPeak, residentBytes(m_serverPid)); }

    DataSource &m_inner;
    QString m_serverPid;
};

// Notes the first paint of the grid's viewport (with rowsShown: once the model
// has rows, so the paint draws them). The filter sees the event before the
// view handles it; the caller reads the flag after processEvents() returns,
// that is after the paint.
class PaintWatch : public QObject {
public:
    PaintWatch(const DataSetModel &model, bool rowsShown)
        : m_model(model)
        , m_rowsShown(rowsShown)
    {
    }
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && (!m_rowsShown || m_model.rowCount() > 0))
            painted = true;
        return QObject::eventFilter(watched, event);
    }

private:
    const DataSetModel &m_model;
    bool m_rowsShown;
};

// Processes events until the flag is set; false after ten seconds.
bool processUntil(const bool &flag)
{
    QElapsedTimer timer;
    timer.start();
    while (!flag && timer.elapsed() < 10'000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return flag;
}

// --- one run ---------------------------------------------------------------

struct Run {
    double showMs = 0;       // an empty grid created, shown and painted
    double sourceOpenMs = 0; // the first packet's round trip
    double openMs = 0;       // DataSet::open() in all
    double paintMs = 0;      // open() returned → rows painted
    double firstPaintMs = 0; // open() called → rows painted
    int fetchesBeforePaint = 0;
    double fetchAllMs = 0;
    double fetchRoundTripsMs = 0;
    int packets = 0;
    int rows = 0;
    qint64 rssDelta = 0;
    qint64 heapDelta = 0;
    qint64 serverBefore = 0;
    qint64 serverPeak = 0;
    QString error;
};

Run runOnce(TData &data, TimingSource &source, const QString &statement)
{
    Run run;
    std::unique_ptr<DataSet> ds = data.createDataSet(QStringLiteral("GridBench"), QStringLiteral("pTmp"));
    ds->setSource(&source);
    ds->setCommandText(statement);

    QElapsedTimer timer;
    timer.start();
    auto grid = std::make_unique<DbGrid>();
    grid->resize(1280, 720);
    grid->setDataSet(ds.get());
    PaintWatch shown(*grid->model(), false);
    grid->view()->viewport()->installEventFilter(&shown);
    grid->show();
    processUntil(shown.painted);
    run.showMs = ms(timer);
    grid->view()->viewport()->removeEventFilter(&shown);
    QApplication::processEvents();

    PaintWatch watch(*grid->model(), true);
    grid->view()->viewport()->installEventFilter(&watch);
    malloc_trim(0);
    const qint64 rssBefore = residentBytes(QStringLiteral("self"));
    const qint64 heapBefore = heapInUse();
    source.reset();
    run.serverBefore = source.serverPeak;

    timer.restart();
    if (!ds->open()) {
        run.error = ds->lastError().toString();
        return run;
    }
    run.openMs = ms(timer);
    if (!processUntil(watch.painted)) {
        run.error = QStringLiteral("the grid did not paint its rows");
        return run;
    }
    run.firstPaintMs = ms(timer);
    run.paintMs = run.firstPaintMs - run.openMs;
    run.sourceOpenMs = source.openMs;
    run.fetchesBeforePaint = source.fetches;

    timer.restart();
    const int fetchesBefore = source.fetches;
    const double roundTripsBefore = source.fetchMs;
    if (!ds->fetchAll()) {
        run.error = ds->lastError().toString();
        return run;
    }
    QApplication::processEvents();
    run.fetchAllMs = ms(timer);
    run.packets = source.fetches - fetchesBefore;
    run.fetchRoundTripsMs = source.fetchMs - roundTripsBefore;
    run.rows = ds->recordCount();
    run.rssDelta = residentBytes(QStringLiteral("self")) - rssBefore;
    run.heapDelta = heapInUse() - heapBefore;
    run.serverPeak = source.serverPeak;

    grid.reset();
    ds.reset();
    return run;
}

// What the wire costs for one packet, without the socket: the rows encoded
// into a frame as the server does, and the frame's body checked and decoded
// back into rows as the client does (medians of 5).
struct WireCost {
    double encodeMs = 0;
    double decodeMs = 0;
    qsizetype bytes = 0;
};

WireCost wireCost(const QList<RowValues> &rows)
{
    QList<double> encode;
    QList<double> decode;
    WireCost cost;
    const qsizetype width = rows.isEmpty() ? -1 : rows.first().size();
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QByteArray frame = protocol::encodeFrame(protocol::encodeRows(rows));
        encode << ms(timer);
        cost.bytes = frame.size();
        timer.restart();
        QString error;
        const QCborValue value = protocol::decodeFrameBody(
            QByteArrayView(frame).sliced(protocol::kFrameHeaderSize), protocol::FrameLimits(), &error);
        QList<protocol::Row> back;
        protocol::DecodeErrors errors;
        protocol::decodeRows(value, back, errors, width, protocol::NotFetchedMarker::Allowed);
        decode << ms(timer);
    }
    std::sort(encode.begin(), encode.end());
    std::sort(decode.begin(), decode.end());
    cost.encodeMs = encode[2];
    cost.decodeMs = decode[2];
    return cost;
}

// The dataset alone, without a grid: what the grid adds to the memory and to
// fetching everything.
struct Bare {
    double fetchAllMs = 0;
    qint64 heapDelta = 0;
    qint64 rssDelta = 0;
    int rows = 0;
};

Bare runWithoutGrid(TData &data, TimingSource &source, const QString &statement)
{
    Bare bare;
    std::unique_ptr<DataSet> ds = data.createDataSet(QStringLiteral("GridBench"), QStringLiteral("pTmp"));
    ds->setSource(&source);
    ds->setCommandText(statement);
    malloc_trim(0);
    const qint64 rssBefore = residentBytes(QStringLiteral("self"));
    const qint64 heapBefore = heapInUse();
    QElapsedTimer timer;
    timer.start();
    if (!ds->open() || !ds->fetchAll())
        return bare;
    bare.fetchAllMs = ms(timer);
    bare.rows = ds->recordCount();
    bare.heapDelta = heapInUse() - heapBefore;
    bare.rssDelta = residentBytes(QStringLiteral("self")) - rssBefore;
    return bare;
}

struct Stats {
    double p50 = 0;
    double p99 = 0;
    double max = 0;
};

template <typename Take>
Stats stats(const QList<Run> &runs, Take take)
{
    QList<double> values;
    for (const Run &r : runs)
        values << double(take(r));
    std::sort(values.begin(), values.end());
    const auto at = [&values](double q) {
        // Nearest rank: with 15 runs the p99 is the slowest run.
        const qsizetype rank = std::clamp<qsizetype>(qsizetype(std::ceil(q * double(values.size()))), 1, values.size());
        return values[rank - 1];
    };
    return {at(0.5), at(0.99), values.last()};
}

// The offscreen platform warns on every show that it keeps no size hints.
void quietMessages(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (!message.contains(u"propagateSizeHints"))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    int runs = 15;
    QString statement = kDefaultStatement;
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == u"--runs")
            runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == u"--statement")
            statement = args[i + 1];
    }

    test::ServerProcess server;
    if (!server.start()) {
        std::fprintf(stderr, "qv_client_grid_bench: %s\n",
                     qPrintable(server.skipReason().isEmpty() ? server.error() : server.skipReason()));
        return 1;
    }
    server.stop();
    std::fprintf(stderr, "generating %d ledger rows...\n", kRows);
    QString error;
    if (!generateLedger(server.accountDatabase(), &error)) {
        std::fprintf(stderr, "qv_client_grid_bench: %s\n", qPrintable(error));
        return 1;
    }
    const double rawMs = rawFirstPacketMs(server.accountDatabase(), statement, &error);
    if (rawMs < 0)
        std::fprintf(stderr, "the statement straight on SQLite: %s\n", qPrintable(error));
    if (!server.start()) {
        std::fprintf(stderr, "qv_client_grid_bench: %s\n", qPrintable(server.error()));
        return 1;
    }
    const QString pid = serverPid();
    TData data;
    if (!data.connectToServer(server.address()) || data.connectAct(QStringLiteral("001")).value != 0) {
        std::fprintf(stderr, "qv_client_grid_bench: %s\n", qPrintable(data.lastError()));
        return 1;
    }
    TimingSource source(data.source(), pid);

    std::printf("statement: %s (%d rows); server pid %s\n", qPrintable(statement), kRows,
                pid.isEmpty() ? "not found" : qPrintable(pid));
    std::printf("%4s %8s %9s %8s %8s %10s %6s %10s %8s %10s %10s %10s\n", "run", "show", "srv-open", "open",
                "paint", "1st-paint", "extra", "fetch-all", "packets", "rss/row", "heap/row", "server");
    // One run before the timed ones: fonts, the style and the server's
    // statement cache warm up there.
    QList<Run> done;
    for (int i = 0; i <= runs; ++i) {
        const Run r = runOnce(data, source, statement);
        if (!r.error.isEmpty()) {
            std::fprintf(stderr, "qv_client_grid_bench: run %d: %s\n", i, qPrintable(r.error));
            return 1;
        }
        std::printf("%4s %6.1fms %7.1fms %6.1fms %6.1fms %8.1fms %6d %8.0fms %8d %9.0fB %9.0fB %8.1fMiB\n",
                    i == 0 ? "warm" : qPrintable(QString::number(i)), r.showMs, r.sourceOpenMs, r.openMs,
                    r.paintMs, r.firstPaintMs, r.fetchesBeforePaint, r.fetchAllMs, r.packets,
                    double(r.rssDelta) / r.rows, double(r.heapDelta) / r.rows, mib(r.serverPeak));
        if (r.rows != kRows) {
            std::fprintf(stderr, "qv_client_grid_bench: %d rows held, %d expected\n", r.rows, kRows);
            return 1;
        }
        if (i > 0)
            done << r;
        std::fflush(stdout);
    }

    source.keepFirstPacket = true;
    {
        std::unique_ptr<DataSet> ds = data.createDataSet(QStringLiteral("GridBench"), QStringLiteral("pTmp"));
        ds->setSource(&source);
        ds->setCommandText(statement);
        ds->open();
    }
    source.keepFirstPacket = false;
    const WireCost wire = wireCost(source.firstPacket);
    source.firstPacket.clear();
    QList<Bare> bare;
    for (int i = 0; i < 3; ++i)
        bare << runWithoutGrid(data, source, statement);
    std::sort(bare.begin(), bare.end(), [](const Bare &a, const Bare &b) { return a.fetchAllMs < b.fetchAllMs; });
    const Bare &bareMid = bare[1];

    const Stats first = stats(done, [](const Run &r) { return r.firstPaintMs; });
    const Stats srv = stats(done, [](const Run &r) { return r.sourceOpenMs; });
    const Stats open = stats(done, [](const Run &r) { return r.openMs; });
    const Stats paint = stats(done, [](const Run &r) { return r.paintMs; });
    const Stats all = stats(done, [](const Run &r) { return r.fetchAllMs; });
    const Stats trips = stats(done, [](const Run &r) { return r.fetchRoundTripsMs; });
    const Stats rss = stats(done, [](const Run &r) { return double(r.rssDelta) / r.rows; });
    const Stats heap = stats(done, [](const Run &r) { return double(r.heapDelta) / r.rows; });
    const Stats serverPeak = stats(done, [](const Run &r) { return mib(r.serverPeak); });
    const Stats serverBefore = stats(done, [](const Run &r) { return mib(r.serverBefore); });

    std::printf("\n%d runs, %d rows of %d columns, packets of %d\n", runs, kRows,
                19, TData::kPacketSize);
    std::printf("first paint p50 %.1f ms, p99 %.1f ms (goal < 300 ms): %s\n", first.p50, first.p99,
                first.p99 < 300 ? "met" : (first.p50 < 300 ? "met at p50, NOT at p99" : "NOT met"));
    std::printf("  first packet round trip p50 %.1f ms (the statement straight on SQLite, 2 001 rows: %.1f ms)\n",
                srv.p50, rawMs);
    std::printf("  of which the packet on the wire (%lld bytes): encoding %.1f ms, checking and decoding %.1f ms\n",
                qlonglong(wire.bytes), wire.encodeMs, wire.decodeMs);
    std::printf("  open() in all p50 %.1f ms (records and model reset: %.1f ms)\n", open.p50,
                open.p50 - srv.p50);
    std::printf("  layout and paint after open() p50 %.1f ms, p99 %.1f ms\n", paint.p50, paint.p99);
    std::printf("fetch all %d rows p50 %.0f ms, p99 %.0f ms (round trips of the packets: %.0f ms)\n", kRows,
                all.p50, all.p99, trips.p50);
    std::printf("  the dataset alone, without a grid (open and fetch all): %.0f ms\n", bareMid.fetchAllMs);
    std::printf("bytes per row p50 %.0f resident, %.0f heap in use (max %.0f / %.0f)\n", rss.p50, heap.p50,
                rss.max, heap.max);
    if (bareMid.rows > 0)
        std::printf("  the dataset alone, without a grid: %.0f resident, %.0f heap in use\n",
                    double(bareMid.rssDelta) / bareMid.rows, double(bareMid.heapDelta) / bareMid.rows);
    std::printf("server resident memory %.1f MiB before the open, %.1f MiB at most while fetching\n",
                serverBefore.p50, serverPeak.max);
    return 0;
}
