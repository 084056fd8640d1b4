// Writing statements, queries and FROM clauses.
#include "sql/Emitter.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace qv::sql {

Emitter::Emitter(const Dialect &dialect, QStringView text, const std::vector<Attachment> &attachments)
    : m_dialect(dialect), m_text(text), m_attachments(attachments)
{
    m_writers[size_t(ExprKind::Literal)] = &Emitter::literal;
    m_writers[size_t(ExprKind::Column)] = &Emitter::column;
    m_writers[size_t(ExprKind::Star)] = &Emitter::star;
    m_writers[size_t(ExprKind::Unary)] = &Emitter::unary;
    m_writers[size_t(ExprKind::Binary)] = &Emitter::binary;
    m_writers[size_t(ExprKind::Like)] = &Emitter::like;
    m_writers[size_t(ExprKind::Between)] = &Emitter::between;
    m_writers[size_t(ExprKind::InList)] = &Emitter::inList;
    m_writers[size_t(ExprKind::InQuery)] = &Emitter::inQuery;
    m_writers[size_t(ExprKind::Exists)] = &Emitter::exists;
    m_writers[size_t(ExprKind::IsNull)] = &Emitter::isNull;
    m_writers[size_t(ExprKind::Case)] = &Emitter::caseExpr;
    m_writers[size_t(ExprKind::Function)] = &Emitter::function;
    m_writers[size_t(ExprKind::Subquery)] = &Emitter::subquery;
    m_writers[size_t(ExprKind::Convert)] = &Emitter::convert;
}

void Emitter::unsupported(SourcePos pos, const QString &construct) const
{
    throw TranslateException{
        makeError(Phase::Emit, m_text, pos, QStringLiteral("%1 is not supported on %2").arg(construct, m_dialect.name))};
}

