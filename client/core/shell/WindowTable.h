// The window table of the client program: what every menu item opens. It lives
// in a library of its own above every part that provides windows, so each part
// adds its windows by filling in the factory of its rows.
#pragma once

#include "client/core/shell/MenuWindows.h"

namespace qv::client {

const QList<MenuWindow> &menuWindows();

// Registers the windows and pickers the parts of the client offer each other
// through the session (drill-down and list windows, pickers behind named
// boxes). Each part adds its registration call here.
void registerClientWindows(ClientSession &session);

} // namespace qv::client
