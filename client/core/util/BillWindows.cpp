#include "client/core/util/BillWindows.h"

#include <QComboBox>
#include <QMessageBox>

namespace qv::client {

void BillWindows::addBillWindow(const QString &windowKind, BillOpener opener)
{
    m_bills.insert(windowKind.toUpper(), std::move(opener));
}

void BillWindows::addListWindow(const QString &windowKind, ListOpener opener)
{
    m_lists.insert(windowKind.toUpper(), std::move(opener));
}

BillWindows::BillOpener BillWindows::billOpener(const QString &windowKind) const
{
    return m_bills.value(windowKind.toUpper());
}

BillWindows::ListOpener BillWindows::listOpener(const QString &windowKind) const
{
    return m_lists.value(windowKind.toUpper());
}

namespace {

std::optional<qint64> positiveId(const QVariant &id)
{
    bool ok = false;
    const double number = id.toString().trimmed().toDouble(&ok);
    if (!ok || number < 1 || number != qint64(number))
        return std::nullopt;
    return qint64(number);
}

bool isStockTaking(const QString &canonical)
{
    return canonical == QStringLiteral("盘亏盘盈") || canonical == QStringLiteral("库存调整");
}

void refuse(QWidget *parent)
{
    QMessageBox::warning(parent, QStringLiteral("操作失败"), QStringLiteral("不能打开此单据。"));
}

} // namespace

std::optional<BillRequest> billRequest(const QString &name, const QVariant &id)
{
    const std::optional<qint64> key = positiveId(id);
    const BillType *type = billTypeByName(name);
    if (!key || !type)
        return std::nullopt;
    BillRequest request;
    request.type = type;
    request.name = name.trimmed();
    request.id = *key;
    request.viewOnly = !type->editable;
    request.billType = QString::fromUtf8(type->windowBillType);
    if (isStockTaking(type->nameText()))
        request.billType = type->codeText(); // KCPD for 盘亏盘盈 and 库存盘点, KCTZ for 库存调整
    if (*type->headerQuery)
        request.headerQuery = billHeaderQuery(*type, *key);
    return request;
}

OpenBillOutcome OpenBill(const BillWindows &windows, const QString &name, const QVariant &id, QWidget *parent)
{
    if (const BillProcess *process = billProcessByName(name)) {
        const std::optional<qint64> key = positiveId(id);
        if (!key) {
            refuse(parent);
            return OpenBillOutcome::Refused;
        }
        if (!windows.loader())
            return OpenBillOutcome::NotAvailable;
        windows.loader()(QString::fromUtf8(process->dataSet), QString::fromUtf8(process->query)
                                                                   + QString::number(*key)
                                                                   + QString::fromUtf8(process->tail));
        return OpenBillOutcome::Loaded;
    }

    const std::optional<BillRequest> request = billRequest(name, id);
    if (!request || (!*request->type->billWindow && !*request->type->headerQuery)) {
        refuse(parent);
        return OpenBillOutcome::Refused;
    }
    const BillType &type = *request->type;
    if (!*type.billWindow) {
        // Orders load their header without opening a window.
        if (!windows.loader())
            return OpenBillOutcome::NotAvailable;
        windows.loader()(QString::fromUtf8(type.headerDataSet), request->headerQuery);
        return OpenBillOutcome::Loaded;
    }
    const BillWindows::BillOpener opener = windows.billOpener(QString::fromUtf8(type.billWindow));
    if (!opener)
        return OpenBillOutcome::NotAvailable;
    opener(*request, parent);
    return OpenBillOutcome::Opened;
}

std::optional<BillListTarget> billListTarget(const QString &name)
{
    const BillType *type = billTypeByName(name);
    if (!type || !*type->listWindow)
        return std::nullopt;
    BillListTarget target{QString::fromUtf8(type->listWindow), QString::fromUtf8(type->windowBillType)};
    if (isStockTaking(type->nameText()))
        target.billType = type->codeText();
    return target;
}

bool OpenBillList(const BillWindows &windows, const QString &name, QWidget *parent)
{
    const std::optional<BillListTarget> target = billListTarget(name);
    if (!target)
        return false;
    const BillWindows::ListOpener opener = windows.listOpener(target->windowKind);
    if (!opener)
        return false;
    opener(target->billType, parent);
    return true;
}

double ItemPrice(QueryService &queries, qint64 itemId)
{
    const QVariant value = queries.queryValue(QStringLiteral("select JJJ from HP  where ID = ") + QString::number(itemId));
    return value.isValid() ? value.toDouble() : 0.0;
}

QStringList queryColumn(QueryService &queries, const QString &sql)
{
    QStringList values;
    DataSet *query = queries.openQuery(sql);
    if (!query)
        return values;
    query->fetchAll();
    if (query->fieldCount() > 0) {
        for (int row = 0; row < query->recordCount(); ++row)
            values << query->textAt(row, *query->field(0));
    }
    query->close();
    return values;
}

void FillList(QComboBox *list, QueryService &queries, const QString &sql)
{
    if (!list)
        return;
    list->clear();
    list->addItems(queryColumn(queries, sql));
}

void FillList(QStringList &list, QueryService &queries, const QString &sql)
{
    list = queryColumn(queries, sql);
}

} // namespace qv::client
