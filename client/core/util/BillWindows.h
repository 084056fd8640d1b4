// Opening documents by the name of their kind: the drill-down from a report or
// ledger row to the document behind it (OpenBill) and the list window of a
// kind (OpenBillList, used by the pending-documents alert). The windows belong
// to the document, finance and sales parts of the client, which register them
// here under their window kind; a kind whose window is not registered opens
// nothing.
#pragma once

#include "client/core/util/BillTypes.h"
#include "client/core/util/QueryService.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class QComboBox;
class QWidget;

namespace qv::client {

// What a drill-down window is opened with.
struct BillRequest {
    const BillType *type = nullptr;
    QString name;        // the name as asked for (an alias stays as given)
    qint64 id = 0;       // the header's ID (the record's ID for bank movements)
    QString headerQuery; // the statement that loads the header; empty for bank movements
    QString billType;    // the bill type for windows serving several kinds (KCPD, KCTZ)
    bool viewOnly = true;
};

class BillWindows {
public:
    // Shows the document modally (and frees it afterwards).
    using BillOpener = std::function<void(const BillRequest &request, QWidget *parent)>;
    // Shows the list window modally in its from-alert mode.
    using ListOpener = std::function<void(const QString &billType, QWidget *parent)>;
    // Loads a shared dataset with a statement (kinds that open no window).
    using Loader = std::function<void(const QString &dataSet, const QString &sql)>;

    void addBillWindow(const QString &windowKind, BillOpener opener);
    void addListWindow(const QString &windowKind, ListOpener opener);
    void setLoader(Loader loader) { m_loader = std::move(loader); }

    BillOpener billOpener(const QString &windowKind) const;
    ListOpener listOpener(const QString &windowKind) const;
    const Loader &loader() const { return m_loader; }

private:
    QHash<QString, BillOpener> m_bills; // upper-case window kind
    QHash<QString, ListOpener> m_lists;
    Loader m_loader;
};

enum class OpenBillOutcome {
    Refused,      // "不能打开此单据。" was shown
    Opened,       // a window was opened
    Loaded,       // a dataset was loaded (orders, processes)
    NotAvailable, // the kind's window is not registered: nothing happened
};

// The request a drill-down makes, or nullopt when it must be refused (empty
// or unknown name, ID not a positive number). Process kinds are not bills.
std::optional<BillRequest> billRequest(const QString &name, const QVariant &id);

OpenBillOutcome OpenBill(const BillWindows &windows, const QString &name, const QVariant &id,
                         QWidget *parent = nullptr);

// The list window kind and the bill type it gets; nullopt when the kind has no
// list window.
struct BillListTarget {
    QString windowKind;
    QString billType;
};
std::optional<BillListTarget> billListTarget(const QString &name);

// Opens the list window of the kind; false when the kind has none or its
// window is not registered.
bool OpenBillList(const BillWindows &windows, const QString &name, QWidget *parent = nullptr);

// The item's purchase price ("select JJJ from HP  where ID = "); 0 without a row.
double ItemPrice(QueryService &queries, qint64 itemId);

// The first column of every row of the query.
QStringList queryColumn(QueryService &queries, const QString &sql);
// Clears the list and adds the first column of every row of the query.
void FillList(QComboBox *list, QueryService &queries, const QString &sql);
void FillList(QStringList &list, QueryService &queries, const QString &sql);

} // namespace qv::client
