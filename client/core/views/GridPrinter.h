// Prints a grid as a plain table: on every page the title (bold, centred) and
// the lines under it, the column titles, the rows; after the last row the
// footer row and the closing lines; at the foot of each page "第n页，共m页".
// Columns keep their relative screen widths, scaled to the page width.
#pragma once

#include "client/core/views/GridSnapshot.h"

#include <QStringList>

class QPrinter;

namespace qv::client {

struct PrintOptions {
    QString title;
    QStringList headerLines; // centred under the title ("日期: ... 至 ...")
    QStringList footerLines; // centred after the table ("制单: ...")
    QString pageFooter = QStringLiteral("第%1页，共%2页");
    QString fontFamily = QStringLiteral("宋体");
    int titlePointSize = 12;
    int bodyPointSize = 9;
};

class GridPrinter {
public:
    // Answers the number of pages printed; 0 when the printer could not start.
    static int print(const GridSnapshot &grid, QPrinter &printer, const PrintOptions &options);
};

} // namespace qv::client
