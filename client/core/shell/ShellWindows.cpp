#include "client/core/shell/ShellWindows.h"

#include "client/core/shell/AccountSetManager.h"
#include "client/core/shell/CalendarDialog.h"
#include "client/core/shell/ClientSession.h"
#include "client/core/shell/MainWindow.h"
#include "client/core/shell/PendingAlert.h"
#include "client/core/shell/SelfUpdate.h"

namespace qv::client {

QWidget *createAccountManager(ClientSession &session, const QString &)
{
    return new TfrmZTManager(session, session.mainWindow());
}

QWidget *showPendingFromMenu(ClientSession &session, const QString &)
{
    ShowPending(session, QStringLiteral("audit_office"), false);
    return nullptr;
}

QWidget *createCalendar(ClientSession &session, const QString &)
{
    return new TCalendarExFrm(session.mainWindow());
}

QWidget *uploadClientVersion(ClientSession &session, const QString &)
{
    SelfUpdate::uploadWithDialog(session, session.mainWindow());
    return nullptr;
}

} // namespace qv::client
