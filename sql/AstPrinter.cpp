#include "sql/AstPrinter.h"

#include "sql/Lexer.h"
#include "sql/Parser.h"

#include <QStringList>

namespace qv::sql {

namespace {

QString name(const QString &n)
{
    bool plain = !n.isEmpty() && isIdentifierStart(n[0]);
    for (QChar c : n)
        plain = plain && isIdentifierPart(c);
    return plain && !isReservedWord(n) ? n : QLatin1Char('[') + n + QLatin1Char(']');
}

QString quoted(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

QString conversionName(Conversion c)
{
    switch (c) {
    case Conversion::YesNoToNumber: return QStringLiteral("yesno->number");
    case Conversion::NumberToYesNo: return QStringLiteral("number->yesno");
    case Conversion::DateToText: return QStringLiteral("date->text");
    case Conversion::NumberToText: return QStringLiteral("number->text");
    case Conversion::RoundToInteger: return QStringLiteral("round");
    case Conversion::TextToDate: return QStringLiteral("text->date");
    case Conversion::NumberToDate: return QStringLiteral("number->date");
    case Conversion::DateToNumber: return QStringLiteral("date->number");
    case Conversion::TextToNumber: return QStringLiteral("text->number");
    }
    return {};
}

QString literal(const Expr &e)
{
    switch (e.literal) {
    case LiteralKind::Null: return QStringLiteral("NULL");
    case LiteralKind::Integer:
    case LiteralKind::Double: return e.text;
    case LiteralKind::Text: return quoted(e.text);
    case LiteralKind::Date: return QLatin1Char('#') + e.text + QLatin1Char('#');
    case LiteralKind::Boolean: return e.boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    }
    return {};
}

QString tableRef(const TableRef &t)
{
    switch (t.kind) {
    case TableRefKind::Table: {
        QString s = t.database.isEmpty() ? name(t.name)
                                         : QLatin1Char('[') + t.database + QStringLiteral("].") + name(t.name);
        if (!t.alias.isEmpty())
            s += QStringLiteral(" AS ") + name(t.alias);
        return s;
    }
    case TableRefKind::Derived: {
        QString s = QLatin1Char('(') + printQuery(*t.query) + QLatin1Char(')');
        if (!t.alias.isEmpty())
            s += QStringLiteral(" AS ") + name(t.alias);
        return s;
    }
    case TableRefKind::Join: {
        static const char *const types[] = {"INNER", "LEFT", "RIGHT"};
        return QStringLiteral("(%1 %2 JOIN %3 ON %4)")
            .arg(tableRef(*t.left), QLatin1String(types[int(t.joinType)]), tableRef(*t.right),
                 printExpr(*t.condition));
    }
    }
    return {};
}

QString fromList(const std::vector<TableRefPtr> &from)
{
    QStringList parts;
    for (const TableRefPtr &t : from)
        parts << tableRef(*t);
    return parts.join(QStringLiteral(", "));
}

QString select(const Select &s)
{
    QString out = QStringLiteral("SELECT ");
    if (s.distinct)
        out += QStringLiteral("DISTINCT ");
    if (s.limit >= 0)
        out += QStringLiteral("TOP %1 %2").arg(s.limit).arg(s.limitPercent ? QStringLiteral("PERCENT ") : QString());
    QStringList items;
    for (const SelectItem &item : s.items) {
        QString text = printExpr(*item.expr);
        if (!item.alias.isEmpty())
            text += QStringLiteral(" AS ") + name(item.alias);
        items << text;
    }
    out += items.join(QStringLiteral(", "));
    if (!s.from.empty())
        out += QStringLiteral(" FROM ") + fromList(s.from);
    if (s.where)
        out += QStringLiteral(" WHERE ") + printExpr(*s.where);
    if (!s.groupBy.empty()) {
        QStringList groups;
        for (const ExprPtr &g : s.groupBy)
            groups << printExpr(*g);
        out += QStringLiteral(" GROUP BY ") + groups.join(QStringLiteral(", "));
    }
    if (s.having)
        out += QStringLiteral(" HAVING ") + printExpr(*s.having);
    return out;
}

} // namespace

QString printExpr(const Expr &e)
{
    switch (e.kind) {
    case ExprKind::Literal:
        return literal(e);
    case ExprKind::Column:
        return e.qualifier.isEmpty() ? name(e.text) : name(e.qualifier) + QLatin1Char('.') + name(e.text);
    case ExprKind::Star:
        return e.qualifier.isEmpty() ? QStringLiteral("*") : name(e.qualifier) + QStringLiteral(".*");
    case ExprKind::Unary:
        switch (e.unaryOp) {
        case UnaryOp::Negate: return QStringLiteral("(-%1)").arg(printExpr(*e.args[0]));
        case UnaryOp::Plus: return QStringLiteral("(+%1)").arg(printExpr(*e.args[0]));
        case UnaryOp::Not: return QStringLiteral("(NOT %1)").arg(printExpr(*e.args[0]));
        }
        return {};
    case ExprKind::Binary:
        return QStringLiteral("(%1 %2 %3)").arg(printExpr(*e.args[0]), binaryOpText(e.binaryOp), printExpr(*e.args[1]));
    case ExprKind::Like:
        return QStringLiteral("(%1 %2LIKE %3)")
            .arg(printExpr(*e.args[0]), e.negated ? QStringLiteral("NOT ") : QString(), printExpr(*e.args[1]));
    case ExprKind::Between:
        return QStringLiteral("(%1 %2BETWEEN %3 AND %4)")
            .arg(printExpr(*e.args[0]), e.negated ? QStringLiteral("NOT ") : QString(), printExpr(*e.args[1]),
                 printExpr(*e.args[2]));
    case ExprKind::InList: {
        QStringList items;
        for (size_t i = 1; i < e.args.size(); ++i)
            items << printExpr(*e.args[i]);
        return QStringLiteral("(%1 %2IN (%3))")
            .arg(printExpr(*e.args[0]), e.negated ? QStringLiteral("NOT ") : QString(), items.join(QStringLiteral(", ")));
    }
    case ExprKind::InQuery:
        return QStringLiteral("(%1 %2IN (%3))")
            .arg(printExpr(*e.args[0]), e.negated ? QStringLiteral("NOT ") : QString(), printQuery(*e.query));
    case ExprKind::Exists:
        return QStringLiteral("(%1EXISTS (%2))").arg(e.negated ? QStringLiteral("NOT ") : QString(), printQuery(*e.query));
    case ExprKind::IsNull:
        return QStringLiteral("(%1 IS %2NULL)").arg(printExpr(*e.args[0]), e.negated ? QStringLiteral("NOT ") : QString());
    case ExprKind::Case: {
        QString out = QStringLiteral("CASE");
        if (e.operand)
            out += QLatin1Char(' ') + printExpr(*e.operand);
        for (size_t i = 0; i + 1 < e.args.size(); i += 2)
            out += QStringLiteral(" WHEN %1 THEN %2").arg(printExpr(*e.args[i]), printExpr(*e.args[i + 1]));
        if (e.elseValue)
            out += QStringLiteral(" ELSE ") + printExpr(*e.elseValue);
        return out + QStringLiteral(" END");
    }
    case ExprKind::Function: {
        QStringList args;
        for (const ExprPtr &a : e.args)
            args << printExpr(*a);
        return e.text + QLatin1Char('(') + args.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    case ExprKind::Subquery:
        return QLatin1Char('(') + printQuery(*e.query) + QLatin1Char(')');
    case ExprKind::Convert:
        return QStringLiteral("{%1}(%2)").arg(conversionName(e.conversion), printExpr(*e.args[0]));
    }
    return {};
}

QString printQuery(const Query &q)
{
    QString out;
    for (size_t i = 0; i < q.branches.size(); ++i) {
        if (i > 0)
            out += q.unionAll[i - 1] ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ");
        const bool wrap = q.branches.size() > 1 && q.branches[i]->limit >= 0;
        out += wrap ? QLatin1Char('(') + select(*q.branches[i]) + QLatin1Char(')') : select(*q.branches[i]);
    }
    if (!q.orderBy.empty()) {
        QStringList items;
        for (const OrderItem &o : q.orderBy)
            items << printExpr(*o.expr) + (o.descending ? QStringLiteral(" DESC") : QString());
        out += QStringLiteral(" ORDER BY ") + items.join(QStringLiteral(", "));
    }
    return out;
}

QString printStatement(const Statement &s)
{
    switch (s.kind) {
    case StatementKind::Select:
        return printQuery(*s.query);
    case StatementKind::Insert: {
        QString out = QStringLiteral("INSERT INTO ") + tableRef(*s.table);
        if (!s.columns.isEmpty()) {
            QStringList cols;
            for (const QString &c : s.columns)
                cols << name(c);
            out += QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
        if (s.query)
            return out + QLatin1Char(' ') + printQuery(*s.query);
        QStringList values;
        for (const ExprPtr &v : s.values)
            values << printExpr(*v);
        return out + QStringLiteral(" VALUES (") + values.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    case StatementKind::Update: {
        QStringList sets;
        for (const Assignment &a : s.assignments) {
            const QString target = a.qualifier.isEmpty() ? name(a.column) : name(a.qualifier) + QLatin1Char('.') + name(a.column);
            sets << target + QStringLiteral(" = ") + printExpr(*a.value);
        }
        QString out = QStringLiteral("UPDATE ") + fromList(s.sources) + QStringLiteral(" SET ") + sets.join(QStringLiteral(", "));
        if (s.where)
            out += QStringLiteral(" WHERE ") + printExpr(*s.where);
        return out;
    }
    case StatementKind::Delete: {
        QString out = QStringLiteral("DELETE FROM ") + tableRef(*s.table);
        if (s.where)
            out += QStringLiteral(" WHERE ") + printExpr(*s.where);
        return out;
    }
    case StatementKind::CreateTable: {
        QStringList cols;
        for (const ColumnDef &c : s.columnDefs)
            cols << name(c.name) + QLatin1Char(' ') + c.typeName + (c.size > 0 ? QStringLiteral("(%1)").arg(c.size) : QString());
        return QStringLiteral("CREATE TABLE ") + tableRef(*s.table) + QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    case StatementKind::DropTable:
        return QStringLiteral("DROP TABLE ") + tableRef(*s.table);
    }
    return {};
}

} // namespace qv::sql
