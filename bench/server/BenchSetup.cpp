#include "BenchSetup.h"

#include "db/ConnectionFactory.h"

#include <QCoreApplication>
#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

#include <csignal>
#include <cstdio>

namespace qv::bench {

namespace {

QString bin(const QString &program)
{
    return QStringLiteral(QV_BIN_DIR "/") + program;
}

bool runTool(const QString &program, const QStringList &args, QString *error)
{
    QProcess p;
    p.start(bin(program), args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        *error = program + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    return true;
}

// Inserts rows many at a time: one statement with bound values per block.
class BlockInserter {
public:
    BlockInserter(db::Connection &connection, const QString &table, const QStringList &columns, int rowsPerBlock)
        : m_connection(connection), m_table(table), m_columns(columns), m_rowsPerBlock(rowsPerBlock)
    {
    }
    bool add(const db::Row &row, QString *error)
    {
        m_values.append(row);
        return ++m_pending < m_rowsPerBlock || flush(error);
    }
    bool flush(QString *error)
    {
        if (m_pending == 0)
            return true;
        const db::EngineTraits &traits = m_connection.traits();
        QStringList tuples;
        int n = 0;
        for (int r = 0; r < m_pending; ++r) {
            QStringList markers;
            for (qsizetype c = 0; c < m_columns.size(); ++c)
                markers << traits.parameter(++n);
            tuples << QLatin1Char('(') + markers.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                                .arg(m_table, m_columns.join(QLatin1Char(',')), tuples.join(QLatin1Char(',')));
        auto statement = m_connection.prepare(sql);
        if (!statement || !statement->bindAll(m_values) || !statement->execute()) {
            *error = statement ? statement->lastError().text() : m_connection.lastError().text();
            return false;
        }
        m_values.clear();
        m_pending = 0;
        return true;
    }

private:
    db::Connection &m_connection;
    QString m_table;
    QStringList m_columns;
    int m_rowsPerBlock;
    int m_pending = 0;
    db::Row m_values;
};

qint64 statusValue(qint64 pid, const char *key)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(strlen(key))).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

} // namespace

double residentMiB(qint64 pid)
{
    return statusValue(pid, "VmRSS:") / 1024.0;
}

double peakResidentMiB(qint64 pid)
{
    return statusValue(pid, "VmHWM:") / 1024.0;
}

void resetPeak(qint64 pid)
{
    QFile clear(QStringLiteral("/proc/%1/clear_refs").arg(pid));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

Stage::~Stage()
{
    stopServer();
    if (hasPostgres()) {
        auto admin = db::openConnection(db::ConnectionDescriptor::postgres(m_pgServer));
        if (admin)
            admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_pgDatabase));
    }
}

QString Stage::sqlitePath() const
{
    return m_dir.filePath(QStringLiteral("data/001/QvData.mdb"));
}

QString Stage::pgConninfo() const
{
    return m_pgServer + QStringLiteral(" dbname=") + m_pgDatabase;
}

bool Stage::fill(db::Connection &connection, QString *error)
{
    QRandomGenerator random(20240115);
    db::TransactionGuard transaction(connection);
    BlockInserter warehouses(connection, QStringLiteral("CK"), {QStringLiteral("ID"), QStringLiteral("MC")}, 100);
    for (int w = 0; w < m_shape.warehouses; ++w) {
        if (!warehouses.add({kFirstWarehouse + w, QStringLiteral("仓库%1").arg(w + 1)}, error))
            return false;
    }
    BlockInserter items(connection, QStringLiteral("HP"),
                        {QStringLiteral("ID"), QStringLiteral("BH"), QStringLiteral("PM"), QStringLiteral("GG"),
                         QStringLiteral("DW"), QStringLiteral("JJ"), QStringLiteral("HPLBID"), QStringLiteral("ZT")},
                        500);
    for (int i = 0; i < m_shape.items; ++i) {
        if (!items.add({kFirstItem + i, QStringLiteral("H%1").arg(i + 1, 6, 10, QLatin1Char('0')),
                        QStringLiteral("物品%1").arg(i + 1), QStringLiteral("规格%1").arg(i % 37),
                        QStringLiteral("个"), double(1 + i % 50), qint64(2), false},
                       error))
            return false;
    }
    BlockInserter ledger(connection, QStringLiteral("Inv_ItemList"),
                         {QStringLiteral("RQ"), QStringLiteral("BillType"), QStringLiteral("Flag"),
                          QStringLiteral("DJBH"), QStringLiteral("HPID"), QStringLiteral("HH"), QStringLiteral("SL"),
                          QStringLiteral("DJ"), QStringLiteral("CBDJ"), QStringLiteral("JE"), QStringLiteral("CKID")},
                         1000);
    const QDate first(2021, 1, 1);
    const int days = int(first.daysTo(first.addYears(m_shape.years)));
    for (int r = 0; r < m_shape.ledgerRows; ++r) {
        const int day = int(qint64(r) * days / m_shape.ledgerRows);
        const bool receipt = random.bounded(3) != 0;
        const double sl = 1 + random.bounded(100);
        const double dj = 1 + random.bounded(5000) / 100.0;
        const QDate date = first.addDays(day);
        if (!ledger.add({QDateTime(date, QTime()), receipt ? QStringLiteral("CS") : QStringLiteral("LL"),
                         qint64(receipt ? 1 : -1),
                         (receipt ? QStringLiteral("CS") : QStringLiteral("LL")) + date.toString(QStringLiteral("yyyyMM"))
                             + QStringLiteral("%1").arg(r % 10000, 4, 10, QLatin1Char('0')),
                         kFirstItem + random.bounded(m_shape.items), qint64(1 + r % 20), sl, dj, dj, sl * dj,
                         kFirstWarehouse + random.bounded(m_shape.warehouses)},
                        error))
            return false;
    }
    if (!warehouses.flush(error) || !items.flush(error) || !ledger.flush(error))
        return false;
    if (!transaction.commit()) {
        *error = connection.lastError().text();
        return false;
    }
    return true;
}

bool Stage::prepare(const DataShape &shape, const QString &pgConninfo, QString *error)
{
    m_shape = shape;
    if (!m_dir.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    const QDir dir(m_dir.path());
    dir.mkpath(QStringLiteral("data/Sample"));
    if (!QFile::copy(bin(QStringLiteral("data/Sample/QvData.mdb")), dir.filePath(QStringLiteral("data/Sample/QvData.mdb")))
        || !QFile::copy(bin(QStringLiteral("data/QvSys.mdb")), dir.filePath(QStringLiteral("data/QvSys.mdb")))) {
        *error = QStringLiteral("cannot copy the template databases");
        return false;
    }
    for (const QString &f : {QStringLiteral("data/Sample/QvData.mdb"), QStringLiteral("data/QvSys.mdb")})
        QFile(dir.filePath(f)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (!runTool(QStringLiteral("qvdemo"), {m_dir.path(), QStringLiteral("--force")}, error))
        return false;
    {
        db::Error openError;
        auto sqlite = db::openConnection(db::ConnectionDescriptor::sqlite(sqlitePath()), &openError);
        if (!sqlite) {
            *error = openError.text();
            return false;
        }
        std::fprintf(stderr, "generating %d ledger rows in SQLite...\n", shape.ledgerRows);
        if (!fill(*sqlite, error))
            return false;
        sqlite->exec(QStringLiteral("ANALYZE"));
    }
    if (pgConninfo.isEmpty())
        return true;
    m_pgServer = pgConninfo;
    auto admin = db::openConnection(db::ConnectionDescriptor::postgres(m_pgServer));
    if (!admin) {
        *error = QStringLiteral("PostgreSQL does not connect");
        return false;
    }
    m_pgDatabase = QStringLiteral("qv_server_bench_%1").arg(QCoreApplication::applicationPid());
    admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_pgDatabase));
    if (!admin->exec(QStringLiteral("CREATE DATABASE ") + m_pgDatabase)) {
        *error = admin->lastError().text();
        m_pgDatabase.clear();
        return false;
    }
    if (!runTool(QStringLiteral("qvtemplate"), {QStringLiteral("--pg"), this->pgConninfo()}, error)
        || !runTool(QStringLiteral("qvdemo"), {QStringLiteral("--pg"), this->pgConninfo()}, error))
        return false;
    auto pg = db::openConnection(db::ConnectionDescriptor::postgres(this->pgConninfo()));
    std::fprintf(stderr, "generating %d ledger rows in PostgreSQL...\n", shape.ledgerRows);
    if (!pg || !fill(*pg, error))
        return false;
    pg->exec(QStringLiteral("ANALYZE"));
    return true;
}

bool Stage::startServer(bool postgres, QString *error)
{
    stopServer();
    QFile ini(m_dir.filePath(QStringLiteral("QvServer.ini")));
    if (!ini.open(QIODevice::WriteOnly)) {
        *error = ini.errorString();
        return false;
    }
    if (postgres) {
        const auto value = [this](const QString &key) {
            return QRegularExpression(QStringLiteral("(?:^|\\s)%1=(\\S+)").arg(key)).match(m_pgServer).captured(1);
        };
        ini.write(QStringLiteral("[Server]\nDatabase=postgres\n[Connection]\nServerName=%1:%2\nDatabaseName=%3\nUserId=%4\n")
                      .arg(value(QStringLiteral("host")), value(QStringLiteral("port")), m_pgDatabase,
                           value(QStringLiteral("user")))
                      .toUtf8());
    }
    ini.close();
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(bin(QStringLiteral("QvServer")),
                   {QStringLiteral("--headless"), QStringLiteral("--program-folder"), m_dir.path(),
                    QStringLiteral("--address"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QStringLiteral("0")});
    if (!m_server.waitForStarted(10000) || !m_server.waitForReadyRead(20000)) {
        *error = QStringLiteral("QvServer did not start");
        return false;
    }
    const QString line = QString::fromUtf8(m_server.readLine());
    const auto match = QRegularExpression(QStringLiteral("listening on [^:]+:(\\d+)")).match(line);
    if (!match.hasMatch()) {
        *error = QStringLiteral("QvServer said: ") + line;
        return false;
    }
    m_port = quint16(match.captured(1).toUInt());
    return true;
}

void Stage::stopServer()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(m_server.processId()), SIGTERM);
    if (!m_server.waitForFinished(10000))
        m_server.kill();
}

} // namespace qv::bench
