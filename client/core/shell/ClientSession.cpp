#include "client/core/shell/ClientSession.h"

#include "client/core/shell/Product.h"

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
    }
}

ClientSession::~ClientSession() = default;

} // namespace qv::client
