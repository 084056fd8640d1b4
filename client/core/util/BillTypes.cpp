#include "client/core/util/BillTypes.h"

namespace qv::client {

namespace {

// clang-format off
const QList<BillType> kBillTypes{
    {"CS", "采购收货", "CGSHZB", "CS", "TfrmPurIn", "采购入库单", true, "TfrmPurInWork", "", "Cgshzb",
     "select Z.*, iif(CGLX=1, JE, YFJE) as YFJE1, JE - YFJE1 as MFJE, switch(CGLX=1,'现款', CGLX=2,'挂帐') as aCGLX, switch(FPLX=1,'收据', FPLX=2,'普通发票', FPLX=3,'增值税发票') as aFPLX, K.BH as aGYSBH, K.MC as aGYSMC, C.MC as aCKMC, S.MC as aSFKFSMC, H.MC as aZHMC from CGSHZB Z,GYS K,CK C, SFKFS S, ZH H, Z inner join K on Z.GYSID = K.ID, Z inner join C on Z.CKID = C.ID, Z left join S on Z.SFKFSID = S.ID, Z left join H on Z.ZHID = H.ID where Z.ID = "},
    {"CT", "采购退货", "CGTHZB", "CT", "TfrmPurOut", "采购退货单", false, "TfrmPurOutWork", "", "Cgthzb",
     "select Z.*, switch(THLX=1,'供应商退现款', THLX=2,'退款转入预付款') as aTHLX, K.BH as aGYSBH, K.MC as aGYSMC, C.MC as aCKMC, S.MC as aSFKFSMC, H.MC as aZHMC from CGTHZB Z, GYS K, CK C, SFKFS S, ZH H, Z inner join K on Z.GYSID = K.ID, Z inner join C on Z.CKID = C.ID, Z left join S on Z.SFKFSID = S.ID, Z left join H on Z.ZHID = H.ID where Z.ID = "},
    {"XS", "销售出库", "XSKDZB", "XS", "TfrmSalOunt", "销售出库单", false, "TfrmSalOuntWork", "", "Xskdzb",
     "select Z.*, iif(XSLX=1, JE, YSJE) as YSJE1, JE - YSJE1 as MSJE, switch(XSLX=1,'现款', XSLX=2,'挂帐') as aXSLX, switch(FPLX=1,'收据', FPLX=2,'普通发票',FPLX=3,'增值税发票') as aFPLX, K.BH as aKHBH, K.MC as aKHMC, K.PriceLevel,C.MC as aCKMC, S.MC as aSFKFSMC, H.MC as aZHMC from XSKDZB Z,KH K,CK C, SFKFS S, ZH H, Z inner join K on Z.KHID = K.ID, Z inner join C on Z.CKID = C.ID, Z left join S on Z.SFKFSID = S.ID, Z left join H on Z.ZHID = H.ID where Z.ID = "},
    {"XT", "销售退货", "XSTHZB", "XT", "TfrmSalIn", "销售退货单", false, "TfrmSalInWork", "", "Xsthzb",
     "select Z.*, switch(THLX=1,'退现款给客户', THLX=2,'退款转入客户预收款') as aTHLX, K.BH as aKHBH, K.MC as aKHMC, C.MC as aCKMC,S.MC as aSFKFSMC, H.MC as aZHMC from XSTHZB Z,KH K,CK C,SFKFS S,ZH H, Z inner join K on Z.KHID = K.ID, Z inner join C on Z.CKID = C.ID, Z left join S on Z.SFKFSID = S.ID, Z left join H on Z.ZHID = H.ID where Z.ID = "},
    {"LL", "领料", "LLZB", "LL", "TfrmStockLl", "物品领用单", true, "TfrmStockLlWork", "", "Llzb",
     " select Z.*, C.MC as aCKMC,Y.BMID,B.MC as aBMMC from ((LLZB Z left join CK C on Z.CKID = C.ID) left join YG Y on Z.YGID=Y.ID) left join BM B on Y.BMID=B.ID where Z.ID = "},
    {"TL", "退料", "TLZB", "TL", "TfrmStockTl", "物品归还单", false, "TfrmStockTlWork", "", "Tlzb",
     " select Z.*, C.MC as aCKMC,Y.BMID,B.MC as aBMMC from ((TLZB Z left join CK C on Z.CKID = C.ID) left join YG Y on Z.YGID=Y.ID) left join BM B on Y.BMID=B.ID where Z.ID = "},
    {"CJ", "产品进仓", "CPJCZB", "CP", "TfrmProductIn", "产品进仓单", false, "TfrmProductInWork", "CJ", "Cpjczb",
     "select Z.*, C.MC as aCKMC from CPJCZB Z, CK C, Z inner join C on Z.CKID = C.ID where Z.ID = "},
    {"KCPD", "盘亏盘盈", "KCPDZB", "PD", "TFrmpd", "盘盈盘亏调整单", true, "TFrmPdWork", "KCPD", "Kcpdzb",
     "select Z.*, C.MC as aCKMC from KCPDZB Z, CK C, Z inner join C on Z.CKID = C.ID where Z.ID = "},
    {"KCTZ", "库存调整", "KCPDZB", "PD", "TFrmpd", "盘盈盘亏调整单", true, "TFrmPdWork", "KCTZ", "Kcpdzb",
     "select Z.*, C.MC as aCKMC from KCPDZB Z, CK C, Z inner join C on Z.CKID = C.ID where Z.ID = "},
    {"CKDB", "仓库调拨", "CKDBZB", "DB", "TfrmStockdb", "仓库调拨单", false, "TfrmStockdbWork", "", "Ckdbzb",
     "select Z.*, DC.MC as aDCCMC, DR.MC as aDRCMC from CKDBZB Z,CK DC,CK DR, Z inner join DC on Z.DCCID = DC.ID, Z inner join DR on Z.DRCID = DR.ID where Z.ID = "},
    {"QB", "库存变动", "QTKCBDZB", "QB", "TfrmQtkcbd", "其它库存变动", false, "TfrmQtkcbdzb", "", "Qtkcbdzb",
     "select Z.*, C.MC as aCKMC, L.MC as aQTKCBDLXMC, iif(L.RKL,'入库类', '出库类') as aCRLX, iif(L.THBZ,'需要', '不需要') as aTH from QTKCBDZB Z, CK C, QTKCBDLX L, Z inner join C on Z.CKID = C.ID, Z inner join L on Z.QTKCBDLXID = L.ID where Z.ID = "},
    {"PS", "零售", "LSKDZB", "LS", "", "", false, "", "", "",
     ""},
    {"HPZZ", "货品组装", "", "", "", "", false, "", "", "",
     ""},
    {"HPCF", "货品拆分", "", "", "", "", false, "", "", "",
     ""},
    {"aExport", "", "", "", "", "", false, "", "", "",
     ""},
    {"", "采购订单", "CGDDZB", "", "", "", false, "TfrmCgddzb", "", "Cgddzb",
     "select Z.*, iif(Z.ZT,'是','否') as aZT, K.BH as aGYSBH, K.MC as aGYSMC from CGDDZB Z, GYS K, Z inner join K on Z.GYSID = K.ID where Z.ID = "},
    {"", "采购付款", "CGFKZB", "", "TfrmCgfk", "采购付款单", false, "", "", "Cgfkzb",
     "select Z.*, switch(FKLX=1,'应付款', FKLX=2,'预付款') as aFKLX, K.BH as aGYSBH, K.MC as aGYSMC, S.MC as aSFKFSMC, H.MC as aZHMC from CGFKZB Z, GYS K, SFKFS S, ZH H, Z inner join K on Z.GYSID = K.ID, Z inner join S on Z.SFKFSID = S.ID, Z inner join H on Z.ZHID = H.ID where Z.ID = "},
    {"", "销售订单", "XSDDZB", "", "", "", false, "TfrmXsddzb", "", "Xsddzb",
     "select Z.*, iif(Z.ZT,'是','否') as aZT, K.BH as aKHBH, K.MC as aKHMC from XSDDZB Z, KH K, Z inner join K on Z.KHID = K.ID where Z.ID = "},
    {"", "销售收款", "XSSKZB", "", "TfrmXssk", "销售收款单", false, "", "", "Xsskzb",
     "select Z.*, switch(FKLX=1,'应收款', FKLX=2,'预收款') as aFKLX, K.BH as aKHBH, K.MC as aKHMC, S.MC as aSFKFSMC, H.MC as aZHMC from XSSKZB Z, KH K, SFKFS S, ZH H, Z inner join K on Z.KHID = K.ID, Z inner join S on Z.SFKFSID = S.ID, Z inner join H on Z.ZHID = H.ID where Z.ID = "},
    {"", "费用开支", "FYKZZB", "", "TfrmFykz", "费用开支", false, "TfrmArapFykzWork", "", "Fykzzb",
     " select Z.*, S.MC as aSFKFSMC, H.MC as aZHMC,G.MC AS aGYSMC from ((FYKZZB Z left join SFKFS S on Z.SFKFSID = S.ID) left join ZH H on Z.ZHID = H.ID) left join GYS G on Z.GYSID=G.ID where Z.ID = "},
    {"", "其它收入", "QTSRZB", "", "TfrmQtsr", "其它收入", false, "TfrmArapQtsrWork", "", "Qtsrzb",
     " select Z.*, S.MC as aSFKFSMC, H.MC as aZHMC,KH.MC as aKHMC from ((QTSRZB Z left join  SFKFS S on Z.SFKFSID = S.ID) left join ZH H on Z.ZHID = H.ID) left join KH KH on Z.KHID=KH.ID where Z.ID = "},
    {"", "帐户转入", "YHCKQK", "", "TfrmYhckqkCk", "银行存款/取款", false, "", "", "",
     ""},
    {"", "帐户转出", "YHCKQK", "", "TfrmYhckqkCk", "银行存款/取款", false, "", "", "",
     ""},
};

// Other names the reports, lists and the alert give the same kinds.
struct Alias {
    const char *alias;
    const char *name;
};
constexpr Alias kAliases[] = {
    {"采购入库", "采购收货"}, {"现金采购", "采购收货"}, {"挂帐采购", "采购收货"},
    {"现金销售", "销售出库"}, {"挂帐销售", "销售出库"},
    {"库存盘点", "盘亏盘盈"},
    {"仓库调入", "仓库调拨"}, {"仓库调出", "仓库调拨"},
    {"其它库存变动-减少", "库存变动"}, {"其它库存变动-增加", "库存变动"},
    {"物品领用", "领料"}, {"物品归还", "退料"},
};

const QList<BillProcess> kProcesses{
    {"销售收款过程", "XsSkgc",
     "select Z.DJBH, Z.RQ, Z.JE as ZJE, M.JE as BCJE from XSSKZB Z,XSSK M where Z.ID=M.ZBID and M.JE <> 0 and M.DDID = ",
     " order by Z.DJBH"},
    {"采购付款过程", "CgFkgc",
     "select Z.DJBH, Z.RQ, Z.JE as ZJE, M.JE as BCJE from CGFKZB Z, CGFK M where Z.ID=M.ZBID and M.JE <> 0 and M.DDID = ",
     " order by Z.DJBH"},
    {"退还过程", "Qtkcbdzb",
     "select Z.*, C.MC as aCKMC, L.MC as aQTKCBDLXMC, iif(L.RKL,'入库类(增加库存)', '出库类(减少库存)') as aCRLX, iif(L.THBZ,'需要', '不需要') as aTH from QTKCBDZB Z, CK C, QTKCBDLX L, Z inner join C on Z.CKID = C.ID, Z inner join L on Z.QTKCBDLXID = L.ID where Z.ID = ",
     " order by Z.DJBH"},
    {"其它库存变动-退还增加", "Qtkcbdzb",
     "select Z.*, C.MC as aCKMC, L.MC as aQTKCBDLXMC, iif(L.RKL,'入库类(增加库存)', '出库类(减少库存)') as aCRLX, iif(L.THBZ,'需要', '不需要') as aTH from QTKCBDZB Z, CK C, QTKCBDLX L, Z inner join C on Z.CKID = C.ID, Z inner join L on Z.QTKCBDLXID = L.ID where Z.ID = ",
     " order by Z.DJBH"},
    {"其它库存变动-退还减少", "Qtkcbdzb",
     "select Z.*, C.MC as aCKMC, L.MC as aQTKCBDLXMC, iif(L.RKL,'入库类(增加库存)', '出库类(减少库存)') as aCRLX, iif(L.THBZ,'需要', '不需要') as aTH from QTKCBDZB Z, CK C, QTKCBDLX L, Z inner join C on Z.CKID = C.ID, Z inner join L on Z.QTKCBDLXID = L.ID where Z.ID = ",
     " order by Z.DJBH"},
};
// clang-format on

} // namespace

const QList<BillType> &billTypes()
{
    return kBillTypes;
}

const BillType *billTypeByCode(const QString &code)
{
    if (code.isEmpty())
        return nullptr;
    for (const BillType &type : kBillTypes) {
        if (code.compare(QLatin1String(type.code), Qt::CaseInsensitive) == 0)
            return &type;
    }
    return nullptr;
}

QString canonicalBillName(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return {};
    for (const Alias &alias : kAliases) {
        if (trimmed == QString::fromUtf8(alias.alias))
            return QString::fromUtf8(alias.name);
    }
    for (const BillType &type : kBillTypes) {
        if (*type.name && trimmed == type.nameText())
            return trimmed;
    }
    return {};
}

const BillType *billTypeByName(const QString &name)
{
    const QString canonical = canonicalBillName(name);
    if (canonical.isEmpty())
        return nullptr;
    for (const BillType &type : kBillTypes) {
        if (canonical == type.nameText())
            return &type;
    }
    return nullptr;
}

QString billTypeName(const QString &code)
{
    const BillType *type = billTypeByCode(code);
    return type ? type->nameText() : QString();
}

const QList<BillProcess> &billProcesses()
{
    return kProcesses;
}

const BillProcess *billProcessByName(const QString &name)
{
    const QString trimmed = name.trimmed();
    for (const BillProcess &process : kProcesses) {
        if (trimmed == QString::fromUtf8(process.name))
            return &process;
    }
    return nullptr;
}

QString billHeaderQuery(const BillType &type, qint64 id)
{
    return QString::fromUtf8(type.headerQuery) + QString::number(id) + QStringLiteral(" order by Z.DJBH");
}

} // namespace qv::client
