// Binding of expressions: names, types and the conversions the original engine
// makes implicitly.
#include "sql/Binder.h"

#include "sql/JetFunctions.h"
#include "sql/JetValues.h"
#include "sql/Parser.h"

namespace qv::sql {

namespace {

bool isLiteral(const Expr &e, LiteralKind kind)
{
    return e.kind == ExprKind::Literal && e.literal == kind;
}

bool isNumberLiteral(const Expr &e)
{
    return isLiteral(e, LiteralKind::Integer) || isLiteral(e, LiteralKind::Double);
}

bool numberLike(SqlType t)
{
    return t == SqlType::Integer || t == SqlType::Double || t == SqlType::YesNo || t == SqlType::Null
           || t == SqlType::Unknown;
}

bool passive(SqlType t)
{
    return t == SqlType::Null || t == SqlType::Unknown;
}

void setLiteral(Expr &e, LiteralKind kind, const QString &text, SqlType type)
{
    e.literal = kind;
    e.text = text;
    e.type = type;
}

} // namespace

SqlType unifyTypes(SqlType a, SqlType b)
{
    if (a == b || b == SqlType::Null || b == SqlType::Unknown)
        return a;
    if (a == SqlType::Null || a == SqlType::Unknown)
        return b;
    if (a == SqlType::Text || b == SqlType::Text)
        return SqlType::Text;
    if (a == SqlType::Blob || b == SqlType::Blob)
        return SqlType::Unknown;
    if (a == SqlType::Date || b == SqlType::Date)
        return SqlType::Date;
    if (a == SqlType::Double || b == SqlType::Double)
        return SqlType::Double;
    return SqlType::Integer; // integer with yes/no
}

void Binder::fail(SourcePos pos, const QString &message) const
{
    throw TranslateException{makeError(Phase::Bind, m_text, pos, message)};
}

void Binder::wrap(ExprPtr &e, Conversion conversion, SqlType type)
{
    auto c = makeExpr(ExprKind::Convert, e->pos);
    c->conversion = conversion;
    c->type = type;
    c->args.push_back(std::move(e));
    e = std::move(c);
}

void Binder::coerce(ExprPtr &e, SqlType target, bool assignment)
{
    const SqlType from = e->type;
    if (from == target || passive(from) || passive(target))
        return;
    Expr &x = *e;
    const bool literal = x.kind == ExprKind::Literal;
    auto mismatch = [&] {
        fail(x.pos, QStringLiteral("type mismatch: %1 where %2 is needed").arg(sqlTypeName(from), sqlTypeName(target)));
    };
    switch (target) {
    case SqlType::Integer:
    case SqlType::Double:
        if (from == SqlType::YesNo) {
            if (literal)
                setLiteral(x, LiteralKind::Integer, x.boolean ? QStringLiteral("-1") : QStringLiteral("0"), SqlType::Integer);
            else
                wrap(e, Conversion::YesNoToNumber, SqlType::Integer);
        } else if (from == SqlType::Text) {
            const std::optional<double> n = literal ? jet::parseNumber(x.text) : std::nullopt;
            if (n)
                setLiteral(x, LiteralKind::Double, jet::numberText(*n), SqlType::Double);
            else
                wrap(e, Conversion::TextToNumber, SqlType::Double);
        } else if (from == SqlType::Date) {
            const std::optional<double> n = literal ? jet::dayNumber(x.text) : std::nullopt;
            if (n)
                setLiteral(x, LiteralKind::Double, jet::numberText(*n), SqlType::Double);
            else
                wrap(e, Conversion::DateToNumber, SqlType::Double);
        } else if (from == SqlType::Double && target == SqlType::Integer && assignment) {
            if (literal)
                setLiteral(x, LiteralKind::Integer, jet::numberText(jet::roundHalfEven(x.text.toDouble())), SqlType::Integer);
            else
                wrap(e, Conversion::RoundToInteger, SqlType::Integer);
        } else if (from == SqlType::Blob) {
            mismatch();
        }
        return;
    case SqlType::Text:
        if (from == SqlType::YesNo) {
            coerce(e, SqlType::Integer, false);
            coerce(e, SqlType::Text, assignment);
        } else if (from == SqlType::Integer || from == SqlType::Double) {
            if (literal)
                setLiteral(x, LiteralKind::Text, jet::numberText(x.text.toDouble()), SqlType::Text);
            else
                wrap(e, Conversion::NumberToText, SqlType::Text);
        } else if (from == SqlType::Date) {
            if (literal)
                setLiteral(x, LiteralKind::Text, x.text, SqlType::Text);
            else
                wrap(e, Conversion::DateToText, SqlType::Text);
        } else {
            mismatch();
        }
        return;
    case SqlType::Date:
        if (from == SqlType::Integer || from == SqlType::Double) {
            if (literal) {
                const QString text = jet::dateText(x.text.toDouble());
                if (text.isEmpty())
                    fail(x.pos, QStringLiteral("day number %1 is out of the date range").arg(x.text));
                setLiteral(x, LiteralKind::Date, text, SqlType::Date);
            } else {
                wrap(e, Conversion::NumberToDate, SqlType::Date);
            }
        } else if (from == SqlType::Text) {
            if (literal) {
                const QString text = dateLiteralText(x.text);
                if (text.isEmpty())
                    fail(x.pos, QStringLiteral("'%1' is not a date").arg(x.text));
                setLiteral(x, LiteralKind::Date, text, SqlType::Date);
            } else {
                wrap(e, Conversion::TextToDate, SqlType::Date);
            }
        } else {
            mismatch();
        }
        return;
    case SqlType::YesNo:
        if (from == SqlType::Integer || from == SqlType::Double) {
            if (literal) {
                x.literal = LiteralKind::Boolean;
                x.boolean = x.text.toDouble() != 0;
                x.text.clear();
                x.type = SqlType::YesNo;
            } else {
                wrap(e, Conversion::NumberToYesNo, SqlType::YesNo);
            }
        } else {
            mismatch();
        }
        return;
    case SqlType::Blob:
        mismatch();
        return;
    case SqlType::Null:
    case SqlType::Unknown:
        return;
    }
}

void Binder::toCondition(ExprPtr &e)
{
    const SqlType t = e->type;
    if (t == SqlType::YesNo || passive(t))
        return;
    if (isNumeric(t)) {
        coerce(e, SqlType::YesNo, false);
        return;
    }
    fail(e->pos, QStringLiteral("type mismatch: %1 used as a condition").arg(sqlTypeName(t)));
}

void Binder::toNumber(ExprPtr &e)
{
    if (!isNumeric(e->type))
        coerce(e, SqlType::Double, false);
}

void Binder::toText(ExprPtr &e)
{
    coerce(e, SqlType::Text, false);
}

void Binder::toDate(ExprPtr &e)
{
    coerce(e, SqlType::Date, false);
}

void Binder::bindExpr(ExprPtr &e, Scope &scope)
{
    Expr &x = *e;
    switch (x.kind) {
    case ExprKind::Literal:
        switch (x.literal) {
        case LiteralKind::Null: x.type = SqlType::Null; break;
        case LiteralKind::Integer: x.type = SqlType::Integer; break;
        case LiteralKind::Double: x.type = SqlType::Double; break;
        case LiteralKind::Text: x.type = SqlType::Text; break;
        case LiteralKind::Date: x.type = SqlType::Date; break;
        case LiteralKind::Boolean: x.type = SqlType::YesNo; break;
        }
        return;
    case ExprKind::Column:
        bindColumn(e, scope);
        return;
    case ExprKind::Star:
        fail(x.pos, QStringLiteral("'*' is not allowed here"));
    case ExprKind::Unary:
        bindExpr(x.args[0], scope);
        if (x.unaryOp == UnaryOp::Not) {
            toCondition(x.args[0]);
            x.type = SqlType::YesNo;
        } else {
            toNumber(x.args[0]);
            x.type = x.args[0]->type;
        }
        return;
    case ExprKind::Binary:
        bindBinary(e, scope);
        return;
    case ExprKind::Like:
        bindExpr(x.args[0], scope);
        bindExpr(x.args[1], scope);
        toText(x.args[0]);
        toText(x.args[1]);
        x.type = SqlType::YesNo;
        return;
    case ExprKind::Between:
        for (ExprPtr &a : x.args)
            bindExpr(a, scope);
        bindComparison(x.args[0], x.args[1], x);
        bindComparison(x.args[0], x.args[2], x);
        x.type = SqlType::YesNo;
        return;
    case ExprKind::InList:
        for (ExprPtr &a : x.args)
            bindExpr(a, scope);
        for (size_t i = 1; i < x.args.size(); ++i)
            bindComparison(x.args[0], x.args[i], x);
        x.type = SqlType::YesNo;
        return;
    case ExprKind::InQuery: {
        bindExpr(x.args[0], scope);
        const SqlType t = bindSubquery(*x.query, scope, x);
        if (x.args[0]->type == SqlType::YesNo && isNumeric(t))
            toNumber(x.args[0]);
        else if (t == SqlType::Date && x.args[0]->type != SqlType::Date)
            toDate(x.args[0]);
        x.type = SqlType::YesNo;
        return;
    }
    case ExprKind::Exists:
        bindQuery(*x.query, &scope);
        x.type = SqlType::YesNo;
        return;
    case ExprKind::IsNull:
        bindExpr(x.args[0], scope);
        x.type = SqlType::YesNo;
        return;
    case ExprKind::Case:
        bindCase(e, scope);
        return;
    case ExprKind::Function:
        bindFunction(e, scope);
        return;
    case ExprKind::Subquery:
        x.type = bindSubquery(*x.query, scope, x);
        return;
    case ExprKind::Convert:
        return; // already bound: the expression of a reused alias
    }
}

void Binder::bindColumn(ExprPtr &e, Scope &scope)
{
    Expr &x = *e;
    auto take = [&](const Source &src, const SourceColumn *col) {
        x.boundQualifier = src.alias;
        x.boundName = col ? col->name : x.text;
        x.type = col ? col->type : SqlType::Unknown;
        x.baseColumn = col && col->baseColumn;
    };
    auto findColumn = [](const Source &src, QStringView name, bool *duplicated) -> const SourceColumn * {
        for (size_t i = 0; i < src.columns.size(); ++i) {
            if (src.columns[i].name.compare(name, Qt::CaseInsensitive) == 0) {
                *duplicated = i < src.duplicated.size() && src.duplicated[i];
                return &src.columns[i];
            }
        }
        return nullptr;
    };
    if (!x.qualifier.isEmpty()) {
        for (Scope *s = &scope; s; s = s->parent) {
            for (const Source &src : s->sources) {
                if (src.alias.compare(x.qualifier, Qt::CaseInsensitive) != 0)
                    continue;
                bool duplicated = false;
                const SourceColumn *col = findColumn(src, x.text, &duplicated);
                if (!col && !src.external)
                    fail(x.pos, QStringLiteral("unknown column '%1.%2'").arg(x.qualifier, x.text));
                if (duplicated)
                    fail(x.pos, QStringLiteral("column '%1.%2' is ambiguous").arg(x.qualifier, x.text));
                take(src, col);
                return;
            }
        }
        // The original engine also finds a column of a derived table by the
        // table it came from inside: "select D.DJ from (select D.DJ from LL D) a".
        for (Scope *s = &scope; s; s = s->parent) {
            const Source *found = nullptr;
            const SourceColumn *foundColumn = nullptr;
            for (const Source &src : s->sources) {
                for (const SourceColumn &c : src.columns) {
                    if (c.origin.compare(x.qualifier, Qt::CaseInsensitive) == 0
                        && c.name.compare(x.text, Qt::CaseInsensitive) == 0) {
                        if (found)
                            fail(x.pos, QStringLiteral("column '%1.%2' is ambiguous").arg(x.qualifier, x.text));
                        found = &src;
                        foundColumn = &c;
                    }
                }
            }
            if (found) {
                take(*found, foundColumn);
                return;
            }
        }
        fail(x.pos, QStringLiteral("unknown table or alias '%1'").arg(x.qualifier));
    }
    for (Scope *s = &scope; s; s = s->parent) {
        const Source *found = nullptr;
        const SourceColumn *foundColumn = nullptr;
        int matches = 0;
        for (const Source &src : s->sources) {
            bool duplicated = false;
            const SourceColumn *col = findColumn(src, x.text, &duplicated);
            if (col) {
                if (duplicated)
                    fail(x.pos, QStringLiteral("column '%1' is ambiguous").arg(x.text));
                found = &src;
                foundColumn = col;
                ++matches;
            }
        }
        if (matches > 1)
            fail(x.pos, QStringLiteral("column '%1' could refer to more than one table").arg(x.text));
        if (matches == 1) {
            take(*found, foundColumn);
            return;
        }
        if (s == &scope && resolveAlias(e, scope))
            return;
        // A table of another file may have any column; with nothing else to
        // match, the name is taken as one of its columns.
        const Source *external = nullptr;
        int externals = 0;
        for (const Source &src : s->sources) {
            if (src.external) {
                external = &src;
                ++externals;
            }
        }
        if (externals == 1) {
            take(*external, nullptr);
            return;
        }
    }
    fail(x.pos, QStringLiteral("unknown column '%1'").arg(x.text));
}

bool Binder::resolveAlias(ExprPtr &e, Scope &scope)
{
    if (!scope.aliasesAllowed || !scope.select)
        return false;
    std::vector<SelectItem> &items = scope.select->items;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].alias.compare(e->text, Qt::CaseInsensitive) != 0)
            continue;
        if (scope.itemState[i] == 1)
            fail(e->pos, QStringLiteral("circular reference caused by alias '%1'").arg(items[i].alias));
        if (scope.itemState[i] == 0)
            bindSelectItem(scope, int(i));
        const SourcePos pos = e->pos;
        e = cloneExpr(*items[i].expr);
        e->pos = pos;
        return true;
    }
    return false;
}

