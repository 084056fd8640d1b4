#include "client/core/views/GridPrinter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace qv::client {

namespace {

struct Layout {
    QRectF page;
    QFont titleFont;
    QFont bodyFont;
    QFont boldFont;
    qreal titleHeight = 0;
    qreal lineHeight = 0;
    qreal rowHeight = 0;
    QList<qreal> widths;
    QList<Qt::Alignment> alignments;
};

void drawRow(QPainter &p, const Layout &l, qreal y, const QStringList &cells, bool frame = true)
{
    qreal x = l.page.left();
    for (qsizetype i = 0; i < cells.size() && i < l.widths.size(); ++i) {
        const QRectF cell(x, y, l.widths[i], l.rowHeight);
        if (frame)
            p.drawRect(cell);
        p.drawText(cell.adjusted(3, 0, -3, 0), int(l.alignments[i] | Qt::AlignVCenter),
                   p.fontMetrics().elidedText(cells[i], Qt::ElideRight, int(cell.width() - 6)));
        x += l.widths[i];
    }
}

qreal drawHeading(QPainter &p, const Layout &l, const PrintOptions &options, const QStringList &titles)
{
    qreal y = l.page.top();
    p.setFont(l.titleFont);
    p.drawText(QRectF(l.page.left(), y, l.page.width(), l.titleHeight), Qt::AlignCenter, options.title);
    y += l.titleHeight;
    p.setFont(l.bodyFont);
    for (const QString &line : options.headerLines) {
        p.drawText(QRectF(l.page.left(), y, l.page.width(), l.lineHeight), Qt::AlignCenter, line);
        y += l.lineHeight;
    }
    p.setFont(l.boldFont);
    Layout centred = l;
    for (Qt::Alignment &a : centred.alignments)
        a = Qt::AlignHCenter;
    drawRow(p, centred, y, titles);
    p.setFont(l.bodyFont);
    return y + l.rowHeight;
}

} // namespace

int GridPrinter::print(const GridSnapshot &grid, QPrinter &printer, const PrintOptions &options)
{
    QPainter p;
    if (!p.begin(&printer))
        return 0;
    Layout l;
    l.page = printer.pageLayout().paintRectPixels(printer.resolution()).toRectF();
    l.page.moveTo(0, 0);
    l.titleFont = QFont(options.fontFamily, options.titlePointSize, QFont::Bold);
    l.bodyFont = QFont(options.fontFamily, options.bodyPointSize);
    l.boldFont = QFont(options.fontFamily, options.bodyPointSize, QFont::Bold);
    l.titleHeight = QFontMetricsF(l.titleFont, &printer).height() * 1.8;
    l.lineHeight = QFontMetricsF(l.bodyFont, &printer).height() * 1.4;
    l.rowHeight = QFontMetricsF(l.bodyFont, &printer).height() * 1.5;

    DataSet *ds = grid.dataSet;
    QList<const Field *> fields;
    QStringList titles;
    qreal total = 0;
    for (const GridColumn &c : grid.columns) {
        const Field *f = ds ? ds->fieldByName(c.field) : nullptr;
        fields << f;
        titles << (c.title.isEmpty() ? c.field : c.title);
        total += std::max(c.width, 20);
        l.alignments << (f && isNumeric(f->type()) ? Qt::AlignRight : Qt::AlignLeft);
    }
    for (const GridColumn &c : grid.columns)
        l.widths << (total > 0 ? l.page.width() * std::max(c.width, 20) / total : 0);

    const int rows = ds && ds->isActive() ? ds->recordCount() : 0;
    qreal headingHeight = l.titleHeight + l.rowHeight + l.lineHeight * options.headerLines.size();
    const qreal footHeight = l.lineHeight * 1.5;
    const int perPage = std::max(1, int((l.page.height() - headingHeight - footHeight) / l.rowHeight));
    const int closingRows = (grid.hasFooter ? 1 : 0);
    const qreal closingHeight = closingRows * l.rowHeight + l.lineHeight * options.footerLines.size();
    int pages = std::max(1, (rows + perPage - 1) / perPage);
    const int onLast = rows - (pages - 1) * perPage;
    if (onLast * l.rowHeight + closingHeight > l.page.height() - headingHeight - footHeight)
        ++pages;

    int row = 0;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1 && !printer.newPage())
            break;
        qreal y = drawHeading(p, l, options, titles);
        for (int n = 0; n < perPage && row < rows; ++n, ++row) {
            QStringList cells;
            for (const Field *f : fields)
                cells << (f ? ds->displayTextAt(row, *f) : QString());
            drawRow(p, l, y, cells);
            y += l.rowHeight;
        }
        if (row >= rows && page == pages) {
            if (grid.hasFooter) {
                QStringList cells;
                for (const GridColumn &c : grid.columns)
                    cells << c.footerText;
                p.setFont(l.boldFont);
                drawRow(p, l, y, cells);
                p.setFont(l.bodyFont);
                y += l.rowHeight;
            }
            for (const QString &line : options.footerLines) {
                p.drawText(QRectF(l.page.left(), y, l.page.width(), l.lineHeight), Qt::AlignCenter, line);
                y += l.lineHeight;
            }
        }
        const QString foot = options.pageFooter.contains(QStringLiteral("%2"))
                                 ? options.pageFooter.arg(page).arg(pages)
                                 : options.pageFooter.arg(page);
        p.drawText(QRectF(l.page.left(), l.page.bottom() - footHeight, l.page.width(), footHeight),
                   Qt::AlignCenter, foot);
    }
    p.end();
    return pages;
}

} // namespace qv::client
