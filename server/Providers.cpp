#include "server/Providers.h"

namespace qv::server {

Providers::Providers(const schema::Schema &schema) : m_schema(schema)
{
    m_providers.reserve(size_t(schema.datasets().size()));
    for (const schema::Dataset &d : schema.datasets()) {
        Provider p;
        p.dataset = &d;
        p.baseTable = d.baseTable.isEmpty() ? nullptr : schema.table(d.baseTable);
        p.module = d.module == schema::Module::Report ? protocol::RemoteObject::Report
                                                      : protocol::RemoteObject::Business;
        const qsizetype index = qsizetype(m_providers.size());
        m_providers.push_back(p);
        m_byName[slot(p.module)].insert(d.name.toLower(), index);
        m_byComponent[slot(p.module)].insert(d.component.toLower(), index);
    }
}

const Provider *Providers::find(protocol::RemoteObject module, QStringView name) const
{
    const auto it = m_byName[slot(module)].constFind(name.toString().toLower());
    return it == m_byName[slot(module)].constEnd() ? nullptr : &m_providers[size_t(*it)];
}

const Provider *Providers::findComponent(protocol::RemoteObject module, QStringView component) const
{
    const auto it = m_byComponent[slot(module)].constFind(component.toString().toLower());
    return it == m_byComponent[slot(module)].constEnd() ? nullptr : &m_providers[size_t(*it)];
}

QStringList Providers::names(protocol::RemoteObject module) const
{
    QStringList names;
    for (const Provider &p : m_providers) {
        if (p.module == module)
            names.append(p.name());
    }
    return names;
}

} // namespace qv::server
