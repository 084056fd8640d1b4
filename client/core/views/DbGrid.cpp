#include "client/core/views/DbGrid.h"

#include "client/core/dataset/DisplayFormat.h"
#include "client/core/views/ColumnChooser.h"
#include "client/core/views/GridDelegate.h"
#include "client/core/views/GridFooter.h"
#include "client/core/views/GridView.h"

#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QVBoxLayout>

namespace qv::client {

DbGrid::DbGrid(QWidget *parent)
    : QWidget(parent)
    , m_view(new GridView(this))
    , m_footer(new GridFooter(this))
    , m_model(new DataSetModel(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    layout->addWidget(m_footer);
    m_footer->hide();

    m_view->setModel(m_model);
    m_view->setItemDelegate(new GridDelegate(this));
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 8);
    m_view->verticalHeader()->setMinimumWidth(m_view->fontMetrics().horizontalAdvance(QStringLiteral("▶▶")));

    QHeaderView *header = m_view->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSectionsMovable(true);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QHeaderView::sectionClicked, this, &DbGrid::headerClicked);
    connect(header, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("选择显示的列..."), this, [this] { showColumnChooser(); });
        menu.exec(m_view->horizontalHeader()->mapToGlobal(at));
    });
    auto repaintFooter = [this] { m_footer->update(); };
    connect(header, &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (const Field *f = m_model->fieldAt(logical); f && !m_restoring && size > 0)
            m_widths.insert(f->name().toUpper(), size);
        m_footer->update();
    });
    connect(header, &QHeaderView::sectionMoved, this, [this] {
        captureColumnState();
        m_footer->update();
    });
    connect(header, &QHeaderView::geometriesChanged, this, repaintFooter);
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, this, repaintFooter);

    connect(m_model, &QAbstractItemModel::dataChanged, this, &DbGrid::markFooterDirty);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &DbGrid::markFooterDirty);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &DbGrid::markFooterDirty);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        markFooterDirty();
        restoreColumnState();
        syncCurrent();
    });
    connect(m_model, &DataSetModel::currentRowChanged, this, &DbGrid::syncCurrent);
    applyReadOnly();
}

DbGrid::~DbGrid() = default;

QTableView *DbGrid::view() const
{
    return m_view;
}

void DbGrid::setDataSet(DataSet *dataSet)
{
    m_model->setDataSet(dataSet);
    markFooterDirty();
    syncCurrent();
}

DataSet *DbGrid::dataSet() const
{
    return m_model->dataSet();
}

// ---------------------------------------------------------------------------
// Columns

void DbGrid::setColumns(const QStringList &fieldNames)
{
    m_model->setColumns(fieldNames);
}

int DbGrid::columnOf(const QString &field) const
{
    return m_model->columnOf(field);
}

void DbGrid::setColumnTitle(const QString &field, const QString &title)
{
    const int col = columnOf(field);
    if (col >= 0)
        m_model->setHeaderData(col, Qt::Horizontal, title);
}

QString DbGrid::columnTitle(const QString &field) const
{
    const int col = columnOf(field);
    return col >= 0 ? m_model->headerData(col, Qt::Horizontal).toString() : QString();
}

void DbGrid::setColumnWidth(const QString &field, int pixels)
{
    m_widths.insert(field.toUpper(), pixels);
    const int col = columnOf(field);
    if (col >= 0)
        m_view->setColumnWidth(col, pixels);
}

int DbGrid::columnWidth(const QString &field) const
{
    const int col = columnOf(field);
    return col >= 0 ? m_view->columnWidth(col) : 0;
}

void DbGrid::setColumnVisible(const QString &field, bool visible)
{
    if (visible)
        m_hidden.remove(field.toUpper());
    else
        m_hidden.insert(field.toUpper());
    const int col = columnOf(field);
    if (col >= 0)
        m_view->setColumnHidden(col, !visible);
    m_footer->update();
}

bool DbGrid::isColumnVisible(const QString &field) const
{
    const int col = columnOf(field);
    return col >= 0 && !m_view->isColumnHidden(col);
}

void DbGrid::setColumnReadOnly(const QString &field, bool readOnly)
{
    m_model->setColumnReadOnly(field, readOnly);
}

void DbGrid::setColumnButton(const QString &field, bool on)
{
    if (on)
        m_buttons.insert(field.toUpper());
    else
        m_buttons.remove(field.toUpper());
}

void DbGrid::setPickList(const QString &field, const QStringList &texts)
{
    m_pickLists.insert(field.toUpper(), texts);
}

QStringList DbGrid::pickList(const QString &field) const
{
    return m_pickLists.value(field.toUpper());
}

