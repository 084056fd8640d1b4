#include "client/core/views/DbLineEdit.h"

#include <QKeyEvent>

namespace qv::client {

DbLineEdit::DbLineEdit(QWidget *parent)
    : QLineEdit(parent)
    , DataAwareEditor(this)
{
    connect(this, &QLineEdit::textEdited, this, [this] { beginTyping(); });
    connect(this, &QLineEdit::editingFinished, this, [this] { accept(); });
}

QVariant DbLineEdit::editorValue() const
{
    return valueIsNull() ? QVariant() : QVariant(text());
}

bool DbLineEdit::valueIsNull() const
{
    // A text box cannot show null: it is null while it shows a null field
    // untouched, or holds no text for a field that has no empty value.
    if (!isValueModified())
        return m_showsNull;
    const Field *f = field();
    return text().isEmpty() && f && !isTextual(f->type());
}

bool DbLineEdit::valueIsEmpty() const
{
    return text().isEmpty() && !valueIsNull();
}

void DbLineEdit::showValue(const Field *field)
{
    m_showsNull = !field || field->isNull();
    if (!field) {
        setText(QString());
        return;
    }
    if (isTextual(field->type()) && field->size() > 0)
        setMaxLength(field->size());
    setAlignment(isNumeric(field->type()) ? Qt::AlignRight | Qt::AlignVCenter
                                          : Qt::AlignLeft | Qt::AlignVCenter);
    setText(hasFocus() ? field->text() : field->displayText());
}

bool DbLineEdit::storeValue(Field &field)
{
    return field.setAsText(text());
}

void DbLineEdit::applyReadOnly(bool readOnly)
{
    setReadOnly(readOnly);
}

void DbLineEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!isValueModified())
        refreshFromField(true);
}

void DbLineEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event); // usually emits editingFinished
    accept();
    if (!isValueModified())
        refreshFromField(true);
}

void DbLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isValueModified()) {
        cancel();
        selectAll();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace qv::client
