// A column of a server query as the server describes it when a dataset opens.
#pragma once

#include "client/core/dataset/FieldType.h"

#include <QList>
#include <QString>

namespace qv::client {

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0; // characters of a text column; 0 when the type has no size
    FieldFlags flags;

    bool isWrittenBack() const
    {
        return !(flags & (FieldFlag::ReadOnly | FieldFlag::Computed));
    }
    friend bool operator==(const FieldDef &, const FieldDef &) = default;
};

using FieldDefs = QList<FieldDef>;

} // namespace qv::client
