// The main menu and the tool bar as data: every item with the name the rights
// tables know it by ("mnu" + function), its caption, the submenu it hangs
// under and who may see it. What an item opens is in the window table
// (MenuWindows.h); the window and help commands are the main window's own.
#pragma once

#include <QList>
#include <QString>

namespace qv::client {

enum class MenuVisibility {
    Shown,
    Hidden,        // kept for the rights tables and RunMenuItem, never shown
    SuperUserOnly, // shown to SYS only
};

struct MenuEntry {
    const char *name;
    const char *caption;
    const char *parent = ""; // the submenu item it hangs under; empty for the menu itself
    MenuVisibility visibility = MenuVisibility::Shown;
    bool separatorBefore = false;
};

struct MenuSpec {
    const char *name; // never starts with "mnu": the rights leave it alone
    const char *title;
    QList<MenuEntry> entries;
};

const QList<MenuSpec> &mainMenus();

// Tool buttons: named after the menu item they run plus "1" (rights follow the
// menu item), except the exit button.
struct ToolButtonSpec {
    const char *name;
    const char *caption;
    const char *runs; // the menu item run
    const char *icon; // resource icon name
};

const QList<ToolButtonSpec> &toolButtons();

// Commands of the main window itself.
namespace MainCommand {
inline constexpr const char *Exit = "Exit_mnu";
inline constexpr const char *ToolExit = "ToolExit";
inline constexpr const char *Cascade = "Cascade_mnu";
inline constexpr const char *Tile = "Horizontally_mnu";
inline constexpr const char *MinimizeAll = "MinAll_mnu";
inline constexpr const char *CloseAll = "CloseAll_mnu";
inline constexpr const char *Help = "HelpBook_mnu";
inline constexpr const char *About = "mbAbout";
} // namespace MainCommand

} // namespace qv::client
