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

void StatementLog::prepend(QString entry)
{
    m_characters += entry.size();
    m_entries.push_front(std::move(entry));
    // Older entries go once the newer ones fill the text on their own.
    while (m_entries.size() > 1 && m_characters - m_entries.back().size() >= kMaxCharacters) {
        m_characters -= m_entries.back().size();
        m_entries.pop_back();
    }
    m_textIsCurrent = false;
    if (m_listener)
        m_listener(text());
}

const QString &StatementLog::text() const
{
    if (!m_textIsCurrent) {
        m_text.clear();
        m_text.reserve(std::min(m_characters, kMaxCharacters));
        for (const QString &entry : m_entries) {
            m_text += entry;
            if (m_text.size() >= kMaxCharacters)
                break;
        }
        m_text.truncate(kMaxCharacters);
        m_textIsCurrent = true;
    }
    return m_text;
}

void StatementLog::clear()
{
    m_entries.clear();
    m_characters = 0;
    m_text.clear();
    m_textIsCurrent = true;
    if (m_listener)
        m_listener(m_text);
}

} // namespace qv::server
