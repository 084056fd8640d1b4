// A dataset filter (SetFilter) applied to the dataset's statement on the
// server: the statement becomes a derived table and the filter its condition,
// "select * from (<statement>) as qv_f where <filter>", written in the
// original dialect and translated like any other statement.
//
// A statement that ends with ORDER BY keeps its order: when the order names
// plain columns the ORDER BY moves out of the derived table, where the order is
// guaranteed; otherwise it stays inside.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace qv::server {

struct OrderSplit {
    QString head;    // the statement without its ORDER BY
    QString orderBy; // the terms after ORDER BY
};

// The statement's final top-level ORDER BY (outside strings, brackets, date
// literals and parentheses); nullopt when it has none.
std::optional<OrderSplit> splitTrailingOrderBy(QStringView statement);

// The statement text without trailing blanks and semicolons.
QString withoutTrailingSemicolons(QStringView statement);

// The statements to try for a filtered fetch, best first: with the order
// moved out when that is possible, then with the order left inside.
QStringList filteredStatements(QStringView statement, QStringView filter);

} // namespace qv::server
