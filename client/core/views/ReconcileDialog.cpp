#include "client/core/views/ReconcileDialog.h"

#include "client/core/dataset/DataSet.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qv::client {

namespace {

QVariant asFieldValue(const Field &field, const QVariant &value)
{
    return toFieldValue(field.type(), value).value_or(value);
}

// True when the versions the window shows for the line are not all equal: a
// new row has no original, a deleted row no value of the clerk's, and the
// server's value counts only when the server still has the row.
bool lineDiffers(const ReconcileError &error, const ReconcileFieldLine &line)
{
    QVariantList shown;
    if (error.kind != ChangeKind::Delete)
        shown << line.mine;
    if (error.kind != ChangeKind::Insert)
        shown << line.original;
    if (error.serverHasRow)
        shown << line.server;
    for (qsizetype i = 1; i < shown.size(); ++i) {
        if (!sameValue(shown.first(), shown.at(i)))
            return true;
    }
    return false;
}

// The text of a value in the field's edit format: the column the clerk types
// into reads the same way as the two beside it.
QString valueText(const Field &field, const QVariant &value)
{
    // A yes/no field without texts of its own reads 是/否 here, as the clerk
    // would type it.
    if (field.type() == FieldType::YesNo && field.boolTexts().isEmpty() && value.isValid() && !value.isNull())
        return value.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    return field.formatValue(value, false);
}

QString actionText(ReconcileAction action, const ReconcileError &error)
{
    switch (action) {
    case ReconcileAction::Skip:
        return QStringLiteral("跳过(&S)：保留我的修改，下次提交时再试");
    case ReconcileAction::Cancel:
        return QStringLiteral("取消(&C)：放弃我的修改，恢复原来的值");
    case ReconcileAction::Correct:
        return QStringLiteral("修正(&E)：下次提交时按“修改后的值”一栏保存");
    case ReconcileAction::Refresh:
        return error.serverHasRow ? QStringLiteral("刷新(&R)：采用服务器上现在的数据")
                                  : QStringLiteral("刷新(&R)：服务器上没有这一行，从这里也去掉");
    }
    return QString();
}

constexpr ReconcileAction kActions[] = {ReconcileAction::Skip, ReconcileAction::Cancel,
                                        ReconcileAction::Correct, ReconcileAction::Refresh};

// Cell colours: a field whose versions disagree stands out; the texts that
// stand in for a missing version are grey (not italic: slanted Chinese reads
// badly).
const QColor kConflictBackground(255, 243, 205);
const QColor kPlaceholderText(128, 128, 128);

} // namespace

// ---------------------------------------------------------------------------
// Decisions
// ---------------------------------------------------------------------------

QString reconcileKindText(ChangeKind kind)
{
    switch (kind) {
    case ChangeKind::Insert: return QStringLiteral("新增");
    case ChangeKind::Modify: return QStringLiteral("修改");
    case ChangeKind::Delete: return QStringLiteral("删除");
    }
    return QString();
}

bool reconcileActionAllowed(const ReconcileError &error, ReconcileAction action)
{
    return !(action == ReconcileAction::Correct && error.kind == ChangeKind::Delete);
}

QList<ReconcileFieldLine> reconcileFieldLines(const DataSet &dataSet, const ReconcileError &error)
{
    QList<ReconcileFieldLine> lines;
    for (const Field *field : dataSet.fields()) {
        if (field->kind() != FieldKind::Data || !field->isVisible() || field->type() == FieldType::Blob)
            continue;
        ReconcileFieldLine line;
        line.fieldIndex = field->index();
        line.slot = field->slot();
        line.label = field->displayLabel();
        if (error.kind != ChangeKind::Delete)
            line.mine = asFieldValue(*field, error.newValues.value(line.slot));
        if (error.kind != ChangeKind::Insert)
            line.original = asFieldValue(*field, error.oldValues.value(line.slot));
        if (error.serverHasRow)
            line.server = asFieldValue(*field, error.serverValues.value(line.slot));
        line.editable = error.kind != ChangeKind::Delete && field->isWrittenBack() && !field->isReadOnly();
        line.differs = lineDiffers(error, line);
        lines << line;
    }
    return lines;
}

std::optional<QVariant> correctLine(const DataSet &dataSet, const ReconcileError &error,
                                    ReconcileFieldLine &line, const QString &text, QString *why)
{
    const Field *field = dataSet.field(line.fieldIndex);
    if (!field || !line.editable) {
        if (why)
            *why = QStringLiteral("'%1'不能修改").arg(line.label);
        return std::nullopt;
    }
    const auto value = field->parseText(text, why);
    if (!value)
        return std::nullopt;
    line.mine = *value;
    line.differs = lineDiffers(error, line);
    return value;
}

