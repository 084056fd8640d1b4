// What every data-aware control shares: it is bound to one field of a dataset,
// shows the field's value in the current row, and writes what the user typed
// back through the field (so conversions, hooks and read-only rules apply).
//
//   - null and empty are told apart: valueIsNull() means "no value" (a date box
//     showing nothing, a text box never typed into over a null field),
//     valueIsEmpty() an empty text that is a value;
//   - typing puts the dataset into edit state; accept() writes the value (on
//     Enter, on leaving the control, and when the dataset is about to post);
//     cancel() (Esc) shows the field's value again;
//   - the control is read-only when the field, the dataset or the control says
//     so, when the dataset is closed, and while browsing when auto-edit is off;
//   - accept() and cancel() do not re-enter: writing the value raises dataset
//     events that refresh controls, and a refresh never rewrites a control that
//     is writing or holds typed text.
#pragma once

#include "client/core/dataset/DataSet.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace qv::client {

class DataAwareEditor;

// The connection of one control to its field; a child of the control.
class FieldLink : public QObject {
    Q_OBJECT

public:
    FieldLink(DataAwareEditor *editor, QWidget *control);

    void bind(DataSet *dataSet, const QString &fieldName);
    DataSet *dataSet() const { return m_dataSet; }
    const QString &fieldName() const { return m_fieldName; }
    // The bound field while the dataset is open; nullptr otherwise.
    Field *field() const;

    // Off: the control only edits while the dataset is already editing.
    void setAutoEdit(bool on);
    bool autoEdit() const { return m_autoEdit; }
    void setControlReadOnly(bool readOnly);
    bool controlReadOnly() const { return m_controlReadOnly; }
    bool canModify() const;
    // Puts the dataset into edit state for typing.
    bool beginEdit();

signals:
    // Writing the value failed; the dataset's error says why.
    void acceptFailed(const qv::client::DataSetError &error);

private:
    friend class DataAwareEditor;
    void refresh(bool force);

    DataAwareEditor *m_editor;
    QPointer<DataSet> m_dataSet;
    QString m_fieldName;
    bool m_autoEdit = true;
    bool m_controlReadOnly = false;
};

class DataAwareEditor {
public:
    virtual ~DataAwareEditor();
    DataAwareEditor(const DataAwareEditor &) = delete;
    DataAwareEditor &operator=(const DataAwareEditor &) = delete;

    void bind(DataSet *dataSet, const QString &fieldName);
    DataSet *dataSet() const { return m_link->dataSet(); }
    QString fieldName() const { return m_link->fieldName(); }
    Field *field() const { return m_link->field(); }
    FieldLink *link() const { return m_link; }

    // The value the control holds now (typed or shown).
    virtual QVariant editorValue() const = 0;
    virtual bool valueIsNull() const = 0;
    virtual bool valueIsEmpty() const = 0;

    bool isValueModified() const { return m_modified; }
    bool accept();
    void cancel();
    bool isFieldReadOnly() const { return !m_link->canModify(); }
    void setAutoEdit(bool on) { m_link->setAutoEdit(on); }
    void setControlReadOnly(bool readOnly) { m_link->setControlReadOnly(readOnly); }

protected:
    explicit DataAwareEditor(QWidget *control);

    // Shows the field's value (field null: nothing to show).
    virtual void showValue(const Field *field) = 0;
    // Writes the control's value into the field.
    virtual bool storeValue(Field &field) = 0;
    virtual void applyReadOnly(bool readOnly) = 0;

    // Called by the control when the user changes its value: enters edit state
    // and marks the control modified; false (value shown again) when refused.
    bool beginTyping();
    // True while the control is being filled from the field.
    bool isUpdating() const { return m_updating; }
    void refreshFromField(bool force);

private:
    friend class FieldLink;

    FieldLink *m_link;
    bool m_modified = false;
    bool m_updating = false;
    bool m_accepting = false;
    bool m_beginning = false;
};

} // namespace qv::client
