// The window a clerk sees when the server refuses a row of a change packet:
// what was refused and why, the row's fields as the clerk changed them, as they
// were read and as the server has them now, and the choice of what to do with
// the change (skip, cancel, correct, refresh). Every shared dataset hands its
// refused rows to it through the reconcile hook.
//
// The decisions behind the window (which fields it lists, which actions a row
// allows, what a correction sends) are free functions, so they can be checked
// without showing anything.
#pragma once

#include "client/core/dataset/DataSetHooks.h"

#include <QDialog>
#include <QList>
#include <QVariant>

#include <functional>
#include <optional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QTableWidget;

namespace qv::client {

// One field of the refused row as the window lists it.
struct ReconcileFieldLine {
    int fieldIndex = -1; // in the dataset's field list
    int slot = -1;       // in the row's values
    QString label;
    QVariant mine;     // the clerk's value; null for a deleted row
    QVariant original; // as the row was read; null for a new row
    QVariant server;   // as the server has it now; null when it has no row
    bool editable = false;
    bool differs = false; // the values shown for the field disagree
};

// "修改", "新增", "删除".
QString reconcileKindText(ChangeKind kind);

// A deleted row has no values of its own to correct; everything else is open.
bool reconcileActionAllowed(const ReconcileError &error, ReconcileAction action);

// The visible data fields of the dataset with the row's three versions. Blob
// fields are left out: nothing in them can be read or corrected as text.
QList<ReconcileFieldLine> reconcileFieldLines(const DataSet &dataSet, const ReconcileError &error);

// Reads the clerk's text as a value of the line's field and keeps it as the
// line's corrected value; nullopt (and the reason) when the text does not read
// as one, or the line cannot be corrected.
std::optional<QVariant> correctLine(const DataSet &dataSet, const ReconcileError &error,
                                    ReconcileFieldLine &line, const QString &text,
                                    QString *why = nullptr);

// The row values a correction sends: the clerk's row with the lines' values.
QVariantList correctedValues(const ReconcileError &error, const QList<ReconcileFieldLine> &lines);

class ReconcileDialog : public QDialog {
    Q_OBJECT

public:
    // The dialog reads the fields of `dataSet` and, when the clerk accepts a
    // correction, writes the corrected values into `error.newValues`; both
    // must outlive it.
    ReconcileDialog(DataSet &dataSet, ReconcileError &error, QWidget *parent = nullptr);

    // Shows the dialog modally and answers the clerk's decision; closing the
    // window decides to skip the row.
    static ReconcileAction ask(DataSet &dataSet, ReconcileError &error, QWidget *parent = nullptr);

    // The action chosen on the radio buttons (Skip until the clerk chooses).
    ReconcileAction action() const;
    // Selects an action; false when the row does not allow it.
    bool setAction(ReconcileAction action);
    // What the dialog decided once closed: the chosen action when accepted,
    // Skip when it was closed otherwise.
    ReconcileAction decision() const { return m_decision; }

    const QList<ReconcileFieldLine> &lines() const { return m_lines; }
    // The lines the table shows now, as indexes into lines().
    const QList<int> &shownLines() const { return m_shown; }

    QTableWidget *table() const { return m_table; }
    QAbstractButton *actionButton(ReconcileAction action) const;
    QCheckBox *conflictsOnlyBox() const { return m_conflictsOnly; }
    // The reason the last typed value was refused; empty when it was taken.
    QString editError() const;

    // Table columns.
    enum Column { FieldColumn, MineColumn, OriginalColumn, ServerColumn, ColumnCount };

public slots:
    void done(int result) override;

private:
    void buildTable();
    void fillTable();
    void setCellTexts(int tableRow, const ReconcileFieldLine &line);
    void takeEdit(int tableRow, int column);
    void showEditError(const QString &message);

    DataSet &m_dataSet;
    ReconcileError &m_error;
    QList<ReconcileFieldLine> m_lines;
    QList<int> m_shown;
    ReconcileAction m_decision = ReconcileAction::Skip;
    bool m_filling = false;

    QTableWidget *m_table = nullptr;
    QCheckBox *m_conflictsOnly = nullptr;
    QButtonGroup *m_actions = nullptr;
    QLabel *m_editError = nullptr;
};

// The reconcile hook of a dataset: asks the clerk through the dialog, on top of
// the window `parent` gives at that moment (nullptr for none).
std::function<ReconcileAction(DataSet &, ReconcileError &)>
reconcileDialogHandler(std::function<QWidget *()> parent);

} // namespace qv::client