QVariantList correctedValues(const ReconcileError &error, const QList<ReconcileFieldLine> &lines)
{
    QVariantList values = error.newValues;
    for (const ReconcileFieldLine &line : lines) {
        if (!line.editable || line.slot < 0)
            continue;
        while (values.size() <= line.slot)
            values << QVariant();
        values[line.slot] = line.mine;
    }
    return values;
}

// ---------------------------------------------------------------------------
// The window
// ---------------------------------------------------------------------------

ReconcileDialog::ReconcileDialog(DataSet &dataSet, ReconcileError &error, QWidget *parent)
    : QDialog(parent)
    , m_dataSet(dataSet)
    , m_error(error)
    , m_lines(reconcileFieldLines(dataSet, error))
{
    setWindowTitle(QStringLiteral("保存出错"));

    QString where = QStringLiteral("数据集：%1    操作：%2")
                        .arg(dataSet.name(), reconcileKindText(error.kind));
    if (error.row >= 0)
        where += QStringLiteral("    第 %1 行").arg(error.row + 1);
    auto *whereLabel = new QLabel(where, this);

    auto *heading = new QLabel(QStringLiteral("服务器没有接受这一行，提示："), this);
    auto *message = new QLabel(error.message.isEmpty() ? QStringLiteral("（没有说明）") : error.message, this);
    message->setWordWrap(true);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message->setFrameShape(QFrame::StyledPanel);
    message->setMargin(6);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);

    buildTable();

    m_conflictsOnly = new QCheckBox(QStringLiteral("只显示有冲突的字段(&D)"), this);
    const bool anyDiffers = std::any_of(m_lines.begin(), m_lines.end(),
                                        [](const ReconcileFieldLine &l) { return l.differs; });
    m_conflictsOnly->setEnabled(anyDiffers);
    connect(m_conflictsOnly, &QCheckBox::toggled, this, [this] { fillTable(); });

    m_editError = new QLabel(this);
    m_editError->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_editError->setWordWrap(true);
    m_editError->hide();

    auto *actionsBox = new QGroupBox(QStringLiteral("怎样处理这一行"), this);
    auto *actionsLayout = new QVBoxLayout(actionsBox);
    m_actions = new QButtonGroup(this);
    for (ReconcileAction action : kActions) {
        auto *button = new QRadioButton(actionText(action, error), actionsBox);
        button->setEnabled(reconcileActionAllowed(error, action));
        m_actions->addButton(button, int(action));
        actionsLayout->addWidget(button);
    }
    actionButton(ReconcileAction::Skip)->setChecked(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    // "取消" is one of the actions; the button that closes without deciding
    // (the row is skipped) must not read the same.
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("关闭"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(whereLabel);
    layout->addWidget(heading);
    layout->addWidget(message);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_conflictsOnly);
    layout->addWidget(m_editError);
    layout->addWidget(actionsBox);
    layout->addWidget(buttons);

    fillTable();
    resize(720, 560);
}

void ReconcileDialog::buildTable()
{
    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setHorizontalHeaderLabels({QStringLiteral("字段"), QStringLiteral("修改后的值"),
                                        QStringLiteral("原来的值"), QStringLiteral("服务器上的值")});
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    m_table->setTabKeyNavigation(false);
    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionResizeMode(FieldColumn, QHeaderView::ResizeToContents);
    for (int column = MineColumn; column < ColumnCount; ++column)
        header->setSectionResizeMode(column, QHeaderView::Stretch);
    connect(m_table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!m_filling && item->column() == MineColumn)
            takeEdit(item->row(), item->column());
    });
}

void ReconcileDialog::fillTable()
{
    m_shown.clear();
    const bool onlyConflicts = m_conflictsOnly->isChecked();
    for (int i = 0; i < m_lines.size(); ++i) {
        if (!onlyConflicts || m_lines[i].differs)
            m_shown << i;
    }
    m_filling = true;
    m_table->clearContents();
    m_table->setRowCount(int(m_shown.size()));
    for (int row = 0; row < m_shown.size(); ++row)
        setCellTexts(row, m_lines[m_shown[row]]);
    m_filling = false;
    // Start on the first value the clerk may correct, a disputed one first.
    int start = -1;
    for (int row = 0; row < m_shown.size(); ++row) {
        const ReconcileFieldLine &line = m_lines[m_shown[row]];
        if (line.editable && (start < 0 || (line.differs && !m_lines[m_shown[start]].differs)))
            start = row;
    }
    if (start >= 0)
        m_table->setCurrentCell(start, MineColumn);
}

