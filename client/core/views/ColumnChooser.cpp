#include "client/core/views/ColumnChooser.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace qv::client {

ColumnChooser::ColumnChooser(const QList<ColumnLayout> &columns, QWidget *parent)
    : QDialog(parent)
    , m_columns(columns)
    , m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("选择显示的列"));
    for (const ColumnLayout &c : columns) {
        auto *item = new QListWidgetItem(c.title.isEmpty() ? c.field : c.title, m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(c.visible ? Qt::Checked : Qt::Unchecked);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

QList<ColumnLayout> ColumnChooser::columns() const
{
    QList<ColumnLayout> out = m_columns;
    for (int i = 0; i < out.size() && i < m_list->count(); ++i)
        out[i].visible = m_list->item(i)->checkState() == Qt::Checked;
    return out;
}

} // namespace qv::client
