#include "SeededDatabases.h"

#include "db/ConnectionFactory.h"
#include "schema/builder/TemplateBuilder.h"
#include "sql/runner/SqlRunner.h"

#include <QFile>

#include <unistd.h>

namespace qv::sql::test {

namespace {

QString seedRowsPath()
{
    return QStringLiteral(QV_SOURCE_DIR "/tests/sql/corpus/seed.rows");
}

} // namespace

Catalog corpusCatalog()
{
    const schema::Schema &schema = schema::Schema::builtIn();
    Catalog catalog = Catalog::fromSchema(schema, schema::Database::Business);
    for (const schema::Table *t : schema.tables(schema::Database::Registry))
        catalog.addTable(*t);
    return catalog;
}

bool seedDatabase(db::Connection &connection, QString *error)
{
    const schema::Schema &schema = schema::Schema::builtIn();
    schema::RowsFile templateRows;
    schema::RowsFile demoRows;
    schema::RowsFile seedRows;
    QFile seedFile(seedRowsPath());
    if (!templateRows.parseBuiltIn(QStringLiteral("template.rows"), schema)
        || !demoRows.parseBuiltIn(QStringLiteral("demo.rows"), schema)) {
        *error = templateRows.error() + demoRows.error();
        return false;
    }
    if (!seedFile.open(QIODevice::ReadOnly)) {
        *error = seedRowsPath() + QStringLiteral(": ") + seedFile.errorString();
        return false;
    }
    if (!seedRows.parse(QString::fromUtf8(seedFile.readAll()), schema, QStringLiteral("seed.rows"))) {
        *error = seedRows.error();
        return false;
    }
    schema::TemplateBuilder builder(schema);
    for (const schema::Database database : {schema::Database::Registry, schema::Database::Business}) {
        if (!builder.build(connection, database, {&templateRows})
            || !builder.putRows(connection, database, {&demoRows, &seedRows})) {
            *error = builder.error();
            return false;
        }
    }
    if (connection.traits().engine == db::Engine::Postgres) {
        db::Error failure;
        if (!installPostgresFunctions(connection, &failure) || !syncIdentityColumns(connection, corpusCatalog(), &failure)) {
            *error = failure.text();
            return false;
        }
    }
    return true;
}

SeededDatabases::~SeededDatabases()
{
    if (m_created.isEmpty())
        return;
    QString error;
    auto connection = admin(&error);
    if (!connection)
        return;
    for (const QString &name : std::as_const(m_created))
        connection->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
}

QString SeededDatabases::sqliteSeedPath() const
{
    return m_dir.filePath(QStringLiteral("seed.db"));
}

QString SeededDatabases::databaseName(const QString &name) const
{
    QString clean;
    for (QChar c : name.toLower())
        clean += (c.isLetterOrNumber() && c.unicode() < 128) ? c : QLatin1Char('_');
    return m_prefix + clean;
}

std::unique_ptr<db::Connection> SeededDatabases::admin(QString *error)
{
    db::Error failure;
    auto connection = db::openConnection(db::ConnectionDescriptor::postgres(m_conninfo), &failure);
    if (!connection)
        *error = failure.text();
    return connection;
}

bool SeededDatabases::prepare(const QString &postgresConninfo, QString *error)
{
    if (!m_dir.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    {
        db::Error failure;
        auto sqlite = db::openConnection(db::ConnectionDescriptor::sqlite(sqliteSeedPath(), true), &failure);
        if (!sqlite) {
            *error = failure.text();
            return false;
        }
        if (!seedDatabase(*sqlite, error)) {
            error->prepend(QStringLiteral("SQLite seed: "));
            return false;
        }
        // One file that copies completely, whatever the connection's journal.
        sqlite->exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    }
    if (postgresConninfo.isEmpty())
        return true;
    m_conninfo = postgresConninfo;
    m_prefix = QStringLiteral("qv_corpus_%1_").arg(getpid());
    auto connection = admin(error);
    if (!connection)
        return false;
    const QString seed = databaseName(QStringLiteral("seed"));
    connection->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(seed));
    if (!connection->exec(QStringLiteral("CREATE DATABASE %1").arg(seed))) {
        *error = connection->lastError().text();
        return false;
    }
    m_created << seed;
    db::Error failure;
    auto seedConnection = db::openConnection(
        db::ConnectionDescriptor::postgres(m_conninfo + QStringLiteral(" dbname=") + seed), &failure);
    if (!seedConnection) {
        *error = failure.text();
        return false;
    }
    if (!seedDatabase(*seedConnection, error)) {
        error->prepend(QStringLiteral("PostgreSQL seed: "));
        return false;
    }
    return true;
}

std::optional<QString> SeededDatabases::sqliteCopy(const QString &name, QString *error)
{
    const QString path = m_dir.filePath(name + QStringLiteral(".db"));
    QFile::remove(path);
    if (!QFile::copy(sqliteSeedPath(), path)) {
        *error = QStringLiteral("cannot copy the seed to %1").arg(path);
        return std::nullopt;
    }
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

std::optional<QString> SeededDatabases::postgresCopy(const QString &name, QString *error)
{
    auto connection = admin(error);
    if (!connection)
        return std::nullopt;
    const QString database = databaseName(name);
    connection->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database));
    if (!connection->exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(database, databaseName(QStringLiteral("seed"))))) {
        *error = connection->lastError().text();
        return std::nullopt;
    }
    if (!m_created.contains(database))
        m_created << database;
    return m_conninfo + QStringLiteral(" dbname=") + database;
}

void SeededDatabases::dropPostgresCopy(const QString &name)
{
    QString error;
    auto connection = admin(&error);
    if (!connection)
        return;
    const QString database = databaseName(name);
    if (connection->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database)))
        m_created.removeAll(database);
}

} // namespace qv::sql::test
