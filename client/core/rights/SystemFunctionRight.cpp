#include "client/core/rights/SystemFunctionRight.h"

#include "client/core/data/SqlText.h"
#include "client/core/data/TData.h"

#include <QRegularExpression>
#include <QSet>

namespace qv::client {

namespace {

const QString kDepartmentTree = QStringLiteral(" select ID, ParentCode,MC  from bm");

// A scope that may be empty, as it goes between the brackets of "in (...)".
QString inList(const QString &scope)
{
    return scope.isEmpty() ? QStringLiteral("-1") : scope;
}

bool isPlainName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch();
}

QString valueText(const QVariant &value)
{
    if (!value.isValid())
        return QString();
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        if (d == std::trunc(d))
            return QString::number(qint64(d));
    }
    return value.toString().trimmed();
}

// The first error of a sequence of steps, each of which goes on after a failure.
struct FirstError {
    QString text;
    void note(const QString &error)
    {
        if (text.isEmpty())
            text = error.isEmpty() ? QStringLiteral("权限查询失败") : error;
    }
    DataResult<bool> result() const
    {
        return text.isEmpty() ? DataResult<bool>::success(true) : DataResult<bool>::failure(text);
    }
};

} // namespace

TSystemFunctionRight::TSystemFunctionRight()
{
    resetQueries();
}

bool TSystemFunctionRight::isSuperUser(QStringView userCode)
{
    return userCode.trimmed().compare(u"SYS", Qt::CaseInsensitive) == 0;
}

QString TSystemFunctionRight::safeGroupList(QStringView groupList)
{
    static const QRegularExpression shape(QStringLiteral("^\\s*\\(\\s*(\\d+\\s*(,\\s*\\d+\\s*)*)?\\)\\s*$"));
    const QString text = groupList.toString();
    if (!shape.match(text).hasMatch())
        return QStringLiteral("(-1)");
    QStringList ids;
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    for (auto it = digits.globalMatch(text); it.hasNext();)
        ids.append(QString::number(it.next().captured().toLongLong()));
    return ids.isEmpty() ? QStringLiteral("(-1)") : u'(' + ids.join(u',') + u')';
}

void TSystemFunctionRight::resetQueries()
{
    warehouseQuery = QStringLiteral(" select b.mc as bmmc,c.* from CK  C  left join BM B on c.bmid=b.id ");
    warehouseSource = QStringLiteral(" CK C ");
    departmentQuery = QStringLiteral(" SELECT A.MC  AS ParentName, C.* FROM BM C LEFT JOIN  BM  A ON C.ParentCode=A.ID");
    departmentSource = QStringLiteral(" BM C ");
    employeeNameQuery = QStringLiteral("select XM from YG  order by XM ");
    categoryQuery = QStringLiteral(" SELECT A.TypeName AS ParentName, C.* FROM Pub_ItemType  C LEFT JOIN Pub_ItemType  A ON C.ParentCode=A.ItemType");
    categorySource = QStringLiteral(" Pub_ItemType  C");
    departmentIdScope = QStringLiteral(" select id from bm ");
    m_departmentNames = QStringLiteral(" select mc from bm ");
    m_departmentNamesKnown = false;
    userDepartment = 0;
    defaultWarehouse = 0;
    allowedObjects.clear();
    allowedFunctionNames.clear();
}

DataResult<bool> TSystemFunctionRight::loadCompanySettings(TData &data)
{
    const auto loaded = CompanySettings::load(data);
    if (!loaded)
        return DataResult<bool>::failure(loaded.error);
    company = loaded.value;
    return DataResult<bool>::success(true);
}

bool TSystemFunctionRight::isObjectAllowed(QStringView objectName) const
{
    return allowedObjects.contains(objectName.toString(), Qt::CaseInsensitive);
}

bool TSystemFunctionRight::isMenuItemAllowed(QStringView menuName) const
{
    return allowedMenuItems.contains(menuName.toString(), Qt::CaseInsensitive);
}

