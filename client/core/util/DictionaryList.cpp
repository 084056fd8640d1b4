#include "client/core/util/DictionaryList.h"

#include "client/core/data/SqlText.h"

#include <QComboBox>

namespace qv::client {

namespace {

struct DictionaryCode {
    const char *code;
    const char *category;
};

constexpr DictionaryCode kCodes[] = {
    {"DW", "计量单位"}, {"MZ", "民族"},     {"XL", "学历"},     {"ZW", "职务"},     {"JSZC", "技术职称"},
    {"PYXS", "聘用形式"}, {"LYLY", "录用来源"}, {"ZY", "专业"},     {"XLLB", "学历类别"}, {"ZZMM", "政治面貌"},
    {"KHFL", "客户分类"}, {"KHDJ", "客户等级"}, {"KHLY", "客户来源"}, {"KHZT", "客户状态"}, {"XYDJ", "信用等级"},
    {"HFJE", "回访结果"}, {"KHJD", "客户阶段"}, {"JHJD", "机会阶段"}, {"YQJL", "预期机率"}, {"JCXM", "奖惩项目"},
    {"JCLX", "奖惩类型"}, {"HTLX", "合同类型"}, {"HTZT", "合同状态"}, {"PXXM", "培训项目"}, {"HDZS", "获得证书"},
    {"KPLX", "考评类型"}, {"KPDJ", "考评等级"},
};

const QString kUnits = QStringLiteral("计量单位");

void fill(QComboBox *combo, QueryService &queries, const QString &sql)
{
    const QString current = combo->currentText();
    combo->clear();
    if (DataSet *query = queries.openQuery(sql)) {
        query->fetchAll();
        for (int row = 0; row < query->recordCount(); ++row) {
            if (query->fieldCount() > 0)
                combo->addItem(query->textAt(row, *query->field(0)));
        }
        query->close();
    }
    if (combo->isEditable())
        combo->setEditText(current);
    else
        combo->setCurrentIndex(combo->findText(current));
}

} // namespace

QString dictionaryCategory(const QString &code)
{
    for (const DictionaryCode &entry : kCodes) {
        if (code.compare(QLatin1String(entry.code), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(entry.category);
    }
    return {};
}

QString dictionaryQuery(const QString &category)
{
    return QStringLiteral(" select TypeName from Pub_Project  where ParentCode = "
                          "(select ItemType from Pub_Project where TypeName=")
           + quoted(category) + QStringLiteral(")");
}

QString employeeNamesQuery(const QString &departmentNames)
{
    return QStringLiteral(" select Y.XM   from YG Y, BM C  where   Y.BMID = C.ID  and C.MC in (") + departmentNames
           + QStringLiteral(")") + QStringLiteral(" order by Y.XM ");
}

void FillDictionaryList(QComboBox *combo, QueryService &queries, const QString &departmentNames)
{
    if (!combo)
        return;
    if (combo->objectName().compare(QStringLiteral("EMPLOYEE"), Qt::CaseInsensitive) == 0) {
        fill(combo, queries, employeeNamesQuery(departmentNames));
        return;
    }
    const QString category = dictionaryCategory(combo->objectName());
    if (combo->count() < 2 || category == kUnits)
        fill(combo, queries, dictionaryQuery(category));
}

} // namespace qv::client
