#include "client/core/shell/FrmAddTab.h"

#include "client/core/shell/WindowHost.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace qv::client {

TFrmAddTab::TFrmAddTab(ClientSession *session, QWidget *parent) : TFrmQvBase(session, parent) {}

void TFrmAddTab::activated()
{
    if (WindowHost *main = host())
        main->SetTab(1, windowTitle());
}

void TFrmAddTab::showEvent(QShowEvent *event)
{
    TFrmQvBase::showEvent(event);
    WindowHost *main = host();
    if (!main || event->spontaneous())
        return;
    // The default place is taken once; later shows (a tab brought back) keep
    // where the user put the window.
    if (!m_placed) {
        main->ApplyDefaultGeometry(this);
        m_placed = true;
    }
    main->SetTab(1, windowTitle());
}

void TFrmAddTab::closeEvent(QCloseEvent *event)
{
    TFrmQvBase::closeEvent(event);
    if (!event->isAccepted())
        return;
    if (WindowHost *main = host())
        main->SetTab(-1, windowTitle());
}

} // namespace qv::client
