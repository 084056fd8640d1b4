// What leaves a grid: .xlsx files (read back as zip + XML), printed pages, the
// saved column layout, and the column chooser.
//
// The workbook is read back with the unzip program: QuaZip exports the same
// zip symbols as the minizip libxlsxwriter uses, and with both in one process
// libxlsxwriter's writer ends up in QuaZip's code and crashes.
#include "ViewsTestSupport.h"

#include "client/core/views/ColumnChooser.h"
#include "client/core/views/DbGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QListWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QXmlStreamReader>

#include <QProcess>

namespace qv::client::test {
namespace {

struct Cell {
    QString type; // "s" shared string, "b" boolean, "" number or date
    QString value;
    int style = 0;
};

// The cells of the first sheet by reference ("A1"), strings resolved.
class Workbook {
public:
    bool open(const QString &path)
    {
        QProcess test;
        test.start(QStringLiteral("unzip"), {QStringLiteral("-tq"), path});
        if (!test.waitForFinished() || test.exitCode() != 0)
            return false;
        const QByteArray shared = entry(path, QStringLiteral("xl/sharedStrings.xml"));
        const QByteArray sheet = entry(path, QStringLiteral("xl/worksheets/sheet1.xml"));
        m_sheetName = sheetName(entry(path, QStringLiteral("xl/workbook.xml")));
        readStrings(shared);
        readCells(sheet);
        return !sheet.isEmpty();
    }
    Cell cell(const QString &ref) const { return m_cells.value(ref); }
    QString text(const QString &ref) const
    {
        const Cell c = cell(ref);
        return c.type == u"s" ? m_strings.value(c.value.toInt()) : c.value;
    }
    int cellCount() const { return int(m_cells.size()); }
    const QString &sheetName() const { return m_sheetName; }

private:
    static QByteArray entry(const QString &path, const QString &name)
    {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, name});
        if (!unzip.waitForFinished() || unzip.exitCode() != 0)
            return QByteArray();
        return unzip.readAllStandardOutput();
    }
    static QString sheetName(const QByteArray &xml)
    {
        QXmlStreamReader r(xml);
        while (r.readNextStartElement() || !r.atEnd()) {
            if (r.isStartElement() && r.name() == u"sheet")
                return r.attributes().value(QLatin1String("name")).toString();
            if (!r.isStartElement())
                r.readNext();
        }
        return QString();
    }
    void readStrings(const QByteArray &xml)
    {
        QXmlStreamReader r(xml);
        while (!r.atEnd()) {
            r.readNext();
            if (r.isStartElement() && r.name() == u"t")
                m_strings << r.readElementText();
        }
    }
    void readCells(const QByteArray &xml)
    {
        QXmlStreamReader r(xml);
        QString ref;
        Cell current;
        while (!r.atEnd()) {
            r.readNext();
            if (r.isStartElement() && r.name() == u"c") {
                ref = r.attributes().value(QLatin1String("r")).toString();
                current = Cell{r.attributes().value(QLatin1String("t")).toString(), QString(),
                               r.attributes().value(QLatin1String("s")).toInt()};
            } else if (r.isStartElement() && r.name() == u"v") {
                current.value = r.readElementText();
                m_cells.insert(ref, current);
            }
        }
    }

    QStringList m_strings;
    QHash<QString, Cell> m_cells;
    QString m_sheetName;
};

class GridOutputTest : public LinesTest {
protected:
    void SetUp() override
    {
        LinesTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        ds.fieldByName(u"ID")->setDisplayLabel(QStringLiteral("编号"));
        ds.fieldByName(u"SL")->setDisplayFormat(QStringLiteral("#,0.##"));
        ds.fieldByName(u"ZBID")->setGetTextHook([](const Field &f, QString &text, bool) {
            text = f.asInteger() == 1 ? QStringLiteral("审核") : QStringLiteral("草稿");
        });
        grid.setDataSet(&ds);
        grid.setColumns({QStringLiteral("ID"), QStringLiteral("ZBID"), QStringLiteral("SL"),
                         QStringLiteral("RQ"), QStringLiteral("ZT"), QStringLiteral("BZ")});
        grid.setColumnTitle(QStringLiteral("ZBID"), QStringLiteral("状态"));
        grid.setFooterText(QStringLiteral("ID"), QStringLiteral("合计"));
        grid.setFooter(QStringLiteral("SL"), FooterKind::Sum, QStringLiteral("#,0.00"));
        grid.resize(600, 300);
    }

