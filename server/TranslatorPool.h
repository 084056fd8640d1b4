// One dialect translator per database, shared by every client of that database:
// a report work table one client creates is then known to the statements of
// the others, and translations are cached once. Translators live as long as a
// client uses them.
#pragma once

#include "db/Connection.h"
#include "schema/Schema.h"
#include "sql/Translator.h"

#include <QHash>

#include <memory>

namespace qv::server {

class TranslatorPool {
public:
    explicit TranslatorPool(const schema::Schema &schema) : m_schema(schema) {}

    // The translator of the database named by key (a file path or a connection
    // string). A new one learns the tables the database holds beyond the
    // schema, such as report work tables left from an earlier run.
    std::shared_ptr<sql::Translator> get(const QString &key, schema::Database kind, db::Connection &connection);

private:
    const schema::Schema &m_schema;
    QHash<QString, std::weak_ptr<sql::Translator>> m_translators;
};

} // namespace qv::server