// Widths, hidden columns and the order are kept by field name: a reset of the
// model (the dataset reopened) forgets the header's own state.
void DbGrid::captureColumnState()
{
    if (m_restoring)
        return;
    m_order.clear();
    const QHeaderView *header = m_view->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        if (const Field *f = m_model->fieldAt(header->logicalIndex(visual)))
            m_order << f->name();
    }
}

void DbGrid::restoreColumnState()
{
    QScopedValueRollback restoring(m_restoring, true);
    QHeaderView *header = m_view->horizontalHeader();
    int target = 0;
    for (const QString &field : m_order) {
        const int logical = columnOf(field);
        if (logical < 0)
            continue;
        const int from = header->visualIndex(logical);
        if (from != target)
            header->moveSection(from, target);
        ++target;
    }
    for (int col = 0; col < m_model->columnCount(); ++col) {
        const Field *f = m_model->fieldAt(col);
        if (!f)
            continue;
        const QString key = f->name().toUpper();
        m_view->setColumnHidden(col, m_hidden.contains(key));
        if (m_widths.contains(key))
            m_view->setColumnWidth(col, m_widths.value(key));
        else if (f->displayWidth() > 0)
            m_view->setColumnWidth(col, f->displayWidth() * m_view->fontMetrics().averageCharWidth() + 8);
    }
}

// ---------------------------------------------------------------------------
// Behaviour

void DbGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    applyReadOnly();
}

void DbGrid::applyReadOnly()
{
    m_model->setReadOnly(m_readOnly);
    m_view->setEditTriggers(m_readOnly ? QAbstractItemView::NoEditTriggers
                                       : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                             | QAbstractItemView::AnyKeyPressed
                                             | QAbstractItemView::SelectedClicked);
    m_view->setSelectionBehavior(m_readOnly ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void DbGrid::reportDataError()
{
    const DataSet *ds = dataSet();
    if (!ds || ds->lastError().isNull())
        return;
    const DataSetError error = ds->lastError();
    if (isSignalConnected(QMetaMethod::fromSignal(&DbGrid::dataError)))
        emit dataError(error);
    else
        QMessageBox::warning(this, QStringLiteral("提示"), error.message);
}

void DbGrid::syncCurrent()
{
    DataSet *ds = dataSet();
    if (!ds || m_syncing)
        return;
    const int row = ds->recNo();
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0)
        return;
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid() && current.row() == row)
        return;
    int col = current.isValid() ? current.column() : -1;
    if (col < 0 || m_view->isColumnHidden(col)) {
        const QHeaderView *header = m_view->horizontalHeader();
        for (int visual = 0; visual < header->count() && col < 0; ++visual) {
            if (!header->isSectionHidden(header->logicalIndex(visual)))
                col = header->logicalIndex(visual);
        }
    }
    if (col < 0)
        return;
    QScopedValueRollback syncing(m_syncing, true);
    const QModelIndex target = m_model->index(row, col);
    m_view->selectionModel()->setCurrentIndex(
        target, QItemSelectionModel::ClearAndSelect
                    | (m_readOnly ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate));
    m_view->scrollTo(target);
}

void DbGrid::viewCurrentChanged(const QModelIndex &current)
{
    DataSet *ds = dataSet();
    if (m_syncing || !ds || !current.isValid() || current.row() == ds->recNo())
        return;
    if (!ds->moveTo(current.row())) {
        reportDataError();
        // The cursor stayed: bring the view back once this change is over.
        QMetaObject::invokeMethod(this, &DbGrid::syncCurrent, Qt::QueuedConnection);
    }
}

bool DbGrid::isEditableColumn(int logical) const
{
    return !m_view->isColumnHidden(logical) && m_model->canEdit(logical);
}

int DbGrid::firstEditableColumn() const
{
    const QHeaderView *header = m_view->horizontalHeader();
    int firstVisible = -1;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical))
            continue;
        if (firstVisible < 0)
            firstVisible = logical;
        if (isEditableColumn(logical))
            return logical;
    }
    return firstVisible;
}

