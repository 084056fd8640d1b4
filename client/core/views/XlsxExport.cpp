#include "client/core/views/XlsxExport.h"

#include "client/core/dataset/DisplayFormat.h"

#include <QFile>
#include <QHash>

#include <xlsxwriter.h>

namespace qv::client {

namespace {

constexpr int kMaxCellText = 32767; // the format's limit for one cell

// Owns the workbook; closing writes the file.
class Workbook {
public:
    explicit Workbook(const QString &path)
        : m_book(workbook_new(QFile::encodeName(path).constData()))
    {
    }
    ~Workbook()
    {
        if (m_book)
            workbook_close(m_book);
    }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    lxw_workbook *get() const { return m_book; }
    lxw_error close()
    {
        lxw_workbook *book = m_book;
        m_book = nullptr;
        return book ? workbook_close(book) : LXW_ERROR_CREATING_XLSX_FILE;
    }

    lxw_format *numberFormat(const QString &pattern, bool bold = false)
    {
        const QString key = pattern + (bold ? QStringLiteral("|b") : QString());
        auto it = m_formats.find(key);
        if (it != m_formats.end())
            return *it;
        lxw_format *f = workbook_add_format(m_book);
        if (!pattern.isEmpty())
            format_set_num_format(f, pattern.toUtf8().constData());
        if (bold)
            format_set_bold(f);
        m_formats.insert(key, f);
        return f;
    }

private:
    lxw_workbook *m_book;
    QHash<QString, lxw_format *> m_formats;
};

QString sheetName(const QString &title)
{
    QString name = title;
    for (const QChar c : QStringLiteral("[]:*?/\\"))
        name.remove(c);
    name = name.trimmed().left(31);
    return name.isEmpty() ? QStringLiteral("Sheet1") : name;
}

QByteArray cellText(QString text)
{
    text.remove(u'\r');
    if (text.size() > kMaxCellText)
        text.truncate(kMaxCellText);
    return text.toUtf8();
}

lxw_error writeNumber(Workbook &book, lxw_worksheet *sheet, int row, int col, double value,
                      const QString &pattern, bool bold = false)
{
    return worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(col), value,
                                  book.numberFormat(spreadsheetNumberFormat(pattern, value), bold));
}

lxw_error writeCell(Workbook &book, lxw_worksheet *sheet, int row, int col, DataSet &ds, int dataRow,
                    const Field &field)
{
    const QVariant v = ds.valueAt(dataRow, field);
    if (!v.isValid())
        return LXW_NO_ERROR;
    const lxw_row_t r = lxw_row_t(row);
    const lxw_col_t c = lxw_col_t(col);
    // Shown texts that replace the value (草稿/审核, looked-up names) are what
    // the reader needs, as is the empty text of a zero shown empty.
    const bool asShown = field.hasGetTextHook() || field.isLookup()
                         || (field.zeroToEmpty() && numericValue(v) == 0.0);
    if (asShown) {
        const QString text = ds.displayTextAt(dataRow, field);
        return text.isEmpty() ? LXW_NO_ERROR : worksheet_write_string(sheet, r, c, cellText(text).constData(), nullptr);
    }
    switch (field.type()) {
    case FieldType::Integer:
    case FieldType::Double:
        if (v.metaType().id() == QMetaType::QString)
            break;
        return writeNumber(book, sheet, row, col, v.toDouble(), field.displayFormat());
    case FieldType::DateTime:
    case FieldType::Date: {
        const QDateTime dt = v.toDateTime();
        lxw_datetime when{dt.date().year(), dt.date().month(), dt.date().day(), dt.time().hour(),
                          dt.time().minute(), dt.time().second() + dt.time().msec() / 1000.0};
        return worksheet_write_datetime(
            sheet, r, c, &when,
            book.numberFormat(spreadsheetDateFormat(field.displayFormat(), field.type(), dt)));
    }
    case FieldType::YesNo:
        return worksheet_write_boolean(sheet, r, c, v.toBool() ? 1 : 0, nullptr);
    case FieldType::Blob:
        return LXW_NO_ERROR;
    default:
        break;
    }
    return worksheet_write_string(sheet, r, c, cellText(ds.displayTextAt(dataRow, field)).constData(), nullptr);
}

} // namespace

ExportResult XlsxExport::write(const GridSnapshot &grid, const QString &path)
{
    ExportResult result;
    if (!grid.dataSet || !grid.dataSet->isActive()) {
        result.error = QStringLiteral("没有数据,不能导出！");
        return result;
    }
    DataSet &ds = *grid.dataSet;
    Workbook book(path);
    if (!book.get()) {
        result.error = QStringLiteral("生成文件时发生错误，请确保文件路径正确且没被锁定!");
        return result;
    }
    lxw_worksheet *sheet = workbook_add_worksheet(book.get(), sheetName(grid.title).toUtf8().constData());
    if (!sheet) {
        result.error = QStringLiteral("生成文件时发生错误，请确保文件路径正确且没被锁定!");
        return result;
    }
    lxw_format *heading = book.numberFormat(QString(), true);
    QList<const Field *> fields;
    for (int col = 0; col < grid.columns.size(); ++col) {
        const GridColumn &column = grid.columns[col];
        fields << ds.fieldByName(column.field);
        const QString title = column.title.isEmpty() ? column.field : column.title;
        worksheet_write_string(sheet, 0, lxw_col_t(col), cellText(title).constData(), heading);
        // Screen pixels to character widths, roughly.
        worksheet_set_column(sheet, lxw_col_t(col), lxw_col_t(col), std::max(4.0, column.width / 7.0), nullptr);
    }
    lxw_error error = LXW_NO_ERROR;
    const int rows = ds.recordCount();
    for (int row = 0; row < rows && error == LXW_NO_ERROR; ++row) {
        for (int col = 0; col < fields.size() && error == LXW_NO_ERROR; ++col) {
            if (fields[col])
                error = writeCell(book, sheet, row + 1, col, ds, row, *fields[col]);
        }
    }
    if (grid.hasFooter && error == LXW_NO_ERROR) {
        const int row = rows + 1;
        for (int col = 0; col < grid.columns.size(); ++col) {
            const GridColumn &column = grid.columns[col];
            switch (column.footer.kind) {
            case FooterKind::Sum:
            case FooterKind::Count: {
                const QString pattern = column.footer.kind == FooterKind::Count
                                            ? QString()
                                            : (!column.footer.format.isEmpty() ? column.footer.format
                                               : fields[col] ? fields[col]->displayFormat()
                                                             : QString());
                error = writeNumber(book, sheet, row, col, column.footerValue.toDouble(), pattern, true);
                break;
            }
            case FooterKind::Text:
                error = worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(col),
                                               cellText(column.footerText).constData(), heading);
                break;
            case FooterKind::None:
                break;
            }
        }
    }
    const lxw_error closed = book.close();
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR) {
        result.error = QStringLiteral("生成文件时发生错误，请确保文件路径正确且没被锁定!");
        if (const char *detail = lxw_strerror(error))
            result.error += QStringLiteral(" (%1)").arg(QString::fromUtf8(detail));
        return result;
    }
    result.ok = true;
    result.rows = rows;
    return result;
}

} // namespace qv::client
