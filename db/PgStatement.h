// Internal to the PostgreSQL connection: the session shared with cursors and
// statements, result conversion and parameter passing.
#pragma once

#include "db/Cursor.h"
#include "db/Error.h"
#include "db/Statement.h"

#include <QHash>

#include <libpq-fe.h>

#include <memory>
#include <vector>

namespace qv::db {

struct PgSession {
    PGconn *conn = nullptr;
    int cursorCount = 0;
    QHash<QPair<Oid, int>, QString> typeNames; // (type, modifier) -> format_type()

    explicit PgSession(PGconn *connection) : conn(connection) {}
    ~PgSession() { PQfinish(conn); }
    PgSession(const PgSession &) = delete;
    PgSession &operator=(const PgSession &) = delete;
};

namespace pg {

struct ResultDeleter {
    void operator()(PGresult *result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

QString closedMessage();
bool succeeded(const PGresult *result);
// The error of a failed result (or of the connection when there is none).
// Statements the server refused to plan (SQLSTATE class 42: syntax, unknown
// names) count as phase Prepare. Positions are reported from the start of the
// caller's statement, 'hiddenPrefix' characters of wrapping text removed.
Error resultError(PGconn *conn, const PGresult *result, Phase phase, const QString &sql,
                  int hiddenPrefix = 0);
ValueKind kindOfType(Oid type);
QList<ColumnInfo> describeColumns(PgSession &session, const PGresult *result);
Value readValue(const PGresult *result, int row, int column);
void readRows(const PGresult *result, QList<Row> &rows);
qint64 rowsAffected(const PGresult *result);

// Parameters in the form PQexecParams takes. Values travel as text with their
// type left for the server to infer from the statement, except blobs, which go
// as binary bytea.
class Parameters {
public:
    bool set(const Row &values, QString *error);
    int count() const { return int(m_values.size()); }
    const Oid *types() const { return m_types.data(); }
    const char *const *values() const { return m_values.data(); }
    const int *lengths() const { return m_lengths.data(); }
    const int *formats() const { return m_formats.data(); }

private:
    std::vector<QByteArray> m_storage;
    std::vector<Oid> m_types;
    std::vector<const char *> m_values;
    std::vector<int> m_lengths;
    std::vector<int> m_formats;
};

} // namespace pg

class PgCursor : public Cursor {
public:
    PgCursor(std::weak_ptr<PgSession> session, QString name, QList<ColumnInfo> columns,
             const QString &sql);
    ~PgCursor() override;

    bool fetch(int maxRows, QList<Row> &rows) override;
    void close() override;

private:
    std::weak_ptr<PgSession> m_session;
    QString m_name;
    bool m_closed = false;
};

class PgPreparedStatement : public Statement {
public:
    PgPreparedStatement(std::weak_ptr<PgSession> session, const QString &sql, int parameterCount);

    std::optional<qint64> execute() override;
    std::optional<ResultSet> query() override;

private:
    pg::Result run();

    std::weak_ptr<PgSession> m_session;
    int m_parameterCount;
};

} // namespace qv::db
