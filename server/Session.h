// One connected client: its module instances' state. The business module
// (TDatas) owns the registry and business connections; the report module
// (TDatasBb) runs on the same business connection. Per dataset the session
// keeps the filter of SetFilter, the current statement (the client's last one,
// or the dataset's own) and at most one open cursor. Everything is freed, and
// an open transaction rolled back, when the client disconnects.
#pragma once

#include "server/DatasetFields.h"
#include "server/ServerContext.h"
#include "server/SessionDatabase.h"

#include <QDateTime>
#include <QHash>

#include <functional>
#include <map>
#include <memory>

namespace qv::server {

// A cursor a client reads in packets.
struct OpenCursor {
    qint64 id = 0;
    const Provider *provider = nullptr;
    std::unique_ptr<sql::RunCursor> cursor;
    QList<DatasetField> fields;
    bool includeBlobs = false;
    std::optional<db::Row> pending; // read ahead, so the end is known exactly
};

class Session {
public:
    Session(ServerContext &context, QString peer);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    ServerContext &context() { return m_context; }
    const QString &peer() const { return m_peer; }

    SessionDatabase &registry() { return m_registry; }
    SessionDatabase &business() { return m_business; }
    void releaseSnapshots()
    {
        m_registry.releaseSnapshot();
        m_business.releaseSnapshot();
    }
    SessionDatabase &databaseOf(const Provider &provider)
    {
        return provider.onRegistry() ? m_registry : m_business;
    }

    // The account set ConnectAct bound the business connection to; empty in
    // PostgreSQL mode and before ConnectAct.
    const QString &accountNo() const { return m_accountNo; }
    void setAccountNo(QString accountNo) { m_accountNo = std::move(accountNo); }

    QString filter(const Provider &provider) const { return m_filters.value(&provider); }
    void setFilter(const Provider &provider, const QString &expression);
    // The client's last statement for the dataset, or the dataset's own.
    QString currentStatement(const Provider &provider) const;
    void setCurrentStatement(const Provider &provider, const QString &statement);

    // Takes the cursor, closing the dataset's earlier one; answers its id.
    qint64 addCursor(std::unique_ptr<OpenCursor> cursor);
    OpenCursor *cursor(qint64 id);
    void closeCursor(qint64 id);
    void closeCursorOf(const Provider &provider);
    void closeCursors();
    int cursorCount() const { return int(m_cursors.size()); }

    // Closes the business connection and every cursor on it (compaction); it
    // reopens on next use.
    void closeBusiness();

    // Set by the connection: true once the client has gone, checked before a
    // commit so that a batch whose client vanished is rolled back.
    std::function<bool()> peerGone;

    QDateTime lastActivity;

private:
    ServerContext &m_context;
    QString m_peer;
    SessionDatabase m_registry;
    SessionDatabase m_business;
    QString m_accountNo;
    QHash<const Provider *, QString> m_filters;
    QHash<const Provider *, QString> m_statements;
    std::map<qint64, std::unique_ptr<OpenCursor>> m_cursors;
    QHash<const Provider *, qint64> m_cursorOfDataset;
    qint64 m_nextCursor = 1;
};

} // namespace qv::server
