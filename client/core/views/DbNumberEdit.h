// A number box bound to a numeric field: right-aligned, edited in the field's
// edit format, and it takes only what a number can hold (digits, one sign, the
// point); any other key is refused with a beep.
#pragma once

#include "client/core/views/DbLineEdit.h"

namespace qv::client {

class DbNumberEdit : public DbLineEdit {
    Q_OBJECT

public:
    explicit DbNumberEdit(QWidget *parent = nullptr);

    // The number the box holds; nullopt when it is empty.
    std::optional<double> number() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace qv::client
