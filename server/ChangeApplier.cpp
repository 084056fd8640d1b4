#include "server/ChangeApplier.h"

#include "schema/Ddl.h"
#include "server/DialectText.h"
#include "sql/Catalog.h"
#include "sql/runner/SqlRunner.h"

namespace qv::server {

using protocol::ChangeKind;

struct ChangeApplier::Plan {
    QString sql;     // with parameter markers
    QString display; // with the values, for the log
    db::Row values;
    bool returning = false;

    // Appends text to both forms.
    void text(const QString &sqlPart, const QString &displayPart)
    {
        sql += sqlPart;
        display += displayPart;
    }
    void value(const QVariant &v, const db::EngineTraits &traits)
    {
        values.append(v);
        sql += traits.parameter(int(values.size()));
        display += displayLiteral(v);
    }
};

struct ChangeApplier::Outcome {
    bool ok = false;
    QString error;
    bool hasSaved = false;
    protocol::Row saved;

    static Outcome failure(QString text) { return {false, std::move(text), false, {}}; }
};

ChangeApplier::ChangeApplier(db::Connection &connection, const schema::Table &table, schema::UpdateRule rule,
                             QList<BoundField> fields, StatementLog *log)
    : m_connection(connection), m_table(table), m_rule(rule), m_fields(std::move(fields)), m_log(log)
{
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].column && !m_fields[i].column->isLongValue())
            m_savedFields.append(int(i));
    }
}

ChangeApplier::~ChangeApplier() = default;

QString ChangeApplier::name(const QString &identifier) const
{
    return schema::engineName(identifier, m_connection.traits().engine == db::Engine::Postgres
                                              ? schema::DdlEngine::Postgres
                                              : schema::DdlEngine::Sqlite);
}

QString ChangeApplier::returningClause() const
{
    if (m_savedFields.isEmpty())
        return {};
    QStringList names;
    for (int i : m_savedFields)
        names << name(m_fields[i].column->name);
    return QStringLiteral(" RETURNING ") + names.join(QStringLiteral(", "));
}

QList<sql::RunColumn> ChangeApplier::savedColumns() const
{
    QList<sql::RunColumn> columns;
    for (int i : m_savedFields)
        columns.append({m_fields[i].column->name, sql::sqlTypeOf(m_fields[i].column->type), {}, {}});
    return columns;
}

db::Statement *ChangeApplier::prepared(const QString &sql, QString *error)
{
    if (auto found = m_statements.value(sql))
        return found.get();
    std::shared_ptr<db::Statement> statement = m_connection.prepare(sql);
    if (!statement) {
        *error = m_connection.lastError().message;
        return nullptr;
    }
    m_statements.insert(sql, statement);
    return statement.get();
}

bool ChangeApplier::savepoint(const QString &statement, QString *error)
{
    if (m_connection.exec(statement))
        return true;
    *error = m_connection.lastError().message;
    return false;
}

bool ChangeApplier::locate(const protocol::Row &old, const QMap<int, QVariant> *changed, Plan &plan,
                           QString *error) const
{
    const db::EngineTraits &traits = m_connection.traits();
    QList<int> where;
    for (const QString &key : m_table.rowKey) {
        int found = -1;
        for (qsizetype i = 0; i < m_fields.size(); ++i) {
            if (m_fields[i].column && m_fields[i].column->name.compare(key, Qt::CaseInsensitive) == 0)
                found = int(i);
        }
        if (found < 0) {
            *error = QStringLiteral("无法定位表 %1 中的记录：数据中没有关键字段 %2").arg(m_table.name, key);
            return false;
        }
        where.append(found);
    }
    // Without a key every locating column finds the row, whatever the rule.
    const bool keyless = m_table.rowKey.isEmpty();
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        const schema::Column *c = m_fields[i].column;
        if (!c || c->role != schema::ColumnRole::Locating || c->isLongValue())
            continue;
        const bool wanted = keyless || m_rule == schema::UpdateRule::All
                            || (m_rule == schema::UpdateRule::Changed && changed && changed->contains(int(i)));
        if (wanted)
            where.append(int(i));
    }
    if (where.isEmpty()) {
        *error = QStringLiteral("无法定位表 %1 中的记录：没有可用于定位的字段").arg(m_table.name);
        return false;
    }
    plan.text(QStringLiteral(" WHERE "), QStringLiteral(" where "));
    for (qsizetype n = 0; n < where.size(); ++n) {
        const int i = where[n];
        const QString &columnName = m_fields[i].column->name;
        const QVariant &value = old.value(i);
        if (protocol::isNotFetched(value)) {
            *error = QStringLiteral("无法定位表 %1 中的记录：字段 %2 的原值未知").arg(m_table.name, columnName);
            return false;
        }
        if (n > 0)
            plan.text(QStringLiteral(" AND "), QStringLiteral(" and "));
        if (protocol::isNullValue(value)) {
            plan.text(name(columnName) + QStringLiteral(" IS NULL"), columnName + QStringLiteral(" is null"));
        } else {
            plan.text(name(columnName) + QStringLiteral(" = "), columnName + QStringLiteral(" = "));
            plan.value(value, traits);
        }
    }
    return true;
}

