#include "server/EventLog.h"

#include <QDateTime>

namespace qv::server {

void EventLog::add(const QString &message)
{
    const QString line = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + message;
    m_lines.append(line);
    if (m_lines.size() > kMaxLines)
        m_lines.removeFirst();
    if (m_listener)
        m_listener(line);
}

} // namespace qv::server
