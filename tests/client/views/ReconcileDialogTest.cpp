// The reconcile dialog: what it lists for a refused row, and what each choice
// of the clerk does to the row once the dataset has taken the answer.
#include "ViewsTestSupport.h"

#include "client/core/views/ReconcileDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>

namespace qv::client::test {
namespace {

constexpr int kSL = 4; // columns of the line table
constexpr int kBZ = 6;
const QString kProvider = QStringLiteral("pLL");
const QString kRefused = QStringLiteral("数量超出库存");

class ReconcileDialogTest : public LinesTest {
protected:
    void SetUp() override
    {
        LinesTest::SetUp();
        const std::pair<const char16_t *, const char16_t *> labels[] = {
            {u"ID", u"序号"},  {u"HPID", u"货品"}, {u"aBH", u"货品编号"}, {u"SL", u"数量"},
            {u"DJ", u"单价"}, {u"BZ", u"备注"},   {u"RQ", u"日期"},       {u"ZT", u"状态"}};
        for (const auto &[name, label] : labels)
            ds.fieldByName(QStringView(name))->setDisplayLabel(QString::fromUtf16(label));
        ds.fieldByName(u"ZBID")->setVisible(false);
    }

    // Another clerk has saved row ID 2 meanwhile: quantity 50, a remark of theirs.
    void changeOnServer()
    {
        QList<RowValues> rows = source.rows(kProvider);
        rows[1][kSL] = 50.0;
        rows[1][kBZ] = QStringLiteral("别人改的");
        source.setTable(kProvider, lineFields(), rows);
    }

    // The clerk's pending change of the kind; the server refuses it.
    void makeRefusedChange(ChangeKind kind)
    {
        switch (kind) {
        case ChangeKind::Modify:
            ASSERT_TRUE(ds.moveTo(1));
            ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(20));
            ASSERT_TRUE(ds.post());
            source.failRow(kProvider, {qint64(2)}, kRefused);
            break;
        case ChangeKind::Insert:
            ASSERT_TRUE(ds.append());
            ASSERT_TRUE(ds.fieldByName(u"ID")->setValue(11));
            ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(20));
            ASSERT_TRUE(ds.post());
            source.failRow(kProvider, {qint64(11)}, kRefused);
            break;
        case ChangeKind::Delete:
            ASSERT_TRUE(ds.moveTo(1));
            ASSERT_TRUE(ds.remove());
            source.failRow(kProvider, {qint64(2)}, kRefused);
            break;
        }
        ASSERT_EQ(ds.changeCount(), 1);
    }

    // Applies the changes with the dialog as the reconcile hook; `script` runs
    // against the modal dialog and must close it.
    int applyAnswering(const std::function<void(ReconcileDialog &)> &script)
    {
        const auto ask = reconcileDialogHandler([this] { return parentWindow.get(); });
        dialogsShown = 0;
        ds.hooks().reconcileError = [this, script, ask](DataSet &d, ReconcileError &e) {
            QTimer::singleShot(0, [this, script] { drive(script); });
            return ask(d, e);
        };
        return ds.applyUpdates(-1);
    }

    void drive(const std::function<void(ReconcileDialog &)> &script)
    {
        auto *dialog = qobject_cast<ReconcileDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no reconcile dialog is open";
            return;
        }
        ++dialogsShown;
        EXPECT_EQ(dialog->parentWidget(), parentWindow.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        script(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the script left the dialog open";
            dialog->reject();
        }
    }

    QVariant valueOfRow(qint64 id, const char16_t *field)
    {
        if (!ds.locate(QStringLiteral("ID"), {id}))
            return QStringLiteral("<no row>");
        return ds.fieldByName(QStringView(field))->value();
    }

    std::unique_ptr<QWidget> parentWindow = std::make_unique<QWidget>();
    int dialogsShown = 0;
};

// The table row showing the field with this label; -1 when not shown.
int tableRowOf(const ReconcileDialog &dialog, const QString &label)
{
    for (int row = 0; row < dialog.table()->rowCount(); ++row) {
        if (dialog.table()->item(row, ReconcileDialog::FieldColumn)->text() == label)
            return row;
    }
    return -1;
}

