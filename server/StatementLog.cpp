#include "server/StatementLog.h"

namespace qv::server {

bool StatementLog::isRefused(const QString &statement)
{
    if (statement.left(6).toUpper() != QLatin1String("UPDATE"))
        return false;
    return !statement.toUpper().contains(QLatin1String("SET"));
}

bool StatementLog::admit(const QString &statement)
{
    const QString lineBreaks = QStringLiteral("\n\n");
    if (isRefused(statement)) {
        prepend(QStringLiteral("Not Execute: ") + statement + lineBreaks);
        return false;
    }
    prepend(statement + lineBreaks);
    return true;
}

void StatementLog::prepend(const QString &entry)
{
    m_text.prepend(entry);
    if (m_text.size() > kMaxCharacters)
        m_text.truncate(kMaxCharacters);
    if (m_listener)
        m_listener(m_text);
}

void StatementLog::clear()
{
    m_text.clear();
    if (m_listener)
        m_listener(m_text);
}

} // namespace qv::server
