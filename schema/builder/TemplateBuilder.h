// Writes the tables of the schema and their initial rows into an empty
// database of either engine, or as a PostgreSQL script. The template databases
// of the installation, a new account set and the demo account set are all made
// by this one piece of code.
#pragma once

#include "db/Connection.h"
#include "schema/Ddl.h"
#include "schema/RowsFile.h"
#include "schema/Schema.h"

namespace qv::schema {

class TemplateBuilder {
public:
    explicit TemplateBuilder(const Schema &schema = Schema::builtIn());

    // Creates every table of the database kind and inserts the rows of the
    // given files that belong to it, all in one transaction.
    bool build(db::Connection &connection, Database database, const QList<const RowsFile *> &rows);

    // Inserts the rows of the files that belong to the database kind; a row
    // whose key matches an existing row replaces it. One transaction.
    bool putRows(db::Connection &connection, Database database, const QList<const RowsFile *> &rows);

    // The same content as build() as a script of statements for PostgreSQL.
    QString postgresScript(Database database, const QList<const RowsFile *> &rows) const;

    QString error() const { return m_error; }

private:
    bool createTables(db::Connection &connection, Database database);
    bool insertBlock(db::Connection &connection, const RowsBlock &block, bool replace);
    bool deleteByKey(db::Connection &connection, const RowsBlock &block, const QVariantList &row);
    bool fail(const QString &message, const db::Connection *connection = nullptr);

    const Schema &m_schema;
    QString m_error;
};

DdlEngine ddlEngine(db::Engine engine);

// A value written as a PostgreSQL literal: texts quoted with doubled quotes.
QString postgresLiteral(const QVariant &value);

} // namespace qv::schema
