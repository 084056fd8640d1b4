#include "client/core/util/DeleteGuard.h"

#include "client/core/data/SqlText.h"

#include <QMessageBox>

namespace qv::client {

namespace {

const char *const kReferenced = "该数据已被引用,不能删除！";

// One reference: "select top 1 1 from <table> where <column> = K".
struct Reference {
    const char *table;
    const char *column;
    bool quotedKey = false;
};

struct Guard {
    const char *table;
    QList<Reference> references;
    const char *message;
};

const QList<Guard> &guards()
{
    static const QList<Guard> table{
        {"HP", {{"CGSH", "hpid"}, {"LL", "hpid"}, {"XSKD", "hpid"}, {"KCPD", "hpid"}}, kReferenced},
        {"HPLB", {{"HP", "hplbid"}}, kReferenced},
        {"CUST", {{"XSKDZB", "khid"}, {"XSTHZB", "khid"}}, kReferenced},
        {"DQ", {{"KH", "dqid"}, {"GYS", "dqid"}}, kReferenced},
        {"CK",
         {{"CGSHZB", "ckid"}, {"LLZB", "ckid"}, {"KCPDZB", "ckid"}, {"CKDBZB", "DCCID"}, {"CKDBZB", "DRCID"}},
         "仓库可能被单据引用,不能删除！"},
        {"PUR", {{"CGSHZB", "gysid"}, {"CGTHZB", "gysid"}}, kReferenced},
        {"ITEMTYPE", {{"hp", "hplbid"}}, kReferenced},
        {"DEPT",
         {{"CK", "BMID"}, {"AppUserGroup", "gMemo", true}, {"YG", "bmid"}},
         "部门可能被【仓库，员工，用户组】引用,不能删除！"},
        {"YHZ", {{"AppUser", "gName", true}}, "用户组被【用户管理】引用,不能删除！"},
        {"QTKCBDLX", {{"QTKCBDZB", "QTKCBDLXID"}}, "其它库存变动类型资料被【其它库存变动】引用,不能删除！"},
    };
    return table;
}

const Guard *findGuard(const QString &table)
{
    const QString upper = table.trimmed().toUpper();
    for (const Guard &guard : guards()) {
        if (upper == QLatin1String(guard.table))
            return &guard;
    }
    return nullptr;
}

} // namespace

std::optional<QString> deleteGuardQuery(const QString &table, const QString &key)
{
    const Guard *guard = findGuard(table);
    if (!guard)
        return std::nullopt;
    QStringList parts;
    for (const Reference &reference : guard->references) {
        const QString value = reference.quotedKey ? quoted(key) : key;
        parts << QStringLiteral(" select top 1 1 from %1 where %2 = %3")
                     .arg(QLatin1String(reference.table), QLatin1String(reference.column), value);
    }
    return parts.join(QStringLiteral(" union "));
}

QString deleteGuardMessage(const QString &table)
{
    const Guard *guard = findGuard(table);
    return guard ? QString::fromUtf8(guard->message) : QString();
}

namespace {

// A numeric key is written as it stands; anything else could not be one and
// must not reach the statement unquoted.
bool isNumericKey(const QString &key)
{
    bool ok = false;
    key.trimmed().toLongLong(&ok);
    return ok;
}

bool needsQuotedKey(const QString &table)
{
    const QString upper = table.trimmed().toUpper();
    return upper == QStringLiteral("YHZ");
}

} // namespace

bool DeleteGuard(QueryService &queries, const QString &table, const QString &key, QWidget *messageParent)
{
    if (key.trimmed().isEmpty()) {
        QMessageBox::critical(messageParent, QStringLiteral("资料删除"), QStringLiteral("请选择网格内一条记录！"));
        return true;
    }
    if (!needsQuotedKey(table) && findGuard(table) && !isNumericKey(key))
        return false; // no row can carry such an ID
    const std::optional<QString> sql = deleteGuardQuery(table, key.trimmed());
    if (!sql)
        return false;

    DataSet *query = queries.openQuery(*sql);
    if (!query)
        return false;
    bool referenced = false;
    query->fetchAll();
    for (int row = 0; row < query->recordCount() && !referenced; ++row) {
        query->withRecordAt(row, [&] {
            for (int i = 0; i < query->fieldCount(); ++i) {
                if (query->field(i)->asDouble() > 0)
                    referenced = true;
            }
        });
    }
    query->close();
    if (referenced) {
        QMessageBox::warning(messageParent, QStringLiteral("资料删除失败"), deleteGuardMessage(table));
        return true;
    }
    return false;
}

} // namespace qv::client
