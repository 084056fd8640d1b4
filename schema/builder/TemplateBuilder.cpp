#include "schema/builder/TemplateBuilder.h"

#include <QDateTime>

namespace qv::schema {

DdlEngine ddlEngine(db::Engine engine)
{
    return engine == db::Engine::Postgres ? DdlEngine::Postgres : DdlEngine::Sqlite;
}

QString postgresLiteral(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::LongLong:
    case QMetaType::Int:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::QDateTime:
        return QLatin1Char('\'') + value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
               + QLatin1Char('\'');
    default: {
        QString text = value.toString();
        text.replace(QLatin1Char('\''), QStringLiteral("''"));
        return QLatin1Char('\'') + text + QLatin1Char('\'');
    }
    }
}

TemplateBuilder::TemplateBuilder(const Schema &schema)
    : m_schema(schema)
{
}

bool TemplateBuilder::fail(const QString &message, const db::Connection *connection)
{
    m_error = message;
    if (connection)
        m_error += QStringLiteral(": ") + connection->lastError().text();
    return false;
}

bool TemplateBuilder::createTables(db::Connection &connection, Database database)
{
    const DdlEngine engine = ddlEngine(connection.traits().engine);
    for (const QString &statement : createDatabaseStatements(m_schema, database, engine)) {
        if (!connection.exec(statement))
            return fail(QStringLiteral("creating tables"), &connection);
    }
    return true;
}

bool TemplateBuilder::deleteByKey(db::Connection &connection, const RowsBlock &block, const QVariantList &row)
{
    const db::EngineTraits &traits = connection.traits();
    const DdlEngine engine = ddlEngine(traits.engine);
    QStringList conditions;
    db::Row keyValues;
    for (const QString &key : block.table->rowKey) {
        const auto at = std::find_if(block.columns.cbegin(), block.columns.cend(),
                                     [&key](const Column *c) { return c->name == key; });
        if (at == block.columns.cend())
            return true; // rows without their key can only be added
        keyValues << row[at - block.columns.cbegin()];
        conditions << engineName(key, engine) + QStringLiteral(" = ") + traits.parameter(int(keyValues.size()));
    }
    if (conditions.isEmpty())
        return true;
    auto statement = connection.prepare(QStringLiteral("DELETE FROM %1 WHERE %2")
                                            .arg(engineName(block.table->name, engine),
                                                 conditions.join(QStringLiteral(" AND "))));
    if (!statement || !statement->bindAll(keyValues) || !statement->execute())
        return fail(QStringLiteral("replacing a row of %1").arg(block.table->name),
                    statement ? nullptr : &connection);
    return true;
}

bool TemplateBuilder::insertBlock(db::Connection &connection, const RowsBlock &block, bool replace)
{
    const db::EngineTraits &traits = connection.traits();
    const DdlEngine engine = ddlEngine(traits.engine);
    QStringList names;
    QStringList markers;
    for (const Column *c : block.columns) {
        names << engineName(c->name, engine);
        markers << traits.parameter(int(markers.size()) + 1);
    }
    auto statement = connection.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                            .arg(engineName(block.table->name, engine),
                                                 names.join(QStringLiteral(", ")),
                                                 markers.join(QStringLiteral(", "))));
    if (!statement)
        return fail(QStringLiteral("rows of %1").arg(block.table->name), &connection);
    for (qsizetype i = 0; i < block.rows.size(); ++i) {
        const QVariantList &row = block.rows[i];
        if (replace && !deleteByKey(connection, block, row))
            return false;
        if (!statement->bindAll(row) || !statement->execute()) {
            return fail(QStringLiteral("row %1 of %2 (block at line %3): %4")
                            .arg(i + 1)
                            .arg(block.table->name)
                            .arg(block.line)
                            .arg(statement->lastError().text()));
        }
    }
    return true;
}

bool TemplateBuilder::build(db::Connection &connection, Database database, const QList<const RowsFile *> &rows)
{
    db::TransactionGuard transaction(connection);
    if (!transaction.isActive())
        return fail(QStringLiteral("starting a transaction"), &connection);
    if (!createTables(connection, database))
        return false;
    for (const RowsFile *file : rows) {
        for (const RowsBlock &block : file->blocks()) {
            if (block.table->database == database && !insertBlock(connection, block, false))
                return false;
        }
    }
    if (!transaction.commit())
        return fail(QStringLiteral("committing"), &connection);
    return true;
}

bool TemplateBuilder::putRows(db::Connection &connection, Database database, const QList<const RowsFile *> &rows)
{
    db::TransactionGuard transaction(connection);
    if (!transaction.isActive())
        return fail(QStringLiteral("starting a transaction"), &connection);
    for (const RowsFile *file : rows) {
        for (const RowsBlock &block : file->blocks()) {
            if (block.table->database == database && !insertBlock(connection, block, true))
                return false;
        }
    }
    if (!transaction.commit())
        return fail(QStringLiteral("committing"), &connection);
    return true;
}

QString TemplateBuilder::postgresScript(Database database, const QList<const RowsFile *> &rows) const
{
    QString script = QStringLiteral("-- Written by qvtemplate from schema/qv.schema; do not edit.\n"
                                    "BEGIN;\n");
    for (const QString &statement : createDatabaseStatements(m_schema, database, DdlEngine::Postgres))
        script += statement + QStringLiteral(";\n");
    for (const RowsFile *file : rows) {
        for (const RowsBlock &block : file->blocks()) {
            if (block.table->database != database)
                continue;
            QStringList names;
            for (const Column *c : block.columns)
                names << engineName(c->name, DdlEngine::Postgres);
            for (const QVariantList &row : block.rows) {
                QStringList values;
                for (const QVariant &v : row)
                    values << postgresLiteral(v);
                script += QStringLiteral("INSERT INTO %1 (%2) VALUES (%3);\n")
                              .arg(engineName(block.table->name, DdlEngine::Postgres),
                                   names.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")));
            }
        }
    }
    return script + QStringLiteral("COMMIT;\n");
}

} // namespace qv::schema
