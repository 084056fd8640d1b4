#include "client/core/views/DbMemo.h"

#include <QKeyEvent>

namespace qv::client {

DbMemo::DbMemo(QWidget *parent)
    : QPlainTextEdit(parent)
    , DataAwareEditor(this)
{
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!isUpdating())
            beginTyping();
    });
}

QVariant DbMemo::editorValue() const
{
    return valueIsNull() ? QVariant() : QVariant(toPlainText());
}

bool DbMemo::valueIsNull() const
{
    return !isValueModified() && m_showsNull;
}

void DbMemo::showValue(const Field *field)
{
    m_showsNull = !field || field->isNull();
    setPlainText(field ? field->asString() : QString());
}

bool DbMemo::storeValue(Field &field)
{
    return field.setValue(toPlainText());
}

void DbMemo::applyReadOnly(bool readOnly)
{
    setReadOnly(readOnly);
}

void DbMemo::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    accept();
}

void DbMemo::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isValueModified()) {
        cancel();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

} // namespace qv::client
