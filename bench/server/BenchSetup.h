// The stage of the server benchmarks: a program folder in a temporary place
// with the demo account set grown to a ledger of a million rows (20 000 items,
// 20 warehouses, three years), optionally the same in a PostgreSQL database,
// and the real QvServer started on it.
#pragma once

#include "db/Connection.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace qv::bench {

struct DataShape {
    int items = 20000;
    int warehouses = 20;
    int ledgerRows = 1000000;
    int years = 3;
};

// Items get IDs from kFirstItem, warehouses from kFirstWarehouse.
inline constexpr qint64 kFirstItem = 1001;
inline constexpr qint64 kFirstWarehouse = 101;

class Stage {
public:
    // Builds the folder (and the PostgreSQL database when conninfo is given).
    bool prepare(const DataShape &shape, const QString &pgConninfo, QString *error);
    ~Stage();

    QString folder() const { return m_dir.path(); }
    QString sqlitePath() const;
    bool hasPostgres() const { return !m_pgDatabase.isEmpty(); }
    QString pgConninfo() const;
    const DataShape &shape() const { return m_shape; }

    // Starts QvServer on the folder, in file or PostgreSQL mode.
    bool startServer(bool postgres, QString *error);
    void stopServer();
    quint16 port() const { return m_port; }
    qint64 serverPid() const { return m_server.processId(); }

private:
    bool fill(db::Connection &connection, QString *error);

    QTemporaryDir m_dir;
    DataShape m_shape;
    QString m_pgServer;
    QString m_pgDatabase;
    QProcess m_server;
    quint16 m_port = 0;
};

// Resident memory figures of a process from /proc, in MiB.
double residentMiB(qint64 pid);
double peakResidentMiB(qint64 pid);
// Starts a new peak measurement for the process.
void resetPeak(qint64 pid);

} // namespace qv::bench
