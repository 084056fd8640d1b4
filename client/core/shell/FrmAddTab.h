// The base of the child windows that appear in the tab strip of the main
// window: when shown a window takes the default geometry and adds its caption
// to the strip, when activated it selects its tab again, and when closed it
// removes the tab (and, as every child, is freed).
#pragma once

#include "client/core/shell/FrmQvBase.h"

namespace qv::client {

class TFrmAddTab : public TFrmQvBase {
    Q_OBJECT

public:
    explicit TFrmAddTab(ClientSession *session, QWidget *parent = nullptr);

    // The main window calls this when the window becomes the active child.
    virtual void activated();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_placed = false;
};

} // namespace qv::client
