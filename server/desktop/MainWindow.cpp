#include "server/desktop/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace qv::server {

MainWindow::MainWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TfrmMains"));
    setWindowTitle(QStringLiteral("Main"));
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    resize(600, 369);

    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_messages = new QPlainTextEdit(this);
    m_messages->setReadOnly(true);
    m_messages->setFixedHeight(94);
    m_messages->hide();

    m_onTop = new QCheckBox(QStringLiteral("置顶"), this);
    auto *clear = new QToolButton(this);
    clear->setText(QStringLiteral("删除"));
    clear->setAutoRaise(true);
    auto *others = new QToolButton(this);
    others->setText(QStringLiteral("其他消息"));
    others->setAutoRaise(true);

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_onTop);
    bar->addStretch();
    bar->addWidget(clear);
    bar->addWidget(others);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_log, 1);
    layout->addWidget(m_messages);
    layout->addLayout(bar);

    connect(m_onTop, &QCheckBox::toggled, this, &MainWindow::setStaysOnTop);
    connect(clear, &QToolButton::clicked, this, &MainWindow::clearLogRequested);
    connect(others, &QToolButton::clicked, this, [this] { m_messages->setVisible(!m_messages->isVisible()); });
}

void MainWindow::setLogText(const QString &text)
{
    m_log->setPlainText(text);
}

void MainWindow::appendMessage(const QString &line)
{
    m_messages->appendPlainText(line);
}

void MainWindow::setStaysOnTop(bool onTop)
{
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible)
        show();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}

} // namespace qv::server
