// PostgreSQL through libpq. Results come as text and are converted by column type
// to the value kinds: int2/int4/int8 to qint64, float4/float8/numeric to double,
// bool, date/timestamp to QDateTime, bytea to QByteArray, everything else
// (citext included) to QString. Parameters travel through PQexecParams; cursors
// are server-side (DECLARE ... WITH HOLD), so other statements may run on the
// connection between fetches and a transaction need not stay open meanwhile.
//
// Each session uses UTF-8, ISO dates and hex bytea output. Unless the connection
// string says otherwise, connecting gives up after 10 seconds.
#pragma once

#include "db/Connection.h"

#include <memory>

namespace qv::db {

struct PgSession;

class PgConnection : public Connection {
public:
    explicit PgConnection(QString conninfo);
    ~PgConnection() override;

    const EngineTraits &traits() const override;
    bool open() override;
    void close() override;
    bool isOpen() const override;

    std::optional<qint64> exec(const QString &sql) override;
    std::optional<ResultSet> query(const QString &sql) override;
    std::unique_ptr<Cursor> openCursor(const QString &sql) override;
    std::unique_ptr<Statement> prepare(const QString &sql) override;
    bool inTransaction() const override;

    std::optional<QStringList> tableNames() override;
    std::optional<QList<TableColumn>> columns(const QString &table) override;

protected:
    bool runTransactionStatement(Phase phase, const QString &sql) override;

private:
    QString m_conninfo;
    // Shared with the cursors and statements handed out, which hold it weakly and
    // so notice when the connection has gone.
    std::shared_ptr<PgSession> m_session;
};

} // namespace qv::db
