#include "db/Cursor.h"

namespace qv::db {

Cursor::~Cursor() = default;

bool Cursor::fail(Phase phase, const QString &message)
{
    m_error = Error{phase, message, m_statement};
    return false;
}

} // namespace qv::db
