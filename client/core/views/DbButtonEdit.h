// A text box with a button that opens a picker (the item picker behind the
// item code, the partner pickers). The picker gets the box and answers the
// chosen text, or nothing when the user cancelled; the text is then written
// through the field like typed text. A double click opens the picker too.
#pragma once

#include "client/core/views/DbLineEdit.h"

#include <QAction>

#include <functional>
#include <optional>

namespace qv::client {

class DbButtonEdit : public DbLineEdit {
    Q_OBJECT

public:
    using Picker = std::function<std::optional<QString>(DbButtonEdit &edit)>;

    explicit DbButtonEdit(QWidget *parent = nullptr);

    void setPicker(Picker picker) { m_picker = std::move(picker); }
    QAction *buttonAction() const { return m_button; }
    // Runs the picker as the button does; true when a value was written.
    bool pick();

signals:
    void buttonClicked();

protected:
    void applyReadOnly(bool readOnly) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QAction *m_button;
    Picker m_picker;
};

} // namespace qv::client
