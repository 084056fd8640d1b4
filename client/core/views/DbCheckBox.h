// A check box bound to a yes/no field, or to a number field holding chosen
// values for checked and unchecked (1 and 0 unless told otherwise). A null
// value shows half-checked; a click always sets a real value.
#pragma once

#include "client/core/views/DataAwareEditor.h"

#include <QCheckBox>

namespace qv::client {

class DbCheckBox : public QCheckBox, public DataAwareEditor {
    Q_OBJECT

public:
    explicit DbCheckBox(QWidget *parent = nullptr);
    explicit DbCheckBox(const QString &text, QWidget *parent = nullptr);

    void setValues(const QVariant &checked, const QVariant &unchecked);

    QVariant editorValue() const override;
    bool valueIsNull() const override { return checkState() == Qt::PartiallyChecked; }
    bool valueIsEmpty() const override { return false; }

protected:
    void showValue(const Field *field) override;
    bool storeValue(Field &field) override;
    void applyReadOnly(bool readOnly) override;
    void nextCheckState() override;

private:
    QVariant m_checked = 1;
    QVariant m_unchecked = 0;
};

} // namespace qv::client
