// The database the statement corpus runs on, for both engines with the same
// rows: every table of the registry and of an account set (built by the
// template builder), the template's initial rows, the demo account set's rows
// and the corpus's own documents and ledger (tests/sql/corpus/seed.rows).
//
// The seed is built once; each corpus file then works on a fresh copy of it,
// so the statements of one file that change data never reach another file.
// SQLite copies are files in a temporary folder; PostgreSQL copies are
// databases made from the seed database as a template, dropped at the end.
#pragma once

#include "db/Connection.h"
#include "sql/Catalog.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace qv::sql::test {

// Every table of both databases: the corpus uses one database for both.
Catalog corpusCatalog();

// Creates the tables and puts the template, demo and seed rows into an empty
// database; on PostgreSQL also installs the dialect's function library.
bool seedDatabase(db::Connection &connection, QString *error);

class SeededDatabases {
public:
    SeededDatabases() = default;
    ~SeededDatabases();
    SeededDatabases(const SeededDatabases &) = delete;
    SeededDatabases &operator=(const SeededDatabases &) = delete;

    // Builds the SQLite seed, and the PostgreSQL seed when a connection string
    // is given (an empty one leaves PostgreSQL out).
    bool prepare(const QString &postgresConninfo, QString *error);

    bool hasPostgres() const { return !m_conninfo.isEmpty(); }
    QString sqliteSeedPath() const;

    // A fresh copy for one use: a file path, or a PostgreSQL connection string.
    std::optional<QString> sqliteCopy(const QString &name, QString *error);
    std::optional<QString> postgresCopy(const QString &name, QString *error);

    // Drops a PostgreSQL copy (its connections must be closed).
    void dropPostgresCopy(const QString &name);

private:
    QString databaseName(const QString &name) const;
    std::unique_ptr<db::Connection> admin(QString *error);

    QTemporaryDir m_dir;
    QString m_conninfo;
    QString m_prefix;
    QStringList m_created; // PostgreSQL databases to drop
};

} // namespace qv::sql::test
