// A multi-line text box bound to a text or memo field; the value is written
// when the box loses the focus or the dataset is about to post.
#pragma once

#include "client/core/views/DataAwareEditor.h"

#include <QPlainTextEdit>

namespace qv::client {

class DbMemo : public QPlainTextEdit, public DataAwareEditor {
    Q_OBJECT

public:
    explicit DbMemo(QWidget *parent = nullptr);

    QVariant editorValue() const override;
    bool valueIsNull() const override;
    bool valueIsEmpty() const override { return !valueIsNull() && toPlainText().isEmpty(); }

protected:
    void showValue(const Field *field) override;
    bool storeValue(Field &field) override;
    void applyReadOnly(bool readOnly) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_showsNull = true;
};

} // namespace qv::client
