// What the windows of the client ask of the main window: their tab in the
// strip along the bottom, their default size and place, and opening other
// windows by the name of their menu item.
#pragma once

#include <QString>

class QWidget;

namespace qv::client {

class WindowHost {
public:
    virtual ~WindowHost();

    // Mode 1 adds the caption to the tab strip when it is missing and selects
    // it; mode -1 removes it (captions compared after trimming).
    virtual void SetTab(int mode, const QString &caption) = 0;
    // Height, width and left from the session's defaults; top 0 for a child
    // window, the title overhead for a free window.
    virtual void ApplyDefaultGeometry(QWidget *window) = 0;
    // Runs the main-menu item of that name when it exists and is enabled.
    virtual void RunMenuItem(const QString &name) = 0;

protected:
    WindowHost() = default;
};

} // namespace qv::client
