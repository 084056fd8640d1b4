// Writes a bound statement in one engine's SQL. Each node kind has a writer;
// the writers take every engine difference from the Dialect. A construct the
// dialect has no entry for fails with an error naming it and its place; nothing
// is ever passed through untranslated.
#pragma once

#include "sql/Binder.h"
#include "sql/Dialect.h"

#include <array>

namespace qv::sql {

class Emitter {
public:
    Emitter(const Dialect &dialect, QStringView text, const std::vector<Attachment> &attachments);

    // Throws TranslateException (phase Emit).
    QString statement(const Statement &s);

private:
    using ExprWriter = QString (Emitter::*)(const Expr &);

    // statements and queries (Emitter.cpp)
    QString insert(const Statement &s);
    QString update(const Statement &s);
    QString remove(const Statement &s);
    QString createTable(const Statement &s);
    QString query(const Query &q);
    QString select(const Select &s);
    QString selectItems(const Select &s);
    QString orderBy(const Query &q);
    QString fromList(const std::vector<TableRefPtr> &from);
    QString tableRef(const TableRef &t);

    // expressions (EmitterExpr.cpp)
    QString expr(const Expr &e);
    QString literal(const Expr &e);
    QString column(const Expr &e);
    QString star(const Expr &e);
    QString unary(const Expr &e);
    QString binary(const Expr &e);
    QString like(const Expr &e);
    QString between(const Expr &e);
    QString inList(const Expr &e);
    QString inQuery(const Expr &e);
    QString exists(const Expr &e);
    QString isNull(const Expr &e);
    QString caseExpr(const Expr &e);
    QString function(const Expr &e);
    QString subquery(const Expr &e);
    QString convert(const Expr &e);
    QString textOperand(const Expr &e, bool left);
    bool isTextComparison(const Expr &a, const Expr &b) const;
    QString orderTerm(const Expr &e);

    QString apply(const QString &pattern, const QStringList &args) const;
    [[noreturn]] void unsupported(SourcePos pos, const QString &construct) const;

    const Dialect &m_dialect;
    QStringView m_text;
    const std::vector<Attachment> &m_attachments;
    std::array<ExprWriter, kExprKindCount> m_writers{};
    int m_unionAliases = 0;
    bool m_unionDedup = false; // writing a branch of a UNION that removes duplicates
};

} // namespace qv::sql
