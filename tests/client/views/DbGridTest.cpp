// The grid in a small window, driven by the keyboard as a clerk drives it,
// next to a text box bound to the same dataset.
#include "ViewsTestSupport.h"

#include "client/core/views/DbGrid.h"
#include "client/core/views/DbLineEdit.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

namespace qv::client::test {
namespace {

class DbGridTest : public LinesTest {
protected:
    void SetUp() override
    {
        LinesTest::SetUp();
        ds.fieldByName(u"ID")->setRequired(false);
        window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        grid = new DbGrid(window.get());
        remark = new DbLineEdit(window.get());
        layout->addWidget(grid);
        layout->addWidget(remark);
        grid->setDataSet(&ds);
        grid->setColumns({QStringLiteral("ID"), QStringLiteral("aBH"), QStringLiteral("SL"),
                          QStringLiteral("DJ"), QStringLiteral("BZ")});
        grid->setColumnReadOnly(QStringLiteral("aBH"), true);
        grid->setFooterText(QStringLiteral("ID"), QStringLiteral("合计"));
        grid->setFooter(QStringLiteral("SL"), FooterKind::Sum, QStringLiteral("#,0.00"));
        grid->setDeleteConfirmation([this](DataSet &) { return confirmDelete; });
        QObject::connect(grid, &DbGrid::dataError, grid,
                         [this](const DataSetError &e) { errors << e.message; });
        remark->bind(&ds, QStringLiteral("BZ"));
        window->resize(700, 400);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        view()->setFocus();
    }

    QTableView *view() const { return grid->view(); }
    int col(const char *field) const { return grid->columnOf(QString::fromLatin1(field)); }
    void goTo(int row, const char *field)
    {
        view()->setFocus();
        view()->setCurrentIndex(grid->model()->index(row, col(field)));
    }
    // Types into the current cell: the first key opens the editor, the rest go
    // to it, Enter writes the cell and moves on.
    void typeIntoCell(const QString &text)
    {
        QTest::keyClick(view(), text.at(0).toLatin1());
        QWidget *editor = QApplication::focusWidget();
        ASSERT_TRUE(editor && editor != view()) << "the first key opens the cell's editor";
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
    }
    QString currentField() const
    {
        const Field *f = grid->model()->fieldAt(view()->currentIndex().column());
        return f ? f->name() : QString();
    }

