// Writing expressions.
#include "sql/Emitter.h"

#include "sql/JetFunctions.h"

namespace qv::sql {

QString Emitter::expr(const Expr &e)
{
    const ExprWriter writer = m_writers[size_t(e.kind)];
    if (!writer)
        unsupported(e.pos, QStringLiteral("this construct"));
    return (this->*writer)(e);
}

QString Emitter::literal(const Expr &e)
{
    switch (e.literal) {
    case LiteralKind::Null: return QStringLiteral("NULL");
    case LiteralKind::Integer:
    case LiteralKind::Double: return e.text;
    case LiteralKind::Text: return m_dialect.textLiteral(e.text);
    case LiteralKind::Date: return apply(m_dialect.dateLiteral, {e.text});
    case LiteralKind::Boolean: return e.boolean ? m_dialect.trueLiteral : m_dialect.falseLiteral;
    }
    return {};
}

QString Emitter::column(const Expr &e)
{
    const QString name = m_dialect.identifier(e.boundName.isEmpty() ? e.text : e.boundName);
    if (e.boundQualifier.isEmpty())
        return name;
    return m_dialect.identifier(e.boundQualifier) + QLatin1Char('.') + name;
}

QString Emitter::star(const Expr &e)
{
    if (e.qualifier.isEmpty())
        return QStringLiteral("*");
    return m_dialect.identifier(e.qualifier) + QStringLiteral(".*");
}

QString Emitter::unary(const Expr &e)
{
    const auto it = m_dialect.unary.constFind(int(e.unaryOp));
    if (it == m_dialect.unary.constEnd())
        unsupported(e.pos, QStringLiteral("this operator"));
    return apply(it.value(), {expr(*e.args[0])});
}

bool Emitter::isTextComparison(const Expr &a, const Expr &b) const
{
    return a.type == SqlType::Text || b.type == SqlType::Text;
}

// An operand of a text comparison. Stored text columns compare without regard
// to case by their declaration; other operands are made to.
QString Emitter::textOperand(const Expr &e, bool left)
{
    QString text = expr(e);
    const bool stored = e.kind == ExprKind::Column && e.baseColumn;
    const bool constant = e.kind == ExprKind::Literal;
    if (!stored && !constant)
        text = apply(m_dialect.textCast, {text});
    if (left)
        text += m_dialect.textCollate;
    return text;
}

QString Emitter::binary(const Expr &e)
{
    const auto it = m_dialect.binary.constFind(int(e.binaryOp));
    if (it == m_dialect.binary.constEnd())
        unsupported(e.pos, QStringLiteral("operator %1").arg(binaryOpText(e.binaryOp)));
    const Expr &a = *e.args[0];
    const Expr &b = *e.args[1];
    switch (e.binaryOp) {
    case BinaryOp::Equal:
    case BinaryOp::NotEqual:
    case BinaryOp::Less:
    case BinaryOp::LessEqual:
    case BinaryOp::Greater:
    case BinaryOp::GreaterEqual:
        if (isTextComparison(a, b)) {
            QString left = textOperand(a, true);
            QString right = textOperand(b, false);
            // Two constants: one of them must carry the comparison's rule.
            if (a.kind == ExprKind::Literal && b.kind == ExprKind::Literal)
                left = apply(m_dialect.textCast, {expr(a)}) + m_dialect.textCollate;
            return apply(it.value(), {left, right});
        }
        break;
    default:
        break;
    }
    return apply(it.value(), {expr(a), expr(b)});
}

QString Emitter::like(const Expr &e)
{
    return apply(e.negated ? m_dialect.notLike : m_dialect.like, {expr(*e.args[0]), expr(*e.args[1])});
}

QString Emitter::between(const Expr &e)
{
    const Expr &v = *e.args[0];
    const bool text = v.type == SqlType::Text || e.args[1]->type == SqlType::Text;
    const QString value = text ? apply(m_dialect.textCast, {expr(v)}) + m_dialect.textCollate : expr(v);
    return QStringLiteral("(%1 %2BETWEEN %3 AND %4)")
        .arg(value, e.negated ? QStringLiteral("NOT ") : QString(), expr(*e.args[1]), expr(*e.args[2]));
}

QString Emitter::inList(const Expr &e)
{
    const Expr &v = *e.args[0];
    QString value = expr(v);
    if (v.type == SqlType::Text && !(v.kind == ExprKind::Column && v.baseColumn))
        value = apply(m_dialect.textCast, {value});
    if (v.type == SqlType::Text)
        value += m_dialect.textCollate;
    QStringList items;
    for (size_t i = 1; i < e.args.size(); ++i)
        items << expr(*e.args[i]);
    return QStringLiteral("(%1 %2IN (%3))").arg(value, e.negated ? QStringLiteral("NOT ") : QString(), items.join(QStringLiteral(", ")));
}

QString Emitter::inQuery(const Expr &e)
{
    const Expr &v = *e.args[0];
    QString value = expr(v);
    if (v.type == SqlType::Text)
        value = apply(m_dialect.textCast, {value}) + m_dialect.textCollate;
    return QStringLiteral("(%1 %2IN (%3))").arg(value, e.negated ? QStringLiteral("NOT ") : QString(), query(*e.query));
}

QString Emitter::exists(const Expr &e)
{
    return QStringLiteral("(%1EXISTS (%2))").arg(e.negated ? QStringLiteral("NOT ") : QString(), query(*e.query));
}

QString Emitter::isNull(const Expr &e)
{
    return QStringLiteral("(%1 IS %2NULL)").arg(expr(*e.args[0]), e.negated ? QStringLiteral("NOT ") : QString());
}

QString Emitter::caseExpr(const Expr &e)
{
    QString out = QStringLiteral("CASE");
    if (e.operand)
        out += QLatin1Char(' ') + expr(*e.operand);
    for (size_t i = 0; i + 1 < e.args.size(); i += 2)
        out += QStringLiteral(" WHEN %1 THEN %2").arg(expr(*e.args[i]), expr(*e.args[i + 1]));
    if (e.elseValue)
        out += QStringLiteral(" ELSE ") + expr(*e.elseValue);
    return out + QStringLiteral(" END");
}

QString Emitter::function(const Expr &e)
{
    const FunctionForm *form = m_dialect.function(e.text, int(e.args.size()));
    if (!form)
        unsupported(e.pos, QStringLiteral("function '%1'").arg(e.text));
    QStringList args;
    for (const ExprPtr &a : e.args)
        args << expr(*a);
    if (form->writer) {
        QString error;
        const std::optional<QString> text = form->writer(e, args, m_dialect, &error);
        if (!text)
            throw TranslateException{makeError(Phase::Emit, m_text, e.pos, error)};
        return *text;
    }
    return apply(form->pattern, args);
}

QString Emitter::subquery(const Expr &e)
{
    return QLatin1Char('(') + query(*e.query) + QLatin1Char(')');
}

QString Emitter::convert(const Expr &e)
{
    const auto it = m_dialect.conversions.constFind(int(e.conversion));
    if (it == m_dialect.conversions.constEnd())
        unsupported(e.pos, QStringLiteral("this conversion"));
    return apply(it.value(), {expr(*e.args[0])});
}

} // namespace qv::sql
