// A grid written to a spreadsheet: the column titles in the first row, then the
// shown text of every cell of every row. With a file name the workbook is saved
// there; without one it goes to a temporary file that the desktop's
// spreadsheet program opens.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QTableView;
class QWidget;

namespace qv::client {

class DbGrid;

// The column letters of a 1-based column number: 1 -> "A", 26 -> "Z",
// 27 -> "AA", 52 -> "AZ", 703 -> "AAA". Empty for 0 or less.
QString spreadsheetColumnName(int column);

// Rows of texts; the first row is the titles.
using TextTable = QList<QStringList>;

// The texts a grid shows: titles (the field name when a title is empty) and
// the shown text of every row of its dataset from the first (every row is read),
// columns hidden in the grid left out, carriage returns removed. The grid's
// current row is kept.
TextTable gridTexts(QTableView *grid);

struct SpreadsheetResult {
    bool ok = false;
    QString error;
    QString path;
};

// Writes the table into the first sheet of a new workbook from A1.
SpreadsheetResult writeSpreadsheet(const TextTable &table, const QString &path);

// The whole operation. Without a file name the workbook is opened with the
// desktop's program; when none can open it the user sees
// "Could not start Microsoft Excel!". A write failure shows its reason.
bool GridToSpreadsheet(QTableView *grid, const QString &fileName, QWidget *messageParent = nullptr);
bool GridToSpreadsheet(DbGrid *grid, const QString &fileName, QWidget *messageParent = nullptr);

} // namespace qv::client