// Opens the editor of the field's "修改后的值" cell the way a clerk does (F2)
// and types the text into it, leaving the editor open; nullptr when no editor
// opened.
QLineEdit *typeWithoutEnter(ReconcileDialog &dialog, const QString &label, const QString &text)
{
    QTableWidget *table = dialog.table();
    const int row = tableRowOf(dialog, label);
    if (row < 0)
        return nullptr;
    table->setFocus();
    table->setCurrentCell(row, ReconcileDialog::MineColumn);
    QTest::keyClick(table, Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    if (!editor)
        return nullptr;
    editor->selectAll();
    QTest::keyClicks(editor, text);
    return editor;
}

// Types into the cell and ends with Enter.
void typeInto(ReconcileDialog &dialog, const QString &label, const QString &text)
{
    QLineEdit *editor = typeWithoutEnter(dialog, label, text);
    ASSERT_NE(editor, nullptr) << "F2 opens an editor on the cell " << label.toStdString();
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
}

void press(ReconcileDialog &dialog, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = QApplication::focusWidget();
    QTest::keyClick(target ? target : &dialog, Qt::Key(key), modifiers);
}

// --- what a refused row shows -------------------------------------------------

TEST_F(ReconcileDialogTest, LinesShowTheThreeVersionsAndMarkWhatDisagrees)
{
    changeOnServer();
    makeRefusedChange(ChangeKind::Modify);
    ReconcileError error;
    error.kind = ChangeKind::Modify;
    ds.hooks().reconcileError = [&error](DataSet &, ReconcileError &e) {
        error = e;
        return ReconcileAction::Skip;
    };
    ASSERT_EQ(ds.applyUpdates(-1), 1);

    const QList<ReconcileFieldLine> lines = reconcileFieldLines(ds, error);
    QStringList labels;
    QStringList differing;
    QStringList editable;
    for (const ReconcileFieldLine &l : lines) {
        labels << l.label;
        if (l.differs)
            differing << l.label;
        if (l.editable)
            editable << l.label;
    }
    EXPECT_EQ(labels, (QStringList{"序号", "货品", "货品编号", "数量", "单价", "备注", "日期", "状态"}))
        << "hidden fields stay out";
    EXPECT_EQ(differing, (QStringList{"数量", "备注"}));
    EXPECT_EQ(editable, (QStringList{"序号", "货品", "数量", "单价", "备注", "日期", "状态"}))
        << "a joined column is never written back, so it cannot be corrected";
    const ReconcileFieldLine &sl = lines[3];
    EXPECT_EQ(sl.mine, QVariant(20.0));
    EXPECT_EQ(sl.original, QVariant(2.0));
    EXPECT_EQ(sl.server, QVariant(50.0));

    // Typed text is read by the field's type; text that is no number is refused.
    ReconcileFieldLine corrected = sl;
    EXPECT_EQ(correctLine(ds, error, corrected, QStringLiteral("1,234.5")), QVariant(1234.5));
    QString why;
    ReconcileFieldLine refused = sl;
    EXPECT_FALSE(correctLine(ds, error, refused, QStringLiteral("abc"), &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(refused.mine, QVariant(20.0));
    ReconcileFieldLine joined = lines[2];
    EXPECT_FALSE(correctLine(ds, error, joined, QStringLiteral("H9")));

    const QVariantList sent = correctedValues(error, {corrected});
    EXPECT_EQ(sent.value(kSL), QVariant(1234.5));
    EXPECT_EQ(sent.value(kBZ), error.newValues.value(kBZ)) << "other values stay the clerk's";
}

TEST_F(ReconcileDialogTest, WhatDiffersDependsOnTheVersionsARowHas)
{
    struct Case {
        const char *name;
        ChangeKind kind;
        bool serverHasRow;
        QStringList differing;
    };
    const Case cases[] = {
        // A new row against nothing: nothing to disagree with.
        {"insert, server has none", ChangeKind::Insert, false, {}},
        {"modify, server has none", ChangeKind::Modify, false, {"数量"}},
        {"modify, server changed it", ChangeKind::Modify, true, {"数量", "备注"}},
        // A deletion has no values of the clerk's; only the server's can differ.
        {"delete, server changed it", ChangeKind::Delete, true, {"数量", "备注"}},
        {"delete, server has none", ChangeKind::Delete, false, {}},
    };
    const RowValues read = lineRows(2)[1];
    RowValues mine = read;
    mine[kSL] = 20.0;
    RowValues theirs = read;
    theirs[kSL] = 50.0;
    theirs[kBZ] = QStringLiteral("别人改的");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ReconcileError error;
        error.kind = c.kind;
        if (c.kind != ChangeKind::Insert)
            error.oldValues = read;
        if (c.kind != ChangeKind::Delete)
            error.newValues = mine;
        error.serverHasRow = c.serverHasRow;
        if (c.serverHasRow)
            error.serverValues = theirs;
        QStringList differing;
        bool anyEditable = false;
        for (const ReconcileFieldLine &l : reconcileFieldLines(ds, error)) {
            if (l.differs)
                differing << l.label;
            anyEditable = anyEditable || l.editable;
        }
        EXPECT_EQ(differing, c.differing);
        EXPECT_EQ(anyEditable, c.kind != ChangeKind::Delete);
        EXPECT_EQ(reconcileActionAllowed(error, ReconcileAction::Correct), c.kind != ChangeKind::Delete);
        for (ReconcileAction a : {ReconcileAction::Skip, ReconcileAction::Cancel, ReconcileAction::Refresh})
            EXPECT_TRUE(reconcileActionAllowed(error, a));
    }
}

TEST_F(ReconcileDialogTest, TheWindowNamesTheRowAndCanShowOnlyTheConflicts)
{
    changeOnServer();
    makeRefusedChange(ChangeKind::Modify);
    ReconcileError error;
    error.kind = ChangeKind::Modify;
    error.message = kRefused;
    error.row = 1;
    error.oldValues = lineRows(2)[1];
    error.newValues = error.oldValues;
    error.newValues[kSL] = 20.0;
    error.serverHasRow = true;
    error.serverValues = source.rows(kProvider)[1];

    ReconcileDialog dialog(ds, error);
    QStringList texts;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        texts << label->text();
    const QString all = texts.join(u'\n');
    EXPECT_TRUE(all.contains(kRefused));
    EXPECT_TRUE(all.contains(QStringLiteral("修改")));
    EXPECT_TRUE(all.contains(QStringLiteral("第 2 行")));

    QTableWidget *table = dialog.table();
    ASSERT_EQ(table->columnCount(), 4);
    QStringList headers;
    for (int c = 0; c < table->columnCount(); ++c)
        headers << table->horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers, (QStringList{"字段", "修改后的值", "原来的值", "服务器上的值"}));
    const int sl = tableRowOf(dialog, QStringLiteral("数量"));
    ASSERT_GE(sl, 0);
    EXPECT_EQ(table->item(sl, ReconcileDialog::MineColumn)->text(), QStringLiteral("20"));
    EXPECT_EQ(table->item(sl, ReconcileDialog::OriginalColumn)->text(), QStringLiteral("2"));
    EXPECT_EQ(table->item(sl, ReconcileDialog::ServerColumn)->text(), QStringLiteral("50"));
    EXPECT_TRUE(table->item(sl, ReconcileDialog::MineColumn)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(table->item(sl, ReconcileDialog::ServerColumn)->flags() & Qt::ItemIsEditable);
    const int abh = tableRowOf(dialog, QStringLiteral("货品编号"));
    EXPECT_FALSE(table->item(abh, ReconcileDialog::MineColumn)->flags() & Qt::ItemIsEditable);
    EXPECT_EQ(table->rowCount(), 8);
    EXPECT_EQ(dialog.action(), ReconcileAction::Skip) << "nothing happens to the row unless chosen";

    dialog.conflictsOnlyBox()->setChecked(true);
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_GE(tableRowOf(dialog, QStringLiteral("数量")), 0);
    EXPECT_GE(tableRowOf(dialog, QStringLiteral("备注")), 0);
    dialog.conflictsOnlyBox()->setChecked(false);
    EXPECT_EQ(table->rowCount(), 8);

    // A row the server no longer has says so in the server's column.
    error.serverHasRow = false;
    error.serverValues.clear();
    ReconcileDialog gone(ds, error);
    EXPECT_EQ(gone.table()->item(0, ReconcileDialog::ServerColumn)->text(), QStringLiteral("（没有这一行）"));

    const QString shots = qEnvironmentVariable("QV_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_TRUE(dialog.grab().save(QDir(shots).filePath(QStringLiteral("reconcile.png"))));
        gone.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&gone));
        EXPECT_TRUE(gone.grab().save(QDir(shots).filePath(QStringLiteral("reconcile-gone.png"))));
    }
}

