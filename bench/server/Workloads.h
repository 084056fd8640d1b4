// The three workloads, each through the server and, where it makes sense, done
// by the engine in-process for the ratio.
#pragma once

#include "BenchSetup.h"

#include <QList>
#include <QMap>
#include <QString>

namespace qv::bench {

// Times in milliseconds.
struct Timings {
    QList<double> samples;
    double percentile(double p) const;
    double total() const;
};

struct FetchResult {
    Timings server;
    Timings raw;
    qint64 rows = 0;
    double serverPeakMiB = 0;
    double serverBaseMiB = 0;
    double rawPeakMiB = 0;
};

struct ApplyResult {
    Timings serverPerDocument;
    Timings rawPerDocument;
    double serverTotalMs = 0;
    double rawTotalMs = 0;
    int documents = 0;
    int failures = 0;
};

struct ConcurrencyResult {
    int clients = 0;
    double wallMs = 0;
    Timings calls;
    QMap<QString, Timings> byStep; // connect, open, lookup, save
    qint64 callCount = 0;
    int failures = 0;
    QString firstFailure;
};

FetchResult fetchWorkload(Stage &stage, bool postgres, int runs, QString *error);
ApplyResult applyWorkload(Stage &stage, bool postgres, int documents, QString *error);
ConcurrencyResult concurrencyWorkload(Stage &stage, int clients, QString *error);

} // namespace qv::bench
