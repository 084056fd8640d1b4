// Writes a tree back as text in the canonical form of the dialect: upper-case
// keywords, every operation parenthesised, iif and switch as CASE, dates as
// #yyyy-mm-dd#, TOP n, explicit joins. Parsing the output gives the same tree.
// Conversions inserted by the binder show as {from->to}(value).
#pragma once

#include "sql/Ast.h"

namespace qv::sql {

QString printStatement(const Statement &statement);
QString printQuery(const Query &query);
QString printExpr(const Expr &expr);

} // namespace qv::sql
