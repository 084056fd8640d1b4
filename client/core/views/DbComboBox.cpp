#include "client/core/views/DbComboBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace qv::client {

DbComboBox::DbComboBox(QWidget *parent)
    : QComboBox(parent)
    , DataAwareEditor(this)
{
    connect(this, &QComboBox::activated, this, [this] {
        if (beginTyping())
            accept();
    });
}

void DbComboBox::setItems(const QStringList &texts)
{
    const QSignalBlocker block(this);
    m_lookup = false;
    m_itemsGiven = true;
    clear();
    addItems(texts);
    if (isEditable() && lineEdit()) {
        connect(lineEdit(), &QLineEdit::textEdited, this, [this] { beginTyping(); }, Qt::UniqueConnection);
        connect(lineEdit(), &QLineEdit::editingFinished, this, [this] { accept(); }, Qt::UniqueConnection);
    }
    refreshFromField(true);
}

void DbComboBox::setLookupItems(const QList<LookupItem> &items)
{
    const QSignalBlocker block(this);
    m_lookup = true;
    m_itemsGiven = true;
    clear();
    for (const LookupItem &item : items)
        addItem(item.text, item.key);
    refreshFromField(true);
}

void DbComboBox::setLookupDataSet(DataSet *list, const QString &keyField, const QString &textField)
{
    if (m_listDataSet)
        disconnect(m_listDataSet, nullptr, this, nullptr);
    m_listDataSet = list;
    m_keyField = keyField;
    m_textField = textField;
    if (list) {
        connect(list, &DataSet::wasReset, this, &DbComboBox::fillFromLookupDataSet);
        connect(list, &DataSet::rowsInserted, this, &DbComboBox::fillFromLookupDataSet);
        connect(list, &DataSet::rowsRemoved, this, &DbComboBox::fillFromLookupDataSet);
        connect(list, &DataSet::rowChanged, this, &DbComboBox::fillFromLookupDataSet);
    }
    fillFromLookupDataSet();
}

void DbComboBox::fillFromLookupDataSet()
{
    QList<LookupItem> items;
    DataSet *list = m_listDataSet;
    const Field *key = list ? list->fieldByName(m_keyField) : nullptr;
    const Field *text = list ? list->fieldByName(m_textField) : nullptr;
    if (key && text && list->isActive()) {
        for (int row = 0; row < list->recordCount(); ++row)
            items << LookupItem{list->valueAt(row, *key), list->displayTextAt(row, *text)};
    }
    setLookupItems(items);
}

void DbComboBox::fillFromLookupField(const Field &field)
{
    const LookupSpec &spec = field.lookup();
    DataSet *list = spec.dataSet;
    const Field *result = list ? list->fieldByName(spec.resultField) : nullptr;
    if (!result || !list->isActive())
        return;
    QStringList texts;
    for (int row = 0; row < list->recordCount(); ++row)
        texts << list->displayTextAt(row, *result);
    const QSignalBlocker block(this);
    clear();
    addItems(texts);
}

QVariant DbComboBox::editorValue() const
{
    if (m_lookup)
        return currentIndex() >= 0 ? itemData(currentIndex()) : QVariant();
    return valueIsNull() ? QVariant() : QVariant(currentText());
}

bool DbComboBox::valueIsNull() const
{
    if (m_lookup)
        return currentIndex() < 0 || !itemData(currentIndex()).isValid();
    if (!isValueModified()) {
        const Field *f = field();
        return !f || f->isNull();
    }
    return false;
}

bool DbComboBox::valueIsEmpty() const
{
    return !valueIsNull() && !m_lookup && currentText().isEmpty();
}

void DbComboBox::showValue(const Field *field)
{
    const QSignalBlocker block(this);
    if (field && field->isLookup() && !m_itemsGiven)
        fillFromLookupField(*field);
    if (!field) {
        setCurrentIndex(-1);
        if (isEditable())
            setEditText(QString());
        return;
    }
    if (m_lookup) {
        const QVariant key = field->value();
        int found = -1;
        for (int i = 0; key.isValid() && i < count(); ++i) {
            if (sameValue(itemData(i), key, Qt::CaseInsensitive)) {
                found = i;
                break;
            }
        }
        setCurrentIndex(found);
        return;
    }
    const QString text = field->isLookup() ? field->displayText() : field->text();
    const int found = findText(text);
    setCurrentIndex(found);
    if (isEditable())
        setEditText(text);
}

bool DbComboBox::storeValue(Field &field)
{
    if (m_lookup)
        return field.setValue(editorValue());
    if (field.isLookup())
        return field.setValue(currentText().isEmpty() ? QVariant() : QVariant(currentText()));
    return field.setAsText(currentText());
}

void DbComboBox::applyReadOnly(bool readOnly)
{
    setEnabled(!readOnly);
}

void DbComboBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isValueModified()) {
        cancel();
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void DbComboBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    accept();
}

} // namespace qv::client