ChangeApplier::Outcome ChangeApplier::run(const Plan &plan, bool expectOneRow)
{
    if (m_log && !m_log->admit(plan.display))
        return Outcome::failure(QStringLiteral("Not Execute: 更新语句没有 SET 子句，已拒绝执行"));
    QString error;
    db::Statement *statement = prepared(plan.sql, &error);
    if (!statement)
        return Outcome::failure(error);
    if (!statement->bindAll(plan.values))
        return Outcome::failure(statement->lastError().message);
    qint64 count = 0;
    Outcome outcome;
    if (plan.returning) {
        auto rows = statement->query();
        if (!rows)
            return Outcome::failure(statement->lastError().message);
        count = rows->rowCount();
        if (count == 1) {
            db::Row saved = rows->rows.first();
            sql::SqlRunner::normalise(saved, savedColumns());
            outcome.saved = saved;
            outcome.hasSaved = true;
        }
    } else {
        const auto changed = statement->execute();
        if (!changed)
            return Outcome::failure(statement->lastError().message);
        count = *changed;
    }
    if (expectOneRow && count == 0)
        return Outcome::failure(QStringLiteral("表 %1 中的记录已被其他用户修改或删除").arg(m_table.name));
    if (count > 1) {
        return Outcome::failure(
            QStringLiteral("表 %1 中有 %2 条记录符合定位条件，为免误改，本行未保存").arg(m_table.name).arg(count));
    }
    outcome.ok = true;
    return outcome;
}

ChangeApplier::Outcome ChangeApplier::deleteRow(const protocol::Row &old)
{
    Plan plan;
    plan.text(QStringLiteral("DELETE FROM ") + name(m_table.name), QStringLiteral("delete from ") + m_table.name);
    QString error;
    if (!locate(old, nullptr, plan, &error))
        return Outcome::failure(error);
    return run(plan, true);
}

ChangeApplier::Outcome ChangeApplier::modifyRow(const protocol::ModifiedRow &row)
{
    const db::EngineTraits &traits = m_connection.traits();
    Plan plan;
    plan.text(QStringLiteral("UPDATE ") + name(m_table.name) + QStringLiteral(" SET "),
              QStringLiteral("update ") + m_table.name + QStringLiteral(" set "));
    int assignments = 0;
    for (auto it = row.newValues.cbegin(); it != row.newValues.cend(); ++it) {
        const BoundField &f = m_fields.value(it.key());
        if (!f.writable)
            continue;
        if (assignments++ > 0)
            plan.text(QStringLiteral(", "), QStringLiteral(", "));
        plan.text(name(f.column->name) + QStringLiteral(" = "), f.column->name + QStringLiteral(" = "));
        plan.value(it.value(), traits);
    }
    if (assignments == 0)
        return {true, {}, false, {}}; // only display columns changed: nothing to save
    QString error;
    if (!locate(row.oldValues, &row.newValues, plan, &error))
        return Outcome::failure(error);
    const QString returning = returningClause();
    plan.returning = !returning.isEmpty();
    plan.sql += returning;
    return run(plan, true);
}

ChangeApplier::Outcome ChangeApplier::insertRow(const protocol::Row &values)
{
    const db::EngineTraits &traits = m_connection.traits();
    QStringList columns;
    QStringList names;
    db::Row bound;
    for (qsizetype i = 0; i < m_fields.size() && i < values.size(); ++i) {
        // Null values are left out, so the database's defaults apply.
        if (!m_fields[i].writable || protocol::isNullValue(values[i]) || protocol::isNotFetched(values[i]))
            continue;
        columns << name(m_fields[i].column->name);
        names << m_fields[i].column->name;
        bound << values[i];
    }
    if (columns.isEmpty())
        return Outcome::failure(QStringLiteral("表 %1：新增的记录没有可保存的字段").arg(m_table.name));
    Plan plan;
    plan.text(QStringLiteral("INSERT INTO %1 (%2) VALUES (").arg(name(m_table.name), columns.join(QStringLiteral(", "))),
              QStringLiteral("insert into %1 (%2) values (").arg(m_table.name, names.join(QStringLiteral(", "))));
    for (qsizetype i = 0; i < bound.size(); ++i) {
        if (i > 0)
            plan.text(QStringLiteral(", "), QStringLiteral(", "));
        plan.value(bound[i], traits);
    }
    plan.text(QStringLiteral(")"), QStringLiteral(")"));
    const QString returning = returningClause();
    plan.returning = !returning.isEmpty();
    plan.sql += returning;
    return run(plan, false);
}

