// A data source that keeps its tables in memory: what the dataset engine's
// tests and local tools run against. It behaves as the server does where the
// engine can tell: rows are read in packets from a snapshot taken at open;
// change packets are applied by row key in one transaction, rolled back when the
// failures exceed the limit; a modified or deleted row must still hold its old
// values in the locating fields; chosen rows can be made to fail.
#pragma once

#include "client/core/dataset/DataSource.h"

#include <QHash>
#include <QStringList>

#include <functional>

namespace qv::client {

class MemoryDataSource : public DataSource {
public:
    MemoryDataSource();
    ~MemoryDataSource() override;

    // Creates or replaces the table published under the provider name.
    void setTable(const QString &provider, const FieldDefs &fields, const QList<RowValues> &rows = {});
    bool hasTable(const QString &provider) const;
    QList<RowValues> rows(const QString &provider) const;
    FieldDefs fields(const QString &provider) const;
    // Inserted rows whose (single, integer) row key is null get the largest
    // key plus one, as a database-generated key would.
    void setGeneratesKeys(const QString &provider, bool on);

    // Any change to the row with this key fails with the message.
    void failRow(const QString &provider, const RowValues &key, const QString &message);
    void clearFailures();
    // Every call fails with the message (a lost connection); empty to recover.
    void setUnavailable(const QString &message) { m_unavailable = message; }

    // Answers a statement for providers opened with a command text; without a
    // handler the provider's table is answered and the text only recorded.
    using QueryHandler = std::function<std::optional<QList<RowValues>>(const QString &text)>;
    void setQueryHandler(const QString &provider, QueryHandler handler);
    using ExecuteHandler = std::function<ExecResult(const QString &statement)>;
    void setExecuteHandler(ExecuteHandler handler) { m_execute = std::move(handler); }

    // What the engine asked for, for tests.
    int openCount() const { return m_openCount; }
    int fetchCount() const { return m_fetchCount; }
    int applyCount() const { return m_applyCount; }
    int blobFetchCount() const { return m_blobFetchCount; }
    int openCursorCount() const { return int(m_cursors.size()); }
    const QStringList &statements() const { return m_statements; }
    const ChangePacket &lastPacket() const { return m_lastPacket; }

    OpenResult open(const OpenRequest &request) override;
    FetchResult fetch(int cursor, int count) override;
    void closeCursor(int cursor) override;
    ApplyResult applyUpdates(const ChangePacket &packet, int maxErrors) override;
    ExecResult execute(const QString &provider, const QString &statement) override;
    BlobResult fetchBlobs(const QString &provider, const RowValues &rowKey) override;

private:
    struct Failure {
        RowValues key;
        QString message;
    };
    struct Table {
        FieldDefs fields;
        QList<RowValues> rows;
        bool generatesKeys = false;
        QList<Failure> failures;
        QueryHandler query;
    };
    struct Cursor {
        QList<RowValues> rows;
        qsizetype position = 0;
    };

    Table *table(const QString &provider);
    const Table *table(const QString &provider) const;
    static QList<int> keyColumns(const Table &table);
    static RowValues keyOf(const QList<int> &columns, const RowValues &row);
    static bool sameKey(const RowValues &a, const RowValues &b);
    static qsizetype findRow(const QList<RowValues> &rows, const QList<int> &columns, const RowValues &key);
    QString applyOne(const Table &table, QList<RowValues> &rows, ChangeRow change, RowValues &saved) const;
    RowValues stripOnDemand(const Table &table, RowValues row) const;

    QHash<QString, Table> m_tables; // upper-case provider → table
    QHash<int, Cursor> m_cursors;
    int m_nextCursor = 1;
    QString m_unavailable;
    ExecuteHandler m_execute;
    int m_openCount = 0;
    int m_fetchCount = 0;
    int m_applyCount = 0;
    int m_blobFetchCount = 0;
    QStringList m_statements;
    ChangePacket m_lastPacket;
};

} // namespace qv::client
