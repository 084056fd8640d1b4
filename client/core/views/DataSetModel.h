// A table model over a DataSet: one row per row the dataset shows, one column
// per chosen field. It follows the dataset (rows inserted and removed, values
// changed, the cursor, packets read on demand) and edits through the fields, so
// typed text goes through the same conversion and hooks as anywhere else.
//
// Yes/no fields without a display hook show as check boxes. Numbers align right.
// The vertical header marks the current row ("▶", "✎" while edited, "*" for a
// new row).
#pragma once

#include "client/core/dataset/DataSet.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QStringList>

namespace qv::client {

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Role {
        ValueRole = Qt::UserRole + 1, // the stored value (QVariant, null invalid)
        FieldNameRole,
    };

    explicit DataSetModel(QObject *parent = nullptr);

    void setDataSet(DataSet *dataSet);
    DataSet *dataSet() const { return m_dataSet; }

    // The fields shown, in order; empty shows every visible field.
    void setColumns(const QStringList &fieldNames);
    const QStringList &configuredColumns() const { return m_names; }
    // Rereads the column list (after fields were shown or hidden).
    void refreshColumns();
    Field *fieldAt(int column) const;
    int columnOf(QStringView fieldName) const;
    QStringList columnFields() const;

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    void setColumnReadOnly(const QString &fieldName, bool readOnly);
    bool isColumnReadOnly(QStringView fieldName) const;
    bool canEdit(int column) const;

    static bool showsCheckBox(const Field &field);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    void currentRowChanged(int row);

private:
    void connectDataSet();
    void resolveColumns();
    void rowChanged(int row);
    void markCurrent(int row);

    QPointer<DataSet> m_dataSet;
    // True while listeners hear of a structural change: rows asked for then are
    // fetched once the notification is over, not inside it.
    bool m_notifying = false;
    bool m_fetchQueued = false;
    QStringList m_names;
    QList<Field *> m_columns;
    QHash<QString, QString> m_titles; // upper-case field name → title
    QSet<QString> m_readOnlyColumns;  // upper-case field names
    bool m_readOnly = false;
    int m_markedRow = -1;
};

} // namespace qv::client
