#include "client/core/shell/SplashWindow.h"

#include "client/core/shell/Icons.h"
#include "client/core/shell/Product.h"
#include "common/Paths.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace qv::client {

SplashWindow::SplashWindow(const QString &programFolder, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("frmStart"));
    setFixedSize(400, 300);
    const QString file = common::joinPath(programFolder, u"start.jpg");
    if (QFileInfo::exists(file))
        m_picture.load(file);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void SplashWindow::showFor(int ms)
{
    show();
    raise();
    repaint();
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!m_picture.isNull()) {
        p.drawPixmap(rect(), m_picture);
        return;
    }
    drawOwnPicture(p);
}

void SplashWindow::drawOwnPicture(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0x1f, 0x5f, 0xa8));
    sky.setColorAt(1, QColor(0x0c, 0x2c, 0x55));
    p.fillRect(rect(), sky);
    p.setPen(QColor(255, 255, 255, 40));
    for (int x = -height(); x < width(); x += 24)
        p.drawLine(x, height(), x + height(), 0);

    p.drawPixmap(40, 70, iconPixmap(QStringLiteral("app"), 72));
    QFont title = font();
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(126, 70, 260, 44), Qt::AlignLeft | Qt::AlignVCenter, productTitle());
    QFont small = font();
    small.setPixelSize(14);
    p.setFont(small);
    p.setPen(QColor(0xd6, 0xe4, 0xf7));
    p.drawText(QRect(128, 114, 260, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("办公用品与库存管理  ") + productVersion());
    p.drawText(QRect(0, 250, width(), 24), Qt::AlignCenter, productNotice());
    p.setPen(QColor(255, 255, 255, 90));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void SplashWindow::mousePressEvent(QMouseEvent *event)
{
    if (m_closesOnClick && event->button() == Qt::LeftButton)
        accept();
    else
        QDialog::mousePressEvent(event);
}

} // namespace qv::client