// --- what each answer does to the row -------------------------------------------

struct AnswerCase {
    const char *name;
    ChangeKind kind;
    std::function<void(ReconcileDialog &)> script;
    qint64 rowId;        // the row looked at afterwards
    QVariant expectedSL; // its quantity; "<no row>" when it is gone
    int expectedPending;
    QVariant sentSL = QVariant(); // what the next save sends for SL, when checked
};

void PrintTo(const AnswerCase &c, std::ostream *os)
{
    *os << c.name;
}

class ReconcileAnswerTest : public ReconcileDialogTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(ReconcileAnswerTest, TheClerksAnswerDecidesWhatHappensToTheRow)
{
    const AnswerCase &c = GetParam();
    changeOnServer();
    makeRefusedChange(c.kind);

    EXPECT_EQ(applyAnswering(c.script), 1);
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(valueOfRow(c.rowId, u"SL"), c.expectedSL);
    EXPECT_EQ(ds.changeCount(), c.expectedPending);

    // What stays pending goes out with the next save once the server accepts it.
    source.clearFailures();
    EXPECT_EQ(ds.applyUpdates(0), 0);
    if (c.sentSL.isValid()) {
        ASSERT_EQ(source.lastPacket().rows.size(), 1);
        EXPECT_EQ(source.lastPacket().rows[0].newValues.value(kSL), c.sentSL);
    }
}

