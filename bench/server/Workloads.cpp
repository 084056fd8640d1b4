#include "Workloads.h"

#include "db/ConnectionFactory.h"
#include "protocol/Channel.h"
#include "schema/Ddl.h"
#include "sql/runner/SqlRunner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <thread>

namespace qv::bench {

namespace {

constexpr int kPacket = 2000;
constexpr int kTimeoutMs = 600000;

const QString kFetchStatement = QStringLiteral(
    "select ID, RQ, BillType, DJBH, HPID, CKID, SL, DJ from Inv_ItemList where ID <= 100000 order by ID");

double ms(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1.0e6;
}

bool connectClient(protocol::Channel &channel, quint16 port, QString *error)
{
    if (!channel.connectTo(QStringLiteral("127.0.0.1"), port,
                           {QStringLiteral("ZurI.datas"), QStringLiteral("ZurI.DatasBb")}, 10000,
                           QStringLiteral("bench"))) {
        *error = channel.lastError().describe();
        return false;
    }
    protocol::ConnectActArgs connect;
    connect.dataBaseName = QStringLiteral("001");
    const auto reply = channel.request(protocol::RemoteObject::Business, connect, kTimeoutMs);
    if (!reply.ok() || reply->value != 0) {
        *error = QStringLiteral("ConnectAct failed: ") + reply.error.describe();
        return false;
    }
    return true;
}

db::ConnectionDescriptor rawDescriptor(Stage &stage, bool postgres)
{
    return postgres ? db::ConnectionDescriptor::postgres(stage.pgConninfo())
                    : db::ConnectionDescriptor::sqlite(stage.sqlitePath());
}

qint64 fetchThroughServer(protocol::Channel &channel, QString *error)
{
    protocol::OpenArgs open;
    open.dataset = QStringLiteral("pTmp");
    open.statement = kFetchStatement;
    open.packetSize = kPacket;
    const auto first = channel.request(protocol::RemoteObject::Business, open, kTimeoutMs);
    if (!first.ok()) {
        *error = first.error.describe();
        return -1;
    }
    qint64 rows = first->rows.size();
    bool end = first->endOfData;
    while (!end) {
        const auto more = channel.request(protocol::RemoteObject::Business, protocol::FetchArgs{first->cursor, kPacket},
                                          kTimeoutMs);
        if (!more.ok()) {
            *error = more.error.describe();
            return -1;
        }
        rows += more->rows.size();
        end = more->endOfData;
    }
    return rows;
}

qint64 fetchInProcess(sql::SqlRunner &runner, QString *error)
{
    sql::RunError runError;
    auto cursor = runner.openCursor(kFetchStatement, &runError);
    if (!cursor) {
        *error = runError.text();
        return -1;
    }
    qint64 rows = 0;
    while (!cursor->atEnd()) {
        QList<db::Row> packet;
        if (!cursor->fetch(kPacket, packet, &runError)) {
            *error = runError.text();
            return -1;
        }
        if (packet.isEmpty())
            break;
        rows += packet.size();
    }
    return rows;
}

// One document: 20 lines into LL and the header into LLZB.
struct Document {
    protocol::ChangePacket lines;
    protocol::ChangePacket header;
};

Document makeDocument(qint64 id, const QString &number, QRandomGenerator &random, int items, int warehouses)
{
    Document d;
    const QDateTime date(QDate(2024, 1, 15), QTime());
    d.lines.fields = QStringList{QStringLiteral("RECID"), QStringLiteral("ZBID"), QStringLiteral("HH"),
                                 QStringLiteral("RQ"), QStringLiteral("HPID"), QStringLiteral("SL"),
                                 QStringLiteral("DJ"), QStringLiteral("DJBH"), QStringLiteral("CKID")};
    const qint64 warehouse = kFirstWarehouse + random.bounded(warehouses);
    double total = 0;
    for (int line = 1; line <= 20; ++line) {
        const double sl = 1 + random.bounded(20);
        const double dj = 1 + random.bounded(1000) / 10.0;
        total += sl * dj;
        d.lines.inserted << protocol::Row{QStringLiteral("%1-%2").arg(id).arg(line), id, qint64(line), date,
                                          kFirstItem + random.bounded(items), sl, dj, number, warehouse};
    }
    d.header.fields = QStringList{QStringLiteral("ID"), QStringLiteral("DJBH"), QStringLiteral("RQ"), QStringLiteral("JE"),
                                  QStringLiteral("CZY"), QStringLiteral("uFlag"), QStringLiteral("CKID")};
    d.header.inserted << protocol::Row{id, number, date, total, QStringLiteral("SYS"), qint64(0), warehouse};
    return d;
}

// The same rows written with prepared statements in one transaction.
bool applyRaw(db::Connection &connection, const Document &d, QString *error)
{
    const auto engine = connection.traits().engine == db::Engine::Postgres ? schema::DdlEngine::Postgres
                                                                          : schema::DdlEngine::Sqlite;
    const auto insert = [&](const QString &table, const protocol::ChangePacket &packet) {
        QStringList names;
        QStringList markers;
        for (qsizetype i = 0; i < packet.fields.size(); ++i) {
            names << schema::engineName(packet.fields[i], engine);
            markers << connection.traits().parameter(int(i + 1));
        }
        auto statement = connection.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                .arg(schema::engineName(table, engine), names.join(u','), markers.join(u',')));
        if (!statement)
            return false;
        for (const protocol::Row &row : packet.inserted) {
            if (!statement->bindAll(row) || !statement->execute())
                return false;
        }
        return true;
    };
    db::TransactionGuard transaction(connection);
    if (!insert(QStringLiteral("LL"), d.lines) || !insert(QStringLiteral("LLZB"), d.header) || !transaction.commit()) {
        *error = connection.lastError().text();
        return false;
    }
    return true;
}

} // namespace

