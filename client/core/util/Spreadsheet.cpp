#include "client/core/util/Spreadsheet.h"

#include "client/core/views/DataSetModel.h"
#include "client/core/views/DbGrid.h"

#include <QAbstractProxyModel>
#include <QDesktopServices>
#include <QDir>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryFile>
#include <QUrl>

#include <xlsxwriter.h>

namespace qv::client {

QString spreadsheetColumnName(int column)
{
    QString name;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        name.prepend(QChar(u'A' + digit));
        column = (column - 1) / 26;
    }
    return name;
}

namespace {

QString cellText(QString text)
{
    text.remove(QLatin1Char('\r'));
    return text;
}

// The dataset model under any proxies, or nullptr.
DataSetModel *dataSetModelOf(QAbstractItemModel *model)
{
    while (model) {
        if (auto *dataSetModel = qobject_cast<DataSetModel *>(model))
            return dataSetModel;
        auto *proxy = qobject_cast<QAbstractProxyModel *>(model);
        model = proxy ? proxy->sourceModel() : nullptr;
    }
    return nullptr;
}

TextTable datasetTexts(QTableView *grid, DataSetModel *model)
{
    DataSet *dataSet = model->dataSet();
    TextTable table;
    QStringList titles;
    QList<Field *> fields;
    for (int column = 0; column < model->columnCount(); ++column) {
        Field *field = model->fieldAt(column);
        if (!field || grid->isColumnHidden(column))
            continue;
        QString title = model->headerData(column, Qt::Horizontal).toString();
        if (title.trimmed().isEmpty())
            title = field->name();
        titles << cellText(title);
        fields << field;
    }
    table << titles;
    if (!dataSet || !dataSet->isActive())
        return table;

    const Bookmark current = dataSet->bookmark();
    dataSet->disableControls();
    dataSet->fetchAll();
    for (int row = 0; row < dataSet->recordCount(); ++row) {
        QStringList texts;
        for (Field *field : std::as_const(fields))
            texts << cellText(dataSet->displayTextAt(row, *field));
        table << texts;
    }
    if (current.isValid())
        dataSet->gotoBookmark(current);
    dataSet->enableControls();
    return table;
}

TextTable modelTexts(QTableView *grid, QAbstractItemModel *model)
{
    TextTable table;
    QList<int> columns;
    QStringList titles;
    for (int column = 0; column < model->columnCount(); ++column) {
        if (grid->isColumnHidden(column))
            continue;
        columns << column;
        titles << cellText(model->headerData(column, Qt::Horizontal).toString());
    }
    table << titles;
    while (model->canFetchMore({}))
        model->fetchMore({});
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList texts;
        for (int column : std::as_const(columns))
            texts << cellText(model->index(row, column).data(Qt::DisplayRole).toString());
        table << texts;
    }
    return table;
}

} // namespace

TextTable gridTexts(QTableView *grid)
{
    if (!grid || !grid->model())
        return {};
    if (DataSetModel *model = dataSetModelOf(grid->model()))
        return datasetTexts(grid, model);
    return modelTexts(grid, grid->model());
}

SpreadsheetResult writeSpreadsheet(const TextTable &table, const QString &path)
{
    SpreadsheetResult result;
    result.path = path;
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook *workbook = workbook_new(file.constData());
    if (!workbook) {
        result.error = QStringLiteral("cannot create %1").arg(path);
        return result;
    }
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    for (int row = 0; row < table.size(); ++row) {
        const QStringList &texts = table.at(row);
        for (int column = 0; column < texts.size(); ++column) {
            const QByteArray utf8 = texts.at(column).toUtf8();
            worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), utf8.constData(), nullptr);
        }
    }
    const lxw_error status = workbook_close(workbook);
    if (status != LXW_NO_ERROR) {
        result.error = QStringLiteral("%1: %2").arg(path, QString::fromUtf8(lxw_strerror(status)));
        return result;
    }
    result.ok = true;
    return result;
}

bool GridToSpreadsheet(QTableView *grid, const QString &fileName, QWidget *messageParent)
{
    const TextTable table = gridTexts(grid);
    QString path = fileName;
    if (path.isEmpty()) {
        QTemporaryFile temporary(QDir::tempPath() + QStringLiteral("/QvGrid_XXXXXX.xlsx"));
        temporary.setAutoRemove(false);
        if (!temporary.open()) {
            QMessageBox::critical(messageParent, QString(), temporary.errorString());
            return false;
        }
        path = temporary.fileName();
    }
    const SpreadsheetResult written = writeSpreadsheet(table, path);
    if (!written.ok) {
        QMessageBox::critical(messageParent, QString(), written.error);
        return false;
    }
    if (fileName.isEmpty() && !QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        QMessageBox::critical(messageParent, QString(), QStringLiteral("Could not start Microsoft Excel!"),
                              QMessageBox::Cancel);
        return false;
    }
    return true;
}

bool GridToSpreadsheet(DbGrid *grid, const QString &fileName, QWidget *messageParent)
{
    return GridToSpreadsheet(grid ? grid->view() : nullptr, fileName, messageParent ? messageParent : grid);
}

} // namespace qv::client
