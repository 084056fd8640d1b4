#include "client/core/shell/DeskTable.h"

namespace qv::client {

// clang-format off
const QList<DeskPage> &deskPages()
{
    static const QList<DeskPage> pages{
        {0, "基础资料", {
            {"帐户资料", "mnuZh"}, {"供应商资料", "mnuGys"}, {"货品类别", "mnuHplb"},
            {"收入支出类别", "mnuSrzclb"}, {"货品资料", "mnuHp"}, {"部门资料", "mnuBm"},
            {"仓库资料", "mnuCk"}, {"员工资料", "mnuYg"}, {"收付款方式", "mnuSfkfs"},
        }},
        {1, "采购管理", {
            {"采购入库", "mnuCgsh"}, {"货品采购汇总表", "mnuBbHpCgHz"}, {"货品采购明细表", "mnuBbHpCgMx"},
            {"供应商供货汇总表", "mnuBbGysGhHz"}, {"供应商供货明细表", "mnuBbGysGhMx"},
            {"年采购量分析", "mnu_CG_Static_Month"}, {"采购图形分析", "mnu_CG_Static_Chart"},
            {"采购价格分析", "mnu_CG_Static_Price"}, {"采购结构分析", "mnu_CG_Static_Struct"},
            {"采购员采购汇总表", "mnuBbYGCgHz"},
        }},
        {2, "库存管理", {
            {"库存盘点", "mnuKcpd"}, {"库存总帐", "mnuBbCkkcHz"}, {"库存明细帐", "mnuBbCkkcMx"},
            {"库存报警明细表", "mnuBbCkbj"}, {"库存调整", "mnuKctz"}, {"仓库调拨", "mnuCkdb"},
            {"分仓库存汇总表", "mnuBbCkkcHz_FC"}, {"其它库存变动", "mnuQTkcbd"},
        }},
        {3, "领用管理", {
            {"物品领用", "mnuLl"}, {"物品归还", "mnuTl"}, {"人员领用明细表", "mnuBbYwyXsMx"},
            {"部门领用汇总表", "mnuBBMHZ"}, {"物品领用明细表", "mnuBbHpXsMx"},
            {"物品类别领用汇总表", "mnuBBMLBHZ"}, {"物品归还明细表", "mnuBbHpTlMx"},
            {"物品月领用分析", "mnu_LL_Static_Month_wp"}, {"人员月领用分析", "mnu_LL_Static_Month_ry"},
            {"部门月领用分析", "mnu_LL_Static_Month_bm"}, {"物品领用图形分析", "mnu_LL_Static_Tu_1"},
            {"领用图表分析", "mnu_LL_Static_Tu"},
        }},
        {4, "系统管理", {
            {"用户管理", "mnuUser"}, {"更换密码", "Password_mnu"}, {"备份数据", "mnuBackup"},
            {"恢复数据", "mnuRestore"}, {"权限设置", "mnuPopedom"}, {"帐套管理", "mnuAcount"},
            {"系统设置", "mnuSystemSet"},
        }},
        {6, "财务管理", {
            {"费用开支", "mnuFykz"}, {"其它收入", "mnuQtsr"}, {"银行存取款", "mnuYhckqk"},
            {"现金银行总帐", "mnuXjyhBb"}, {"现金银行明细帐", "mnuBbSzLsz"},
            {"费用开支及其它收入汇总表", "mnuBbSzHz"}, {"费用开支及其它收入明细表", "mnuBbSzMx"},
        }},
        {7, "人事管理", {
            {"员工档案", "mnuYgdy"}, {"员工调动", "mnuYgdd"}, {"员工考评", "mnuYgkp"},
            {"员工培训", "mnuYgpx"}, {"员工奖惩", "mnuYgjc"}, {"员工合同", "mnuYght"},
            {"员工调薪", "mnuYgtx"}, {"员工信息分析图表", "mnuYgxxfx"}, {"人事信息提醒", "mnuYgsrtx"},
        }},
    };
    return pages;
}
// clang-format on

QString deskPictureTarget(const QString &pictureName)
{
    if (pictureName.size() >= 2 && pictureName.at(pictureName.size() - 2) == QLatin1Char('_'))
        return pictureName.left(pictureName.size() - 2);
    return pictureName;
}

} // namespace qv::client
