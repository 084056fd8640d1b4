#include "client/core/shell/ServerAddressDialog.h"

#include "client/core/shell/ClientSession.h"
#include "client/core/shell/FrmQvBase.h"
#include "client/core/shell/Icons.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace qv::client {

TfrmServerAddress::TfrmServerAddress(ClientSession &session, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog), m_session(session)
{
    setObjectName(QStringLiteral("frmSeverAdress"));
    setWindowTitle(QStringLiteral("服务器名称或IP地址"));
    setFixedSize(256, 168);

    auto *label = new QLabel(QStringLiteral("服务器名称或IP地址:"), this);
    label->setGeometry(24, 58, 208, 20);
    label->setStyleSheet(QStringLiteral("color: white;"));
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("edtHostName"));
    m_address->setGeometry(24, 80, 208, 24);
    m_ok = new QPushButton(QStringLiteral("确定(&O)"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_ok->setGeometry(56, 122, 80, 26);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    m_cancel->setGeometry(148, 122, 80, 26);
    connect(m_ok, &QPushButton::clicked, this, &TfrmServerAddress::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    installEnterMovesFocus(this);

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // A first start writes the default host before anything else.
    m_session.settings().prepareForAddressWindow();
    m_address->setText(m_session.settings().hostName());
    m_address->setFocus();
}

void TfrmServerAddress::confirm()
{
    const QString host = m_address->text().trimmed();
    m_session.card().serverHost = host;
    m_session.settings().setHostName(host);
    accept();
}

void TfrmServerAddress::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, QColor(0x2a, 0x6f, 0xb8));
    fill.setColorAt(1, QColor(0x12, 0x3a, 0x6b));
    p.fillRect(rect(), fill);
    p.drawPixmap(20, 14, iconPixmap(QStringLiteral("app"), 32));
    QFont title = font();
    title.setPixelSize(16);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(60, 14, 190, 32), Qt::AlignLeft | Qt::AlignVCenter, windowTitle());
    p.setPen(QColor(255, 255, 255, 110));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

// Any button but the right one drags the window by its picture.
void TfrmServerAddress::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::RightButton) {
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void TfrmServerAddress::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void TfrmServerAddress::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}

} // namespace qv::client
