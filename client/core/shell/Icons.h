// The pictures of the tool bar and the navigation desk, drawn by the program:
// a rounded tile in the colour of the kind of function with a white glyph.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace qv::client {

// Glyph names: people, staff, register, receipt, issue, stock, report, chart,
// money, system, key, exit, calendar, transfer, alert, help, app. An unknown
// name draws the register glyph.
QPixmap iconPixmap(const QString &name, int size = 48);
QIcon icon(const QString &name);

// The glyph a menu item's picture shows, chosen from its name.
QString iconForMenuItem(const QString &menuName);

} // namespace qv::client
