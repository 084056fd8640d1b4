#include "client/core/shell/ClientSession.h"

#include "client/core/shell/MainWindow.h"
#include "client/core/shell/Product.h"
#include "client/core/views/ReconcileDialog.h"

#include <QApplication>

namespace qv::client {

ClientSession::ClientSession(QString programFolder)
    : m_programFolder(std::move(programFolder)),
      m_settings(m_programFolder),
      m_data(std::make_unique<TData>()),
      m_queries(*m_data)
{
    m_card.productTitle = productTitle();
    m_card.versionText = productVersion();
    // Every server call blocks; the user sees a busy cursor meanwhile.
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        m_data->setBusyHook([](bool busy) {
            if (busy)
                QApplication::setOverrideCursor(Qt::WaitCursor);
            else
                QApplication::restoreOverrideCursor();
        });
        // Rows the server refuses are put to the clerk, above the dialog that
        // saved them when one is open, else above the main window.
        m_data->setReconcileHandler(reconcileDialogHandler([this]() -> QWidget * {
            if (QWidget *modal = QApplication::activeModalWidget())
                return modal;
            return m_mainWindow;
        }));
    }
}

ClientSession::~ClientSession() = default;

} // namespace qv::client