QString Emitter::apply(const QString &pattern, const QStringList &args) const
{
    // Substitutes %1..%9 in one pass, so an operand's own text is never rescanned.
    QString out;
    out.reserve(pattern.size() + 32);
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('%') && i + 1 < pattern.size() && pattern[i + 1].isDigit()) {
            const int n = pattern[i + 1].digitValue();
            if (n >= 1 && n <= args.size()) {
                out += args[n - 1];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString Emitter::statement(const Statement &s)
{
    switch (s.kind) {
    case StatementKind::Select:
        return query(*s.query);
    case StatementKind::Insert:
        return insert(s);
    case StatementKind::Update:
        return update(s);
    case StatementKind::Delete:
        return remove(s);
    case StatementKind::CreateTable:
        return createTable(s);
    case StatementKind::DropTable:
        return QStringLiteral("DROP TABLE ") + m_dialect.identifier(s.table->boundName);
    }
    return {};
}

QString Emitter::insert(const Statement &s)
{
    QStringList columns;
    for (const QString &c : s.boundColumns)
        columns << m_dialect.identifier(c);
    QString out = QStringLiteral("INSERT INTO %1 (%2) ").arg(m_dialect.identifier(s.table->boundName), columns.join(QStringLiteral(", ")));
    if (s.query)
        return out + query(*s.query);
    QStringList values;
    for (const ExprPtr &v : s.values)
        values << expr(*v);
    return out + QStringLiteral("VALUES (") + values.join(QStringLiteral(", ")) + QLatin1Char(')');
}

namespace {

// The tables of an UPDATE and the conditions of their inner joins; false when
// an outer join is among them.
bool flattenInner(const TableRef &t, std::vector<const TableRef *> &tables, std::vector<const Expr *> &conditions)
{
    if (t.kind != TableRefKind::Join) {
        tables.push_back(&t);
        return true;
    }
    if (t.joinType != JoinType::Inner)
        return false;
    conditions.push_back(t.condition.get());
    return flattenInner(*t.left, tables, conditions) && flattenInner(*t.right, tables, conditions);
}

} // namespace

QString Emitter::update(const Statement &s)
{
    std::vector<const TableRef *> tables;
    std::vector<const Expr *> conditions;
    for (const TableRefPtr &t : s.sources) {
        if (!flattenInner(*t, tables, conditions))
            unsupported(t->pos, QStringLiteral("UPDATE over an outer join"));
    }
    const TableRef *target = nullptr;
    QStringList others;
    for (const TableRef *t : tables) {
        if (!target && t->kind == TableRefKind::Table && t->boundAlias == s.updateTarget)
            target = t;
        else
            others << tableRef(*t);
    }
    if (!target)
        unsupported(s.pos, QStringLiteral("this UPDATE"));
    QString out = QStringLiteral("UPDATE ") + tableRef(*target);
    QStringList sets;
    for (const Assignment &a : s.assignments)
        sets << m_dialect.identifier(a.boundColumn) + QStringLiteral(" = ") + expr(*a.value);
    out += QStringLiteral(" SET ") + sets.join(QStringLiteral(", "));
    if (!others.isEmpty())
        out += QStringLiteral(" FROM ") + others.join(QStringLiteral(", "));
    QStringList where;
    for (const Expr *c : conditions)
        where << expr(*c);
    if (s.where)
        where << expr(*s.where);
    if (!where.isEmpty())
        out += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    return out;
}

QString Emitter::remove(const Statement &s)
{
    QString out = QStringLiteral("DELETE FROM ") + tableRef(*s.table);
    if (s.where)
        out += QStringLiteral(" WHERE ") + expr(*s.where);
    return out;
}

QString Emitter::createTable(const Statement &s)
{
    QStringList columns;
    for (const ColumnDef &c : s.columnDefs) {
        const auto it = m_dialect.columnTypes.constFind(int(c.type));
        if (it == m_dialect.columnTypes.constEnd())
            unsupported(c.pos, QStringLiteral("column type '%1'").arg(c.typeName));
        QString type = it.value();
        if (c.type == SqlType::Text) {
            if (c.size > 0 && m_dialect.engine == Engine::Sqlite)
                type += QStringLiteral("(%1)").arg(c.size);
            type += m_dialect.textColumnSuffix;
        }
        columns << m_dialect.identifier(c.name) + QLatin1Char(' ') + type;
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(m_dialect.identifier(s.table->boundName), columns.join(QStringLiteral(", ")));
}

QString Emitter::query(const Query &q)
{
    const bool outerDedup = m_unionDedup; // a query inside an item starts afresh
    m_unionDedup = false;
    if (q.branches.size() == 1) {
        const Select &s = *q.branches.front();
        QString out = select(s) + orderBy(q);
        if (s.limitPercent)
            unsupported(s.pos, QStringLiteral("TOP n PERCENT"));
        if (s.limit >= 0)
            out += QStringLiteral(" LIMIT %1").arg(s.limit);
        m_unionDedup = outerDedup;
        return out;
    }
    // A UNION without ALL removes duplicates; computed texts count as equal
    // without regard to case, as DISTINCT treats them.
    const bool dedup = std::find(q.unionAll.begin(), q.unionAll.end(), false) != q.unionAll.end();
    QString out;
    for (size_t i = 0; i < q.branches.size(); ++i) {
        const Select &s = *q.branches[i];
        if (i > 0)
            out += q.unionAll[i - 1] ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ");
        if (s.limitPercent)
            unsupported(s.pos, QStringLiteral("TOP n PERCENT"));
        m_unionDedup = dedup;
        const QString branch = select(s);
        m_unionDedup = false;
        if (s.limit < 0) {
            out += branch;
            continue;
        }
        // A branch with its own row limit is read from a sub-query: neither
        // engine takes LIMIT inside a UNION branch.
        out += QStringLiteral("SELECT * FROM (%1 LIMIT %2) AS %3")
                   .arg(branch)
                   .arg(s.limit)
                   .arg(m_dialect.identifier(QStringLiteral("qv_u%1").arg(++m_unionAliases)));
    }
    m_unionDedup = outerDedup;
    return out + orderBy(q);
}

QString Emitter::orderBy(const Query &q)
{
    if (q.orderBy.empty())
        return {};
    QStringList terms;
    for (const OrderItem &o : q.orderBy) {
        QString term;
        if (o.outputIndex >= 0) {
            term = QString::number(o.outputIndex + 1);
            if (o.expr->type == SqlType::Text)
                term += m_dialect.textCollate;
        } else {
            term = orderTerm(*o.expr);
        }
        if (o.descending)
            term += QStringLiteral(" DESC");
        terms << term;
    }
    return QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
}

QString Emitter::orderTerm(const Expr &e)
{
    QString term = expr(e);
    if (e.type == SqlType::Text && !(e.kind == ExprKind::Column && e.baseColumn)) {
        // Computed texts sort without regard to case, as stored ones do.
        term = apply(m_dialect.textCast, {term}) + m_dialect.textCollate;
    }
    return term;
}

QString Emitter::select(const Select &s)
{
    QString out = QStringLiteral("SELECT ");
    if (s.distinct)
        out += QStringLiteral("DISTINCT ");
    out += selectItems(s);
    if (!s.from.empty())
        out += QStringLiteral(" FROM ") + fromList(s.from);
    if (s.where)
        out += QStringLiteral(" WHERE ") + expr(*s.where);
    if (!s.groupBy.empty()) {
        QStringList groups;
        for (const ExprPtr &g : s.groupBy)
            groups << expr(*g);
        out += QStringLiteral(" GROUP BY ") + groups.join(QStringLiteral(", "));
    }
    if (s.having)
        out += QStringLiteral(" HAVING ") + expr(*s.having);
    return out;
}

QString Emitter::selectItems(const Select &s)
{
    // The name each item's column must carry: what the binder named it.
    std::vector<QString> names(s.items.size());
    for (const OutputColumn &o : s.outputs) {
        if (o.item >= 0 && s.items[size_t(o.item)].expr->kind != ExprKind::Star)
            names[size_t(o.item)] = o.name;
    }
    const bool caseless = s.distinct || m_unionDedup;
    QStringList items;
    QSet<QString> written; // names already given to a column
    for (size_t i = 0; i < s.items.size(); ++i) {
        const Expr &e = *s.items[i].expr;
        QString text = expr(e);
        // DISTINCT and UNION tell computed texts apart without regard to case,
        // as stored ones are; the same form lets ORDER BY name them.
        if (caseless && e.type == SqlType::Text && e.kind != ExprKind::Literal && !(e.kind == ExprKind::Column && e.baseColumn))
            text = apply(m_dialect.textCast, {text}) + m_dialect.textCollate;
        const bool engineNamesIt = e.kind == ExprKind::Star || (e.kind == ExprKind::Column && e.boundName == names[i]);
        if (!names[i].isEmpty() && written.contains(names[i].toLower())) {
            // The same column again ("M.YWY, ..., M.YWY"): the result names it
            // as the first, but an engine refuses a derived table that has one
            // name twice, so it carries a name of its own there.
            text += QStringLiteral(" AS ") + m_dialect.identifier(QStringLiteral("qv_c%1").arg(i + 1));
        } else if (!engineNamesIt && !names[i].isEmpty()) {
            text += QStringLiteral(" AS ") + m_dialect.identifier(names[i]);
        }
        if (!names[i].isEmpty())
            written.insert(names[i].toLower());
        items << text;
    }
    return items.join(QStringLiteral(", "));
}

QString Emitter::fromList(const std::vector<TableRefPtr> &from)
{
    QStringList parts;
    for (const TableRefPtr &t : from)
        parts << tableRef(*t);
    return parts.join(QStringLiteral(", "));
}

QString Emitter::tableRef(const TableRef &t)
{
    switch (t.kind) {
    case TableRefKind::Table: {
        QString name;
        if (t.databaseIndex >= 0) {
            if (!m_dialect.externalTables)
                unsupported(t.pos, QStringLiteral("reading a table of another database file"));
            name = m_dialect.identifier(m_attachments[size_t(t.databaseIndex)].alias) + QLatin1Char('.')
                   + m_dialect.identifier(t.boundName);
            return name + QStringLiteral(" AS ") + m_dialect.identifier(t.boundAlias);
        }
        name = m_dialect.identifier(t.boundName);
        if (t.boundAlias != t.boundName)
            name += QStringLiteral(" AS ") + m_dialect.identifier(t.boundAlias);
        return name;
    }
    case TableRefKind::Derived:
        return QStringLiteral("(%1) AS %2").arg(query(*t.query), m_dialect.identifier(t.boundAlias));
    case TableRefKind::Join: {
        static const char *const joins[] = {" INNER JOIN ", " LEFT JOIN ", " RIGHT JOIN "};
        return QLatin1Char('(') + tableRef(*t.left) + QLatin1String(joins[int(t.joinType)]) + tableRef(*t.right)
               + QStringLiteral(" ON ") + expr(*t.condition) + QLatin1Char(')');
    }
    }
    return {};
}

} // namespace qv::sql
