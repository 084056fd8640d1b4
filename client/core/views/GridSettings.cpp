#include "client/core/views/GridSettings.h"

#include "common/IniFile.h"

#include <QStringList>

namespace qv::client {

GridSettings::~GridSettings() = default;

IniGridSettings::IniGridSettings(QString path)
    : m_path(std::move(path))
{
}

std::optional<QList<ColumnLayout>> IniGridSettings::load(const QString &key)
{
    common::IniFile ini(m_path);
    if (!ini.isValid()) {
        m_error = ini.errorString();
        return std::nullopt;
    }
    if (!ini.contains(key, u"Columns"))
        return std::nullopt;
    QList<ColumnLayout> columns;
    for (const QString &name : ini.readString(key, u"Columns").split(u';', Qt::SkipEmptyParts)) {
        ColumnLayout c;
        c.field = name.trimmed();
        c.title = ini.readString(key, QString(c.field + QStringLiteral(".Title")));
        c.width = ini.readInt(key, QString(c.field + QStringLiteral(".Width")), 0);
        c.visible = ini.readInt(key, QString(c.field + QStringLiteral(".Visible")), 1) != 0;
        columns << c;
    }
    return columns;
}

bool IniGridSettings::save(const QString &key, const QList<ColumnLayout> &columns)
{
    common::IniFile ini(m_path);
    QStringList order;
    for (const ColumnLayout &c : columns)
        order << c.field;
    bool ok = ini.writeString(key, u"Columns", order.join(u';'));
    for (const ColumnLayout &c : columns) {
        ok = ok && ini.writeString(key, QString(c.field + QStringLiteral(".Title")), c.title);
        ok = ok && ini.writeInt(key, QString(c.field + QStringLiteral(".Width")), c.width);
        ok = ok && ini.writeInt(key, QString(c.field + QStringLiteral(".Visible")), c.visible ? 1 : 0);
    }
    if (!ok)
        m_error = ini.errorString();
    return ok;
}

} // namespace qv::client
