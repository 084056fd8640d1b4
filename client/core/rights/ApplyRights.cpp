#include "client/core/rights/ApplyRights.h"

#include "client/core/rights/SystemFunctionRight.h"

namespace qv::client {

void applyToMainWindow(TSystemFunctionRight &rights, QList<NamedAction> &actions)
{
    const bool superUser = TSystemFunctionRight::isSuperUser(rights.userCode);
    for (NamedAction &action : actions) {
        if (!action.name.startsWith(u"mnu"))
            continue;
        switch (action.kind) {
        case ActionKind::MenuItem:
            if (!superUser)
                action.enabled = rights.isObjectAllowed(action.name);
            if ((superUser || action.enabled) && !rights.isMenuItemAllowed(action.name))
                rights.allowedMenuItems.append(action.name);
            break;
        case ActionKind::ToolButton:
            if (!superUser)
                action.enabled = rights.isObjectAllowed(action.name.chopped(1));
            break;
        case ActionKind::DeskLabel:
        case ActionKind::DeskButton:
            break;
        }
    }
}

void applyToDesk(const TSystemFunctionRight &rights, QList<NamedAction> &items)
{
    const bool superUser = TSystemFunctionRight::isSuperUser(rights.userCode);
    for (NamedAction &item : items) {
        if (item.kind != ActionKind::DeskLabel && item.kind != ActionKind::DeskButton)
            continue;
        item.blackText = true;
        if (!superUser)
            item.enabled = rights.isObjectAllowed(item.name);
    }
}

} // namespace qv::client
