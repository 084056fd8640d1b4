#include "client/core/util/Spreadsheet.h"

#include "client/core/views/DataSetModel.h"

#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "tests/client/util/TestFields.h"

#include <gtest/gtest.h>

namespace qv::client {
namespace {

// Read through a helper program: see ZipEntry.cpp.
QByteArray zipEntry(const QString &path, const QString &entry)
{
    QProcess unzip;
    unzip.start(QStringLiteral(QV_ZIP_ENTRY), {path, entry});
    if (!unzip.waitForFinished(30000) || unzip.exitCode() != 0)
        return {};
    return unzip.readAllStandardOutput();
}

// The cells of the first sheet: reference ("AA3") -> text.
struct Sheet {
    QString dimension;
    QMap<QString, QString> cells;
};

Sheet readSheet(const QString &path)
{
    QStringList shared;
    QXmlStreamReader strings(zipEntry(path, QStringLiteral("xl/sharedStrings.xml")));
    while (!strings.atEnd()) {
        if (strings.readNext() == QXmlStreamReader::StartElement && strings.name() == u"t")
            shared << strings.readElementText();
    }
    Sheet sheet;
    QXmlStreamReader xml(zipEntry(path, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref;
    QString type;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"dimension") {
            sheet.dimension = xml.attributes().value(QStringLiteral("ref")).toString();
        } else if (xml.name() == u"c") {
            ref = xml.attributes().value(QStringLiteral("r")).toString();
            type = xml.attributes().value(QStringLiteral("t")).toString();
        } else if (xml.name() == u"v") {
            const QString v = xml.readElementText();
            sheet.cells.insert(ref, type == u"s" ? shared.value(v.toInt()) : v);
        }
    }
    return sheet;
}

TEST(Spreadsheet, ColumnNames)
{
    const QList<std::pair<int, const char *>> cases{{1, "A"},    {26, "Z"},   {27, "AA"},  {52, "AZ"},
                                                    {53, "BA"},  {78, "BZ"},  {702, "ZZ"}, {703, "AAA"},
                                                    {0, ""}};
    for (const auto &[column, name] : cases)
        EXPECT_EQ(spreadsheetColumnName(column), QString::fromLatin1(name)) << column;
}

class WideTableTest : public ::testing::TestWithParam<std::pair<int, const char *>> {};

// The written range ends in the right column of the last row, read back from
// the workbook itself.
TEST_P(WideTableTest, LastCellLandsInTheExpectedColumn)
{
    const auto [columns, lastColumn] = GetParam();
    TextTable table;
    for (int row = 0; row < 3; ++row) {
        QStringList texts;
        for (int column = 0; column < columns; ++column)
            texts << (row == 0 ? QStringLiteral("标题%1").arg(column + 1) : QStringLiteral("r%1c%2").arg(row).arg(column + 1));
        table << texts;
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("wide.xlsx"));
    const SpreadsheetResult result = writeSpreadsheet(table, path);
    ASSERT_TRUE(result.ok) << result.error.toStdString();

    const Sheet sheet = readSheet(path);
    const QString last = QString::fromLatin1(lastColumn);
    EXPECT_EQ(sheet.dimension, QStringLiteral("A1:") + last + QStringLiteral("3"));
    EXPECT_EQ(sheet.cells.value(last + QStringLiteral("1")), QStringLiteral("标题%1").arg(columns));
    EXPECT_EQ(sheet.cells.value(last + QStringLiteral("3")), QStringLiteral("r2c%1").arg(columns));
    EXPECT_EQ(sheet.cells.size(), 3 * columns);
}

INSTANTIATE_TEST_SUITE_P(Columns, WideTableTest,
                         ::testing::Values(std::make_pair(27, "AA"), std::make_pair(52, "AZ"),
                                           std::make_pair(26, "Z")));

TEST(Spreadsheet, UnwritablePathIsReported)
{
    const SpreadsheetResult result =
        writeSpreadsheet({{QStringLiteral("a")}}, QStringLiteral("/nonexistent-folder/x.xlsx"));
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
}

TEST(Spreadsheet, GridTextsReadEveryRowAsShown)
{
    DataSet ds;
    ASSERT_TRUE(ds.createDataSet({test::fieldDef("BH", FieldType::Text, 10),
                                  test::fieldDef("MC", FieldType::Text, 20),
                                  test::fieldDef("JE", FieldType::Double),
                                  test::fieldDef("BZ", FieldType::Text, 20)}));
    ds.fieldByName(QStringLiteral("MC"))->setDisplayLabel(QStringLiteral("名称"));
    ds.fieldByName(QStringLiteral("JE"))->setDisplayFormat(QStringLiteral("#,0.00"));
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(ds.append());
        ds.fieldByName(QStringLiteral("BH"))->setValue(QStringLiteral("000%1").arg(i));
        ds.fieldByName(QStringLiteral("MC"))->setValue(QStringLiteral("line\r\n%1").arg(i));
        ds.fieldByName(QStringLiteral("JE"))->setValue(1000.5 * i);
        ds.fieldByName(QStringLiteral("BZ"))->setValue(QStringLiteral("hidden"));
        ASSERT_TRUE(ds.post());
    }
    ASSERT_TRUE(ds.moveTo(1));

    DataSetModel model;
    model.setDataSet(&ds);
    QTableView grid;
    grid.setModel(&model);
    grid.setColumnHidden(model.columnOf(u"BZ"), true);

    const TextTable table = gridTexts(&grid);
    ASSERT_EQ(table.size(), 4);
    EXPECT_EQ(table.at(0), (QStringList{"BH", "名称", "JE"}));
    EXPECT_EQ(table.at(1), (QStringList{"0001", "line\n1", "1,000.50"}));
    EXPECT_EQ(table.at(3), (QStringList{"0003", "line\n3", "3,001.50"}));
    EXPECT_EQ(ds.recNo(), 1);
}

} // namespace
} // namespace qv::client
