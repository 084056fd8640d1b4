#include "client/core/dataset/FieldList.h"

#include <map>

namespace qv::client {

Field *FieldList::at(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return m_fields[size_t(index)].get();
}

Field *FieldList::find(QStringView name) const
{
    return at(indexOf(name));
}

int FieldList::indexOf(QStringView name) const
{
    return m_byName.value(name.toString().toUpper(), -1);
}

QStringList FieldList::names() const
{
    QStringList list;
    for (const auto &f : m_fields)
        list << f->name();
    return list;
}

void FieldList::setDataFields(DataSet *owner, const FieldDefs &defs)
{
    std::vector<std::unique_ptr<Field>> kept;
    std::vector<std::unique_ptr<Field>> client;
    std::map<QString, std::unique_ptr<Field>> oldData;
    for (auto &f : m_fields) {
        if (f->kind() == FieldKind::Data)
            oldData.emplace(f->name().toUpper(), std::move(f));
        else
            client.push_back(std::move(f));
    }
    for (const FieldDef &def : defs) {
        auto it = oldData.find(def.name.toUpper());
        std::unique_ptr<Field> field;
        if (it != oldData.end() && it->second) {
            field = std::move(it->second);
            oldData.erase(it);
            field->m_name = def.name;
            field->m_type = def.type;
            field->m_size = def.size;
            field->m_flags = def.flags;
        } else {
            field = std::make_unique<Field>(owner, def, FieldKind::Data);
        }
        kept.push_back(std::move(field));
    }
    m_dataCount = int(kept.size());
    for (auto &f : client) {
        // A client field whose name the server now uses gives way to the column.
        bool clash = false;
        for (const auto &k : kept)
            clash = clash || k->name().compare(f->name(), Qt::CaseInsensitive) == 0;
        if (!clash)
            kept.push_back(std::move(f));
    }
    m_fields = std::move(kept);
    reindex();
}

Field *FieldList::addClientField(DataSet *owner, const FieldDef &def, FieldKind kind)
{
    if (def.name.isEmpty() || indexOf(def.name) >= 0 || kind == FieldKind::Data)
        return nullptr;
    FieldDef clientDef = def;
    clientDef.flags = FieldFlag::None;
    m_fields.push_back(std::make_unique<Field>(owner, clientDef, kind));
    reindex();
    return m_fields.back().get();
}

FieldDefs FieldList::dataDefs() const
{
    FieldDefs defs;
    for (const auto &f : m_fields) {
        if (f->kind() == FieldKind::Data)
            defs.append(FieldDef{f->name(), f->type(), f->size(), f->flags()});
    }
    return defs;
}

void FieldList::reindex()
{
    m_byName.clear();
    m_view.clear();
    int dataSlot = 0;
    int calcSlot = 0;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        Field *f = m_fields[i].get();
        f->m_index = int(i);
        f->m_slot = f->kind() == FieldKind::Data ? dataSlot++ : calcSlot++;
        m_byName.insert(f->name().toUpper(), int(i));
        m_view.push_back(f);
    }
}

} // namespace qv::client
