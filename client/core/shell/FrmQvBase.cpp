#include "client/core/shell/FrmQvBase.h"

#include "client/core/shell/ClientSession.h"
#include "client/core/shell/MainWindow.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace qv::client {

WindowHost::~WindowHost() = default;

namespace {

bool isEnter(const QKeyEvent *event)
{
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
           && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

// Controls that give Enter a meaning of their own keep it: buttons press, text
// areas break the line.
bool keepsEnter(const QWidget *widget)
{
    return qobject_cast<const QAbstractButton *>(widget) || qobject_cast<const QTextEdit *>(widget)
           || qobject_cast<const QPlainTextEdit *>(widget);
}

// The next control in the tab order that takes the focus.
void focusNext(QWidget *from)
{
    QWidget *next = from->nextInFocusChain();
    while (next && next != from) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(from->window()) && next->isEnabled()
            && !next->focusProxy())
            break;
        next = next->nextInFocusChain();
    }
    if (next && next != from)
        next->setFocus(Qt::TabFocusReason);
}

class EnterFilter : public QObject {
public:
    explicit EnterFilter(QWidget *form) : QObject(form), m_form(form) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!isEnter(key) || !widget || keepsEnter(widget) || widget->window() != m_form->window())
            return false;
        if (!m_form->isAncestorOf(widget))
            return false;
        focusNext(widget);
        return true;
    }

private:
    QWidget *m_form;
};

} // namespace

void installEnterMovesFocus(QWidget *form)
{
    if (!form)
        return;
    auto *filter = new EnterFilter(form);
    const auto children = form->findChildren<QWidget *>();
    for (QWidget *child : children)
        child->installEventFilter(filter);
}

TFrmQvBase::TFrmQvBase(ClientSession *session, QWidget *parent) : QDialog(parent), m_session(session) {}

TFrmQvBase::~TFrmQvBase() = default;

WindowHost *TFrmQvBase::host() const
{
    return m_session ? m_session->mainWindow() : nullptr;
}

void TFrmQvBase::applyMenuArgument(const QString &) {}

bool TFrmQvBase::isChildWindow() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget()) != nullptr;
}

void TFrmQvBase::keyPressEvent(QKeyEvent *event)
{
    if (isEnter(event)) {
        QWidget *focus = focusWidget();
        if (focus && !keepsEnter(focus)) {
            focusNextChild();
            event->accept();
            return;
        }
    }
    // A child window is not a dialog to the user: Esc does not make it vanish
    // from its frame.
    if (event->key() == Qt::Key_Escape && isChildWindow()) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace qv::client
