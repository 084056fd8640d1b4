// TData: the exec-SQL path and the one-value lookups on the query pool.
#include "client/core/data/TData.h"

#include "client/core/data/SqlText.h"

#include <QRegularExpression>

namespace qv::client {

namespace {

// Closes a pool dataset when the lookup that took it is done, so the next
// lookup finds it free again.
class PoolLease {
public:
    explicit PoolLease(DataSet *dataSet)
        : m_dataSet(dataSet)
    {
    }
    ~PoolLease() { m_dataSet->close(); }
    PoolLease(const PoolLease &) = delete;
    PoolLease &operator=(const PoolLease &) = delete;
    DataSet *operator->() const { return m_dataSet; }
    DataSet *get() const { return m_dataSet; }

private:
    DataSet *m_dataSet;
};

bool isPlainName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch();
}

} // namespace

bool TData::runSql(DataSet *dataSet, const QString &sql, bool open)
{
    if (!dataSet)
        return failed(QStringLiteral("没有给出数据集"));
    dataSet->close();
    if (dataSet->isActive())
        return failed(dataSet->lastError().toString());
    dataSet->setCommandText(sql);
    if (open) {
        if (!dataSet->open())
            return failed(dataSet->lastError().message);
        m_lastError.clear();
        return true;
    }
    if (!dataSet->source())
        return failed(QStringLiteral("数据集'%1'没有数据来源").arg(dataSet->name()));
    const ExecResult result = dataSet->source()->execute(dataSet->providerName(), sql);
    if (!result.ok)
        return failed(result.error);
    m_lastError.clear();
    return true;
}

void TData::runSqlQuiet(const QString &sql, DataSet *dataSet)
{
    const QString kept = m_lastError;
    runSql(dataSet, sql, false);
    if (dataSet)
        dataSet->close();
    m_lastError = kept;
}

DataResult<bool> TData::queryExists(const QString &sql)
{
    PoolLease query(getPoolQuery());
    if (!runSql(query.get(), sql, true))
        return DataResult<bool>::failure(m_lastError);
    return DataResult<bool>::success(!query->isEmpty());
}

DataResult<QVariant> TData::queryValue(const QString &sql)
{
    PoolLease query(getPoolQuery());
    if (!runSql(query.get(), sql, true))
        return DataResult<QVariant>::failure(m_lastError);
    if (query->fieldCount() == 0)
        return DataResult<QVariant>::success(QVariant());
    const Field *first = query->field(0);
    if (!query->isEmpty())
        return DataResult<QVariant>::success(first->value());
    if (isTextual(first->type()))
        return DataResult<QVariant>::success(QString());
    if (isNumeric(first->type()) || first->type() == FieldType::YesNo)
        return DataResult<QVariant>::success(0);
    return DataResult<QVariant>::success(QVariant());
}

int TData::queryToFields(const QString &sql, DataSet *target, const QString &fieldList, bool clear)
{
    if (!target) {
        failed(QStringLiteral("没有给出数据集"));
        return -1;
    }
    PoolLease query(getPoolQuery());
    if (!runSql(query.get(), sql, true))
        return -1;
    const QStringList names = fieldList.split(u';', Qt::SkipEmptyParts);
    const bool hasRow = !query->isEmpty();
    if (!hasRow && !clear)
        return 0;
    if (!target->isEditing() && !target->edit()) {
        failed(target->lastError().toString());
        return -1;
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        Field *field = target->fieldByName(names[i].trimmed());
        if (!field)
            continue;
        if (hasRow) {
            if (i < query->fieldCount())
                field->setValue(query->field(int(i))->value());
        } else if (isNumeric(field->type())) {
            field->setValue(0);
        } else if (isTextual(field->type())) {
            field->setValue(QString());
        }
    }
    return hasRow ? 1 : 0;
}

bool TData::tryExecSql(const QString &sql)
{
    PoolLease query(getPoolQuery());
    return runSql(query.get(), sql, false);
}

DataResult<qint64> TData::nextTableId(const QString &table)
{
    if (!isPlainName(table))
        return DataResult<qint64>::failure(QStringLiteral("表名'%1'不正确").arg(table));
    const QString key = table.compare(u"pub_ItemType", Qt::CaseInsensitive) == 0
                            ? QStringLiteral("ItemType")
                            : QStringLiteral("ID");
    const auto value = queryValue(QStringLiteral("select Max(%1)+1 from %2").arg(key, table));
    if (!value)
        return DataResult<qint64>::failure(value.error);
    if (!value.value.isValid())
        return DataResult<qint64>::success(1);
    return DataResult<qint64>::success(qint64(numericValue(value.value)));
}

DataResult<QList<RowValues>> TData::selectRows(const QString &sql)
{
    const OpenResult result = m_source->openAll(m_tmp->providerName(), sql);
    if (!result.ok) {
        failed(result.error);
        return DataResult<QList<RowValues>>::failure(m_lastError);
    }
    return DataResult<QList<RowValues>>::success(result.rows);
}

DataResult<qint64> TData::setId(DataSet &dataSet)
{
    if (dataSet.state() != DataSetState::Insert)
        return DataResult<qint64>::failure(
            QStringLiteral("数据集'%1'不在新增状态").arg(dataSet.name()));
    Field *id = dataSet.fieldByName(u"ID");
    if (!id || !isPlainName(dataSet.name()))
        return DataResult<qint64>::failure(
            QStringLiteral("数据集'%1'没有ID字段").arg(dataSet.name()));
    const auto value = queryValue(
        QStringLiteral("select iif(isnull(max(ID)), 1, max(ID)+1) from %1 where ID > 0").arg(dataSet.name()));
    if (!value)
        return DataResult<qint64>::failure(value.error);
    const qint64 next = value.value.isValid() ? qint64(numericValue(value.value)) : 1;
    if (!id->setValue(next))
        return DataResult<qint64>::failure(dataSet.lastError().toString());
    return DataResult<qint64>::success(next);
}

} // namespace qv::client
