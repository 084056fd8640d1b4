// The column chooser: a list of the grid's columns with check boxes; ticked
// columns show. A grid opens it from the header's context menu.
#pragma once

#include "client/core/views/GridSettings.h"

#include <QDialog>

class QListWidget;

namespace qv::client {

class ColumnChooser : public QDialog {
    Q_OBJECT

public:
    explicit ColumnChooser(const QList<ColumnLayout> &columns, QWidget *parent = nullptr);

    // The columns with the visibility the user chose.
    QList<ColumnLayout> columns() const;
    QListWidget *list() const { return m_list; }

private:
    QList<ColumnLayout> m_columns;
    QListWidget *m_list;
};

} // namespace qv::client