void Binder::bindBinary(ExprPtr &e, Scope &scope)
{
    Expr &x = *e;
    bindExpr(x.args[0], scope);
    bindExpr(x.args[1], scope);
    switch (x.binaryOp) {
    case BinaryOp::Equal:
    case BinaryOp::NotEqual:
    case BinaryOp::Less:
    case BinaryOp::LessEqual:
    case BinaryOp::Greater:
    case BinaryOp::GreaterEqual:
        bindComparison(x.args[0], x.args[1], x);
        x.type = SqlType::YesNo;
        return;
    case BinaryOp::And:
    case BinaryOp::Or:
        toCondition(x.args[0]);
        toCondition(x.args[1]);
        x.type = SqlType::YesNo;
        return;
    case BinaryOp::Concat:
        toText(x.args[0]);
        toText(x.args[1]);
        x.type = SqlType::Text;
        return;
    default:
        bindArithmetic(e);
        return;
    }
}

void Binder::bindArithmetic(ExprPtr &e)
{
    Expr &x = *e;
    ExprPtr &a = x.args[0];
    ExprPtr &b = x.args[1];
    const SqlType ta = a->type;
    const SqlType tb = b->type;
    auto textual = [](SqlType t) { return t == SqlType::Text || t == SqlType::Null; };
    if (x.binaryOp == BinaryOp::Add) {
        if (textual(ta) && textual(tb) && (ta == SqlType::Text || tb == SqlType::Text)) {
            x.binaryOp = BinaryOp::TextAdd;
            x.type = SqlType::Text;
            return;
        }
        if (ta == SqlType::Date && numberLike(tb)) {
            toNumber(b);
            x.binaryOp = BinaryOp::DateAdd;
            x.type = SqlType::Date;
            return;
        }
        if (tb == SqlType::Date && numberLike(ta)) {
            std::swap(a, b);
            toNumber(b);
            x.binaryOp = BinaryOp::DateAdd;
            x.type = SqlType::Date;
            return;
        }
    } else if (x.binaryOp == BinaryOp::Subtract) {
        if (ta == SqlType::Date && tb == SqlType::Date) {
            x.binaryOp = BinaryOp::DateDiff;
            x.type = SqlType::Double;
            return;
        }
        if (ta == SqlType::Date && numberLike(tb)) {
            toNumber(b);
            x.binaryOp = BinaryOp::DateSubtract;
            x.type = SqlType::Date;
            return;
        }
    }
    toNumber(a);
    toNumber(b);
    const SqlType na = a->type;
    const SqlType nb = b->type;
    switch (x.binaryOp) {
    case BinaryOp::Divide:
    case BinaryOp::Power:
        x.type = SqlType::Double;
        return;
    case BinaryOp::IntDivide:
    case BinaryOp::Modulo:
        x.type = SqlType::Integer;
        return;
    default:
        break;
    }
    if (na == SqlType::Unknown || nb == SqlType::Unknown)
        x.type = SqlType::Unknown;
    else if (na == SqlType::Null && nb == SqlType::Null)
        x.type = SqlType::Null;
    else if ((na == SqlType::Integer || na == SqlType::Null) && (nb == SqlType::Integer || nb == SqlType::Null))
        x.type = SqlType::Integer;
    else
        x.type = SqlType::Double;
}

