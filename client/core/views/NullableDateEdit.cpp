#include "client/core/views/NullableDateEdit.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace qv::client {

NullableDateEdit::NullableDateEdit(QWidget *parent)
    : QDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    setCalendarPopup(true);
    setMinimumDate(QDate(1800, 1, 1));
    setMaximumDate(QDate(9999, 12, 31));
    setSpecialValueText(QStringLiteral(" "));
    setDate(minimumDate());
    connect(this, &QDateEdit::dateChanged, this, [this] {
        if (!m_setting)
            emit userChanged();
    });
}

void NullableDateEdit::setNullableDate(QDate value)
{
    QScopedValueRollback setting(m_setting, true);
    setDate(value.isValid() && value > minimumDate() ? value : minimumDate());
}

void NullableDateEdit::stepBy(int steps)
{
    if (isNull()) {
        setDate(QDate::currentDate());
        return;
    }
    QDateEdit::stepBy(steps);
}

void NullableDateEdit::keyPressEvent(QKeyEvent *event)
{
    const bool erase = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    QLineEdit *edit = lineEdit();
    if (erase && edit && (edit->selectedText() == edit->text() || isNull())) {
        clearDate();
        event->accept();
        return;
    }
    if (isNull() && !event->text().isEmpty() && event->text().at(0).isDigit()) {
        setDate(QDate::currentDate());
        setSelectedSection(YearSection);
    }
    QDateEdit::keyPressEvent(event);
}

} // namespace qv::client