bool DbGrid::enterPressed()
{
    DataSet *ds = dataSet();
    if (m_readOnly || !ds || !ds->isActive())
        return false;
    const QHeaderView *header = m_view->horizontalHeader();
    const QModelIndex current = m_view->currentIndex();
    const int row = current.isValid() ? current.row() : ds->recNo();
    int lastVisible = -1;
    for (int visual = header->count() - 1; visual >= 0 && lastVisible < 0; --visual) {
        if (!header->isSectionHidden(header->logicalIndex(visual)))
            lastVisible = header->logicalIndex(visual);
    }
    if (row >= 0) {
        const int from = current.isValid() ? header->visualIndex(current.column()) : -1;
        for (int visual = from + 1; visual < header->count(); ++visual) {
            const int logical = header->logicalIndex(visual);
            if (m_enterSkipsLast && logical == lastVisible)
                break;
            if (isEditableColumn(logical)) {
                m_view->setCurrentIndex(m_model->index(row, logical));
                return true;
            }
        }
    }
    // On to the next row; past the last one a new row when inserts are allowed.
    const int col = firstEditableColumn();
    if (row + 1 < m_model->rowCount() || (row + 1 >= m_model->rowCount() && !ds->isAllFetched())) {
        if (!ds->moveTo(row + 1)) {
            reportDataError();
            return true;
        }
    } else if (m_allowInsert && !ds->isReadOnly()) {
        const bool untouchedNewRow = ds->state() == DataSetState::Insert && !ds->isModified();
        if (!untouchedNewRow && !ds->append()) {
            reportDataError();
            return true;
        }
    } else {
        return true;
    }
    if (col >= 0 && ds->recNo() >= 0)
        m_view->setCurrentIndex(m_model->index(ds->recNo(), col));
    return true;
}

bool DbGrid::escapePressed()
{
    DataSet *ds = dataSet();
    if (!ds || !ds->isEditing())
        return false;
    if (!ds->cancel())
        reportDataError();
    return true;
}

bool DbGrid::insertPressed(bool append)
{
    DataSet *ds = dataSet();
    if (m_readOnly || !m_allowInsert || !ds || !ds->isActive())
        return false;
    if (!(append ? ds->append() : ds->insert())) {
        reportDataError();
        return true;
    }
    const int col = firstEditableColumn();
    if (col >= 0)
        m_view->setCurrentIndex(m_model->index(ds->recNo(), col));
    return true;
}

