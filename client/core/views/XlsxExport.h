// Writes a grid to an .xlsx workbook: the column titles in the first row, one
// row per dataset row with typed cells (numbers as numbers in the column's
// format, dates as dates, yes/no as booleans, texts as strings; a field whose
// shown text replaces its value is written as that text), and the footer as the
// last row. Carriage returns are left out of texts.
#pragma once

#include "client/core/views/GridSnapshot.h"

#include <QString>

namespace qv::client {

struct ExportResult {
    bool ok = false;
    QString error;
    int rows = 0; // data rows written
};

class XlsxExport {
public:
    static ExportResult write(const GridSnapshot &grid, const QString &path);
};

} // namespace qv::client