void Binder::bindComparison(ExprPtr &left, ExprPtr &right, const Expr &at)
{
    const SqlType ta = left->type;
    const SqlType tb = right->type;
    if (ta == tb || passive(ta) || passive(tb))
        return;
    if (ta == SqlType::Date) {
        toDate(right);
    } else if (tb == SqlType::Date) {
        toDate(left);
    } else if (ta == SqlType::YesNo && isNumeric(tb)) {
        if (isNumberLiteral(*right))
            coerce(right, SqlType::YesNo, false);
        else
            toNumber(left);
    } else if (tb == SqlType::YesNo && isNumeric(ta)) {
        if (isNumberLiteral(*left))
            coerce(left, SqlType::YesNo, false);
        else
            toNumber(right);
    } else if (isNumeric(ta) && isNumeric(tb)) {
        return;
    } else if (ta == SqlType::Text && isNumeric(tb) && isLiteral(*left, LiteralKind::Text) && jet::parseNumber(left->text)) {
        coerce(left, tb, false);
    } else if (tb == SqlType::Text && isNumeric(ta) && isLiteral(*right, LiteralKind::Text) && jet::parseNumber(right->text)) {
        coerce(right, ta, false);
    } else {
        fail(at.pos, QStringLiteral("type mismatch in comparison: %1 with %2").arg(sqlTypeName(ta), sqlTypeName(tb)));
    }
}

