#include "client/core/views/DataSetModel.h"

#include <QScopedValueRollback>

namespace qv::client {

DataSetModel::DataSetModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void DataSetModel::setDataSet(DataSet *dataSet)
{
    if (m_dataSet == dataSet)
        return;
    beginResetModel();
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    m_columns.clear();
    m_markedRow = -1;
    if (m_dataSet)
        connectDataSet();
    resolveColumns();
    endResetModel();
}

void DataSetModel::connectDataSet()
{
    DataSet *ds = m_dataSet;
    connect(ds, &DataSet::aboutToReset, this, [this] {
        beginResetModel();
        // The fields may be replaced while the dataset resets.
        m_columns.clear();
    });
    connect(ds, &DataSet::wasReset, this, [this] {
        resolveColumns();
        m_markedRow = m_dataSet ? m_dataSet->recNo() : -1;
        QScopedValueRollback notifying(m_notifying, true);
        endResetModel();
    });
    connect(ds, &DataSet::rowsAboutToBeInserted, this,
            [this](int first, int last) { beginInsertRows(QModelIndex(), first, last); });
    connect(ds, &DataSet::rowsInserted, this, [this](int, int) {
        {
            QScopedValueRollback notifying(m_notifying, true);
            endInsertRows();
        }
        m_markedRow = m_dataSet->recNo();
    });
    connect(ds, &DataSet::rowsAboutToBeRemoved, this,
            [this](int first, int last) { beginRemoveRows(QModelIndex(), first, last); });
    connect(ds, &DataSet::rowsRemoved, this, [this](int, int) {
        {
            QScopedValueRollback notifying(m_notifying, true);
            endRemoveRows();
        }
        m_markedRow = m_dataSet->recNo();
    });
    connect(ds, &DataSet::rowChanged, this, &DataSetModel::rowChanged);
    connect(ds, &DataSet::currentRowChanged, this, [this](int row) {
        markCurrent(row);
        emit currentRowChanged(row);
    });
    connect(ds, &DataSet::stateChanged, this, [this] { markCurrent(m_dataSet->recNo()); });
    connect(ds, &DataSet::refreshed, this, [this] {
        if (rowCount() > 0 && columnCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        markCurrent(m_dataSet->recNo());
        emit currentRowChanged(m_dataSet->recNo());
    });
    connect(ds, &QObject::destroyed, this, [this] {
        beginResetModel();
        m_columns.clear();
        endResetModel();
    });
}

void DataSetModel::resolveColumns()
{
    m_columns.clear();
    if (!m_dataSet)
        return;
    if (m_names.isEmpty()) {
        for (Field *f : m_dataSet->fields()) {
            if (f->isVisible())
                m_columns << f;
        }
        return;
    }
    for (const QString &name : m_names) {
        if (Field *f = m_dataSet->fieldByName(name))
            m_columns << f;
    }
}

void DataSetModel::setColumns(const QStringList &fieldNames)
{
    m_names = fieldNames;
    refreshColumns();
}

void DataSetModel::refreshColumns()
{
    beginResetModel();
    resolveColumns();
    endResetModel();
}

Field *DataSetModel::fieldAt(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns[column] : nullptr;
}

int DataSetModel::columnOf(QStringView fieldName) const
{
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i]->name().compare(fieldName, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QStringList DataSetModel::columnFields() const
{
    QStringList names;
    for (const Field *f : m_columns)
        names << f->name();
    return names;
}

void DataSetModel::setReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void DataSetModel::setColumnReadOnly(const QString &fieldName, bool readOnly)
{
    if (readOnly)
        m_readOnlyColumns.insert(fieldName.toUpper());
    else
        m_readOnlyColumns.remove(fieldName.toUpper());
}

bool DataSetModel::isColumnReadOnly(QStringView fieldName) const
{
    return m_readOnlyColumns.contains(fieldName.toString().toUpper());
}

bool DataSetModel::showsCheckBox(const Field &field)
{
    return field.type() == FieldType::YesNo && !field.hasGetTextHook();
}

bool DataSetModel::canEdit(int column) const
{
    const Field *f = fieldAt(column);
    if (!f || m_readOnly || !m_dataSet || !m_dataSet->isActive() || m_dataSet->isReadOnly())
        return false;
    return !f->isReadOnly() && f->kind() != FieldKind::Calculated && f->type() != FieldType::Blob
           && !isColumnReadOnly(f->name());
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_dataSet || !m_dataSet->isActive())
        return 0;
    return m_dataSet->recordCount();
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const Field *f = fieldAt(index.column());
    if (!f || !m_dataSet)
        return QVariant();
    DataSet &ds = *m_dataSet;
    switch (role) {
    case Qt::DisplayRole:
        return showsCheckBox(*f) ? QVariant() : QVariant(ds.displayTextAt(index.row(), *f));
    case Qt::EditRole:
        return ds.textAt(index.row(), *f);
    case Qt::ToolTipRole:
        return showsCheckBox(*f) || f->type() == FieldType::Blob ? QVariant()
                                                                 : QVariant(ds.displayTextAt(index.row(), *f));
    case ValueRole:
        return ds.valueAt(index.row(), *f);
    case FieldNameRole:
        return f->name();
    case Qt::CheckStateRole: {
        if (!showsCheckBox(*f))
            return QVariant();
        const QVariant v = ds.valueAt(index.row(), *f);
        return int(!v.isValid() ? Qt::PartiallyChecked : (v.toBool() ? Qt::Checked : Qt::Unchecked));
    }
    case Qt::TextAlignmentRole:
        return int((isNumeric(f->type()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

bool DataSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)
        || !canEdit(index.column()))
        return false;
    Field *f = fieldAt(index.column());
    DataSet &ds = *m_dataSet;
    if (index.row() != ds.recNo() && !ds.moveTo(index.row()))
        return false;
    if (role == Qt::CheckStateRole && showsCheckBox(*f))
        return f->setValue(value.toInt() == Qt::Checked);
    if (role != Qt::EditRole)
        return false;
    if (value.metaType().id() == QMetaType::QString)
        return f->setAsText(value.toString());
    return f->setValue(value);
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        const Field *f = fieldAt(section);
        if (!f)
            return QVariant();
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_titles.value(f->name().toUpper(), f->displayLabel());
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        case FieldNameRole:
            return f->name();
        default:
            return QVariant();
        }
    }
    if (role != Qt::DisplayRole || section < 0 || section >= rowCount())
        return QVariant();
    if (!m_dataSet || section != m_dataSet->recNo())
        return QString();
    switch (m_dataSet->state()) {
    case DataSetState::Insert: return QStringLiteral("*");
    case DataSetState::Edit: return QStringLiteral("✎");
    default: return QStringLiteral("▶");
    }
}

bool DataSetModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    const Field *f = fieldAt(section);
    if (!f)
        return false;
    m_titles.insert(f->name().toUpper(), value.toString());
    emit headerDataChanged(Qt::Horizontal, section, section);
    return true;
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags fl = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    const Field *f = fieldAt(index.column());
    if (f && canEdit(index.column()))
        fl |= showsCheckBox(*f) ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return fl;
}

bool DataSetModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_dataSet && m_dataSet->isActive() && !m_dataSet->isAllFetched();
}

void DataSetModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    if (!m_notifying) {
        m_dataSet->fetchMore();
        return;
    }
    if (m_fetchQueued)
        return;
    m_fetchQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_fetchQueued = false;
            if (canFetchMore(QModelIndex()))
                m_dataSet->fetchMore();
        },
        Qt::QueuedConnection);
}

void DataSetModel::rowChanged(int row)
{
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void DataSetModel::markCurrent(int row)
{
    const int previous = m_markedRow;
    m_markedRow = row;
    const int rows = rowCount();
    if (previous >= 0 && previous < rows)
        emit headerDataChanged(Qt::Vertical, previous, previous);
    if (row >= 0 && row < rows && row != previous)
        emit headerDataChanged(Qt::Vertical, row, row);
}

} // namespace qv::client
