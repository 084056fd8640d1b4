#include "client/core/data/SharedDataSets.h"

namespace qv::client {

namespace {

struct Row {
    const char *name;
    const char *provider; // nullptr: "p" + name
    const char *statement;
};

// Datasets whose provider is "p" + name and whose statement is the provider's.
const char *const kGeneral[] = {"Tmp", "Tmpf", "Tmpl", "AccountTemp"};
const char *const kSystem[] = {"AppUserGroup", "AppSelect", "AppLog", "CompanyInfo", "TableColumns",
                               "Pub_PrintModal", "VersionInfor", "HPHSFS"};
const char *const kMaster[] = {"Dq",  "Kh",   "Gys", "Zh", "Sfkfs", "Srzclb", "Hplb", "Sjzl",
                               "Cyjsdw", "Hphsff", "Ck", "Bm", "Yglb", "Yg", "Hp", "Qtkcbdlx",
                               "HpCkXx", "HpSjXx", "Hpkc", "Hpsj", "Hp_Pict"};
const char *const kPickLists[] = {"CgddHelp", "XsddHelp", "XskdHelp", "CgshHelp", "Thgc"};
const char *const kHeaders[] = {"Cgsqzb", "Cgddzb", "Cgshzb", "Cgthzb", "Cgfkzb", "Xsddzb",
                                "Xskdzb", "Xsthzb", "Xsskzb", "Llzb", "Tlzb", "Cpjczb", "Kcpdzb",
                                "Chtjzb", "Ckdbzb", "Qtkcbdzb", "Ckzzzb", "Fykzzb", "Qtsrzb"};
const char *const kLines[] = {"Cgsq", "Cgdd", "Cgsh", "Cgth", "Cgfk", "Xsdd", "Xskd", "Xsth",
                              "Xssk", "Ll",   "Tl",   "Cpjc", "Kcpd", "Chtj", "Ckdb", "Qtkcbd",
                              "Ckzz", "Fykz", "Qtsr", "Yhckqk"};
const char *const kStaff[] = {"Yg_Pict",  "Oa_Leave", "Oa_House",  "Oa_Keys",  "Oa_Linkman",
                              "Oa_Visit", "Oa_Pass",  "Gz_Item",   "Gz_Month", "Gz_Monthzb",
                              "Gz_GZong", "Gz_GXu",   "Gz_GongZ"};

// Datasets with a provider of another name or a statement of their own.
const Row kSpecial[] = {
    {"AppUser", nullptr, "select * from AppUser"},
    {"AppGroupDesktopClass", nullptr, "select * from AppGroupDesktopClass"},
    {"AppMenu", nullptr, "select * from AppMenu order by mIndex"},
    {"cdsLookUp", "pTmp", nullptr},
    {"XsSkgc", "pTmp", nullptr},
    {"CgFkgc", "pTmp", nullptr},
    {"XsThgc", "pTmp", nullptr},
    {"QtkcbdHpHelp", "pTmp", nullptr},
    {"cdsQryPub", "pQryPub", nullptr},
    {"cdsPub", "pPub", nullptr},
    {"QProducts", nullptr, "SELECT BH,PM,GG,ZJM from Hp order by BH"},
    {"cdsSingletem", "pProject", nullptr},
    {"GysHelp", "pGys", nullptr},
    {"HpHelp", "pHp", nullptr},
    {"KhHelp", "pKh", nullptr},
    {"SrzclbHelp", "pSrzclb", nullptr},
    {"RS_Contract", "pRs_Contract", nullptr},
    {"RS_PX", "pRs_PX", nullptr},
    {"RS_KH", "pRs_KH", nullptr},
    {"RS_DD", "pRs_DD", nullptr},
    {"RS_JC", "pRs_JC", nullptr},
    {"RS_TX", "pRs_TX", nullptr},
    {"RS_ZJ", "pRs_ZJ", nullptr},
    {"RS_Work", "pRs_Work", nullptr},
    {"Oa_OverTime", "pOa_Overtime", nullptr},
    {"GZ_JJGZ", "pGz_JJGZ", nullptr},
    {"GZ_JSGZ", "pGz_JSGZ", nullptr},
};

DataSetArea areaOfSpecial(const QString &name)
{
    if (name.startsWith(u"App"))
        return DataSetArea::System;
    if (name.endsWith(u"Help"))
        return DataSetArea::PickList;
    if (name.startsWith(u"RS_") || name.startsWith(u"Oa_") || name.startsWith(u"GZ_"))
        return DataSetArea::Staff;
    if (name == u"QProducts" || name == u"cdsSingletem")
        return DataSetArea::Master;
    return DataSetArea::General;
}

template <std::size_t N>
void addPlain(QList<SharedDataSetSpec> &specs, const char *const (&names)[N], DataSetArea area)
{
    for (const char *name : names) {
        const QString n = QString::fromLatin1(name);
        specs.append({n, QStringLiteral("p") + n, QString(), area});
    }
}

QList<SharedDataSetSpec> buildSpecs()
{
    QList<SharedDataSetSpec> specs;
    addPlain(specs, kGeneral, DataSetArea::General);
    addPlain(specs, kSystem, DataSetArea::System);
    addPlain(specs, kMaster, DataSetArea::Master);
    addPlain(specs, kPickLists, DataSetArea::PickList);
    addPlain(specs, kHeaders, DataSetArea::Header);
    addPlain(specs, kLines, DataSetArea::Lines);
    addPlain(specs, kStaff, DataSetArea::Staff);
    for (const Row &row : kSpecial) {
        const QString name = QString::fromLatin1(row.name);
        specs.append({name,
                      row.provider ? QString::fromLatin1(row.provider) : QStringLiteral("p") + name,
                      row.statement ? QString::fromUtf8(row.statement) : QString(),
                      areaOfSpecial(name)});
    }
    return specs;
}

} // namespace

const QList<SharedDataSetSpec> &sharedDataSetSpecs()
{
    static const QList<SharedDataSetSpec> specs = buildSpecs();
    return specs;
}

} // namespace qv::client
