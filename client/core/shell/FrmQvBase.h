// The base of most windows of the client: Enter in any control moves the focus
// to the next control, as clerks are used to when filling in forms, and the
// window knows the session it works in. A window opened as a child of the main
// area is freed when it closes; a modal one belongs to whoever opened it.
//
// A window that serves several menu items (the stock-taking list for 盘点单
// and 库存调整) is handed the item's argument when it is opened again.
#pragma once

#include <QDialog>

namespace qv::client {

class ClientSession;
class WindowHost;

class TFrmQvBase : public QDialog {
    Q_OBJECT

public:
    explicit TFrmQvBase(ClientSession *session, QWidget *parent = nullptr);
    ~TFrmQvBase() override;

    ClientSession *session() const { return m_session; }
    // The main window, once there is one.
    WindowHost *host() const;

    // The argument of the menu item that opened (or reopened) the window: a
    // title or a bill type. The default ignores it.
    virtual void applyMenuArgument(const QString &argument);

    // True while the window sits in the main window's child area.
    bool isChildWindow() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    ClientSession *m_session;
};

// Enter moves the focus to the next control of the form (what TFrmQvBase does,
// for forms that are not one): an event filter owned by the form.
void installEnterMovesFocus(QWidget *form);

} // namespace qv::client
