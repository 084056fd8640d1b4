#include "client/core/shell/WindowTable.h"

#include "client/core/shell/ShellWindows.h"

namespace qv::client {

namespace {

constexpr OpenAs Child = OpenAs::Child;
constexpr OpenAs Modal = OpenAs::Modal;
constexpr OpenAs Command = OpenAs::Command;

} // namespace

// One row per menu item that opens something. A row whose factory is nullptr
// waits for the part of the client that provides its window.
// clang-format off
const QList<MenuWindow> &menuWindows()
{
    static const QList<MenuWindow> table{
        // 文件
        {"N12",            Child,   "TFrmPdWork",        "KCPD", nullptr},
        {"mnuDataIn_HP",   Command, "TFrmTranExcel",     "hp",   nullptr},
        {"mnuDataIn_YG",   Command, "TFrmTranExcel",     "yg",   nullptr},
        {"mnuInitData",    Modal,   "TFrmInitData",      "",     nullptr},
        {"mnuDataIn_Txt",  Command, "",                  "",     nullptr},
        {"mnuDataOut_Txt", Modal,   "TFrmExportSQL",     "",     nullptr},
        {"mnuBackup",      Modal,   "TFrmExportSQL",     "",     nullptr},
        {"mnuRestore",     Command, "",                  "",     nullptr},
        {"mnuCompact",     Command, "",                  "",     nullptr},
        {"mnuUser",        Child,   "TfrmSysUser",       "",     nullptr},
        {"Password_mnu",   Modal,   "TfrmSysPassword",   "",     nullptr},
        {"mnuAcount",      Modal,   "TfrmZTManager",     "",     createAccountManager},
        {"mnuPopedom",     Modal,   "TfrmPopedom",       "",     nullptr},
        {"mnuSystemSet",   Modal,   "TSystemSetFrm",     "",     nullptr},
        {"mnuAlert",       Command, "TfrmAlert",         "audit_office", showPendingFromMenu},
        // 基础资料
        {"mnuBm",          Child,   "TDepartFrm",        "",     nullptr},
        {"mnuDq",          Child,   "TfrmDq",            "",     nullptr},
        {"mnuGys",         Child,   "TfrmVendCust",      "",     nullptr},
        {"mnuYg",          Child,   "TfrmEemployee",     "",     nullptr},
        {"mnuCk",          Child,   "TfrmStockCode",     "",     nullptr},
        {"mnuHplb",        Child,   "TItemTypeFrm",      "",     nullptr},
        {"mnuHp",          Child,   "TfrmHp",            "",     nullptr},
        {"mnuQtkcbdlx",    Child,   "TfrmQtkcbdlx",      "",     nullptr},
        {"mnuSrzclb",      Child,   "TfrmArapZcLb",      "",     nullptr},
        {"mnuSfkfs",       Child,   "TfrmArapType",      "",     nullptr},
        {"mnuZh",          Child,   "TfrmArapZh",        "",     nullptr},
        {"mnuProject",     Modal,   "TPub_ProjectFrm",   "office", nullptr},
        // 人事管理
        {"mnuYgdy",        Child,   "TfrmEemployee",     "",     nullptr},
        {"mnuYght",        Child,   "TRs_SingleFrm",     "员工合同管理", nullptr},
        {"mnuYgpx",        Child,   "TRs_SingleFrm",     "员工培训管理", nullptr},
        {"mnuYgkp",        Child,   "TRs_SingleFrm",     "员工考评管理", nullptr},
        {"mnuYgdd",        Child,   "TRs_SingleFrm",     "员工调动管理", nullptr},
        {"mnuYgjc",        Child,   "TRs_SingleFrm",     "员工奖惩管理", nullptr},
        {"mnuYgtx",        Child,   "TRs_SingleFrm",     "员工调薪管理", nullptr},
        {"mnuYgzj",        Child,   "TRs_SingleFrm",     "员工证件管理", nullptr},
        {"mnuQj",          Child,   "TRs_SingleFrm",     "员工请假管理", nullptr},
        {"mnuJb",          Child,   "TRs_SingleFrm",     "员工加班管理", nullptr},
        {"mnuYgsrtx",      Child,   "TFrmRptRsTx",       "",     nullptr},
        {"mnuYgxxfx",      Child,   "TFrmRptModal_Tu_Rs", "部门", nullptr},
        // 采购管理
        {"mnuCgsq",        Child,   "TfrmCgsqzb",        "",     nullptr},
        {"mnuCgsh",        Child,   "TfrmPurInWork",     "",     nullptr},
        {"mnuBbHpCgHz",    Child,   "TFrmRptCGHZ",       "",     nullptr},
        {"mnuBbHpCgMx",    Child,   "TFrmRptCGMX",       "货品采购明细表", nullptr},
        {"mnuBbYGCgHz",    Child,   "TFrmRptCGYGHZ",     "",     nullptr},
        {"mnuBbGysGhHz",   Child,   "TFrmRptCGVentderHZ", "",    nullptr},
        {"mnuBbGysGhMx",   Child,   "TFrmRptCGMX",       "供应商供货明细表", nullptr},
        {"mnu_CG_Static_Month",  Child, "TFrm_Static_Month",    "年采购量分析", nullptr},
        {"mnu_CG_Static_Chart",  Child, "TFrmRptModal_Tu",      "采购图形", nullptr},
        {"mnu_CG_Static_Price",  Child, "TFrmRptStatic_Price",  "采购价格分析", nullptr},
        {"mnu_CG_Static_Struct", Child, "TFrmStatic_Structure", "采购结构分析", nullptr},
        // 领用管理
        {"mnuSq",          Child,   "",                  "",     nullptr},
        {"mnuLl",          Child,   "TfrmStockLlWork",   "",     nullptr},
        {"mnuTl",          Child,   "TfrmStockTlWork",   "",     nullptr},
        {"mnuBbHpXsMx",    Child,   "TFrmRptLLwply",     "",     nullptr},
        {"mnuBBMLBHZ",     Child,   "TFrmRptLLLBhz",     "",     nullptr},
        {"mnuBbYwyXsMx",   Child,   "TFrmRptLLryly",     "",     nullptr},
        {"mnuBbYwyXsHz",   Child,   "TFrmRptLLrylyHz",   "",     nullptr},
        {"mnuBBMHZ",       Child,   "TFrmRptLLbmhz",     "",     nullptr},
        {"mnuBBRate",      Child,   "TFrmRptLLbmRate",   "",     nullptr},
        {"mnuBbHpTlMx",    Child,   "TFrmRptLLwpgh",     "",     nullptr},
        {"mnu_LL_Static_Month_wp", Modal, "TFrm_Static_Month", "物品月领用分析", nullptr},
        {"mnu_LL_Static_Month_ry", Modal, "TFrm_Static_Month", "人员月领用分析", nullptr},
        {"mnu_LL_Static_Month_bm", Modal, "TFrm_Static_Month", "部门月领用分析", nullptr},
        {"mnu_LL_Static_Tu",       Child, "TFrmRptModal_Tu",   "物品领用图形", nullptr},
        // 库存管理
        {"mnuKcpd",        Child,   "TFrmPdWork",        "KCPD", nullptr},
        {"mnuCkdb",        Child,   "TfrmStockdbWork",   "CKDB", nullptr},
        {"mnuKctz",        Child,   "TFrmPdWork",        "KCTZ", nullptr},
        {"mnuQTkcbd",      Child,   "TfrmQtkcbdzb",      "",     nullptr},
        {"mnuBbCkkcHz",    Child,   "TFrmRPTCkkcHz",     "",     nullptr},
        {"mnuBbCkkcMx",    Child,   "TFrmRPTCkMx",       "",     nullptr},
        {"mnuBbCkkcHz_FC", Child,   "TFrmRptKCZZ_FCHZ",  "",     nullptr},
        {"mnuBbCkbj",      Child,   "TFrmRPTCkkcBj",     "",     nullptr},
        {"mnuBbPdDif",     Child,   "TFrmRptPdDif",      "",     nullptr},
        // 财务管理
        {"mnuFykz",        Child,   "TfrmArapFykzWork",  "",     nullptr},
        {"mnuYhckqk",      Child,   "TfrmArapYhck",      "",     nullptr},
        {"mnuQtsr",        Child,   "TfrmArapQtsrWork",  "",     nullptr},
        {"mnuXjyhBb",      Child,   "TFrmRptXjyhHZ",     "",     nullptr},
        {"mnuBbSzLsz",     Child,   "TFrmRptSzLsz",      "",     nullptr},
        {"mnuBbSzHz",      Child,   "TFrmRptSzHZ",       "",     nullptr},
        {"mnuBbSzMx",      Child,   "TFrmRptSzMx",       "",     nullptr},
        // 工具
        {"Tool_mnu",       Modal,   "TCalendarExFrm",    "",     createCalendar},
        {"Tool_UpLoad",    Command, "",                  "",     uploadClientVersion},
        {"mnuLog",         Child,   "TfrmLog",           "",     nullptr},
    };
    return table;
}
// clang-format on

void registerClientWindows(ClientSession &)
{
    // Drill-down windows: session.billWindows().addBillWindow("TfrmPurIn", ...);
    // list windows: session.billWindows().addListWindow("TfrmPurInWork", ...);
    // pickers: session.pickers().add("RzButtonEdit_Stock", ...).
}

} // namespace qv::client
