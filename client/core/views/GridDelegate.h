// Cell editors by field type: numbers in a number box (edit format), dates in
// a date box that may be empty, lookup fields and columns with a pick list in
// a drop-down, texts in a line box. Yes/no cells are check boxes toggled in
// place. Enter and Tab write the cell and move on through the grid.
#pragma once

#include <QStyledItemDelegate>

namespace qv::client {

class DbGrid;

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit GridDelegate(DbGrid *grid);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    DbGrid *m_grid;
};

} // namespace qv::client
