// Turns a change packet into INSERT, UPDATE and DELETE statements on the
// dataset's base table, with bound values, under the column roles and the
// dataset's update rule:
//
//   - only fields bound to a writable base-table column are written;
//   - a row is found again by its row key plus, under rule All, its locating
//     columns; under rule Changed by the key plus the locating columns the row
//     changed; under rule KeyOnly by the key alone. A table without a key is
//     found by every locating column, so a save never touches more rows than the
//     one meant. Memo and blob columns never locate; a null old value locates
//     with IS NULL;
//   - an UPDATE or DELETE that changes no row fails that row (another user
//     changed or deleted it); one that would change several rows fails too and
//     is undone;
//   - inserted and modified rows are read back as saved (RETURNING), so values
//     the database assigns reach the client.
//
// Every statement passes the statement log first, shown with its values.
// The caller owns the transaction; rows that fail are undone alone (through a
// savepoint) when the packet allows failures.
#pragma once

#include "db/Connection.h"
#include "protocol/DatasetOperations.h"
#include "schema/Schema.h"
#include "server/StatementLog.h"
#include "sql/runner/SqlRunner.h"

#include <QHash>
#include <QList>

#include <functional>
#include <memory>

namespace qv::server {

// What saving may do with one field of the packet.
struct BoundField {
    const schema::Column *column = nullptr; // the base-table column it passes through
    bool writable = false;                  // written on insert and update
};

class ChangeApplier {
public:
    // log == nullptr: statements are not logged (the registry).
    ChangeApplier(db::Connection &connection, const schema::Table &table, schema::UpdateRule rule,
                  QList<BoundField> fields, StatementLog *log);
    ~ChangeApplier();

    // Applies the packet inside the connection's open transaction and fills the
    // reply's failed and saved rows. False when the packet has to be rolled back:
    // more rows failed than it allows.
    bool apply(const protocol::ChangePacket &packet, protocol::ApplyUpdatesReply &reply);
    // After the transaction has ended: adds to each refused modification or
    // deletion the row as the database now holds it, found by the row key, so
    // the clerk can take the other user's version. Rows that are gone, and
    // tables without a key, get none.
    void readCurrentRows(const protocol::ChangePacket &packet, protocol::ApplyUpdatesReply &reply);

private:
    struct Plan;
    struct Outcome;

    Outcome deleteRow(const protocol::Row &old);
    Outcome modifyRow(const protocol::ModifiedRow &row);
    Outcome insertRow(const protocol::Row &values);
    bool locate(const protocol::Row &old, const QMap<int, QVariant> *changed, Plan &plan, QString *error) const;
    Outcome run(const Plan &plan, bool expectOneRow);
    db::Statement *prepared(const QString &sql, QString *error);
    QString name(const QString &identifier) const;
    QString returningClause() const;
    QList<sql::RunColumn> savedColumns() const;
    bool savepoint(const QString &statement, QString *error);

    db::Connection &m_connection;
    const schema::Table &m_table;
    schema::UpdateRule m_rule;
    QList<BoundField> m_fields;
    StatementLog *m_log;
    QList<int> m_savedFields; // packet field indexes read back after saving
    QHash<QString, std::shared_ptr<db::Statement>> m_statements;
};

} // namespace qv::server