    std::unique_ptr<QWidget> window;
    DbGrid *grid = nullptr;
    DbLineEdit *remark = nullptr;
    bool confirmDelete = false;
    QStringList errors;
};

TEST_F(DbGridTest, TypingIntoACellPostsTheValueAndTheFooterFollows)
{
    EXPECT_EQ(grid->footerValue(QStringLiteral("SL")), QVariant(15.0));
    EXPECT_EQ(grid->footerText(QStringLiteral("SL")), QStringLiteral("15.00"));
    EXPECT_EQ(grid->footerText(QStringLiteral("ID")), QStringLiteral("合计"));

    goTo(0, "SL");
    typeIntoCell(QStringLiteral("1234.5"));
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    EXPECT_EQ(currentField(), QStringLiteral("DJ")) << "Enter moves to the next editable cell";
    EXPECT_EQ(grid->footerText(QStringLiteral("SL")), QStringLiteral("1,248.50"))
        << "the footer follows the row being edited";

    QTest::keyClick(view(), Qt::Key_Down);
    EXPECT_EQ(ds.state(), DataSetState::Browse) << "leaving the row posts it";
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_EQ(ds.changeCount(), 1);
    ASSERT_TRUE(ds.first());
    EXPECT_EQ(ds.fieldByName(u"SL")->value(), QVariant(1234.5));
    EXPECT_EQ(grid->model()->index(0, col("SL")).data().toString(), QStringLiteral("1234.5"));

    ASSERT_TRUE(ds.last());
    ASSERT_TRUE(ds.remove());
    EXPECT_EQ(grid->footerValue(QStringLiteral("SL")), QVariant(1243.5));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(DbGridTest, EnterWalksEditableCellsAndAppendsAtTheEnd)
{
    goTo(4, "ID");
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(currentField(), QStringLiteral("SL")) << "the read-only code column is skipped";
    QTest::keyClick(view(), Qt::Key_Return);
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(currentField(), QStringLiteral("BZ"));
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(ds.state(), DataSetState::Insert) << "past the last row a new row is appended";
    EXPECT_EQ(ds.recordCount(), 6);
    EXPECT_EQ(view()->currentIndex().row(), 5);
    EXPECT_EQ(currentField(), QStringLiteral("ID"));

    // Enter through an untouched new row does not pile up new rows.
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(ds.recordCount(), 6);

    typeIntoCell(QStringLiteral("60"));
    goTo(5, "SL");
    typeIntoCell(QStringLiteral("2"));
    QTest::keyClick(view(), Qt::Key_Return); // DJ -> BZ
    QTest::keyClick(view(), Qt::Key_Return); // BZ -> next row: posts, appends
    EXPECT_EQ(ds.recordCount(), 7);
    EXPECT_EQ(ds.changeCount(), 1);
    EXPECT_EQ(grid->footerValue(QStringLiteral("SL")), QVariant(17.0));

    grid->setAllowInsert(false);
    QTest::keyClick(view(), Qt::Key_Escape); // drop the new row
    EXPECT_EQ(ds.recordCount(), 6);
    goTo(5, "BZ");
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(ds.recordCount(), 6) << "no inserts: Enter stops at the end";
}

TEST_F(DbGridTest, EnterCanSkipTheLastColumnAsTheDocumentGridsDo)
{
    grid->setEnterSkipsLastColumn(true);
    goTo(0, "DJ");
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(view()->currentIndex().row(), 1);
    EXPECT_EQ(currentField(), QStringLiteral("ID"));
}

TEST_F(DbGridTest, EscCancelsTheRowAndInsertDeleteKeysWork)
{
    goTo(1, "SL");
    typeIntoCell(QStringLiteral("99"));
    ASSERT_EQ(ds.state(), DataSetState::Edit);
    QTest::keyClick(view(), Qt::Key_Escape);
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(ds.fieldByName(u"SL")->value(), QVariant(2.0));

    goTo(2, "SL");
    QTest::keyClick(view(), Qt::Key_Insert);
    EXPECT_EQ(ds.state(), DataSetState::Insert);
    EXPECT_EQ(ds.recNo(), 2) << "Insert puts the new row before the current one";
    QTest::keyClick(view(), Qt::Key_Escape);
    QTest::keyClick(view(), Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(ds.recNo(), 5) << "Ctrl+Insert adds a last row";
    QTest::keyClick(view(), Qt::Key_Escape);
    EXPECT_EQ(ds.recordCount(), 5);

    goTo(0, "SL");
    confirmDelete = false;
    QTest::keyClick(view(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ds.recordCount(), 5);
    confirmDelete = true;
    QTest::keyClick(view(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ds.recordCount(), 4);
    EXPECT_EQ(grid->footerValue(QStringLiteral("SL")), QVariant(14.0));
}

TEST_F(DbGridTest, AFailedPostKeepsTheCursorAndSaysWhy)
{
    ds.hooks().beforePost = [](DataSet &d) {
        d.setAbortMessage(QStringLiteral("数量不能为负数"));
        return d.fieldByName(u"SL")->asDouble() >= 0;
    };
    goTo(0, "SL");
    typeIntoCell(QStringLiteral("-1"));
    QTest::keyClick(view(), Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(ds.recNo(), 0);
    EXPECT_EQ(view()->currentIndex().row(), 0) << "the view comes back to the row";
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_EQ(errors.last(), QStringLiteral("数量不能为负数"));
}

TEST_F(DbGridTest, TheBoundTextBoxAndTheGridShowTheSameRow)
{
    EXPECT_EQ(remark->text(), QStringLiteral("line 1"));
    goTo(2, "BZ");
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_EQ(remark->text(), QStringLiteral("line 3"));

    remark->setFocus();
    remark->selectAll();
    QTest::keyClicks(remark, QStringLiteral("memo"));
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    view()->setFocus(); // leaving the box writes the field
    EXPECT_EQ(ds.fieldByName(u"BZ")->value(), QVariant(QStringLiteral("memo")));
    EXPECT_EQ(grid->model()->index(2, col("BZ")).data().toString(), QStringLiteral("memo"));

    // Enter in the last cell writes it and goes on to the next row: the box
    // follows the cursor.
    goTo(2, "BZ");
    typeIntoCell(QStringLiteral("grid"));
    EXPECT_EQ(ds.recNo(), 3);
    EXPECT_EQ(remark->text(), QStringLiteral("line 4"));
    EXPECT_EQ(grid->model()->index(2, col("BZ")).data().toString(), QStringLiteral("grid"));
    EXPECT_EQ(ds.changeCount(), 1);

    // A cell written while the row stays shows in the box at once.
    ASSERT_TRUE(grid->model()->setData(grid->model()->index(3, col("BZ")), QStringLiteral("cell")));
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    EXPECT_EQ(remark->text(), QStringLiteral("cell"));
}

TEST_F(DbGridTest, ACellButtonAnnouncesItsColumn)
{
    grid->setColumnButton(QStringLiteral("BZ"), true);
    QStringList clicked;
    QObject::connect(grid, &DbGrid::editButtonClicked, grid, [&clicked](const QString &f) { clicked << f; });
    goTo(1, "BZ");
    QTest::keyClick(view(), Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_TRUE(editor);
    ASSERT_FALSE(editor->actions().isEmpty());
    editor->actions().first()->trigger();
    EXPECT_EQ(clicked, (QStringList{"BZ"}));
}

TEST_F(DbGridTest, ClickingATitleSortsAndHiddenColumnsStayHiddenAcrossAReopen)
{
    QHeaderView *header = view()->horizontalHeader();
    const int sl = col("SL");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(sl) + 5, header->height() / 2));
    EXPECT_EQ(ds.sortKeys().value(0).field, QStringLiteral("SL"));
    EXPECT_FALSE(ds.sortKeys().value(0).descending);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(sl) + 5, header->height() / 2));
    EXPECT_TRUE(ds.sortKeys().value(0).descending);
    EXPECT_EQ(ds.fieldByName(u"ID")->value(), QVariant(qint64(1))) << "the cursor stays on its row";
    EXPECT_EQ(grid->model()->index(0, col("ID")).data().toString(), QStringLiteral("5"));

    grid->setColumnVisible(QStringLiteral("DJ"), false);
    grid->setColumnWidth(QStringLiteral("BZ"), 222);
    ds.close();
    ASSERT_TRUE(ds.open());
    EXPECT_FALSE(grid->isColumnVisible(QStringLiteral("DJ")));
    EXPECT_EQ(grid->columnWidth(QStringLiteral("BZ")), 222);
    goTo(0, "SL");
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(currentField(), QStringLiteral("BZ")) << "Enter passes hidden columns";
}

} // namespace
} // namespace qv::client::test