double Timings::percentile(double p) const
{
    if (samples.isEmpty())
        return 0;
    QList<double> sorted = samples;
    std::sort(sorted.begin(), sorted.end());
    const qsizetype at = std::min<qsizetype>(sorted.size() - 1, qsizetype(p / 100.0 * double(sorted.size())));
    return sorted[at];
}

double Timings::total() const
{
    double sum = 0;
    for (double s : samples)
        sum += s;
    return sum;
}

FetchResult fetchWorkload(Stage &stage, bool postgres, int runs, QString *error)
{
    FetchResult result;
    protocol::Channel channel;
    if (!connectClient(channel, stage.port(), error))
        return result;
    QString failure;
    fetchThroughServer(channel, &failure); // warm the caches once
    result.serverBaseMiB = residentMiB(stage.serverPid());
    resetPeak(stage.serverPid());
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        result.rows = fetchThroughServer(channel, &failure);
        result.server.samples << ms(timer);
        if (result.rows < 0) {
            *error = failure;
            return result;
        }
    }
    result.serverPeakMiB = peakResidentMiB(stage.serverPid());

    sql::Translator translator(sql::Catalog::fromSchema(schema::Schema::builtIn(), schema::Database::Business));
    sql::RunError openError;
    auto runner = sql::SqlRunner::open(rawDescriptor(stage, postgres), translator, &openError);
    if (!runner) {
        *error = openError.text();
        return result;
    }
    fetchInProcess(*runner, &failure);
    resetPeak(QCoreApplication::applicationPid());
    const double before = residentMiB(QCoreApplication::applicationPid());
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (fetchInProcess(*runner, &failure) != result.rows) {
            *error = QStringLiteral("in-process fetch: ") + failure;
            return result;
        }
        result.raw.samples << ms(timer);
    }
    result.rawPeakMiB = peakResidentMiB(QCoreApplication::applicationPid()) - before;
    return result;
}

ApplyResult applyWorkload(Stage &stage, bool postgres, int documents, QString *error)
{
    ApplyResult result;
    result.documents = documents;
    protocol::Channel channel;
    if (!connectClient(channel, stage.port(), error))
        return result;
    QRandomGenerator random(7);
    const int items = stage.shape().items;
    const int warehouses = stage.shape().warehouses;
    QElapsedTimer total;
    total.start();
    for (int d = 0; d < documents; ++d) {
        const qint64 id = 2024010000 + d + 1;
        const Document doc = makeDocument(id, QStringLiteral("LL2024%1").arg(id % 1000000, 6, 10, QLatin1Char('0')),
                                          random, items, warehouses);
        protocol::BatchArgs batch;
        batch.items << protocol::ApplyUpdatesArgs{QStringLiteral("pLl"), doc.lines}
                    << protocol::ApplyUpdatesArgs{QStringLiteral("pLlzb"), doc.header};
        QElapsedTimer timer;
        timer.start();
        const auto reply = channel.request(protocol::RemoteObject::Business, batch, kTimeoutMs);
        result.serverPerDocument.samples << ms(timer);
        if (!reply.ok() || !reply->ok) {
            if (result.failures++ == 0)
                *error = reply.ok() ? reply->error.describe() : reply.error.describe();
        }
    }
    result.serverTotalMs = ms(total);

    db::Error openError;
    auto connection = db::openConnection(rawDescriptor(stage, postgres), &openError);
    if (!connection) {
        *error = openError.text();
        return result;
    }
    total.restart();
    for (int d = 0; d < documents; ++d) {
        const qint64 id = 2025010000 + d + 1;
        const Document doc = makeDocument(id, QStringLiteral("LL2025%1").arg(id % 1000000, 6, 10, QLatin1Char('0')),
                                          random, items, warehouses);
        QElapsedTimer timer;
        timer.start();
        QString failure;
        if (!applyRaw(*connection, doc, &failure)) {
            *error = QStringLiteral("raw apply: ") + failure;
            return result;
        }
        result.rawPerDocument.samples << ms(timer);
    }
    result.rawTotalMs = ms(total);
    return result;
}

