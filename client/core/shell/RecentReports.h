// The recently used reports of the navigation desk ("常用报表"): at most 20
// entries, newest first, each a report's display name with the menu item that
// opens it; kept in "Tree_Function.txt" of the program folder between runs.
#pragma once

#include <QList>
#include <QString>

namespace qv::client {

struct RecentReport {
    QString name;
    QString menuItem; // the ObjectName of the function that opens it
    friend bool operator==(const RecentReport &, const RecentReport &) = default;
};

class RecentReports {
public:
    static constexpr int kMaxEntries = 20;
    // Names longer than this many bytes in code page 936 (8 Chinese characters)
    // are not kept.
    static constexpr int kMaxNameBytes = 16;

    // The name a report is listed under: "采购入库单总表" -> "采购入库" (a name
    // containing "单总表" loses its last three characters, then a trailing
    // "管理" its last two).
    static QString listedName(const QString &reportName);
    static bool fits(const QString &listedName);

    const QList<RecentReport> &entries() const { return m_entries; }
    int indexOf(const QString &name) const;
    void remove(const QString &name);
    void removeAt(int index);
    void clear() { m_entries.clear(); }
    // Puts the entry at the top, keeping at most kMaxEntries.
    void addOnTop(const RecentReport &entry);

    // Reads and writes one entry per line, the name and the menu item
    // separated by a tab. A missing file reads as empty.
    bool load(const QString &path);
    bool save(const QString &path) const;

private:
    QList<RecentReport> m_entries;
};

} // namespace qv::client
