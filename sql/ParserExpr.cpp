// Expressions, by the original engine's operator precedence (lowest first):
// OR, AND, NOT, comparisons (= <> < <= > >= LIKE BETWEEN IN IS), &, + -, MOD,
// \, * /, unary minus, ^.
#include "sql/Parser.h"

#include "sql/JetFunctions.h"

#include <QRegularExpression>

namespace qv::sql {

namespace {

constexpr int kMaxDepth = 200;

struct DepthGuard {
    explicit DepthGuard(int &depth) : m_depth(depth) { ++m_depth; }
    ~DepthGuard() { --m_depth; }
    int &m_depth;
};

QString canonicalDateTime(int y, int mo, int d, int h, int mi, int s)
{
    const QDate date(y, mo, d);
    if (!date.isValid() || h > 23 || mi > 59 || s > 59)
        return {};
    QString text = date.toString(QStringLiteral("yyyy-MM-dd"));
    if (h || mi || s)
        text += QStringLiteral(" %1:%2:%3").arg(h, 2, 10, QLatin1Char('0')).arg(mi, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    return text;
}

} // namespace

QString dateLiteralText(QStringView text)
{
    static const QRegularExpression iso(QStringLiteral(
        R"(^(\d{4})[-/](\d{1,2})[-/](\d{1,2})(?:\s+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?\s*(am|pm)?)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression us(QStringLiteral(
        R"(^(\d{1,2})/(\d{1,2})/(\d{4})(?:\s+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?\s*(am|pm)?)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression timeOnly(QStringLiteral(
        R"(^(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?\s*(am|pm)?$)"), QRegularExpression::CaseInsensitiveOption);
    const QString t = text.trimmed().toString();
    auto hour = [](int h, const QString &ampm) {
        if (ampm.isEmpty())
            return h;
        if (h < 1 || h > 12)
            return 99;
        return (h % 12) + (ampm.compare(QLatin1String("pm"), Qt::CaseInsensitive) == 0 ? 12 : 0);
    };
    QRegularExpressionMatch m = iso.match(t);
    if (m.hasMatch()) {
        return canonicalDateTime(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                                 hour(m.captured(4).toInt(), m.captured(7)), m.captured(5).toInt(),
                                 m.captured(6).toInt());
    }
    m = us.match(t);
    if (m.hasMatch()) {
        return canonicalDateTime(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt(),
                                 hour(m.captured(4).toInt(), m.captured(7)), m.captured(5).toInt(),
                                 m.captured(6).toInt());
    }
    m = timeOnly.match(t);
    if (m.hasMatch()) {
        // A time alone is that time on day 0.
        return canonicalDateTime(1899, 12, 30, hour(m.captured(1).toInt(), m.captured(4)),
                                 m.captured(2).toInt(), m.captured(3).toInt());
    }
    return {};
}

ExprPtr Parser::makeBinary(BinaryOp op, ExprPtr left, ExprPtr right, SourcePos pos)
{
    auto e = makeExpr(ExprKind::Binary, pos);
    e->binaryOp = op;
    e->args.push_back(std::move(left));
    e->args.push_back(std::move(right));
    return e;
}

ExprPtr Parser::parseExpr()
{
    DepthGuard guard(m_depth);
    if (m_depth > kMaxDepth)
        fail(peek(), QStringLiteral("expression nested too deeply"));
    return parseOr();
}

ExprPtr Parser::parseOr()
{
    ExprPtr left = parseAnd();
    while (peek().isKeyword(u"or")) {
        const SourcePos pos = next().pos;
        left = makeBinary(BinaryOp::Or, std::move(left), parseAnd(), pos);
    }
    return left;
}

ExprPtr Parser::parseAnd()
{
    ExprPtr left = parseNot();
    while (peek().isKeyword(u"and")) {
        const SourcePos pos = next().pos;
        left = makeBinary(BinaryOp::And, std::move(left), parseNot(), pos);
    }
    return left;
}

ExprPtr Parser::parseNot()
{
    if (peek().isKeyword(u"not") && !peek(1).isKeyword(u"exists")) {
        DepthGuard guard(m_depth);
        if (m_depth > kMaxDepth)
            fail(peek(), QStringLiteral("expression nested too deeply"));
        auto e = makeExpr(ExprKind::Unary, next().pos);
        e->unaryOp = UnaryOp::Not;
        e->args.push_back(parseNot());
        return e;
    }
    return parseComparison();
}

ExprPtr Parser::parseComparison()
{
    ExprPtr left = parseConcat();
    for (;;) {
        const Token &t = peek();
        static const std::pair<const char16_t *, BinaryOp> ops[] = {
            {u"=", BinaryOp::Equal}, {u"<>", BinaryOp::NotEqual}, {u"!=", BinaryOp::NotEqual},
            {u"<", BinaryOp::Less}, {u"<=", BinaryOp::LessEqual}, {u">", BinaryOp::Greater},
            {u">=", BinaryOp::GreaterEqual},
        };
        bool matched = false;
        for (const auto &[symbol, op] : ops) {
            if (t.isSymbol(symbol)) {
                next();
                left = makeBinary(op, std::move(left), parseConcat(), t.pos);
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        const bool negated = t.isKeyword(u"not")
                             && (peek(1).isKeyword(u"like") || peek(1).isKeyword(u"between") || peek(1).isKeyword(u"in"));
        const Token &op = negated ? peek(1) : t;
        if (op.isKeyword(u"like")) {
            next();
            if (negated)
                next();
            auto e = makeExpr(ExprKind::Like, op.pos);
            e->negated = negated;
            e->args.push_back(std::move(left));
            e->args.push_back(parseConcat());
            left = std::move(e);
        } else if (op.isKeyword(u"between")) {
            next();
            if (negated)
                next();
            auto e = makeExpr(ExprKind::Between, op.pos);
            e->negated = negated;
            e->args.push_back(std::move(left));
            e->args.push_back(parseConcat());
            expectKeyword(u"and");
            e->args.push_back(parseConcat());
            left = std::move(e);
        } else if (op.isKeyword(u"in")) {
            next();
            if (negated)
                next();
            expectSymbol(u"(");
            if (peek().isKeyword(u"select")) {
                auto e = makeExpr(ExprKind::InQuery, op.pos);
                e->negated = negated;
                e->args.push_back(std::move(left));
                e->query = parseQuery();
                left = std::move(e);
            } else {
                auto e = makeExpr(ExprKind::InList, op.pos);
                e->negated = negated;
                e->args.push_back(std::move(left));
                do {
                    e->args.push_back(parseExpr());
                } while (acceptSymbol(u","));
                left = std::move(e);
            }
            expectSymbol(u")");
        } else if (t.isKeyword(u"is")) {
            next();
            auto e = makeExpr(ExprKind::IsNull, t.pos);
            e->negated = acceptKeyword(u"not");
            expectKeyword(u"null");
            e->args.push_back(std::move(left));
            left = std::move(e);
        } else {
            return left;
        }
    }
}

ExprPtr Parser::parseConcat()
{
    ExprPtr left = parseAdditive();
    while (peek().isSymbol(u"&")) {
        const SourcePos pos = next().pos;
        left = makeBinary(BinaryOp::Concat, std::move(left), parseAdditive(), pos);
    }
    return left;
}

ExprPtr Parser::parseAdditive()
{
    ExprPtr left = parseModulo();
    for (;;) {
        BinaryOp op;
        if (peek().isSymbol(u"+"))
            op = BinaryOp::Add;
        else if (peek().isSymbol(u"-"))
            op = BinaryOp::Subtract;
        else
            return left;
        const SourcePos pos = next().pos;
        left = makeBinary(op, std::move(left), parseModulo(), pos);
    }
}

ExprPtr Parser::parseModulo()
{
    ExprPtr left = parseIntDivide();
    while (peek().isKeyword(u"mod")) {
        const SourcePos pos = next().pos;
        left = makeBinary(BinaryOp::Modulo, std::move(left), parseIntDivide(), pos);
    }
    return left;
}

ExprPtr Parser::parseIntDivide()
{
    ExprPtr left = parseMultiplicative();
    while (peek().isSymbol(u"\\")) {
        const SourcePos pos = next().pos;
        left = makeBinary(BinaryOp::IntDivide, std::move(left), parseMultiplicative(), pos);
    }
    return left;
}

ExprPtr Parser::parseMultiplicative()
{
    ExprPtr left = parseUnary();
    for (;;) {
        BinaryOp op;
        if (peek().isSymbol(u"*"))
            op = BinaryOp::Multiply;
        else if (peek().isSymbol(u"/"))
            op = BinaryOp::Divide;
        else
            return left;
        const SourcePos pos = next().pos;
        left = makeBinary(op, std::move(left), parseUnary(), pos);
    }
}

ExprPtr Parser::parseUnary()
{
    if (peek().isSymbol(u"-") || peek().isSymbol(u"+")) {
        DepthGuard guard(m_depth);
        if (m_depth > kMaxDepth)
            fail(peek(), QStringLiteral("expression nested too deeply"));
        const Token &t = next();
        ExprPtr operand = parseUnary();
        // A minus before a number literal is part of the literal.
        if (t.isSymbol(u"-") && operand->kind == ExprKind::Literal
            && (operand->literal == LiteralKind::Integer || operand->literal == LiteralKind::Double)
            && !operand->text.startsWith(QLatin1Char('-'))) {
            operand->text.prepend(QLatin1Char('-'));
            operand->pos = t.pos;
            return operand;
        }
        auto e = makeExpr(ExprKind::Unary, t.pos);
        e->unaryOp = t.isSymbol(u"-") ? UnaryOp::Negate : UnaryOp::Plus;
        e->args.push_back(std::move(operand));
        return e;
    }
    return parsePower();
}

ExprPtr Parser::parsePower()
{
    ExprPtr left = parsePrimary();
    while (peek().isSymbol(u"^")) {
        const SourcePos pos = next().pos;
        ExprPtr right;
        if (peek().isSymbol(u"-") || peek().isSymbol(u"+"))
            right = parseUnary();
        else
            right = parsePrimary();
        left = makeBinary(BinaryOp::Power, std::move(left), std::move(right), pos);
    }
    return left;
}

ExprPtr Parser::parsePrimary()
{
    const Token &t = peek();
    switch (t.kind) {
    case TokenKind::Integer:
    case TokenKind::Number: {
        next();
        auto e = makeExpr(ExprKind::Literal, t.pos);
        e->literal = t.kind == TokenKind::Integer ? LiteralKind::Integer : LiteralKind::Double;
        e->text = t.text;
        if (e->literal == LiteralKind::Integer) {
            bool ok = false;
            t.text.toInt(&ok);
            if (!ok) // beyond a long integer the original engine takes a double
                e->literal = LiteralKind::Double;
        }
        return e;
    }
    case TokenKind::String: {
        next();
        auto e = makeExpr(ExprKind::Literal, t.pos);
        e->literal = LiteralKind::Text;
        e->text = t.text;
        return e;
    }
    case TokenKind::Date:
        next();
        return parseDateLiteral(t);
    case TokenKind::Symbol:
        if (t.isSymbol(u"("))
            return parseParenthesized();
        if (t.isSymbol(u"?"))
            fail(t, QStringLiteral("parameters are not supported"));
        failUnexpected(t, QStringLiteral("an expression"));
    case TokenKind::End:
        failUnexpected(t, QStringLiteral("an expression"));
    case TokenKind::Identifier:
    case TokenKind::BracketIdentifier:
        break;
    }
    if (t.kind == TokenKind::Identifier) {
        if (t.isKeyword(u"null")) {
            next();
            return makeExpr(ExprKind::Literal, t.pos);
        }
        if (t.isKeyword(u"true") || t.isKeyword(u"false") || t.isKeyword(u"yes") || t.isKeyword(u"no")) {
            if (!peek(1).isSymbol(u".") && !peek(1).isSymbol(u"(")) {
                next();
                auto e = makeExpr(ExprKind::Literal, t.pos);
                e->literal = LiteralKind::Boolean;
                e->boolean = t.isKeyword(u"true") || t.isKeyword(u"yes");
                return e;
            }
        }
        if (t.isKeyword(u"exists") || (t.isKeyword(u"not") && peek(1).isKeyword(u"exists"))) {
            const bool negated = t.isKeyword(u"not");
            next();
            if (negated)
                next();
            auto e = makeExpr(ExprKind::Exists, t.pos);
            e->negated = negated;
            expectSymbol(u"(");
            e->query = parseQuery();
            expectSymbol(u")");
            return e;
        }
        if (t.isKeyword(u"case"))
            return parseCase();
        if (peek(1).isSymbol(u"("))
            return parseFunction(next());
        if (isReserved(t))
            failUnexpected(t, QStringLiteral("an expression"));
    }
    return parseName();
}

ExprPtr Parser::parseParenthesized()
{
    const Token &open = next();
    if (peek().isKeyword(u"select")) {
        auto e = makeExpr(ExprKind::Subquery, open.pos);
        e->query = parseQuery();
        expectSymbol(u")");
        return e;
    }
    ExprPtr inner = parseExpr();
    expectSymbol(u")");
    return inner;
}

ExprPtr Parser::parseName()
{
    const Token &first = next();
    if (!peek().isSymbol(u".")) {
        auto e = makeExpr(ExprKind::Column, first.pos);
        e->text = first.text;
        return e;
    }
    next();
    auto e = makeExpr(ExprKind::Column, first.pos);
    e->qualifier = first.text;
    e->text = expectName(QStringLiteral("a column name after '%1.'").arg(first.text));
    return e;
}

ExprPtr Parser::parseFunction(const Token &name)
{
    const FunctionInfo *info = findFunction(name.text);
    const QString lower = name.text.toLower();
    const bool special = lower == QLatin1String("iif") || lower == QLatin1String("switch")
                         || lower == QLatin1String("isnull");
    if (!info && !special)
        fail(name, QStringLiteral("unknown function '%1'").arg(name.text));
    expectSymbol(u"(");
    std::vector<ExprPtr> args;
    if (!peek().isSymbol(u")")) {
        do {
            if (peek().isSymbol(u"*") && info && lower == QLatin1String("count"))
                args.push_back(makeExpr(ExprKind::Star, next().pos));
            else
                args.push_back(parseExpr());
        } while (acceptSymbol(u","));
    }
    expectSymbol(u")");
    const int n = int(args.size());
    auto arity = [&](int min, int max) {
        if (n < min || n > max) {
            const QString expected = min == max ? QString::number(min) : QStringLiteral("%1 to %2").arg(min).arg(max);
            fail(name, QStringLiteral("function '%1' takes %2 argument(s), not %3").arg(name.text, expected).arg(n));
        }
    };
    if (lower == QLatin1String("iif")) {
        arity(3, 3);
        auto e = makeExpr(ExprKind::Case, name.pos);
        e->args.push_back(std::move(args[0]));
        e->args.push_back(std::move(args[1]));
        e->elseValue = std::move(args[2]);
        return e;
    }
    if (lower == QLatin1String("switch")) {
        if (n < 2 || n % 2 != 0)
            fail(name, QStringLiteral("function 'switch' takes pairs of condition and value"));
        auto e = makeExpr(ExprKind::Case, name.pos);
        e->args = std::move(args); // no ELSE: Null when no condition holds
        return e;
    }
    if (lower == QLatin1String("isnull")) {
        arity(1, 2);
        if (n == 1) {
            auto e = makeExpr(ExprKind::IsNull, name.pos);
            e->args.push_back(std::move(args[0]));
            return e;
        }
        // isnull(a, b) as the server dialect writes it: the first value unless Null.
        auto e = makeExpr(ExprKind::Function, name.pos);
        e->text = QStringLiteral("nz");
        e->args = std::move(args);
        return e;
    }
    arity(info->minArgs, info->maxArgs);
    auto e = makeExpr(ExprKind::Function, name.pos);
    e->text = QString::fromLatin1(info->name);
    e->args = std::move(args);
    return e;
}

ExprPtr Parser::parseCase()
{
    const Token &start = next();
    auto e = makeExpr(ExprKind::Case, start.pos);
    if (!peek().isKeyword(u"when"))
        e->operand = parseExpr();
    if (!peek().isKeyword(u"when"))
        failUnexpected(peek(), QStringLiteral("WHEN"));
    while (acceptKeyword(u"when")) {
        e->args.push_back(parseExpr());
        expectKeyword(u"then");
        e->args.push_back(parseExpr());
    }
    if (acceptKeyword(u"else"))
        e->elseValue = parseExpr();
    expectKeyword(u"end");
    return e;
}

ExprPtr Parser::parseDateLiteral(const Token &t)
{
    const QString canonical = dateLiteralText(t.text);
    if (canonical.isEmpty())
        fail(t, QStringLiteral("invalid date literal #%1#").arg(t.text));
    auto e = makeExpr(ExprKind::Literal, t.pos);
    e->literal = LiteralKind::Date;
    e->text = canonical;
    return e;
}

} // namespace qv::sql
