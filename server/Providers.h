// The published datasets of both modules, built from the schema: name,
// statement, base table, update rule, component name for SetFilter and the
// connection they run on. Nothing here restates the list; adding a dataset to
// the schema publishes it.
#pragma once

#include "protocol/Operation.h"
#include "schema/Schema.h"

#include <QHash>
#include <QStringList>

#include <vector>

namespace qv::server {

struct Provider {
    const schema::Dataset *dataset = nullptr;
    const schema::Table *baseTable = nullptr; // nullptr: read-only for change packets
    protocol::RemoteObject module = protocol::RemoteObject::Business;

    const QString &name() const { return dataset->name; }
    bool onRegistry() const { return dataset->connection == schema::Connection::Registry; }
    bool hasStatement() const { return !dataset->statement.isEmpty(); }
};

class Providers {
public:
    explicit Providers(const schema::Schema &schema);

    // Names and components compare without regard to case.
    const Provider *find(protocol::RemoteObject module, QStringView name) const;
    const Provider *findComponent(protocol::RemoteObject module, QStringView component) const;
    QStringList names(protocol::RemoteObject module) const;
    const schema::Schema &schema() const { return m_schema; }

private:
    static int slot(protocol::RemoteObject module) { return module == protocol::RemoteObject::Report ? 1 : 0; }

    const schema::Schema &m_schema;
    std::vector<Provider> m_providers;
    QHash<QString, qsizetype> m_byName[2];
    QHash<QString, qsizetype> m_byComponent[2];
};

} // namespace qv::server
