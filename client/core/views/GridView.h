// The table part of a DbGrid: passes the clerk's keys and the cursor moves to
// the grid, which keeps the dataset and the view in step.
#pragma once

#include <QTableView>

namespace qv::client {

class DbGrid;

class GridView : public QTableView {
    Q_OBJECT

public:
    explicit GridView(DbGrid *grid);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    DbGrid *m_grid;
};

} // namespace qv::client