void ReconcileDialog::setCellTexts(int tableRow, const ReconcileFieldLine &line)
{
    const Field *field = m_dataSet.field(line.fieldIndex);
    auto cell = [&](int column, const QString &text, bool placeholder = false) {
        QTableWidgetItem *item = m_table->item(tableRow, column);
        if (!item) {
            item = new QTableWidgetItem;
            m_table->setItem(tableRow, column, item);
        }
        item->setText(text);
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (column == MineColumn && line.editable)
            flags |= Qt::ItemIsEditable;
        item->setFlags(flags);
        if (placeholder)
            item->setForeground(kPlaceholderText);
        item->setBackground(line.differs ? QBrush(kConflictBackground) : QBrush());
        return item;
    };

    QTableWidgetItem *name = cell(FieldColumn, line.label);
    QFont nameFont = name->font();
    nameFont.setBold(line.differs);
    name->setFont(nameFont);

    if (m_error.kind == ChangeKind::Delete)
        cell(MineColumn, QStringLiteral("（已删除）"), true);
    else
        cell(MineColumn, valueText(*field, line.mine))
            ->setToolTip(line.editable ? QStringLiteral("双击或直接输入可修正这个值")
                                       : QStringLiteral("这个字段不能修改"));
    if (m_error.kind == ChangeKind::Insert)
        cell(OriginalColumn, QStringLiteral("（新增的行）"), true);
    else
        cell(OriginalColumn, valueText(*field, line.original));
    if (m_error.serverHasRow)
        cell(ServerColumn, valueText(*field, line.server));
    else
        cell(ServerColumn, QStringLiteral("（没有这一行）"), true);
}

void ReconcileDialog::takeEdit(int tableRow, int column)
{
    QTableWidgetItem *item = m_table->item(tableRow, column);
    if (!item || tableRow >= m_shown.size())
        return;
    ReconcileFieldLine &line = m_lines[m_shown[tableRow]];
    QString why;
    const bool taken = correctLine(m_dataSet, m_error, line, item->text(), &why).has_value();
    showEditError(taken ? QString() : why);
    // Either way the cell shows the line's value as the field writes it.
    m_filling = true;
    setCellTexts(tableRow, line);
    m_filling = false;
    // Correcting a value is choosing to send it.
    if (taken && reconcileActionAllowed(m_error, ReconcileAction::Correct))
        setAction(ReconcileAction::Correct);
}

void ReconcileDialog::showEditError(const QString &message)
{
    m_editError->setText(message);
    m_editError->setVisible(!message.isEmpty());
}

QString ReconcileDialog::editError() const
{
    return m_editError->text();
}

ReconcileAction ReconcileDialog::action() const
{
    const int id = m_actions->checkedId();
    return id < 0 ? ReconcileAction::Skip : ReconcileAction(id);
}

bool ReconcileDialog::setAction(ReconcileAction action)
{
    if (!reconcileActionAllowed(m_error, action))
        return false;
    actionButton(action)->setChecked(true);
    return true;
}

QAbstractButton *ReconcileDialog::actionButton(ReconcileAction action) const
{
    return m_actions->button(int(action));
}

void ReconcileDialog::done(int result)
{
    if (result == Accepted) {
        // A value still in its editor is taken first (its editor commits when it
        // loses the focus); a value that does not read keeps the window open.
        QWidget *focus = QApplication::focusWidget();
        if (focus && focus != m_table && m_table->isAncestorOf(focus)) {
            showEditError(QString());
            m_table->setFocus();
            if (!editError().isEmpty())
                return;
        }
        // Alt+letter presses its button and checks it only when the button
        // comes up a moment later; an Enter typed meanwhile means that action.
        for (QAbstractButton *button : m_actions->buttons()) {
            if (button->isDown() && button->isEnabled())
                button->setChecked(true);
        }
        m_decision = action();
        if (m_decision == ReconcileAction::Correct)
            m_error.newValues = correctedValues(m_error, m_lines);
    } else {
        m_decision = ReconcileAction::Skip;
    }
    QDialog::done(result);
}

ReconcileAction ReconcileDialog::ask(DataSet &dataSet, ReconcileError &error, QWidget *parent)
{
    // The refusal arrives at the end of a server call; whatever busy cursor is
    // still up must not sit over the question.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    ReconcileDialog dialog(dataSet, error, parent);
    dialog.exec();
    QApplication::restoreOverrideCursor();
    return dialog.decision();
}

std::function<ReconcileAction(DataSet &, ReconcileError &)>
reconcileDialogHandler(std::function<QWidget *()> parent)
{
    return [parent = std::move(parent)](DataSet &dataSet, ReconcileError &error) {
        return ReconcileDialog::ask(dataSet, error, parent ? parent() : nullptr);
    };
}

} // namespace qv::client
