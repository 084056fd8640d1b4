// A one-line text box bound to a field. It shows the display text and switches
// to the edit text while it has the focus ("1,234.50" reads "1234.50" to edit).
// Esc with typed text shows the field's value again; without typed text it
// goes on to the window.
#pragma once

#include "client/core/views/DataAwareEditor.h"

#include <QLineEdit>

namespace qv::client {

class DbLineEdit : public QLineEdit, public DataAwareEditor {
    Q_OBJECT

public:
    explicit DbLineEdit(QWidget *parent = nullptr);

    QVariant editorValue() const override;
    bool valueIsNull() const override;
    bool valueIsEmpty() const override;

protected:
    void showValue(const Field *field) override;
    bool storeValue(Field &field) override;
    void applyReadOnly(bool readOnly) override;

    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_showsNull = true;
};

} // namespace qv::client
