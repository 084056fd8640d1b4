// The server's statement log with its one guard. Every statement of a client's
// business connection passes here before it runs: an UPDATE without any SET is
// refused, and each statement goes to the front of the log text, which keeps its
// newest 10240 characters. The window shows the text; the log knows no window.
#pragma once

#include <QString>

#include <deque>
#include <functional>

namespace qv::server {

class StatementLog {
public:
    static constexpr qsizetype kMaxCharacters = 10240;

    // True when the statement may run. A refused statement is logged with
    // "Not Execute: " in front.
    bool admit(const QString &statement);

    // The guard alone: the first six characters, upper-cased, are "UPDATE" and
    // the upper-cased statement holds no "SET" anywhere.
    static bool isRefused(const QString &statement);

    // Built when asked for: statements arrive far more often than anyone reads.
    const QString &text() const;
    void clear();

    // Called after every change of the text.
    void setListener(std::function<void(const QString &)> listener) { m_listener = std::move(listener); }

private:
    void prepend(QString entry);

    std::deque<QString> m_entries; // newest first, no more than the text needs
    qsizetype m_characters = 0;    // in m_entries
    mutable QString m_text;
    mutable bool m_textIsCurrent = true;
    std::function<void(const QString &)> m_listener;
};

} // namespace qv::server
