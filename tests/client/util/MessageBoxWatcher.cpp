#include "tests/client/util/MessageBoxWatcher.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>

#include <gtest/gtest.h>

namespace qv::client::test {

MessageBoxWatcher::MessageBoxWatcher()
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxWatcher::poll);
    m_timer.start();
}

MessageBoxWatcher::~MessageBoxWatcher() = default;

void MessageBoxWatcher::expect(int count, QMessageBox::StandardButton button)
{
    m_expected += count;
    for (int i = 0; i < count; ++i)
        m_buttons << button;
}

void MessageBoxWatcher::expectAny(QMessageBox::StandardButton button)
{
    m_any = true;
    m_anyButton = button;
}

QStringList MessageBoxWatcher::texts() const
{
    QStringList list;
    for (const SeenBox &box : m_seen)
        list << box.text;
    return list;
}

void MessageBoxWatcher::poll()
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (box && box->isVisible() && !box->property("qvAnswered").toBool())
            answer(box);
    }
}

void MessageBoxWatcher::answer(QMessageBox *box)
{
    box->setProperty("qvAnswered", true);
    m_seen << SeenBox{box->windowTitle(), box->text(), box->icon()};
    QMessageBox::StandardButton button = QMessageBox::NoButton;
    if (m_expected > 0) {
        --m_expected;
        button = m_buttons.takeFirst();
    } else if (m_any) {
        button = m_anyButton;
    } else {
        ++m_unexpected;
        ADD_FAILURE() << "unexpected message box: [" << box->windowTitle().toStdString() << "] "
                      << box->text().toStdString();
    }
    QAbstractButton *target = button != QMessageBox::NoButton ? box->button(button) : nullptr;
    if (!target)
        target = box->defaultButton();
    if (!target)
        target = box->escapeButton();
    if (target)
        target->click();
    else
        box->done(0);
}

} // namespace qv::client::test
