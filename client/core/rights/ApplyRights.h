// Rights applied to the main window and the navigation desk, as functions over
// lists of named actions, so the windows only have to list their menu items,
// tool buttons and desk entries and take the answer back.
#pragma once

#include <QList>
#include <QString>

namespace qv::client {

class TSystemFunctionRight;

enum class ActionKind {
    MenuItem,   // a main-menu item ("mnuCgsh")
    ToolButton, // a tool button named after its menu item plus one character ("mnuCgsh1")
    DeskLabel,  // a label on the navigation desk
    DeskButton, // a function picture of the desk ("mnuCgsh")
};

struct NamedAction {
    QString name;
    ActionKind kind = ActionKind::MenuItem;
    bool enabled = true;
    bool visible = true;
    bool blackText = false; // the desk draws the entry's text in black
};

// Menu items and tool buttons whose names start with "mnu": for SYS every menu
// item stays enabled and is an allowed menu item; for other users an item is
// enabled exactly when its name is an allowed object, and the enabled ones
// become the allowed menu items. A tool button goes by its name without the
// last character (other users only). Actions of other names are left alone.
void applyToMainWindow(TSystemFunctionRight &rights, QList<NamedAction> &actions);

// Every label and function picture of the desk gets black text; for other users
// than SYS each is enabled exactly when its name is an allowed object.
void applyToDesk(const TSystemFunctionRight &rights, QList<NamedAction> &items);

} // namespace qv::client
