// The data grid of the windows: a table over a DataSet with typed cell editors,
// a footer row of sums, counts or texts that follow every edit, column titles
// and widths kept by a settings source, hidden columns and a column chooser,
// sorting by a click on a title, export to .xlsx and printing.
//
// Keys a clerk uses all day:
//   Enter       the next editable cell; past the last one the next row, a new
//               row at the end when the grid takes inserts
//   Esc         cancels the row being edited (the window's Esc otherwise)
//   Insert      a new row before the current one; Ctrl+Insert a new last row
//   Ctrl+Delete deletes the current row after the confirmation hook agrees
// Failures of the dataset are announced by dataError(); with nothing connected
// the grid shows the text in a message box.
#pragma once

#include "client/core/views/DataSetModel.h"
#include "client/core/views/GridPrinter.h"
#include "client/core/views/GridSettings.h"
#include "client/core/views/GridSnapshot.h"
#include "client/core/views/XlsxExport.h"

#include <QHash>
#include <QSet>
#include <QPointer>
#include <QWidget>

#include <functional>

class QPrinter;
class QTableView;

namespace qv::client {

class GridFooter;
class GridView;

class DbGrid : public QWidget {
    Q_OBJECT

public:
    explicit DbGrid(QWidget *parent = nullptr);
    ~DbGrid() override;

    void setDataSet(DataSet *dataSet);
    DataSet *dataSet() const;
    DataSetModel *model() const { return m_model; }
    QTableView *view() const;

    // --- columns --------------------------------------------------------------
    // The fields shown, in order; empty shows every visible field.
    void setColumns(const QStringList &fieldNames);
    int columnOf(const QString &field) const;
    void setColumnTitle(const QString &field, const QString &title);
    QString columnTitle(const QString &field) const;
    void setColumnWidth(const QString &field, int pixels);
    int columnWidth(const QString &field) const;
    void setColumnVisible(const QString &field, bool visible);
    bool isColumnVisible(const QString &field) const;
    void setColumnReadOnly(const QString &field, bool readOnly);
    // The column's cell editor carries a button that raises editButtonClicked
    // (the item picker behind the item code).
    void setColumnButton(const QString &field, bool on);
    bool hasColumnButton(const QString &field) const { return m_buttons.contains(field.toUpper()); }
    // A drop-down of texts for the column's cells (units, dictionary lists).
    void setPickList(const QString &field, const QStringList &texts);
    QStringList pickList(const QString &field) const;

    // --- behaviour ------------------------------------------------------------
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    void setAllowInsert(bool on) { m_allowInsert = on; }
    bool allowInsert() const { return m_allowInsert; }
    void setAllowDelete(bool on) { m_allowDelete = on; }
    // The document line grids never stop Enter in their last column.
    void setEnterSkipsLastColumn(bool on) { m_enterSkipsLast = on; }
    void setSortable(bool on) { m_sortable = on; }
    // Clicking a title sorts ascending, then descending, then (with this on)
    // not at all.
    void setSortCycleIncludesNone(bool on) { m_sortCycleNone = on; }
    // Answers whether the current row may be deleted; the default asks the user.
    void setDeleteConfirmation(std::function<bool(DataSet &)> confirm) { m_confirmDelete = std::move(confirm); }

    // --- footer ---------------------------------------------------------------
    void setFooter(const QString &field, FooterKind kind, const QString &format = QString());
    void setFooterText(const QString &field, const QString &text);
    void clearFooters();
    FooterSpec footer(const QString &field) const;
    bool hasFooter() const { return !m_footers.isEmpty(); }
    // The sum or count (the text for a text footer); null without a footer.
    QVariant footerValue(const QString &field);
    QString footerText(const QString &field);

    // --- layout ---------------------------------------------------------------
    void setSettings(GridSettings *settings, const QString &key);
    bool restoreLayout();
    bool saveLayout();
    // The columns in their shown order, with titles, widths and visibility.
    QList<ColumnLayout> layout() const;
    void applyLayout(const QList<ColumnLayout> &columns);
    bool showColumnChooser();

    // --- output ---------------------------------------------------------------
    // Reads every row first (exports and prints cover the whole dataset).
    GridSnapshot snapshot(const QString &title);
    ExportResult exportXlsx(const QString &path, const QString &title = QString());
    int printTo(QPrinter &printer, const PrintOptions &options);
    void printPreview(const PrintOptions &options);

    // --- used by the view and the delegate ------------------------------------
    bool enterPressed();
    bool escapePressed();
    bool insertPressed(bool append);
    void deletePressed();
    void viewCurrentChanged(const QModelIndex &current);
    void reportDataError();

signals:
    void dataError(const qv::client::DataSetError &error);
    void editButtonClicked(const QString &field);

private:
    void syncCurrent();
    void restoreColumnState();
    void captureColumnState();
    void headerClicked(int logical);
    void markFooterDirty();
    void computeFooters();
    int firstEditableColumn() const;
    bool isEditableColumn(int logical) const;
    void applyReadOnly();

    GridView *m_view;
    GridFooter *m_footer;
    DataSetModel *m_model;
    QHash<QString, FooterSpec> m_footers;    // upper-case field → footer
    QHash<QString, QVariant> m_footerValues; // computed
    bool m_footerDirty = true;
    QHash<QString, QStringList> m_pickLists;
    QSet<QString> m_buttons;
    // Column state by upper-case field name, put back after every model reset.
    QHash<QString, int> m_widths;
    QSet<QString> m_hidden;
    QStringList m_order;
    bool m_restoring = false;
    GridSettings *m_settings = nullptr;
    QString m_settingsKey;
    bool m_readOnly = false;
    bool m_allowInsert = true;
    bool m_allowDelete = true;
    bool m_enterSkipsLast = false;
    bool m_sortable = true;
    bool m_sortCycleNone = false;
    bool m_syncing = false;
    std::function<bool(DataSet &)> m_confirmDelete;
};

} // namespace qv::client
