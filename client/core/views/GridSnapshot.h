// What a grid shows, as exports and printing read it: the visible columns in
// their order with titles, widths and footers, over the grid's dataset.
#pragma once

#include "client/core/dataset/DataSet.h"

#include <QList>
#include <QString>

namespace qv::client {

enum class FooterKind : quint8 {
    None,
    Sum,   // the sum of the column over the rows held
    Count, // the number of rows
    Text,  // a fixed text ("合计")
};

struct FooterSpec {
    FooterKind kind = FooterKind::None;
    QString text;   // for Text
    QString format; // number pattern for Sum; empty uses the field's display format
};

struct GridColumn {
    QString field;
    QString title;
    int width = 80; // pixels on screen
    FooterSpec footer;
    QVariant footerValue; // the sum or count; the text for Text
    QString footerText;   // as shown
};

struct GridSnapshot {
    QString title;
    DataSet *dataSet = nullptr;
    QList<GridColumn> columns;
    bool hasFooter = false;
};

} // namespace qv::client
