// A date box bound to a date or date-time field; it may be empty (null). For a
// date-time field the time of day the field held is kept when the date changes.
#pragma once

#include "client/core/views/DataAwareEditor.h"
#include "client/core/views/NullableDateEdit.h"

namespace qv::client {

class DbDateEdit : public NullableDateEdit, public DataAwareEditor {
    Q_OBJECT

public:
    explicit DbDateEdit(QWidget *parent = nullptr);

    QVariant editorValue() const override;
    bool valueIsNull() const override { return isNull(); }
    bool valueIsEmpty() const override { return false; }

protected:
    void showValue(const Field *field) override;
    bool storeValue(Field &field) override;
    void applyReadOnly(bool readOnly) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QTime m_time;
};

} // namespace qv::client
