// What each menu item opens: one row per item, read by the main window, the
// navigation desk (through RunMenuItem) and the tool bar. A row without a
// factory belongs to a window that is not part of the client yet: its item
// opens nothing and says nothing. The parts of the client that build those
// windows fill in the factory of their rows (WindowTable.cpp).
#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace qv::client {

class ClientSession;

enum class OpenAs {
    Child,   // a child window of the main area, one per kind, at most 31 open
    Modal,   // a dialog over the main window; freed when it closes
    Command, // an operation that may show windows of its own
};

// Creates the window (Child, Modal) or runs the command (Command; answers
// nullptr). The argument is the row's: a title or a bill type.
using WindowFactory = QWidget *(*)(ClientSession &session, const QString &argument);

struct MenuWindow {
    const char *menuName;
    OpenAs openAs;
    const char *windowKind; // "TfrmSysUser": a child is named without the leading T
    const char *argument;   // handed to the factory and to a child opened again
    WindowFactory factory;  // nullptr: not part of the client yet

    QString name() const { return QString::fromLatin1(menuName); }
    QString kind() const { return QString::fromLatin1(windowKind); }
    QString argumentText() const { return QString::fromUtf8(argument); }
};

// The row of a menu item; nullptr when the table has none.
const MenuWindow *findMenuWindow(const QList<MenuWindow> &table, const QString &menuName);

// The object name of a child window of a kind: the kind without its leading T.
QString childWindowName(const QString &windowKind);

} // namespace qv::client