const auto chooseAndAccept = [](ReconcileAction action) {
    return [action](ReconcileDialog &d) {
        d.actionButton(action)->click();
        press(d, Qt::Key_Return);
    };
};

INSTANTIATE_TEST_SUITE_P(
    Answers, ReconcileAnswerTest,
    ::testing::Values(
        // Typing a value chooses "修正"; the corrected value is what goes next.
        AnswerCase{"CorrectAfterEditingACell", ChangeKind::Modify,
                   [](ReconcileDialog &d) {
                       typeInto(d, QStringLiteral("数量"), QStringLiteral("7"));
                       EXPECT_TRUE(d.isVisible()) << "Enter in the cell only takes the value";
                       EXPECT_EQ(d.action(), ReconcileAction::Correct);
                       press(d, Qt::Key_Return);
                   },
                   2, 7.0, 1, 7.0},
        // A value still in its editor when OK is clicked counts.
        AnswerCase{"CorrectTakesAValueStillBeingTyped", ChangeKind::Modify,
                   [](ReconcileDialog &d) {
                       ASSERT_NE(typeWithoutEnter(d, QStringLiteral("数量"), QStringLiteral("8.5")), nullptr);
                       d.actionButton(ReconcileAction::Correct)->click();
                       d.accept();
                   },
                   2, 8.5, 1, 8.5},
        AnswerCase{"CorrectANewRow", ChangeKind::Insert,
                   [](ReconcileDialog &d) {
                       typeInto(d, QStringLiteral("数量"), QStringLiteral("3"));
                       press(d, Qt::Key_Return);
                   },
                   11, 3.0, 1, 3.0},
        AnswerCase{"RefreshTakesTheServersRow", ChangeKind::Modify,
                   [](ReconcileDialog &d) {
                       // Enter right after the shortcut, before the button has
                       // finished its click, still means that action.
                       press(d, Qt::Key_R, Qt::AltModifier);
                       press(d, Qt::Key_Return);
                   },
                   2, 50.0, 0},
        AnswerCase{"RefreshBringsBackADeletedRowAsTheServerHasIt", ChangeKind::Delete,
                   chooseAndAccept(ReconcileAction::Refresh), 2, 50.0, 0},
        AnswerCase{"CancelRestoresTheOriginal", ChangeKind::Modify,
                   [](ReconcileDialog &d) {
                       press(d, Qt::Key_C, Qt::AltModifier);
                       EXPECT_TRUE(QTest::qWaitFor([&d] { return d.action() == ReconcileAction::Cancel; }));
                       press(d, Qt::Key_Return);
                   },
                   2, 2.0, 0},
        AnswerCase{"CancelDropsANewRow", ChangeKind::Insert, chooseAndAccept(ReconcileAction::Cancel),
                   11, QStringLiteral("<no row>"), 0},
        AnswerCase{"CancelKeepsADeletedRow", ChangeKind::Delete, chooseAndAccept(ReconcileAction::Cancel),
                   2, 2.0, 0},
        AnswerCase{"EscapeSkips", ChangeKind::Modify,
                   [](ReconcileDialog &d) { press(d, Qt::Key_Escape); }, 2, 20.0, 1, 20.0},
        // Closing the window throws the typed corrections away with the decision.
        AnswerCase{"EscapeAfterACorrectionSkipsWithTheOldValues", ChangeKind::Modify,
                   [](ReconcileDialog &d) {
                       typeInto(d, QStringLiteral("数量"), QStringLiteral("9"));
                       press(d, Qt::Key_Escape);
                   },
                   2, 20.0, 1, 20.0},
        AnswerCase{"TextThatIsNoNumberIsRefusedInTheCell", ChangeKind::Modify,
                   [](ReconcileDialog &d) {
                       typeInto(d, QStringLiteral("数量"), QStringLiteral("abc"));
                       EXPECT_FALSE(d.editError().isEmpty());
                       EXPECT_EQ(d.action(), ReconcileAction::Skip);
                       const int row = tableRowOf(d, QStringLiteral("数量"));
                       EXPECT_EQ(d.table()->item(row, ReconcileDialog::MineColumn)->text(), QStringLiteral("20"));
                       d.actionButton(ReconcileAction::Correct)->click();
                       press(d, Qt::Key_Return);
                   },
                   2, 20.0, 1, 20.0},
        // OK with unreadable text still in the cell keeps the window open.
        AnswerCase{"OkWithUnreadableTextInTheEditorKeepsTheWindowOpen", ChangeKind::Modify,
                   [](ReconcileDialog &d) {
                       ASSERT_NE(typeWithoutEnter(d, QStringLiteral("数量"), QStringLiteral("x")), nullptr);
                       d.actionButton(ReconcileAction::Correct)->click();
                       d.accept();
                       EXPECT_TRUE(d.isVisible());
                       EXPECT_FALSE(d.editError().isEmpty());
                       press(d, Qt::Key_Escape);
                   },
                   2, 20.0, 1, 20.0},
        AnswerCase{"ADeletionCannotBeCorrected", ChangeKind::Delete,
                   [](ReconcileDialog &d) {
                       EXPECT_FALSE(d.actionButton(ReconcileAction::Correct)->isEnabled());
                       EXPECT_FALSE(d.setAction(ReconcileAction::Correct));
                       press(d, Qt::Key_E, Qt::AltModifier);
                       QTest::qWait(200);
                       EXPECT_EQ(d.action(), ReconcileAction::Skip);
                       for (int row = 0; row < d.table()->rowCount(); ++row)
                           EXPECT_FALSE(d.table()->item(row, ReconcileDialog::MineColumn)->flags()
                                        & Qt::ItemIsEditable);
                       press(d, Qt::Key_Return);
                   },
                   2, QStringLiteral("<no row>"), 1}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace qv::client::test
