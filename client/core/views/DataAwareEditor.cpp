#include "client/core/views/DataAwareEditor.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QWidget>

namespace qv::client {

FieldLink::FieldLink(DataAwareEditor *editor, QWidget *control)
    : QObject(control)
    , m_editor(editor)
{
}

void FieldLink::bind(DataSet *dataSet, const QString &fieldName)
{
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    m_fieldName = fieldName;
    if (m_dataSet) {
        DataSet *ds = m_dataSet;
        // Another row, a reset or the end of an edit: typed text is dropped.
        connect(ds, &DataSet::currentRowChanged, this, [this] { refresh(true); });
        connect(ds, &DataSet::wasReset, this, [this] { refresh(true); });
        connect(ds, &DataSet::refreshed, this, [this] { refresh(true); });
        connect(ds, &DataSet::stateChanged, this, [this](DataSetState state) {
            refresh(state == DataSetState::Browse || state == DataSetState::Inactive);
        });
        // A value of the row changed: show it unless the user is typing here.
        connect(ds, &DataSet::rowChanged, this, [this](int row) {
            if (m_dataSet && row == m_dataSet->recNo())
                refresh(false);
        });
        connect(ds, &DataSet::fieldChanged, this, [this](Field *f) {
            const Field *mine = field();
            if (mine && (f == mine || mine->isCalculated()))
                refresh(false);
        });
        connect(ds, &DataSet::updateRecordRequested, this, [this] { m_editor->accept(); });
    }
    refresh(true);
}

Field *FieldLink::field() const
{
    if (!m_dataSet || !m_dataSet->isActive())
        return nullptr;
    return m_dataSet->fieldByName(m_fieldName);
}

void FieldLink::setAutoEdit(bool on)
{
    m_autoEdit = on;
    m_editor->applyReadOnly(!canModify());
}

void FieldLink::setControlReadOnly(bool readOnly)
{
    m_controlReadOnly = readOnly;
    m_editor->applyReadOnly(!canModify());
}

bool FieldLink::canModify() const
{
    const Field *f = field();
    if (!f || m_controlReadOnly || m_dataSet->isReadOnly() || f->isReadOnly()
        || f->kind() == FieldKind::Calculated)
        return false;
    return m_autoEdit || m_dataSet->isEditing();
}

bool FieldLink::beginEdit()
{
    if (!canModify())
        return false;
    if (m_dataSet->isEditing())
        return true;
    if (m_dataSet->edit())
        return true;
    emit acceptFailed(m_dataSet->lastError());
    return false;
}

void FieldLink::refresh(bool force)
{
    m_editor->refreshFromField(force);
}

DataAwareEditor::DataAwareEditor(QWidget *control)
    : m_link(new FieldLink(this, control))
{
}

DataAwareEditor::~DataAwareEditor()
{
    // The link outlives this part of the control for a moment; it must not call
    // back into it.
    if (m_link->m_dataSet)
        QObject::disconnect(m_link->m_dataSet, nullptr, m_link, nullptr);
}

void DataAwareEditor::bind(DataSet *dataSet, const QString &fieldName)
{
    m_modified = false;
    m_link->bind(dataSet, fieldName);
}

void DataAwareEditor::refreshFromField(bool force)
{
    if (m_accepting || m_beginning)
        return;
    if (m_modified && !force)
        return;
    m_modified = false;
    {
        QScopedValueRollback updating(m_updating, true);
        showValue(m_link->field());
    }
    applyReadOnly(!m_link->canModify());
}

bool DataAwareEditor::beginTyping()
{
    if (m_updating || m_accepting)
        return true;
    if (m_modified)
        return true;
    // Marked first: entering edit state refreshes the controls, and this one
    // holds what the user just typed.
    m_modified = true;
    bool ok = false;
    {
        QScopedValueRollback beginning(m_beginning, true);
        ok = m_link->beginEdit();
    }
    if (!ok) {
        QApplication::beep();
        cancel();
    }
    return ok;
}

bool DataAwareEditor::accept()
{
    if (m_accepting || m_updating || !m_modified)
        return true;
    Field *f = m_link->field();
    if (!f || !m_link->canModify()) {
        cancel();
        return false;
    }
    bool ok = false;
    {
        QScopedValueRollback accepting(m_accepting, true);
        ok = storeValue(*f);
    }
    if (!ok) {
        // The typed text stays for the user to correct.
        emit m_link->acceptFailed(m_link->dataSet()->lastError());
        return false;
    }
    m_modified = false;
    refreshFromField(true);
    return true;
}

void DataAwareEditor::cancel()
{
    if (m_accepting)
        return;
    m_modified = false;
    refreshFromField(true);
}

} // namespace qv::client
