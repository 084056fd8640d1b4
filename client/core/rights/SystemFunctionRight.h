// The rights of the logged-in user: which functions the user's groups may open,
// which operations they may perform on the function at hand, and which
// departments, warehouses, employees and item categories they may see. Rights
// belong to groups, never to single users; a user has the union of the
// functions of all its groups. The user code "SYS" is the super-user: it passes
// every check and sees every record.
//
// Computed once per login (loadRights when the main window is created); changes
// in the rights window take effect at the next login. A rights query that fails
// leaves its lists empty, which disables every guarded function.
#pragma once

#include "client/core/data/DataResult.h"
#include "client/core/rights/CompanySettings.h"

#include <QStringList>

namespace qv::client {

class TData;

class TSystemFunctionRight {
public:
    TSystemFunctionRight();

    static bool isSuperUser(QStringView userCode);
    // The group list of AppUser.gID as it may go into "in" clauses: "(1,3)".
    // Anything but numbers between the brackets gives "(-1)", which matches no
    // group, so a damaged list can never change a statement.
    static QString safeGroupList(QStringView groupList);

    // --- the user, copied at login ------------------------------------------------
    QString userIdText;
    QString userCode;
    QString userName;
    QString password;
    QString groupList;
    bool showPendingAtStart = true; // login/showaudit of SysConfig.ini

    // --- company settings -----------------------------------------------------------
    CompanySettings company;
    DataResult<bool> loadCompanySettings(TData &data);

    // --- function rights ------------------------------------------------------------
    // Fills the lists and queries below for the user and its groups, with the
    // function tree table (as a rule "Sys_FuncTree_office"); afterwards the
    // shared datasets Ck and Bm read the warehouse and department queries.
    DataResult<bool> loadRights(TData &data, const QString &userCode, const QString &groupList,
                                const QString &functionTable = QStringLiteral("Sys_FuncTree_office"));
    QStringList allowedObjects;       // ObjectName values granted to the groups
    QStringList allowedFunctionNames; // their FuncNodeName values
    QStringList allowedMenuItems;     // filled by applyToMainWindow
    bool isObjectAllowed(QStringView objectName) const;
    bool isMenuItemAllowed(QStringView menuName) const;

    // --- operation rights of one function -------------------------------------------
    // Sets the flags below from the first Sys_GroupFuncRight row of the groups
    // for the object (every flag for SYS).
    DataResult<bool> checkObject(TData &data, const QString &groupList, const QString &userCode,
                                 const QString &objectName);
    bool mayAdd = false;
    bool mayDelete = false;
    bool mayAudit = false;
    bool mayUnAudit = false;
    bool mayPrint = false;
    bool mayAuditThisLevel = false;
    QStringList auditLevels; // level digits of the last checked object
    // True for SYS or when the level's digit is among the audit levels; sets
    // mayAudit and mayAuditThisLevel to the answer.
    bool mayAuditLevel(const QString &userCode, int level);

    // --- data scope -----------------------------------------------------------------
    qint64 userDepartment = 0;   // the department of the user's last group
    QString departmentIdScope;   // the groups' departments and all below, "3,4,7"
    QString warehouseQuery;
    QString warehouseSource;
    QString departmentQuery;
    QString departmentSource;
    QString employeeNameQuery;
    QString categoryQuery;
    QString categorySource;
    qint64 defaultWarehouse = 0;
    // The quoted names of the user's department and the ones below it, computed
    // on first use; with data scope off (or for SYS) the sub-query of every
    // department name.
    QString departmentNames(TData &data);

    // The values of `column` for the row with ID rootId and every row below it
    // in the tree the statement reads (columns ID, ParentCode, MC), joined by
    // ","; MC values are quoted.
    static DataResult<QString> scopeList(TData &data, qint64 rootId, const QString &column,
                                         const QString &treeSql);

    void resetQueries();

private:
    void restrictToScope();
    QString m_departmentNames;
    bool m_departmentNamesKnown = false;
};

} // namespace qv::client
