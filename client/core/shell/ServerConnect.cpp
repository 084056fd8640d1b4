#include "client/core/shell/ServerConnect.h"

#include "client/core/shell/ClientSession.h"

#include <QApplication>
#include <QMessageBox>

namespace qv::client {

bool connectToConfiguredServer(ClientSession &session, QWidget *messageParent)
{
    session.settings().prepareForConnect();
    const QString host = session.settings().hostName().trimmed();
    session.card().serverHost = host;

    TData &data = session.data();
    data.disconnectFromServer();
    const std::optional<ServerAddress> address = ServerAddress::parse(host);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool connected = address && data.connectToServer(*address);
    QApplication::restoreOverrideCursor();
    if (!connected) {
        QMessageBox box(QMessageBox::Critical, QString(), QString::fromUtf8(kServerNotFoundMessage),
                        QMessageBox::Ok, messageParent);
        box.setDetailedText(address ? data.lastError() : QStringLiteral("SysConfig.ini: HostName=") + host);
        box.exec();
        data.disconnectFromServer();
        return false;
    }
    if (!data.cn().isConnected()) {
        QMessageBox::critical(messageParent, QString(), QString::fromUtf8(kConnectFailedMessage));
        data.disconnectFromServer();
        return false;
    }
    return true;
}

} // namespace qv::client