bool ChangeApplier::apply(const protocol::ChangePacket &packet, protocol::ApplyUpdatesReply &reply)
{
    // With no failure allowed the first one ends the packet and everything is
    // rolled back; otherwise each row is undone alone when it fails.
    const bool isolateRows = packet.maxErrors != 0;
    reply.savedFields.clear();
    for (int i : m_savedFields)
        reply.savedFields.append(packet.fields.value(i));

    const auto handle = [&](ChangeKind kind, int index, const std::function<Outcome()> &work) {
        QString error;
        Outcome outcome = isolateRows && !savepoint(QStringLiteral("SAVEPOINT qv_row"), &error)
                              ? Outcome::failure(error)
                              : work();
        if (outcome.ok) {
            if (isolateRows && !savepoint(QStringLiteral("RELEASE SAVEPOINT qv_row"), &error))
                outcome = Outcome::failure(error);
        } else if (isolateRows) {
            savepoint(QStringLiteral("ROLLBACK TO SAVEPOINT qv_row"), &error);
            savepoint(QStringLiteral("RELEASE SAVEPOINT qv_row"), &error);
        }
        if (outcome.ok) {
            if (outcome.hasSaved)
                reply.saved.append({kind, index, outcome.saved});
            return true;
        }
        reply.failed.append({kind, index, outcome.error, false, {}});
        ++reply.errorCount;
        return packet.maxErrors < 0 || reply.errorCount <= packet.maxErrors;
    };

    // Deletions first, so a row deleted and inserted again with the same key
    // in one packet is saved.
    for (qsizetype i = 0; i < packet.deleted.size(); ++i) {
        if (!handle(ChangeKind::Delete, int(i), [&] { return deleteRow(packet.deleted[i]); }))
            return false;
    }
    for (qsizetype i = 0; i < packet.modified.size(); ++i) {
        if (!handle(ChangeKind::Modify, int(i), [&] { return modifyRow(packet.modified[i]); }))
            return false;
    }
    for (qsizetype i = 0; i < packet.inserted.size(); ++i) {
        if (!handle(ChangeKind::Insert, int(i), [&] { return insertRow(packet.inserted[i]); }))
            return false;
    }
    return true;
}

void ChangeApplier::readCurrentRows(const protocol::ChangePacket &packet, protocol::ApplyUpdatesReply &reply)
{
    const bool anyToRead = std::any_of(reply.failed.cbegin(), reply.failed.cend(), [](const protocol::FailedRow &f) {
        return f.kind != ChangeKind::Insert;
    });
    if (!anyToRead || m_table.rowKey.isEmpty() || m_savedFields.isEmpty())
        return;
    QList<int> key;
    for (const QString &column : m_table.rowKey) {
        for (qsizetype i = 0; i < m_fields.size(); ++i) {
            if (m_fields[i].column && m_fields[i].column->name.compare(column, Qt::CaseInsensitive) == 0) {
                key.append(int(i));
                break;
            }
        }
    }
    if (key.size() != m_table.rowKey.size())
        return;
    QStringList columns;
    for (int i : m_savedFields)
        columns << name(m_fields[i].column->name);
    const db::EngineTraits &traits = m_connection.traits();
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE ").arg(columns.join(QStringLiteral(", ")), name(m_table.name));
    for (qsizetype n = 0; n < key.size(); ++n) {
        if (n > 0)
            sql += QStringLiteral(" AND ");
        sql += name(m_fields[key[n]].column->name) + QStringLiteral(" = ") + traits.parameter(int(n + 1));
    }
    QString error;
    db::Statement *statement = prepared(sql, &error);
    if (!statement)
        return;
    for (protocol::FailedRow &failed : reply.failed) {
        const protocol::Row *old = nullptr;
        if (failed.kind == ChangeKind::Modify && failed.index < packet.modified.size())
            old = &packet.modified[failed.index].oldValues;
        else if (failed.kind == ChangeKind::Delete && failed.index < packet.deleted.size())
            old = &packet.deleted[failed.index];
        if (!old)
            continue;
        db::Row values;
        for (int i : key)
            values.append(old->value(i));
        if (std::any_of(values.cbegin(), values.cend(),
                        [](const QVariant &v) { return protocol::isNullValue(v) || protocol::isNotFetched(v); }))
            continue;
        if (!statement->bindAll(values))
            continue;
        const auto rows = statement->query();
        if (!rows || rows->rows.size() != 1)
            continue;
        failed.current = rows->rows.first();
        sql::SqlRunner::normalise(failed.current, savedColumns());
        failed.hasCurrent = true;
    }
}

} // namespace qv::server
