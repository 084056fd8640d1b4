// The fields of a dataset in their order: the server's columns first, then the
// calculated and lookup fields the window added. Names match without regard to
// case. Field objects outlive a close and a reopen when the server still sends
// their column, so the labels, formats and hooks a window set stay in place.
#pragma once

#include "client/core/dataset/Field.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <vector>

namespace qv::client {

class FieldList {
public:
    int count() const { return int(m_fields.size()); }
    bool isEmpty() const { return m_fields.empty(); }
    Field *at(int index) const;
    // nullptr when there is no such field.
    Field *find(QStringView name) const;
    int indexOf(QStringView name) const;
    QStringList names() const;

    // Fields holding a column of the server's rows, and the client's own.
    int dataCount() const { return m_dataCount; }
    int calculatedCount() const { return count() - m_dataCount; }

    // Replaces the data fields by the definitions, keeping the objects of
    // fields that keep their name (their type, size and flags are updated).
    void setDataFields(DataSet *owner, const FieldDefs &defs);
    // Adds a calculated or lookup field; nullptr when the name is taken.
    Field *addClientField(DataSet *owner, const FieldDef &def, FieldKind kind);
    FieldDefs dataDefs() const;

    auto begin() const { return m_view.begin(); }
    auto end() const { return m_view.end(); }

private:
    void reindex();

    std::vector<std::unique_ptr<Field>> m_fields;
    std::vector<Field *> m_view;
    QHash<QString, int> m_byName; // upper-case name → index
    int m_dataCount = 0;
};

} // namespace qv::client