    QTemporaryDir dir;
    DbGrid grid;
};

TEST_F(GridOutputTest, ExportWritesTypedCellsAndTheFooterRow)
{
    ASSERT_TRUE(ds.moveTo(1));
    ASSERT_TRUE(ds.fieldByName(u"BZ")->setValue(QStringLiteral("两行\r\n备注")));
    ASSERT_TRUE(ds.post());
    const QString path = dir.filePath(QStringLiteral("领用单.xlsx"));
    const ExportResult result = grid.exportXlsx(path, QStringLiteral("物品领用单总表"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.rows, 5);

    Workbook book;
    ASSERT_TRUE(book.open(path)) << "the file is a zip holding a worksheet";
    EXPECT_EQ(book.sheetName(), QStringLiteral("物品领用单总表"));
    EXPECT_EQ(book.text(QStringLiteral("A1")), QStringLiteral("编号"));
    EXPECT_EQ(book.text(QStringLiteral("B1")), QStringLiteral("状态"));
    EXPECT_EQ(book.text(QStringLiteral("F1")), QStringLiteral("BZ"));

    EXPECT_EQ(book.cell(QStringLiteral("A2")).type, QString()) << "numbers are numbers";
    EXPECT_EQ(book.text(QStringLiteral("A2")), QStringLiteral("1"));
    EXPECT_EQ(book.text(QStringLiteral("B2")), QStringLiteral("审核")) << "shown text replaces the value";
    EXPECT_EQ(book.text(QStringLiteral("C6")), QStringLiteral("5"));
    EXPECT_EQ(book.text(QStringLiteral("D2")), QStringLiteral("45292")) << "2024-01-01 as a date serial";
    EXPECT_NE(book.cell(QStringLiteral("D2")).style, 0) << "dates carry a date format";
    EXPECT_EQ(book.cell(QStringLiteral("E2")).type, QStringLiteral("b"));
    EXPECT_EQ(book.text(QStringLiteral("E2")), QStringLiteral("0"));
    EXPECT_EQ(book.cell(QStringLiteral("F2")).type, QStringLiteral("s"));
    EXPECT_EQ(book.text(QStringLiteral("F3")), QStringLiteral("两行\n备注")) << "carriage returns are left out";

    EXPECT_EQ(book.text(QStringLiteral("A7")), QStringLiteral("合计"));
    EXPECT_EQ(book.text(QStringLiteral("C7")), QStringLiteral("15"));
    EXPECT_EQ(book.cell(QStringLiteral("C7")).type, QString());
}

TEST_F(GridOutputTest, ExportRefusesAnEmptyGridAndABadPath)
{
    const ExportResult bad = grid.exportXlsx(dir.filePath(QStringLiteral("no/such/folder/x.xlsx")));
    EXPECT_FALSE(bad.ok);
    EXPECT_TRUE(bad.error.startsWith(QStringLiteral("生成文件时发生错误"))) << bad.error.toStdString();

    openWith(0);
    const QString path = dir.filePath(QStringLiteral("empty.xlsx"));
    const ExportResult empty = grid.exportXlsx(path);
    EXPECT_FALSE(empty.ok);
    EXPECT_EQ(empty.error, QStringLiteral("没有数据,不能导出！"));
    EXPECT_FALSE(QFile::exists(path)) << "nothing is written";
}

TEST_F(GridOutputTest, ExportCoversRowsNotYetFetched)
{
    openWith(4500);
    ASSERT_EQ(ds.recordCount(), 2000);
    const QString path = dir.filePath(QStringLiteral("all.xlsx"));
    const ExportResult result = grid.exportXlsx(path);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.rows, 4500);
    Workbook book;
    ASSERT_TRUE(book.open(path));
    EXPECT_EQ(book.text(QStringLiteral("A4501")), QStringLiteral("4500"));
}

