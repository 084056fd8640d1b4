#include "client/core/views/DbCheckBox.h"

namespace qv::client {

DbCheckBox::DbCheckBox(QWidget *parent)
    : DbCheckBox(QString(), parent)
{
}

DbCheckBox::DbCheckBox(const QString &text, QWidget *parent)
    : QCheckBox(text, parent)
    , DataAwareEditor(this)
{
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (beginTyping())
            accept();
    });
}

void DbCheckBox::setValues(const QVariant &checked, const QVariant &unchecked)
{
    m_checked = checked;
    m_unchecked = unchecked;
    refreshFromField(true);
}

QVariant DbCheckBox::editorValue() const
{
    const Field *f = field();
    if (valueIsNull())
        return QVariant();
    if (f && f->type() == FieldType::YesNo)
        return isChecked();
    return isChecked() ? m_checked : m_unchecked;
}

void DbCheckBox::showValue(const Field *field)
{
    const QVariant v = field ? field->value() : QVariant();
    if (!v.isValid()) {
        setCheckState(Qt::PartiallyChecked);
        return;
    }
    setTristate(false);
    bool on = false;
    if (field->type() == FieldType::YesNo)
        on = v.toBool();
    else
        on = sameValue(v, toFieldValue(field->type(), m_checked).value_or(m_checked));
    setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

bool DbCheckBox::storeValue(Field &field)
{
    return field.setValue(editorValue());
}

void DbCheckBox::applyReadOnly(bool readOnly)
{
    setEnabled(!readOnly);
}

void DbCheckBox::nextCheckState()
{
    // A click on an unknown value makes it checked; no click makes it unknown.
    // Read before leaving tristate: a half-checked box counts as checked after.
    const bool wasChecked = checkState() == Qt::Checked;
    setTristate(false);
    setCheckState(wasChecked ? Qt::Unchecked : Qt::Checked);
}

} // namespace qv::client
