#include "client/core/views/GridView.h"

#include "client/core/views/DbGrid.h"

#include <QKeyEvent>

namespace qv::client {

GridView::GridView(DbGrid *grid)
    : QTableView(grid)
    , m_grid(grid)
{
}

bool GridView::event(QEvent *event)
{
    // Esc cancels the row being edited before the window's own Esc (close).
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && m_grid->dataSet() && m_grid->dataSet()->isEditing()) {
            event->accept();
            return true;
        }
    }
    return QTableView::event(event);
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods == Qt::NoModifier && state() != EditingState && m_grid->enterPressed()) {
            event->accept();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (m_grid->escapePressed()) {
            event->accept();
            return;
        }
        break;
    case Qt::Key_Insert:
        if ((mods == Qt::NoModifier || mods == Qt::ControlModifier)
            && m_grid->insertPressed(mods == Qt::ControlModifier)) {
            event->accept();
            return;
        }
        break;
    case Qt::Key_Delete:
        if (mods == Qt::ControlModifier) {
            m_grid->deletePressed();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QTableView::keyPressEvent(event);
}

void GridView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (hint == QAbstractItemDelegate::EditNextItem) {
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        m_grid->enterPressed();
        return;
    }
    QTableView::closeEditor(editor, hint);
}

void GridView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    m_grid->viewCurrentChanged(current);
}

} // namespace qv::client