TEST_F(GridOutputTest, PrintsPagesWithTheTable)
{
    openWith(150);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = dir.filePath(QStringLiteral("grid.pdf"));
    printer.setOutputFileName(path);
    PrintOptions options;
    options.title = QStringLiteral("物品领用明细表");
    options.headerLines << QStringLiteral("日期: 2024-01-01 至 2024-01-31");
    options.footerLines << QStringLiteral("制单: SYS\t\t打印日期：2024-02-01");
    const int pages = grid.printTo(printer, options);
    EXPECT_GE(pages, 2) << "150 rows do not fit on one page";
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");
}

TEST_F(GridOutputTest, TheColumnLayoutIsSavedAndRestored)
{
    IniGridSettings settings(dir.filePath(QStringLiteral("System/GridLayout.ini")));
    grid.setSettings(&settings, QStringLiteral("TfrmRptLl"));
    EXPECT_FALSE(grid.restoreLayout()) << "nothing saved yet";
    grid.setColumnTitle(QStringLiteral("SL"), QStringLiteral("数量"));
    grid.setColumnWidth(QStringLiteral("BZ"), 177);
    grid.setColumnVisible(QStringLiteral("ZT"), false);
    grid.view()->horizontalHeader()->moveSection(grid.view()->horizontalHeader()->visualIndex(grid.columnOf(QStringLiteral("BZ"))), 0);
    const QList<ColumnLayout> saved = grid.layout();
    ASSERT_TRUE(grid.saveLayout()) << settings.errorString().toStdString();

    DbGrid other;
    other.setDataSet(&ds);
    other.setColumns({QStringLiteral("ID"), QStringLiteral("ZBID"), QStringLiteral("SL"),
                      QStringLiteral("RQ"), QStringLiteral("ZT"), QStringLiteral("BZ")});
    other.setSettings(&settings, QStringLiteral("TfrmRptLl"));
    ASSERT_TRUE(other.restoreLayout());
    const QList<ColumnLayout> restored = other.layout();
    EXPECT_EQ(restored, saved);
    EXPECT_EQ(restored.first().field, QStringLiteral("BZ"));
    EXPECT_EQ(other.columnTitle(QStringLiteral("SL")), QStringLiteral("数量"));
    EXPECT_FALSE(other.isColumnVisible(QStringLiteral("ZT")));
    EXPECT_EQ(other.columnWidth(QStringLiteral("BZ")), 177);
}

TEST_F(GridOutputTest, TheColumnChooserHidesWhatTheUserUnticks)
{
    QTimer::singleShot(0, [] {
        auto *chooser = qobject_cast<ColumnChooser *>(QApplication::activeModalWidget());
        ASSERT_TRUE(chooser);
        chooser->list()->item(1)->setCheckState(Qt::Unchecked); // ZBID
        chooser->accept();
    });
    EXPECT_TRUE(grid.showColumnChooser());
    EXPECT_FALSE(grid.isColumnVisible(QStringLiteral("ZBID")));
    EXPECT_TRUE(grid.isColumnVisible(QStringLiteral("SL")));

    const GridSnapshot snapshot = grid.snapshot(QStringLiteral("t"));
    QStringList fields;
    for (const GridColumn &c : snapshot.columns)
        fields << c.field;
    EXPECT_EQ(fields, (QStringList{"ID", "SL", "RQ", "ZT", "BZ"})) << "hidden columns are not exported";
}

} // namespace
} // namespace qv::client::test