void Binder::bindCase(ExprPtr &e, Scope &scope)
{
    Expr &x = *e;
    if (x.operand)
        bindExpr(x.operand, scope);
    for (size_t i = 0; i + 1 < x.args.size(); i += 2) {
        bindExpr(x.args[i], scope);
        if (x.operand)
            bindComparison(x.operand, x.args[i], x);
        else
            toCondition(x.args[i]);
        bindExpr(x.args[i + 1], scope);
    }
    if (x.elseValue)
        bindExpr(x.elseValue, scope);
    SqlType t = SqlType::Null;
    for (size_t i = 1; i < x.args.size(); i += 2)
        t = unifyTypes(t, x.args[i]->type);
    if (x.elseValue)
        t = unifyTypes(t, x.elseValue->type);
    for (size_t i = 1; i < x.args.size(); i += 2)
        coerce(x.args[i], t, false);
    if (x.elseValue)
        coerce(x.elseValue, t, false);
    x.type = t;
}

void Binder::bindFunction(ExprPtr &e, Scope &scope)
{
    Expr &x = *e;
    const FunctionInfo *info = findFunction(x.text);
    if (!info)
        fail(x.pos, QStringLiteral("unknown function '%1'").arg(x.text));
    const QLatin1StringView argTypes(info->argTypes);
    for (size_t i = 0; i < x.args.size(); ++i) {
        ExprPtr &a = x.args[i];
        if (a->kind == ExprKind::Star)
            continue; // count(*)
        bindExpr(a, scope);
        const char kind = argTypes.at(qMin(qsizetype(i), argTypes.size() - 1)).toLatin1();
        if (kind == 'T')
            toText(a);
        else if (kind == 'N')
            toNumber(a);
        else if (kind == 'D')
            toDate(a);
    }
    if (x.text == QLatin1String("format") && !x.args.empty()) {
        // Format reads a date as its day number and a yes/no value as -1 or 0.
        if (x.args[0]->type == SqlType::Date || x.args[0]->type == SqlType::YesNo)
            coerce(x.args[0], SqlType::Double, false);
        if (x.args.size() > 1 && isLiteral(*x.args[1], LiteralKind::Text) && !jet::parseFormatPattern(x.args[1]->text))
            fail(x.args[1]->pos, QStringLiteral("format pattern '%1' is not supported").arg(x.args[1]->text));
    }
    switch (info->rule) {
    case ResultRule::Fixed:
        x.type = info->result;
        return;
    case ResultRule::FirstArg:
        x.type = x.args.empty() ? SqlType::Unknown : x.args[0]->type;
        return;
    case ResultRule::Sum:
        x.type = x.args[0]->type == SqlType::Integer ? SqlType::Integer : SqlType::Double;
        return;
    case ResultRule::Unify: {
        SqlType t = SqlType::Null;
        for (const ExprPtr &a : x.args)
            t = unifyTypes(t, a->type);
        for (ExprPtr &a : x.args)
            coerce(a, t, false);
        x.type = t;
        return;
    }
    }
}

SqlType Binder::bindSubquery(Query &q, Scope &scope, const Expr &at)
{
    bindQuery(q, &scope);
    if (q.columns.size() != 1)
        fail(at.pos, QStringLiteral("a sub-query here must give exactly one column"));
    return q.columns[0].type;
}

} // namespace qv::sql
