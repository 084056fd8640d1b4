// Field definitions for the small tables the tests serve from memory.
#pragma once

#include "client/core/dataset/FieldDef.h"

#include <initializer_list>

namespace qv::client::test {

inline FieldDef fieldDef(const char *name, FieldType type, int size = 0, FieldFlags flags = {})
{
    FieldDef def;
    def.name = QString::fromUtf8(name);
    def.type = type;
    def.size = size;
    def.flags = flags;
    return def;
}

} // namespace qv::client::test
