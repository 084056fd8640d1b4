// A drop-down list bound to a field, in one of two ways:
//   - a plain list: the chosen text is stored (dictionary lists, units);
//   - a lookup list: each entry pairs a stored key with a shown text (the
//     warehouse list stores CKID and shows MC). The list may come from another
//     dataset and follows it when it is reread.
// A field of the lookup kind fills a plain list from its own lookup dataset.
// Choosing an entry writes it at once; an editable plain list writes typed text
// when the user leaves it or presses Enter.
#pragma once

#include "client/core/views/DataAwareEditor.h"

#include <QComboBox>

namespace qv::client {

struct LookupItem {
    QVariant key;
    QString text;
};

class DbComboBox : public QComboBox, public DataAwareEditor {
    Q_OBJECT

public:
    explicit DbComboBox(QWidget *parent = nullptr);

    void setItems(const QStringList &texts);
    void setLookupItems(const QList<LookupItem> &items);
    // Lookup entries from the rows of `list`; refilled when `list` resets.
    void setLookupDataSet(DataSet *list, const QString &keyField, const QString &textField);
    bool isLookup() const { return m_lookup; }

    QVariant editorValue() const override;
    bool valueIsNull() const override;
    bool valueIsEmpty() const override;

protected:
    void showValue(const Field *field) override;
    bool storeValue(Field &field) override;
    void applyReadOnly(bool readOnly) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void fillFromLookupDataSet();
    void fillFromLookupField(const Field &field);

    bool m_lookup = false;
    bool m_itemsGiven = false;
    QPointer<DataSet> m_listDataSet;
    QString m_keyField;
    QString m_textField;
};

} // namespace qv::client
