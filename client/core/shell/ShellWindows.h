// The windows of the menu that the shell itself provides, as factories for the
// window table.
#pragma once

#include <QString>

class QWidget;

namespace qv::client {

class ClientSession;

// "帐套管理" (modal).
QWidget *createAccountManager(ClientSession &session, const QString &argument);
// "系统提示" from the menu: every permitted kind (a command).
QWidget *showPendingFromMenu(ClientSession &session, const QString &argument);
// "万年历" (modal).
QWidget *createCalendar(ClientSession &session, const QString &argument);
// "上传版本" (a command).
QWidget *uploadClientVersion(ClientSession &session, const QString &argument);

} // namespace qv::client
