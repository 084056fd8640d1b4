#include "sql/Ast.h"

namespace qv::sql {

ExprPtr makeExpr(ExprKind kind, SourcePos pos)
{
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->pos = pos;
    return e;
}

namespace {

ExprPtr cloneOptional(const ExprPtr &e)
{
    return e ? cloneExpr(*e) : nullptr;
}

} // namespace

ExprPtr cloneExpr(const Expr &e)
{
    auto c = std::make_unique<Expr>();
    c->kind = e.kind;
    c->pos = e.pos;
    c->literal = e.literal;
    c->text = e.text;
    c->qualifier = e.qualifier;
    c->boolean = e.boolean;
    c->unaryOp = e.unaryOp;
    c->binaryOp = e.binaryOp;
    c->conversion = e.conversion;
    c->negated = e.negated;
    for (const ExprPtr &a : e.args)
        c->args.push_back(cloneExpr(*a));
    c->operand = cloneOptional(e.operand);
    c->elseValue = cloneOptional(e.elseValue);
    if (e.query)
        c->query = cloneQuery(*e.query);
    c->type = e.type;
    c->boundQualifier = e.boundQualifier;
    c->boundName = e.boundName;
    c->baseColumn = e.baseColumn;
    return c;
}

TableRefPtr cloneTableRef(const TableRef &t)
{
    auto c = std::make_unique<TableRef>();
    c->kind = t.kind;
    c->pos = t.pos;
    c->name = t.name;
    c->database = t.database;
    c->alias = t.alias;
    if (t.query)
        c->query = cloneQuery(*t.query);
    c->joinType = t.joinType;
    if (t.left)
        c->left = cloneTableRef(*t.left);
    if (t.right)
        c->right = cloneTableRef(*t.right);
    c->condition = cloneOptional(t.condition);
    c->boundName = t.boundName;
    c->boundAlias = t.boundAlias;
    c->databaseIndex = t.databaseIndex;
    return c;
}

SelectPtr cloneSelect(const Select &s)
{
    auto c = std::make_unique<Select>();
    c->pos = s.pos;
    c->distinct = s.distinct;
    c->limit = s.limit;
    c->limitPercent = s.limitPercent;
    for (const SelectItem &item : s.items)
        c->items.push_back({cloneExpr(*item.expr), item.alias, item.pos});
    for (const TableRefPtr &t : s.from)
        c->from.push_back(cloneTableRef(*t));
    c->where = cloneOptional(s.where);
    for (const ExprPtr &g : s.groupBy)
        c->groupBy.push_back(cloneExpr(*g));
    c->having = cloneOptional(s.having);
    c->outputs = s.outputs;
    return c;
}

QueryPtr cloneQuery(const Query &q)
{
    auto c = std::make_unique<Query>();
    c->pos = q.pos;
    for (const SelectPtr &s : q.branches)
        c->branches.push_back(cloneSelect(*s));
    c->unionAll = q.unionAll;
    for (const OrderItem &o : q.orderBy)
        c->orderBy.push_back({cloneExpr(*o.expr), o.descending, o.outputIndex});
    c->columns = q.columns;
    return c;
}

QString binaryOpText(BinaryOp op)
{
    switch (op) {
    case BinaryOp::Add: return QStringLiteral("+");
    case BinaryOp::Subtract: return QStringLiteral("-");
    case BinaryOp::Multiply: return QStringLiteral("*");
    case BinaryOp::Divide: return QStringLiteral("/");
    case BinaryOp::IntDivide: return QStringLiteral("\\");
    case BinaryOp::Modulo: return QStringLiteral("MOD");
    case BinaryOp::Power: return QStringLiteral("^");
    case BinaryOp::Concat: return QStringLiteral("&");
    case BinaryOp::TextAdd: return QStringLiteral("+");
    case BinaryOp::DateAdd: return QStringLiteral("+");
    case BinaryOp::DateSubtract: return QStringLiteral("-");
    case BinaryOp::DateDiff: return QStringLiteral("-");
    case BinaryOp::Equal: return QStringLiteral("=");
    case BinaryOp::NotEqual: return QStringLiteral("<>");
    case BinaryOp::Less: return QStringLiteral("<");
    case BinaryOp::LessEqual: return QStringLiteral("<=");
    case BinaryOp::Greater: return QStringLiteral(">");
    case BinaryOp::GreaterEqual: return QStringLiteral(">=");
    case BinaryOp::And: return QStringLiteral("AND");
    case BinaryOp::Or: return QStringLiteral("OR");
    }
    return {};
}

} // namespace qv::sql
