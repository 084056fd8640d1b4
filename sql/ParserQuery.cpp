// Queries, select lists and the FROM clause, including the comma-and-join form.
#include "sql/Parser.h"

#include <QHash>

namespace qv::sql {

namespace {

// Nesting deeper than this is refused rather than risking the stack.
constexpr int kMaxDepth = 200;

struct DepthGuard {
    explicit DepthGuard(int &depth) : m_depth(depth) { ++m_depth; }
    ~DepthGuard() { --m_depth; }
    int &m_depth;
};

} // namespace

QueryPtr Parser::parseQuery()
{
    DepthGuard guard(m_depth);
    if (m_depth > kMaxDepth)
        fail(peek(), QStringLiteral("statement nested too deeply"));
    auto q = std::make_unique<Query>();
    q->pos = peek().pos;
    q->branches.push_back(parseQueryBranch());
    while (acceptKeyword(u"union")) {
        q->unionAll.push_back(acceptKeyword(u"all"));
        q->branches.push_back(parseQueryBranch());
    }
    if (peek().isKeyword(u"order"))
        q->orderBy = parseOrderBy();
    return q;
}

SelectPtr Parser::parseQueryBranch()
{
    if (!peek().isSymbol(u"("))
        return parseSelectCore();
    const Token &open = next();
    QueryPtr inner = parseQuery();
    expectSymbol(u")");
    if (inner->branches.size() != 1 || !inner->orderBy.empty())
        fail(open, QStringLiteral("a parenthesised UNION branch must be one SELECT without ORDER BY"));
    return std::move(inner->branches.front());
}

SelectPtr Parser::parseSelectCore()
{
    auto s = std::make_unique<Select>();
    s->pos = peek().pos;
    expectKeyword(u"select");
    for (;;) {
        if (acceptKeyword(u"distinct") || acceptKeyword(u"distinctrow")) {
            s->distinct = true;
        } else if (acceptKeyword(u"all")) {
        } else if (peek().isKeyword(u"top")) {
            next();
            if (peek().kind != TokenKind::Integer)
                failUnexpected(peek(), QStringLiteral("the number of rows after TOP"));
            const Token &count = next();
            bool ok = false;
            s->limit = count.text.toLongLong(&ok);
            if (!ok)
                fail(count, QStringLiteral("TOP count out of range"));
            s->limitPercent = acceptKeyword(u"percent");
        } else {
            break;
        }
    }
    parseSelectItems(*s);
    if (acceptKeyword(u"from")) {
        s->from = parseFromList();
        normalizeAliasJoins(s->from);
    }
    if (acceptKeyword(u"where"))
        s->where = parseExpr();
    if (acceptKeyword(u"group")) {
        expectKeyword(u"by");
        do {
            s->groupBy.push_back(parseExpr());
        } while (acceptSymbol(u","));
    }
    if (acceptKeyword(u"having"))
        s->having = parseExpr();
    return s;
}

void Parser::parseSelectItems(Select &select)
{
    do {
        SelectItem item;
        item.pos = peek().pos;
        const bool nameStar = (peek().kind == TokenKind::Identifier || peek().kind == TokenKind::BracketIdentifier)
                              && peek(1).isSymbol(u".") && peek(2).isSymbol(u"*");
        if (peek().isSymbol(u"*")) {
            item.expr = makeExpr(ExprKind::Star, next().pos);
        } else if (nameStar) {
            item.expr = makeExpr(ExprKind::Star, peek().pos);
            item.expr->qualifier = next().text;
            next();
            next();
        } else {
            item.expr = parseExpr();
            if (acceptKeyword(u"as")) {
                if (peek().kind == TokenKind::String)
                    item.alias = next().text;
                else
                    item.alias = expectName(QStringLiteral("an alias after AS"));
            } else if (peek().kind == TokenKind::BracketIdentifier
                       || (peek().kind == TokenKind::Identifier && !isReserved(peek()))) {
                item.alias = next().text;
            }
        }
        select.items.push_back(std::move(item));
    } while (acceptSymbol(u","));
}

std::vector<TableRefPtr> Parser::parseFromList()
{
    std::vector<TableRefPtr> list;
    do {
        list.push_back(parseJoinChain());
    } while (acceptSymbol(u","));
    return list;
}

TableRefPtr Parser::parseJoinChain()
{
    DepthGuard guard(m_depth);
    if (m_depth > kMaxDepth)
        fail(peek(), QStringLiteral("statement nested too deeply"));
    TableRefPtr left = parseTablePrimary();
    for (;;) {
        const Token &at = peek();
        JoinType type;
        if (acceptKeyword(u"inner")) {
            type = JoinType::Inner;
        } else if (acceptKeyword(u"left")) {
            acceptKeyword(u"outer");
            type = JoinType::Left;
        } else if (acceptKeyword(u"right")) {
            acceptKeyword(u"outer");
            type = JoinType::Right;
        } else if (peek().isKeyword(u"join")) {
            type = JoinType::Inner;
        } else if (peek().isKeyword(u"full") || peek().isKeyword(u"cross")) {
            fail(peek(), QStringLiteral("%1 JOIN is not part of the dialect").arg(peek().text.toUpper()));
        } else {
            break;
        }
        expectKeyword(u"join");
        auto join = std::make_unique<TableRef>();
        join->kind = TableRefKind::Join;
        join->pos = at.pos;
        join->joinType = type;
        join->left = std::move(left);
        join->right = parseTablePrimary();
        expectKeyword(u"on");
        join->condition = parseExpr();
        left = std::move(join);
    }
    return left;
}

TableRefPtr Parser::parseTablePrimary()
{
    if (!peek().isSymbol(u"("))
        return parseTableName();
    const Token &open = peek();
    if (peek(1).isKeyword(u"select")) {
        next();
        auto derived = std::make_unique<TableRef>();
        derived->kind = TableRefKind::Derived;
        derived->pos = open.pos;
        derived->query = parseQuery();
        expectSymbol(u")");
        derived->alias = parseOptionalAlias();
        return derived;
    }
    next();
    TableRefPtr inner = parseJoinChain();
    expectSymbol(u")");
    if (inner->kind != TableRefKind::Join && inner->alias.isEmpty())
        inner->alias = parseOptionalAlias();
    return inner;
}

TableRefPtr Parser::parseTableName()
{
    auto t = std::make_unique<TableRef>();
    t->kind = TableRefKind::Table;
    t->pos = peek().pos;
    const Token &first = peek();
    if (first.kind == TokenKind::BracketIdentifier) {
        next();
        if (peek().isSymbol(u".")) {
            // [MS Access;DATABASE=path;PWD=...].[table]: a table of another file.
            if (!first.text.contains(QLatin1Char(';')) && !first.text.contains(QLatin1Char('=')))
                fail(first, QStringLiteral("qualified table names are not part of the dialect"));
            next();
            t->database = first.text;
            t->name = expectName(QStringLiteral("a table name"));
        } else {
            t->name = first.text;
        }
    } else if (first.kind == TokenKind::Identifier && !isReserved(first)) {
        next();
        if (peek().isSymbol(u"."))
            fail(peek(), QStringLiteral("qualified table names are not part of the dialect"));
        t->name = first.text;
    } else {
        failUnexpected(first, QStringLiteral("a table name"));
    }
    t->alias = parseOptionalAlias();
    return t;
}

QString Parser::parseOptionalAlias()
{
    if (acceptKeyword(u"as"))
        return expectName(QStringLiteral("an alias after AS"));
    if (peek().kind == TokenKind::BracketIdentifier
        || (peek().kind == TokenKind::Identifier && !isReserved(peek())))
        return next().text;
    return {};
}

std::vector<OrderItem> Parser::parseOrderBy()
{
    expectKeyword(u"order");
    expectKeyword(u"by");
    std::vector<OrderItem> items;
    do {
        OrderItem item;
        item.expr = parseExpr();
        if (acceptKeyword(u"desc"))
            item.descending = true;
        else
            acceptKeyword(u"asc");
        items.push_back(std::move(item));
    } while (acceptSymbol(u","));
    return items;
}

// The comma-and-join form names tables in the comma list and then joins them by
// name: "from A Z, B K, Z inner join K on Z.x = K.y". Each such join entry is
// folded into the entries it names, so the result is ordinary explicit joins:
// "from A Z inner join B K on Z.x = K.y".
void Parser::normalizeAliasJoins(std::vector<TableRefPtr> &from)
{
    if (from.size() < 2)
        return;
    QHash<QString, int> slotOfName;
    auto nameOf = [](const TableRef &t) { return (t.alias.isEmpty() ? t.name : t.alias).toLower(); };
    auto isReference = [&](const TableRef &t, int before) {
        if (t.kind != TableRefKind::Table || !t.alias.isEmpty() || !t.database.isEmpty())
            return false;
        const auto it = slotOfName.constFind(t.name.toLower());
        return it != slotOfName.constEnd() && it.value() < before;
    };
    std::function<bool(const TableRef &, int)> allReferences = [&](const TableRef &t, int before) {
        if (t.kind == TableRefKind::Join)
            return allReferences(*t.left, before) && allReferences(*t.right, before);
        return isReference(t, before);
    };

    std::vector<TableRefPtr> entries;
    std::vector<TableRefPtr> aliasJoins;
    for (TableRefPtr &entry : from) {
        const int here = int(entries.size());
        if (entry->kind == TableRefKind::Join && allReferences(*entry, here)) {
            aliasJoins.push_back(std::move(entry));
            continue;
        }
        if (entry->kind != TableRefKind::Join && !(entry->kind == TableRefKind::Derived && entry->alias.isEmpty())) {
            const QString name = nameOf(*entry);
            if (!slotOfName.contains(name))
                slotOfName.insert(name, here);
        }
        entries.push_back(std::move(entry));
    }
    if (aliasJoins.empty()) {
        from = std::move(entries);
        return;
    }

    std::function<int(TableRef &)> attach = [&](TableRef &item) -> int {
        if (item.kind == TableRefKind::Table)
            return slotOfName.value(item.name.toLower());
        const int l = attach(*item.left);
        if (item.right->kind != TableRefKind::Table)
            fail(Token{TokenKind::Identifier, {}, item.pos, 0}, QStringLiteral("unsupported join in the comma-and-join form"));
        const int r = slotOfName.value(item.right->name.toLower());
        if (l == r) {
            fail(Token{TokenKind::Identifier, {}, item.right->pos, 0},
                 QStringLiteral("table '%1' is joined to itself").arg(item.right->name));
        }
        auto join = std::make_unique<TableRef>();
        join->kind = TableRefKind::Join;
        join->pos = item.pos;
        join->joinType = item.joinType;
        join->left = std::move(entries[size_t(l)]);
        join->right = std::move(entries[size_t(r)]);
        join->condition = std::move(item.condition);
        entries[size_t(l)] = std::move(join);
        for (auto it = slotOfName.begin(); it != slotOfName.end(); ++it) {
            if (it.value() == r)
                it.value() = l;
        }
        return l;
    };
    for (TableRefPtr &item : aliasJoins)
        attach(*item);
    from.clear();
    for (TableRefPtr &entry : entries) {
        if (entry)
            from.push_back(std::move(entry));
    }
}

} // namespace qv::sql
