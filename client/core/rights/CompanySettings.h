// The company-wide settings of an account set, read at login from the one row of
// CompanyInfo.
#pragma once

#include "client/core/data/DataResult.h"

#include <QList>
#include <QString>

#include <array>

namespace qv::client {

class TData;

// A named item attribute: the item column "SX1".."SX5" and its caption.
struct ItemAttribute {
    QString name;
    QString caption;
    friend bool operator==(const ItemAttribute &, const ItemAttribute &) = default;
};

struct CompanySettings {
    QString companyName; // printed on documents and lists
    QString telephone;
    QString address;
    // Audit levels of the documents (多层审核), 1 to 10.
    int auditLevels = 1;
    // Spreadsheet page margins in centimetres: top, bottom, left, right,
    // header, footer.
    std::array<double, 6> pageMargins{1.5, 1.5, 1.0, 1.0, 0.5, 0.5};
    // Default discount factor of new document lines (统一折扣), "%.2f"; a
    // stored 0 means no discount (1).
    double discount = 1.0;
    QString discountText = QStringLiteral("1.00");
    bool noNegativeStock = false;   // fIsFSCK: issues may not take stock below zero
    bool dataScope = false;         // fBoolean2: data scope by department
    bool numberOnFirstSave = false; // fBoolean3: documents numbered at their first save
    QList<ItemAttribute> itemAttributes;
    QString itemAttributeFields; // ",SX1,SX3" for the item queries

    // Reads " select * from CompanyInfo " on Tmpf. A missing row keeps the
    // defaults and is not an error.
    static DataResult<CompanySettings> load(TData &data);
};

} // namespace qv::client
