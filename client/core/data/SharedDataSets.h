// The shared datasets of the client data module, as a table: each dataset's
// name, the server provider it reads from and, for a few, the statement that
// replaces the provider's own. TData creates one dataset per row.
#pragma once

#include <QList>
#include <QString>

namespace qv::client {

enum class DataSetArea {
    General,   // Tmp, Tmpf, Tmpl and the other channels
    System,    // users, menus, settings
    Master,    // registers
    PickList,  // the pickers' lists
    Header,    // a document header ("zb")
    Lines,     // a document's lines
    Staff,     // staff, office and pay
};

struct SharedDataSetSpec {
    QString name;
    QString provider;  // the server's dataset ("pHp")
    QString statement; // empty: the provider's own statement
    DataSetArea area = DataSetArea::General;
};

// Every shared dataset, in the order they are created.
const QList<SharedDataSetSpec> &sharedDataSetSpecs();

} // namespace qv::client
