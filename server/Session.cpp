#include "server/Session.h"

#include <QFileInfo>

namespace qv::server {

Session::Session(ServerContext &context, QString peer)
    : m_context(context), m_peer(std::move(peer)),
      m_registry(context.translators, schema::Database::Registry, nullptr),
      m_business(context.translators, schema::Database::Business, &context.statementLog)
{
    lastActivity = QDateTime::currentDateTime();
    const QString registryPath = context.paths.registryDatabase();
    if (QFileInfo::exists(registryPath))
        m_registry.describe(db::ConnectionDescriptor::sqlite(registryPath),
                            QFileInfo(registryPath).canonicalFilePath());
    context.sessions.append(this);
}

Session::~Session()
{
    m_context.sessions.removeOne(this);
    closeCursors();
    m_business.close();
    m_registry.close();
}

void Session::setFilter(const Provider &provider, const QString &expression)
{
    if (expression.trimmed().isEmpty())
        m_filters.remove(&provider);
    else
        m_filters.insert(&provider, expression);
}

QString Session::currentStatement(const Provider &provider) const
{
    return m_statements.value(&provider, provider.dataset->statement);
}

void Session::setCurrentStatement(const Provider &provider, const QString &statement)
{
    m_statements.insert(&provider, statement);
}

qint64 Session::addCursor(std::unique_ptr<OpenCursor> cursor)
{
    closeCursorOf(*cursor->provider);
    const qint64 id = m_nextCursor++;
    cursor->id = id;
    m_cursorOfDataset.insert(cursor->provider, id);
    m_cursors.emplace(id, std::move(cursor));
    return id;
}

OpenCursor *Session::cursor(qint64 id)
{
    const auto it = m_cursors.find(id);
    return it == m_cursors.end() ? nullptr : it->second.get();
}

void Session::closeCursor(qint64 id)
{
    const auto it = m_cursors.find(id);
    if (it == m_cursors.end())
        return;
    if (it->second->cursor)
        it->second->cursor->close();
    m_cursorOfDataset.remove(it->second->provider);
    m_cursors.erase(it);
}

void Session::closeCursorOf(const Provider &provider)
{
    const auto it = m_cursorOfDataset.constFind(&provider);
    if (it != m_cursorOfDataset.constEnd())
        closeCursor(*it);
}

void Session::closeCursors()
{
    for (auto &entry : m_cursors) {
        if (entry.second->cursor)
            entry.second->cursor->close();
    }
    m_cursors.clear();
    m_cursorOfDataset.clear();
}

void Session::closeBusiness()
{
    for (auto it = m_cursors.begin(); it != m_cursors.end();) {
        if (!it->second->provider->onRegistry()) {
            if (it->second->cursor)
                it->second->cursor->close();
            m_cursorOfDataset.remove(it->second->provider);
            it = m_cursors.erase(it);
        } else {
            ++it;
        }
    }
    m_business.close();
}

} // namespace qv::server
