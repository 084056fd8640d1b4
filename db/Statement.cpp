#include "db/Statement.h"

#include <limits>

namespace qv::db {

Statement::~Statement() = default;

bool Statement::fail(Phase phase, const QString &message)
{
    m_error = Error{phase, message, m_sql};
    return false;
}

bool Statement::bind(int position, const Value &value)
{
    if (position < 1)
        return fail(Phase::Bind, QStringLiteral("parameter position %1 is below 1").arg(position));
    if (!kindOf(value))
        return fail(Phase::Bind, QStringLiteral("parameter %1: cannot store a value of type %2")
                                     .arg(position)
                                     .arg(QString::fromLatin1(value.typeName())));
    if (value.typeId() == QMetaType::ULongLong
        && value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
        return fail(Phase::Bind, QStringLiteral("parameter %1: %2 is too large for an integer")
                                     .arg(position)
                                     .arg(value.toULongLong()));
    if (m_values.size() < position)
        m_values.resize(position);
    m_values[position - 1] = value;
    return true;
}

bool Statement::bindAll(const Row &values)
{
    m_values.clear();
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!bind(int(i + 1), values[i]))
            return false;
    }
    return true;
}

} // namespace qv::db