ConcurrencyResult concurrencyWorkload(Stage &stage, int clients, QString *error)
{
    ConcurrencyResult result;
    result.clients = clients;
    QMutex mutex;
    std::barrier start(clients + 1);
    std::vector<std::thread> threads;
    const int items = stage.shape().items;
    const int warehouses = stage.shape().warehouses;
    const quint16 port = stage.port();
    const auto record = [&](const QString &step, double sample, const QString &failure) {
        QMutexLocker lock(&mutex);
        result.calls.samples << sample;
        result.byStep[step].samples << sample;
        ++result.callCount;
        if (!failure.isEmpty() && result.failures++ == 0)
            result.firstFailure = failure;
    };
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            QRandomGenerator random(quint32(1000 + c));
            protocol::Channel channel;
            start.arrive_and_wait();
            QElapsedTimer timer;
            timer.start();
            QString failure;
            const bool connected = connectClient(channel, port, &failure);
            record(QStringLiteral("connect + ConnectAct"), ms(timer), connected ? QString() : failure);
            if (!connected)
                return;
            const auto call = [&](const protocol::Arguments &arguments) {
                QElapsedTimer t;
                t.start();
                const protocol::Result r = channel.call(protocol::RemoteObject::Business, arguments, kTimeoutMs);
                record(protocol::operationName(protocol::operationOf(arguments)), ms(t),
                       r.ok ? QString() : r.error.describe());
                return r;
            };
            protocol::OpenArgs open;
            open.dataset = QStringLiteral("pHp");
            open.packetSize = kPacket;
            const protocol::Result opened = call(open);
            if (opened.ok) {
                if (const auto reply = protocol::decodeReply<protocol::OpenReply>(opened); reply && reply->cursor)
                    call(protocol::CloseCursorArgs{reply->cursor});
            }
            for (int l = 0; l < 20; ++l) {
                protocol::OpenArgs lookup;
                lookup.dataset = QStringLiteral("pTmp");
                lookup.packetSize = -1;
                lookup.statement = QStringLiteral("select sum(flag*sl) as qty From Inv_ItemList  where 1=1  and hpid =%1"
                                                  " and RQ <= 44926.9999884259 and CKID = %2")
                                       .arg(kFirstItem + random.bounded(items))
                                       .arg(kFirstWarehouse + random.bounded(warehouses));
                call(lookup);
            }
            const qint64 id = 2026000000 + qint64(c) * 100;
            protocol::ApplyUpdatesArgs apply;
            apply.dataset = QStringLiteral("pLl");
            apply.packet = makeDocument(id, QStringLiteral("LL2026%1").arg(id % 1000000, 6, 10, QLatin1Char('0')),
                                        random, items, warehouses)
                               .lines;
            const protocol::Result saved = call(apply);
            if (saved.ok) {
                const auto reply = protocol::decodeReply<protocol::ApplyUpdatesReply>(saved);
                if (!reply || !reply->committed || reply->errorCount > 0)
                    record(QStringLiteral("ApplyUpdates"), 0, QStringLiteral("change packet not saved"));
            }
        });
    }
    QElapsedTimer wall;
    start.arrive_and_wait();
    wall.start();
    for (std::thread &t : threads)
        t.join();
    result.wallMs = ms(wall);
    if (result.failures > 0)
        *error = result.firstFailure;
    return result;
}

} // namespace qv::bench
