#include "client/core/views/DbDateEdit.h"

#include <QKeyEvent>

namespace qv::client {

DbDateEdit::DbDateEdit(QWidget *parent)
    : NullableDateEdit(parent)
    , DataAwareEditor(this)
{
    connect(this, &NullableDateEdit::userChanged, this, [this] {
        if (!isUpdating())
            beginTyping();
    });
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] { accept(); });
}

QVariant DbDateEdit::editorValue() const
{
    const QDate d = nullableDate();
    return d.isValid() ? QVariant(QDateTime(d, m_time.isValid() ? m_time : QTime(0, 0))) : QVariant();
}

void DbDateEdit::showValue(const Field *field)
{
    const QDateTime dt = field ? field->asDateTime() : QDateTime();
    m_time = dt.isValid() ? dt.time() : QTime(0, 0);
    setNullableDate(dt.date());
}

bool DbDateEdit::storeValue(Field &field)
{
    return field.setValue(editorValue());
}

void DbDateEdit::applyReadOnly(bool readOnly)
{
    setReadOnly(readOnly);
}

void DbDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isValueModified()) {
        cancel();
        event->accept();
        return;
    }
    NullableDateEdit::keyPressEvent(event);
}

void DbDateEdit::focusOutEvent(QFocusEvent *event)
{
    NullableDateEdit::focusOutEvent(event);
    accept();
}

} // namespace qv::client