void TSystemFunctionRight::restrictToScope()
{
    const QString s = inList(departmentIdScope);
    warehouseQuery = QStringLiteral(" select b.mc as bmmc,c.* from CK  C  left join BM B on c.bmid=b.id where BMID in (")
                     + s + QStringLiteral(") ");
    warehouseSource = QStringLiteral(" (") + warehouseQuery + QStringLiteral(") C ");
    employeeNameQuery = QStringLiteral(" select XM from YG where bmid in(") + s + QStringLiteral(") order by XM ");
    departmentQuery = QStringLiteral(" SELECT A.MC  AS ParentName, C.* FROM BM C LEFT JOIN  BM  A ON C.ParentCode=A.ID where C.ID in (")
                      + s + QStringLiteral(") ");
    departmentSource = QStringLiteral("(") + departmentQuery + QStringLiteral(") C ");
}

DataResult<bool> TSystemFunctionRight::loadRights(TData &data, const QString &code,
                                                  const QString &groups, const QString &functionTable)
{
    resetQueries();
    userCode = code;
    groupList = groups;
    FirstError errors;
    const QString safeGroups = safeGroupList(groups);
    if (!isSuperUser(code)) {
        // 1. Department scope: every group's department and all below it.
        QStringList scope;
        DataSet *tmpf = data.tmpf();
        if (data.runSql(tmpf, QStringLiteral("select bmid from AppUserGroup where id in ") + safeGroups, true)) {
            QList<qint64> departments;
            for (bool more = tmpf->first(); more && !tmpf->eof(); more = tmpf->next())
                departments.append(tmpf->field(0)->asInteger());
            tmpf->close();
            for (const qint64 d : departments) {
                userDepartment = d;
                const auto below = scopeList(data, d, QStringLiteral("ID"), kDepartmentTree);
                if (!below)
                    errors.note(below.error);
                else if (!below.value.isEmpty())
                    scope.append(below.value);
            }
        } else {
            errors.note(data.lastError());
        }
        departmentIdScope = scope.join(u',');
        // 2. With data scope on, the lists show the scope only.
        if (company.dataScope)
            restrictToScope();
        // 3. Function rights: the union over the groups.
        if (!isPlainName(functionTable)) {
            errors.note(QStringLiteral("功能表名'%1'不正确").arg(functionTable));
        } else {
            DataSet *tmpl = data.tmpl();
            if (data.runSql(tmpl,
                            QStringLiteral(" select distinct a.ObjectName,b.FuncNodeName from Sys_GroupFuncRight a left join ")
                                + functionTable
                                + QStringLiteral(" b on a.FuncNodeNo=b.FuncNodeNo where UserGroupNo in ")
                                + safeGroups,
                            true)) {
                for (bool more = tmpl->first(); more && !tmpl->eof(); more = tmpl->next()) {
                    allowedObjects.append(tmpl->field(0)->asString());
                    allowedFunctionNames.append(tmpl->field(1)->asString());
                }
                tmpl->close();
            } else {
                errors.note(data.lastError());
            }
        }
        // 5. Item categories hidden from the groups.
        categoryQuery = QStringLiteral(" SELECT A.TypeName AS ParentName, C.* FROM Pub_ItemType  C LEFT JOIN Pub_ItemType  A ON C.ParentCode=A.ItemType where C.ItemType not in (select ItemType from Sys_GroupUnRight_HPLB where UserGroupNo in ")
                        + safeGroups + QStringLiteral(") ");
        categorySource = QStringLiteral("(") + categoryQuery + QStringLiteral(") C ");
    }
    // 4. The default warehouse: the first the user may see.
    DataSet *tmpl = data.tmpl();
    if (data.runSql(tmpl, QStringLiteral("select Top 1 ID from ") + warehouseSource, true)) {
        if (!tmpl->isEmpty())
            defaultWarehouse = tmpl->field(0)->asInteger();
        tmpl->close();
    } else {
        errors.note(data.lastError());
    }
    if (DataSet *ck = data.ck())
        ck->setCommandText(warehouseQuery);
    if (DataSet *bm = data.bm())
        bm->setCommandText(departmentQuery);
    return errors.result();
}