void DbGrid::deletePressed()
{
    DataSet *ds = dataSet();
    if (m_readOnly || !m_allowDelete || !ds || !ds->isActive() || ds->isEmpty())
        return;
    const bool confirmed =
        m_confirmDelete ? m_confirmDelete(*ds)
                        : QMessageBox::question(this, QStringLiteral("资料删除"), QStringLiteral("确定要删除这条记录吗?"),
                                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                              == QMessageBox::Yes;
    if (confirmed && !ds->remove())
        reportDataError();
}

void DbGrid::headerClicked(int logical)
{
    DataSet *ds = dataSet();
    const Field *f = m_model->fieldAt(logical);
    if (!m_sortable || !ds || !ds->isActive() || !f)
        return;
    const QList<SortKey> &keys = ds->sortKeys();
    const bool onThis = keys.size() == 1 && keys[0].field.compare(f->name(), Qt::CaseInsensitive) == 0;
    QList<SortKey> next{SortKey{f->name(), false, true}};
    if (onThis && !keys[0].descending)
        next[0].descending = true;
    else if (onThis && m_sortCycleNone)
        next.clear();
    if (!ds->setSortKeys(next)) {
        reportDataError();
        return;
    }
    QHeaderView *header = m_view->horizontalHeader();
    header->setSortIndicatorShown(!next.isEmpty());
    if (!next.isEmpty())
        header->setSortIndicator(logical, next[0].descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

// ---------------------------------------------------------------------------
// Footer

void DbGrid::setFooter(const QString &field, FooterKind kind, const QString &format)
{
    if (kind == FooterKind::None)
        m_footers.remove(field.toUpper());
    else
        m_footers.insert(field.toUpper(), FooterSpec{kind, QString(), format});
    m_footer->setVisible(hasFooter());
    markFooterDirty();
}

void DbGrid::setFooterText(const QString &field, const QString &text)
{
    m_footers.insert(field.toUpper(), FooterSpec{FooterKind::Text, text, QString()});
    m_footer->setVisible(true);
    markFooterDirty();
}

void DbGrid::clearFooters()
{
    m_footers.clear();
    m_footer->hide();
    markFooterDirty();
}

FooterSpec DbGrid::footer(const QString &field) const
{
    return m_footers.value(field.toUpper());
}

void DbGrid::markFooterDirty()
{
    m_footerDirty = true;
    m_footer->update();
}

void DbGrid::computeFooters()
{
    m_footerValues.clear();
    m_footerDirty = false;
    DataSet *ds = dataSet();
    if (!ds || !ds->isActive())
        return;
    const int rows = ds->recordCount();
    for (auto it = m_footers.cbegin(); it != m_footers.cend(); ++it) {
        const Field *f = ds->fieldByName(it.key());
        switch (it->kind) {
        case FooterKind::Sum: {
            if (!f)
                break;
            // Read through the rows as shown, the row being edited included, so
            // the sum follows typing before the row is posted.
            double sum = 0;
            for (int row = 0; row < rows; ++row)
                sum += numericValue(ds->valueAt(row, *f));
            m_footerValues.insert(it.key(), sum);
            break;
        }
        case FooterKind::Count:
            m_footerValues.insert(it.key(), rows);
            break;
        case FooterKind::Text:
            m_footerValues.insert(it.key(), it->text);
            break;
        case FooterKind::None:
            break;
        }
    }
}

QVariant DbGrid::footerValue(const QString &field)
{
    if (m_footerDirty)
        computeFooters();
    return m_footerValues.value(field.toUpper());
}

QString DbGrid::footerText(const QString &field)
{
    const FooterSpec spec = footer(field);
    const QVariant value = footerValue(field);
    switch (spec.kind) {
    case FooterKind::Text:
        return spec.text;
    case FooterKind::Count:
        return value.isValid() ? QString::number(value.toInt()) : QString();
    case FooterKind::Sum: {
        if (!value.isValid())
            return QString();
        const Field *f = dataSet() ? dataSet()->fieldByName(field) : nullptr;
        const QString pattern = !spec.format.isEmpty() ? spec.format : (f ? f->displayFormat() : QString());
        return formatNumber(value.toDouble(), pattern);
    }
    case FooterKind::None:
        break;
    }
    return QString();
}

// ---------------------------------------------------------------------------
// Layout

void DbGrid::setSettings(GridSettings *settings, const QString &key)
{
    m_settings = settings;
    m_settingsKey = key;
}

bool DbGrid::restoreLayout()
{
    if (!m_settings)
        return false;
    const auto columns = m_settings->load(m_settingsKey);
    if (!columns)
        return false;
    applyLayout(*columns);
    return true;
}

bool DbGrid::saveLayout()
{
    return m_settings && m_settings->save(m_settingsKey, layout());
}

QList<ColumnLayout> DbGrid::layout() const
{
    QList<ColumnLayout> columns;
    const QHeaderView *header = m_view->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        const Field *f = m_model->fieldAt(logical);
        if (!f)
            continue;
        columns << ColumnLayout{f->name(), m_model->headerData(logical, Qt::Horizontal).toString(),
                                m_view->columnWidth(logical), !m_view->isColumnHidden(logical)};
    }
    return columns;
}

void DbGrid::applyLayout(const QList<ColumnLayout> &columns)
{
    m_order.clear();
    for (const ColumnLayout &c : columns) {
        m_order << c.field;
        if (!c.title.isEmpty())
            setColumnTitle(c.field, c.title);
        if (c.width > 0)
            m_widths.insert(c.field.toUpper(), c.width);
        if (c.visible)
            m_hidden.remove(c.field.toUpper());
        else
            m_hidden.insert(c.field.toUpper());
    }
    restoreColumnState();
    m_footer->update();
}

bool DbGrid::showColumnChooser()
{
    ColumnChooser chooser(layout(), this);
    if (chooser.exec() != QDialog::Accepted)
        return false;
    for (const ColumnLayout &c : chooser.columns())
        setColumnVisible(c.field, c.visible);
    return true;
}

// ---------------------------------------------------------------------------
// Output

GridSnapshot DbGrid::snapshot(const QString &title)
{
    GridSnapshot s;
    s.title = title;
    s.dataSet = dataSet();
    if (s.dataSet && s.dataSet->isActive())
        s.dataSet->fetchAll();
    s.hasFooter = hasFooter();
    for (const ColumnLayout &c : layout()) {
        if (!c.visible)
            continue;
        GridColumn column;
        column.field = c.field;
        column.title = c.title;
        column.width = c.width;
        column.footer = footer(c.field);
        column.footerValue = footerValue(c.field);
        column.footerText = footerText(c.field);
        s.columns << column;
    }
    return s;
}

ExportResult DbGrid::exportXlsx(const QString &path, const QString &title)
{
    const DataSet *ds = dataSet();
    if (!ds || !ds->isActive() || ds->isEmpty())
        return ExportResult{false, QStringLiteral("没有数据,不能导出！"), 0};
    return XlsxExport::write(snapshot(title), path);
}

int DbGrid::printTo(QPrinter &printer, const PrintOptions &options)
{
    return GridPrinter::print(snapshot(options.title), printer, options);
}

void DbGrid::printPreview(const PrintOptions &options)
{
    QPrintPreviewDialog preview(this);
    preview.setWindowTitle(options.title);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, &options](QPrinter *printer) { printTo(*printer, options); });
    preview.exec();
}

} // namespace qv::client
