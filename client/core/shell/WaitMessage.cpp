#include "client/core/shell/WaitMessage.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QWidget>

namespace qv::client {

WaitMessage::~WaitMessage()
{
    HideWait();
}

void WaitMessage::ShowWait(const QString &text)
{
    if (!m_window) {
        m_window = new QWidget(m_parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        m_window->setObjectName(QStringLiteral("frmWait"));
        m_window->setWindowTitle(QStringLiteral("数据正在处理，请稍等 "));
        m_window->setWindowModality(Qt::ApplicationModal);
        auto *layout = new QHBoxLayout(m_window);
        m_label = new QLabel(m_window);
        m_label->setMinimumWidth(260);
        m_label->setAlignment(Qt::AlignCenter);
        layout->addWidget(m_label);
        layout->setContentsMargins(24, 18, 24, 18);
    }
    m_label->setText(text);
    m_window->adjustSize();
    if (m_parent) {
        const QRect frame = m_parent->window()->geometry();
        m_window->move(frame.center() - m_window->rect().center());
    }
    m_window->show();
    m_window->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void WaitMessage::HideWait()
{
    delete m_window.data();
}

} // namespace qv::client
