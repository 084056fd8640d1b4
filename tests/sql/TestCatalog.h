// A small model of the tables the tests use, in the schema text format, read
// into a catalog. (The full model comes from the schema library; these tests
// need only a few tables and keep them visible next to the cases.)
#pragma once

#include "sql/Catalog.h"

#include <QStringList>

namespace qv::sql::test {

inline const char *kTestSchema = R"(
table HP key ID
  ID integer
  BH text(20)
  BARCODE text(20)
  HPLBID integer
  PM text(40)
  GG text(50)
  DW text(4)
  HPHSFSID smallint
  JJ double
  JJJ double
  SX double
  XX double
  InSL double
  CKID integer
  ZT yesno
  IsMaterial yesno
  IsProduct yesno
  ZJM text(20)
table Pub_ItemType key ItemType
  ItemType integer
  TypeName text(50)
  ParentCode integer
  ZT yesno
table GYS key ID
  ID integer
  BH text(12)
  MC text(20)
  DQID integer
  QMJE double
  YXJE double
  ZT yesno
table CK key ID
  ID integer
  MC text(16)
  BMID integer
table BM key ID
  ID integer
  ParentCode integer
  MC text(50)
  JE double
table YG key ID
  ID integer
  BH text(10)
  XM text(20)
  BMID integer
  CSRQ date
  YWYBZ yesno
table ZH key ID
  ID integer
  MC text(20)
  YHL yesno
  QCJE double
  QMJE double
table SFKFS key ID
  ID integer
  MC text(16)
  ZHID integer
table CGDDZB key ID
  ID integer
  DJBH text(12)
  RQ date
  JE double
  GYSID integer
  JHRQ date
  ZT yesno
  uFlag integer
table CGDD key ZBID,HH
  ZBID integer
  HH integer
  RQ date
  HPID integer
  SL double
  DJ double
  DJBH text(14)
table CGSHZB key ID
  ID integer
  DJBH text(12)
  RQ date
  JE double
  GYSID integer
  CKID integer
  SFKFSID smallint
  ZHID smallint
  CGLX integer
  FPLX integer
  YFJE double
  uFlag integer
table CGSH key RECID
  ZBID integer
  HH integer
  RQ date
  HPID integer
  SL double
  DJ double
  DJBH text(14)
  NSL double
  NZK double
  SRCNO text(20)
  SRCSEQ integer
table LL key RECID
  ZBID integer
  HH integer
  RQ date
  HPID integer
  SL double
  DJ double
table XSKDZB key ID
  ID integer
  DJBH text(12)
  RQ date
  SKQX integer
  JE double
table Inv_ItemList key ID
  ID autonumber
  RQ date
  BillType text(10)
  Flag integer
  DJBH text(20)
  HPID integer
  HH integer
  SL double
  DJ double
  CBDJ double
  JE double
  CKID integer
  RefSL double
table AppUser key ID
  ID integer
  uCode text(8)
  uName text(20)
  uPassword text(8)
table AppLog
  uName text(20)
  CZ text(30)
  RQ date
  SJ text(5)
table Sys_GroupFuncRight
  CompanyCode text(10)
  UserGroupNo integer
  FuncNodeNo text(20)
  ObjectName text(50)
  FuncItems text(255)
  RQ text(10)
)";

// Reads the "table NAME ... / COLUMN TYPE" lines of the schema text format.
inline Catalog catalogFromText(const QString &text)
{
    Catalog catalog;
    CatalogTable current;
    auto flush = [&] {
        if (!current.name.isEmpty())
            catalog.addTable(current);
        current = CatalogTable();
    };
    for (const QString &raw : text.split(QLatin1Char('\n'))) {
        const QStringList words = raw.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        if (words[0] == QLatin1String("table")) {
            flush();
            current.name = words[1];
            continue;
        }
        const QString type = words[1].section(QLatin1Char('('), 0, 0);
        SqlType t = SqlType::Unknown;
        if (type == QLatin1String("text") || type == QLatin1String("memo"))
            t = SqlType::Text;
        else if (type == QLatin1String("integer") || type == QLatin1String("smallint") || type == QLatin1String("autonumber"))
            t = SqlType::Integer;
        else if (type == QLatin1String("double") || type == QLatin1String("decimal") || type == QLatin1String("currency"))
            t = SqlType::Double;
        else if (type == QLatin1String("date") || type == QLatin1String("datetime"))
            t = SqlType::Date;
        else if (type == QLatin1String("yesno"))
            t = SqlType::YesNo;
        else if (type == QLatin1String("blob"))
            t = SqlType::Blob;
        current.columns.push_back({words[0], t});
    }
    flush();
    return catalog;
}

inline const Catalog &testCatalog()
{
    static const Catalog catalog = catalogFromText(QString::fromUtf8(kTestSchema));
    return catalog;
}

} // namespace qv::sql::test
