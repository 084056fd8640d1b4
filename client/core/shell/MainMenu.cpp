#include "client/core/shell/MainMenu.h"

namespace qv::client {

namespace {

constexpr MenuVisibility Hidden = MenuVisibility::Hidden;
constexpr MenuVisibility SysOnly = MenuVisibility::SuperUserOnly;
constexpr MenuVisibility Shown = MenuVisibility::Shown;

} // namespace

// clang-format off
const QList<MenuSpec> &mainMenus()
{
    static const QList<MenuSpec> menus{
        {"FileMenu", "文件", {
            {"mnuQcData", "期初录入    "},
            {"N12", "商品库存初始化录入", "mnuQcData"},
            {"mnuDataIn", "Excel数据导入"},
            {"mnuDataIn_HP", "导入货品资料", "mnuDataIn"},
            {"mnuDataIn_YG", "导入员工资料", "mnuDataIn"},
            {"mnuInitData", "系统初始化", "", SysOnly, true},
            {"mnuDataIn_Txt", "SQL文本数据导入", "", Hidden},
            {"mnuDataOut_Txt", "SQL文本数据导出", "", Hidden},
            {"mnuBackup", "备份数据", "", Shown, true},
            {"mnuRestore", "恢复数据"},
            {"mnuCompact", "压缩数据库"},
            {"mnuUser", "用户管理", "", Shown, true},
            {"Password_mnu", "更换密码"},
            {"mnuAcount", "帐套管理"},
            {"mnuPopedom", "权限设置"},
            {"mnuSystemSet", "系统设置"},
            {"mnuAlert", "系统提示"},
            {"Exit_mnu", "退出系统", "", Shown, true},
        }},
        {"BaseMenu", "基础资料", {
            {"mnuBm", "部门资料"},
            {"mnuDq", "地区资料"},
            {"mnuGys", "供应商资料"},
            {"mnuYg", "人员资料"},
            {"mnuCk", "仓库资料", "", Shown, true},
            {"mnuHplb", "货品类别"},
            {"mnuHp", "货品资料"},
            {"mnuQtkcbdlx", "其它库存变动类型"},
            {"mnuSrzclb", "收入支出类别", "", Shown, true},
            {"mnuSfkfs", "收付款方式"},
            {"mnuZh", "帐户资料"},
            {"mnuProject", "设置...", "", Shown, true},
        }},
        {"StaffMenu", "人事管理", {
            {"mnuYgdy", "员工档案管理"},
            {"mnuYght", "员工合同管理", "", Shown, true},
            {"mnuYgpx", "员工培训管理"},
            {"mnuYgkp", "员工考评管理"},
            {"mnuYgdd", "员工调动管理"},
            {"mnuYgjc", "员工奖惩管理"},
            {"mnuYgtx", "员工调薪管理"},
            {"mnuYgzj", "员工证照管理"},
            {"mnuQj", "员工请假管理"},
            {"mnuJb", "员工加班管理"},
            {"mnuYgsrtx", "人事信息提醒", "", Shown, true},
            {"mnuYgxxfx", "员工信息分析图表"},
        }},
        {"PurchaseMenu", "采购管理", {
            {"mnuCgsq", "采购申请单"},
            {"mnuCgsh", "采购入库单"},
            {"mnuBbHpCgHz", "货品采购汇总表", "", Shown, true},
            {"mnuBbHpCgMx", "货品采购明细表"},
            {"mnuBbYGCgHz", "采购员采购汇总表"},
            {"mnuBbGysGhHz", "供应商供货汇总表"},
            {"mnuBbGysGhMx", "供应商供货明细表"},
            {"mnu_CG_Static_Month", "年采购量分析", "", Shown, true},
            {"mnu_CG_Static_Chart", "采购图形分析"},
            {"mnu_CG_Static_Price", "采购价格分析"},
            {"mnu_CG_Static_Struct", "采购结构分析"},
        }},
        {"IssueMenu", "领用管理", {
            {"mnuSq", "物品申请单", "", Hidden},
            {"mnuLl", "物品领用单"},
            {"mnuTl", "物品归还单"},
            {"mnuBbHpXsMx", "物品领用明细表", "", Shown, true},
            {"mnuBBMLBHZ", "物品类别领用汇总表"},
            {"mnuBbYwyXsMx", "人员领用明细表"},
            {"mnuBbYwyXsHz", "人员领用汇总表"},
            {"mnuBBMHZ", "部门领用汇总表"},
            {"mnuBBRate", "部门领用金额占库存比"},
            {"mnuBbHpTlMx", "物品归还明细帐表"},
            {"mnu_LL_Static_Month_wp", "物品月领用分析", "", Shown, true},
            {"mnu_LL_Static_Month_ry", "人员月领用分析"},
            {"mnu_LL_Static_Month_bm", "部门月领用分析"},
            {"mnu_LL_Static_Tu", "物品领用图表分析"},
        }},
        {"StockMenu", "库存管理", {
            {"mnuKcpd", "盘点单"},
            {"mnuCkdb", "仓库调拨"},
            {"mnuKctz", "库存调整"},
            {"mnuQTkcbd", "其他库存变动"},
            {"mnuBbCkkcHz", "库存总帐", "", Shown, true},
            {"mnuBbCkkcMx", "库存明细帐"},
            {"mnuBbCkkcHz_FC", "分仓库存汇总表"},
            {"mnuBbCkbj", "库存报警明细表"},
            {"mnuBbPdDif", "盘点差异表"},
        }},
        {"FinanceMenu", "财务管理", {
            {"mnuFykz", "费用开支单"},
            {"mnuYhckqk", "银行存取款单"},
            {"mnuQtsr", "其它收入单"},
            {"mnuXjyhBb", "现金银行总帐表", "", Shown, true},
            {"mnuBbSzLsz", "现金银行明细帐"},
            {"mnuBbSzHz", "费用开支及其它收入汇总表"},
            {"mnuBbSzMx", "费用开支及其它收入明细表"},
        }},
        {"WindowMenu", "窗口", {
            {"Cascade_mnu", "层叠"},
            {"Horizontally_mnu", "平铺"},
            {"MinAll_mnu", "全部最小"},
            {"CloseAll_mnu", "全部关闭"},
        }},
        {"ToolMenu", "工具", {
            {"Tool_mnu", "万年历"},
            {"Tool_UpLoad", "上传版本", "", SysOnly},
            {"mnuLog", "系统日志", "", Hidden},
        }},
        {"HelpMenu", "帮助", {
            {"HelpBook_mnu", "系统帮助"},
            {"mbAbout", "关于", "", Shown, true},
        }},
    };
    return menus;
}

const QList<ToolButtonSpec> &toolButtons()
{
    static const QList<ToolButtonSpec> buttons{
        {"mnuYg1", "员工资料", "mnuYg", "people"},
        {"mnuHp1", "货品资料", "mnuHp", "register"},
        {"mnuCgsh1", "采购入库", "mnuCgsh", "receipt"},
        {"mnuLl1", "物品领用", "mnuLl", "issue"},
        {"mnuBbCkkcHz1", "库存查询", "mnuBbCkkcHz", "stock"},
        {"ToolExit", "退出系统", "Exit_mnu", "exit"},
    };
    return buttons;
}
// clang-format on

} // namespace qv::client
