// The vocabulary of document kinds: the ledger code of Inv_ItemList.BillType,
// the name the lists and reports show, the header table, the number prefix,
// the window that shows one document (drill-down) and the list window of the
// kind. Names the reports and the alert use for the same kind (采购入库 for
// 采购收货, 物品领用 for 领料, ...) are aliases.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qv::client {

struct BillType {
    const char *code;          // ledger code ("CS"); empty for kinds without ledger rows
    const char *name;          // the name shown ("采购收货")
    const char *headerTable;   // "CGSHZB"; empty when the kind has none
    const char *prefix;        // number prefix ("CS"); empty when none
    const char *billWindow;    // drill-down window kind ("TfrmPurIn"); empty when none
    const char *billCaption;   // its title ("采购入库单")
    bool editable;             // the drill-down window opens for editing
    const char *listWindow;    // list window kind ("TfrmPurInWork"); empty when none
    const char *windowBillType; // the bill type handed to windows serving several kinds
    const char *headerDataSet; // the shared dataset the drill-down loads ("Cgshzb")
    const char *headerQuery;   // drill-down query, ends with "where Z.ID = "

    QString codeText() const { return QString::fromUtf8(code); }
    QString nameText() const { return QString::fromUtf8(name); }
};

// Every kind, ledger kinds first in the order of the ledger's vocabulary.
const QList<BillType> &billTypes();

// The kind of a ledger code ("CS", compared without regard to case).
const BillType *billTypeByCode(const QString &code);
// The kind of a name or one of its aliases; nullptr when unknown.
const BillType *billTypeByName(const QString &name);
// The name an alias stands for ("采购入库" -> "采购收货"); the name itself when
// it is a kind's own name; empty when unknown.
QString canonicalBillName(const QString &name);
// The name a ledger code is shown as; empty for unknown codes and for codes
// without a name (aExport).
QString billTypeName(const QString &code);

// The kinds that are processes rather than documents: their drill-down only
// loads a dataset (the payments of an order, the returns of a change).
struct BillProcess {
    const char *name;
    const char *dataSet;
    const char *query; // the ID is appended, then `tail`
    const char *tail;
};
const QList<BillProcess> &billProcesses();
const BillProcess *billProcessByName(const QString &name);

// The statement of the drill-down: the kind's query, the ID, " order by Z.DJBH".
QString billHeaderQuery(const BillType &type, qint64 id);

} // namespace qv::client
