#include "client/core/shell/RecentReports.h"

#include "common/GbkText.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace qv::client {

QString RecentReports::listedName(const QString &reportName)
{
    QString name = reportName;
    if (name.contains(QStringLiteral("单总表")))
        name.chop(3);
    if (name.endsWith(QStringLiteral("管理")))
        name.chop(2);
    return name;
}

bool RecentReports::fits(const QString &listedName)
{
    const std::optional<QByteArray> bytes = common::toGbk(listedName);
    const qsizetype size = bytes ? bytes->size() : listedName.size() * 2;
    return size <= kMaxNameBytes;
}

int RecentReports::indexOf(const QString &name) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).name == name)
            return i;
    }
    return -1;
}

void RecentReports::remove(const QString &name)
{
    const int index = indexOf(name);
    if (index >= 0)
        m_entries.removeAt(index);
}

void RecentReports::removeAt(int index)
{
    if (index >= 0 && index < m_entries.size())
        m_entries.removeAt(index);
}

void RecentReports::addOnTop(const RecentReport &entry)
{
    remove(entry.name);
    m_entries.prepend(entry);
    while (m_entries.size() > kMaxEntries)
        m_entries.removeLast();
}

bool RecentReports::load(const QString &path)
{
    m_entries.clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.trimmed().isEmpty())
            continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        const RecentReport entry{parts.value(0).trimmed(), parts.value(1).trimmed()};
        if (indexOf(entry.name) < 0 && m_entries.size() < kMaxEntries)
            m_entries << entry;
    }
    return true;
}

bool RecentReports::save(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    for (const RecentReport &entry : m_entries)
        out << entry.name << '\t' << entry.menuItem << '\n';
    out.flush();
    return file.commit();
}

} // namespace qv::client