DataResult<bool> TSystemFunctionRight::checkObject(TData &data, const QString &groups,
                                                   const QString &code, const QString &objectName)
{
    if (isSuperUser(code)) {
        mayAdd = mayDelete = mayAudit = mayUnAudit = mayPrint = mayAuditThisLevel = true;
        return DataResult<bool>::success(true);
    }
    mayAdd = mayDelete = mayAudit = mayUnAudit = mayPrint = mayAuditThisLevel = false;
    auditLevels.clear();
    const auto items = data.queryValue(
        QStringLiteral(" select FuncItems from Sys_GroupFuncRight  where UserGroupNo in ")
        + safeGroupList(groups) + QStringLiteral(" and ObjectName = ") + quoted(objectName));
    if (!items)
        return DataResult<bool>::failure(items.error);
    const QString granted = items.value.toString();
    mayAdd = granted.contains(u"Insert");
    mayDelete = granted.contains(u"Delete");
    mayAudit = granted.contains(u"Auditing");
    mayUnAudit = granted.contains(u"UnAudit");
    mayPrint = granted.contains(u"Print");
    if (mayAudit) {
        for (const QString &part : granted.split(u',')) {
            const QString item = part.trimmed();
            if (item.contains(u"Auditing") && !item.isEmpty())
                auditLevels.append(item.right(1));
        }
    }
    return DataResult<bool>::success(true);
}

bool TSystemFunctionRight::mayAuditLevel(const QString &code, int level)
{
    const bool may = isSuperUser(code) || auditLevels.contains(QString::number(level).right(1));
    mayAudit = may;
    mayAuditThisLevel = may;
    return may;
}

QString TSystemFunctionRight::departmentNames(TData &data)
{
    if (m_departmentNamesKnown)
        return m_departmentNames;
    if (isSuperUser(userCode) || !company.dataScope) {
        m_departmentNamesKnown = true;
        return m_departmentNames;
    }
    const auto names = scopeList(data, userDepartment, QStringLiteral("MC"), kDepartmentTree);
    if (!names)
        return QStringLiteral("''"); // unknown for now: no department; asked again next time
    m_departmentNames = names.value.isEmpty() ? QStringLiteral("''") : names.value;
    m_departmentNamesKnown = true;
    return m_departmentNames;
}

DataResult<QString> TSystemFunctionRight::scopeList(TData &data, qint64 rootId,
                                                    const QString &column, const QString &treeSql)
{
    DataSet *query = data.getPoolQuery();
    if (!data.runSql(query, treeSql, true))
        return DataResult<QString>::failure(data.lastError());
    if (!query->fetchAll()) {
        query->close();
        return DataResult<QString>::failure(query->lastError().message);
    }
    const Field *id = query->fieldByName(u"ID");
    const Field *parent = query->fieldByName(u"ParentCode");
    const Field *wanted = query->fieldByName(column);
    if (!id || !parent || !wanted) {
        query->close();
        return DataResult<QString>::failure(
            QStringLiteral("树形查询的结果缺少ID、ParentCode或%1").arg(column));
    }
    struct Node {
        QString id;
        QString parent;
        QString value;
    };
    QList<Node> nodes;
    QHash<QString, QString> parentOf;
    for (bool more = query->first(); more && !query->eof(); more = query->next()) {
        Node n{valueText(id->value()), valueText(parent->value()), valueText(wanted->value())};
        parentOf.insert(n.id, n.parent);
        nodes.append(n);
    }
    query->close();

    const QString root = QString::number(rootId);
    const bool quote = column.compare(u"MC", Qt::CaseInsensitive) == 0;
    QStringList values;
    for (const Node &n : nodes) {
        bool below = n.id == root;
        // Up the parents until the root is found or a top ("0" or empty) is
        // reached; a damaged tree with a loop ends the walk too.
        QSet<QString> seen;
        for (QString p = n.parent; !below && !p.isEmpty() && p != u"0" && !seen.contains(p);
             p = parentOf.value(p)) {
            seen.insert(p);
            below = p == root;
        }
        if (below)
            values.append(quote ? quoted(n.value) : n.value);
    }
    return DataResult<QString>::success(values.join(u','));
}

} // namespace qv::client
