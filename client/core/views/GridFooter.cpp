#include "client/core/views/GridFooter.h"

#include "client/core/views/DbGrid.h"

#include <QHeaderView>
#include <QPainter>
#include <QTableView>

namespace qv::client {

GridFooter::GridFooter(DbGrid *grid)
    : QWidget(grid)
    , m_grid(grid)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize GridFooter::sizeHint() const
{
    return QSize(100, fontMetrics().height() + 8);
}

void GridFooter::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QTableView *view = m_grid->view();
    const QHeaderView *header = view->horizontalHeader();
    const DataSetModel *model = m_grid->model();
    const QPoint origin = view->viewport()->mapTo(m_grid, QPoint(0, 0)) - pos();
    const QRect viewport(origin.x(), 0, view->viewport()->width(), height());
    p.setClipRect(QRect(viewport.left(), 0, viewport.width(), height()));
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(viewport.left(), 0, viewport.right(), 0);
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical))
            continue;
        const Field *f = model->fieldAt(logical);
        const QRect cell(viewport.left() + header->sectionViewportPosition(logical), 0,
                         header->sectionSize(logical), height());
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(cell.topRight(), cell.bottomRight());
        if (!f)
            continue;
        const QString text = m_grid->footerText(f->name());
        if (text.isEmpty())
            continue;
        p.setPen(palette().color(QPalette::WindowText));
        const int align = (isNumeric(f->type()) && m_grid->footer(f->name()).kind != FooterKind::Text
                               ? Qt::AlignRight
                               : Qt::AlignLeft)
                          | Qt::AlignVCenter;
        p.drawText(cell.adjusted(4, 0, -4, 0), align, text);
    }
}

} // namespace qv::client
