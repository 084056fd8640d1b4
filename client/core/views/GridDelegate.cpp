#include "client/core/views/GridDelegate.h"

#include "client/core/views/DbGrid.h"
#include "client/core/views/NullableDateEdit.h"

#include <QAbstractItemView>
#include <QAction>
#include <QStyle>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace qv::client {

namespace {

QStringList lookupTexts(const Field &field)
{
    QStringList texts;
    DataSet *list = field.lookup().dataSet;
    const Field *result = list ? list->fieldByName(field.lookup().resultField) : nullptr;
    if (!result || !list->isActive())
        return texts;
    for (int row = 0; row < list->recordCount(); ++row)
        texts << list->displayTextAt(row, *result);
    return texts;
}

} // namespace

GridDelegate::GridDelegate(DbGrid *grid)
    : QStyledItemDelegate(grid)
    , m_grid(grid)
{
}

QWidget *GridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                    const QModelIndex &index) const
{
    const Field *f = m_grid->model()->fieldAt(index.column());
    if (!f)
        return QStyledItemDelegate::createEditor(parent, option, index);
    const QStringList pick = m_grid->pickList(f->name());
    if (f->isLookup() || !pick.isEmpty()) {
        auto *combo = new QComboBox(parent);
        combo->setFrame(false);
        combo->setEditable(!f->isLookup());
        combo->addItems(f->isLookup() ? lookupTexts(*f) : pick);
        return combo;
    }
    if (isTemporal(f->type())) {
        auto *date = new NullableDateEdit(parent);
        date->setFrame(false);
        return date;
    }
    auto *edit = new QLineEdit(parent);
    edit->setFrame(false);
    if (isNumeric(f->type())) {
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        static const QRegularExpression number(QStringLiteral("[-+]?[0-9,]*\\.?[0-9]*"));
        edit->setValidator(new QRegularExpressionValidator(number, edit));
    } else if (isTextual(f->type()) && f->size() > 0) {
        edit->setMaxLength(f->size());
    }
    if (m_grid->hasColumnButton(f->name())) {
        QAction *button = edit->addAction(edit->style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                          QLineEdit::TrailingPosition);
        const QString field = f->name();
        connect(button, &QAction::triggered, m_grid, [grid = m_grid, field] { emit grid->editButtonClicked(field); });
    }
    return edit;
}

void GridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        const QString text = index.data(Qt::DisplayRole).toString();
        combo->setCurrentIndex(combo->findText(text));
        if (combo->isEditable())
            combo->setEditText(text);
        return;
    }
    if (auto *date = qobject_cast<NullableDateEdit *>(editor)) {
        date->setNullableDate(index.data(DataSetModel::ValueRole).toDateTime().date());
        return;
    }
    if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
        edit->setText(index.data(Qt::EditRole).toString());
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void GridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    // An editor closed without a change leaves the row as it was (no edit state).
    bool ok = true;
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        const QString text = combo->currentText();
        if (text != index.data(Qt::DisplayRole).toString())
            ok = model->setData(index, text, Qt::EditRole);
    } else if (auto *date = qobject_cast<NullableDateEdit *>(editor)) {
        const QDateTime before = index.data(DataSetModel::ValueRole).toDateTime();
        const QDate chosen = date->nullableDate();
        if (chosen != before.date()) {
            const QVariant value = chosen.isValid()
                                       ? QVariant(QDateTime(chosen, before.isValid() ? before.time() : QTime(0, 0)))
                                       : QVariant();
            ok = model->setData(index, value, Qt::EditRole);
        }
    } else if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
        if (edit->text() != index.data(Qt::EditRole).toString())
            ok = model->setData(index, edit->text(), Qt::EditRole);
    } else {
        QStyledItemDelegate::setModelData(editor, model, index);
    }
    if (!ok)
        m_grid->reportDataError();
}

bool GridDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        auto *editor = qobject_cast<QWidget *>(object);
        if (enter && editor && !(key->modifiers() & Qt::ShiftModifier)) {
            if (auto *combo = qobject_cast<QComboBox *>(editor); combo && combo->view()->isVisible())
                return QStyledItemDelegate::eventFilter(object, event);
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::EditNextItem);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace qv::client
