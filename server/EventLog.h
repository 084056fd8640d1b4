// Messages about the server itself, apart from the statement log: start and
// stop, clients coming and going, protocol errors, why a database could not be
// opened. The window shows them under "其他消息"; headless they go to stderr.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace qv::server {

class EventLog {
public:
    static constexpr int kMaxLines = 500;

    void add(const QString &message);

    const QStringList &lines() const { return m_lines; } // oldest first
    // Called with each new line (already stamped with the time).
    void setListener(std::function<void(const QString &)> listener) { m_listener = std::move(listener); }

private:
    QStringList m_lines;
    std::function<void(const QString &)> m_listener;
};

} // namespace qv::server
