// Binding of queries: sources, select lists, output columns and UNIONs.
#include "sql/Binder.h"

#include "sql/JetFunctions.h"

#include <QHash>
#include <QSet>

namespace qv::sql {

namespace {

// Marks a * over a table whose columns are not known.
const QString kUnknownColumns = QStringLiteral("*");

bool hasUnknownColumns(const std::vector<OutputColumn> &outputs)
{
    return std::any_of(outputs.begin(), outputs.end(), [](const OutputColumn &o) { return o.name == kUnknownColumns; });
}

// The names that several different columns share. A name whose columns are all
// the same column of the same source ("M.YWY, ..., M.YWY") is no clash: it
// stands for one value, under its own name.
QSet<QString> clashingNames(const std::vector<OutputColumn> &outputs)
{
    QHash<QString, QSet<QString>> identities;
    for (size_t i = 0; i < outputs.size(); ++i) {
        const OutputColumn &o = outputs[i];
        const QString column = o.sourceColumn.isEmpty() ? o.name : o.sourceColumn;
        identities[o.name.toLower()].insert(o.sourceQualifier.isEmpty()
                                                ? QStringLiteral("#%1").arg(i)
                                                : o.sourceQualifier.toLower() + QLatin1Char('.') + column.toLower());
    }
    QSet<QString> clashing;
    for (auto it = identities.cbegin(); it != identities.cend(); ++it) {
        if (it.value().size() > 1)
            clashing.insert(it.key());
    }
    return clashing;
}

} // namespace

void Binder::bindQuery(Query &q, Scope *parent)
{
    if (q.branches.size() == 1) {
        Scope scope;
        scope.parent = parent;
        bindSelect(*q.branches.front(), scope);
        q.columns = q.branches.front()->outputs;
        bindOrderBy(q, &scope);
        checkGrouping(*q.branches.front(), scope, &q.orderBy);
        return;
    }
    for (SelectPtr &branch : q.branches) {
        Scope scope;
        scope.parent = parent;
        bindSelect(*branch, scope);
        checkGrouping(*branch, scope, nullptr);
    }
    unifyBranches(q);
    bindOrderBy(q, nullptr);
}

void Binder::bindSelect(Select &s, Scope &scope)
{
    scope.select = &s;
    scope.itemState.assign(s.items.size(), 0);
    for (TableRefPtr &t : s.from)
        bindTableRef(*t, scope);
    scope.aliasesAllowed = true;
    for (size_t i = 0; i < s.items.size(); ++i) {
        if (scope.itemState[i] == 0)
            bindSelectItem(scope, int(i));
    }
    if (s.where) {
        bindExpr(s.where, scope);
        toCondition(s.where);
    }
    for (ExprPtr &g : s.groupBy)
        bindExpr(g, scope);
    if (s.having) {
        bindExpr(s.having, scope);
        toCondition(s.having);
    }
    computeOutputs(s, scope);
}

void Binder::bindSelectItem(Scope &scope, int index)
{
    SelectItem &item = scope.select->items[size_t(index)];
    scope.itemState[size_t(index)] = 1;
    if (item.expr->kind != ExprKind::Star)
        bindExpr(item.expr, scope);
    scope.itemState[size_t(index)] = 2;
}

int Binder::attachmentFor(const TableRef &t)
{
    for (size_t i = 0; i < m_attachments.size(); ++i) {
        if (m_attachments[i].connect == t.database)
            return int(i);
    }
    Attachment a;
    a.connect = t.database;
    const QStringList parts = t.database.split(QLatin1Char(';'));
    for (const QString &part : parts) {
        const int eq = int(part.indexOf(QLatin1Char('=')));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed().toUpper();
        const QString value = part.mid(eq + 1).trimmed();
        if (key == QLatin1String("DATABASE"))
            a.path = value;
        else if (key == QLatin1String("PWD"))
            a.password = value;
    }
    if (a.path.isEmpty())
        fail(t.pos, QStringLiteral("the reference to another database names no DATABASE"));
    a.alias = QStringLiteral("qv_ext%1").arg(m_attachments.size() + 1);
    m_attachments.push_back(a);
    return int(m_attachments.size() - 1);
}

void Binder::addTableSource(TableRef &t, Scope &scope)
{
    Source src;
    if (!t.database.isEmpty()) {
        t.databaseIndex = attachmentFor(t);
        t.boundName = t.name;
        src.external = true;
    } else {
        const CatalogTable *table = m_catalog.table(t.name);
        if (!table)
            fail(t.pos, QStringLiteral("unknown table '%1'").arg(t.name));
        t.boundName = table->name;
        src.isTable = true;
        src.tableName = table->name;
        for (const CatalogColumn &c : table->columns)
            src.columns.push_back({c.name, c.type, true, QString()});
    }
    src.alias = t.alias.isEmpty() ? t.boundName : t.alias;
    t.boundAlias = src.alias;
    for (const Source &other : scope.sources) {
        if (other.alias.compare(src.alias, Qt::CaseInsensitive) == 0)
            fail(t.pos, QStringLiteral("table or alias '%1' is named twice").arg(src.alias));
    }
    scope.sources.push_back(std::move(src));
}

void Binder::bindTableRef(TableRef &t, Scope &scope)
{
    switch (t.kind) {
    case TableRefKind::Table:
        addTableSource(t, scope);
        return;
    case TableRefKind::Derived: {
        bindQuery(*t.query, nullptr); // a derived table sees no outer query
        Source src;
        src.alias = t.alias.isEmpty() ? QStringLiteral("qv_d%1").arg(++m_derivedCount) : t.alias;
        t.boundAlias = src.alias;
        const QSet<QString> clashing = clashingNames(t.query->columns);
        for (const OutputColumn &o : t.query->columns) {
            if (o.name == kUnknownColumns) {
                src.external = true;
                continue;
            }
            src.columns.push_back({o.name, o.type, false, o.sourceQualifier});
            src.duplicated.push_back(clashing.contains(o.name.toLower()));
        }
        for (const Source &other : scope.sources) {
            if (other.alias.compare(src.alias, Qt::CaseInsensitive) == 0)
                fail(t.pos, QStringLiteral("table or alias '%1' is named twice").arg(src.alias));
        }
        scope.sources.push_back(std::move(src));
        return;
    }
    case TableRefKind::Join: {
        bindTableRef(*t.left, scope);
        bindTableRef(*t.right, scope);
        const bool aliases = scope.aliasesAllowed;
        scope.aliasesAllowed = false;
        bindExpr(t.condition, scope);
        toCondition(t.condition);
        scope.aliasesAllowed = aliases;
        return;
    }
    }
}

void Binder::computeOutputs(Select &s, Scope &scope)
{
    s.outputs.clear();
    int unnamed = 0;
    auto addSource = [&](const Source &src, int item) {
        for (const SourceColumn &c : src.columns) {
            OutputColumn o;
            o.name = c.name;
            o.type = c.type;
            o.item = item;
            o.sourceQualifier = src.alias;
            o.sourceColumn = c.name;
            o.baseColumn = c.baseColumn;
            if (src.isTable) {
                o.originTable = src.tableName;
                o.originColumn = c.name;
            }
            s.outputs.push_back(o);
        }
        if (src.external) {
            OutputColumn o;
            o.name = kUnknownColumns;
            o.item = item;
            o.sourceQualifier = src.alias;
            s.outputs.push_back(o);
        }
    };
    for (size_t i = 0; i < s.items.size(); ++i) {
        const SelectItem &item = s.items[i];
        const Expr &e = *item.expr;
        if (e.kind == ExprKind::Star) {
            if (scope.sources.empty())
                fail(e.pos, QStringLiteral("'*' needs a FROM clause"));
            if (e.qualifier.isEmpty()) {
                for (const Source &src : scope.sources)
                    addSource(src, int(i));
                continue;
            }
            const auto it = std::find_if(scope.sources.begin(), scope.sources.end(), [&](const Source &src) {
                return src.alias.compare(e.qualifier, Qt::CaseInsensitive) == 0;
            });
            if (it == scope.sources.end())
                fail(e.pos, QStringLiteral("unknown table or alias '%1'").arg(e.qualifier));
            addSource(*it, int(i));
            continue;
        }
        OutputColumn o;
        o.item = int(i);
        o.type = e.type;
        if (e.kind == ExprKind::Column) {
            const auto src = std::find_if(scope.sources.begin(), scope.sources.end(), [&](const Source &candidate) {
                return candidate.alias.compare(e.boundQualifier, Qt::CaseInsensitive) == 0;
            });
            if (src != scope.sources.end() && src->isTable) {
                o.originTable = src->tableName;
                o.originColumn = e.boundName;
            }
        }
        if (!item.alias.isEmpty()) {
            o.name = item.alias;
        } else if (e.kind == ExprKind::Column) {
            o.name = e.boundName;
            o.sourceQualifier = e.boundQualifier;
            o.baseColumn = e.baseColumn;
        } else {
            o.name = QStringLiteral("Expr%1").arg(1000 + unnamed++);
        }
        s.outputs.push_back(o);
    }
    // Where two columns share a name, the original engine names the columns it
    // did not get an alias for by their table: "Z.ID", "K.ID".
    const QSet<QString> clashing = clashingNames(s.outputs);
    QHash<QString, int> counts;
    for (const OutputColumn &o : s.outputs)
        ++counts[o.name.toLower()];
    bool renamedStar = false;
    for (OutputColumn &o : s.outputs) {
        // The same column twice, one of them from a *: written out, so the
        // emitter can keep the engine from seeing one name twice.
        if (counts.value(o.name.toLower()) > 1 && !o.sourceColumn.isEmpty())
            renamedStar = true;
        if (!clashing.contains(o.name.toLower()) || o.name == kUnknownColumns)
            continue;
        const bool fromStar = !o.sourceColumn.isEmpty();
        const bool bareColumn = s.items[size_t(o.item)].alias.isEmpty() && !o.sourceQualifier.isEmpty();
        if (fromStar || bareColumn) {
            o.name = o.sourceQualifier + QLatin1Char('.') + o.name;
            renamedStar = renamedStar || fromStar;
        }
    }
    if (renamedStar)
        materializeStars(s);
}

// Replaces every * of the select list by its columns, written out, so each
// output column has an item of its own (to be renamed or converted).
void Binder::materializeStars(Select &s)
{
    bool anyStar = false;
    for (const SelectItem &item : s.items)
        anyStar = anyStar || item.expr->kind == ExprKind::Star;
    if (!anyStar)
        return;
    std::vector<SelectItem> items;
    for (OutputColumn &o : s.outputs) {
        SelectItem &old = s.items[size_t(o.item)];
        if (old.expr->kind != ExprKind::Star) {
            items.push_back(std::move(old));
            o.item = int(items.size() - 1);
            continue;
        }
        if (o.name == kUnknownColumns)
            fail(old.expr->pos, QStringLiteral("the columns of a table of another database file are not known here"));
        auto c = makeExpr(ExprKind::Column, old.expr->pos);
        c->qualifier = o.sourceQualifier;
        c->text = o.sourceColumn;
        c->boundQualifier = o.sourceQualifier;
        c->boundName = o.sourceColumn;
        c->type = o.type;
        c->baseColumn = o.baseColumn;
        SelectItem item;
        item.pos = old.pos;
        item.expr = std::move(c);
        if (o.name.compare(o.sourceColumn, Qt::CaseSensitive) != 0)
            item.alias = o.name;
        items.push_back(std::move(item));
        o.item = int(items.size() - 1);
        o.sourceColumn.clear();
    }
    s.items = std::move(items);
}

void Binder::coerceOutput(Select &s, int column, SqlType target, bool assignment)
{
    OutputColumn &o = s.outputs[size_t(column)];
    if (o.type == target || o.type == SqlType::Null || o.type == SqlType::Unknown || target == SqlType::Unknown)
        return;
    if (!o.sourceColumn.isEmpty())
        materializeStars(s);
    ExprPtr &e = s.items[size_t(s.outputs[size_t(column)].item)].expr;
    coerce(e, target, assignment);
    s.outputs[size_t(column)].type = e->type;
}

void Binder::unifyBranches(Query &q)
{
    const Select &first = *q.branches.front();
    const size_t n = first.outputs.size();
    for (const SelectPtr &branch : q.branches) {
        if (hasUnknownColumns(branch->outputs)) {
            q.columns = first.outputs;
            return;
        }
        if (branch->outputs.size() != n) {
            fail(branch->pos, QStringLiteral("the SELECTs of a UNION give different numbers of columns (%1 and %2)")
                                  .arg(n).arg(branch->outputs.size()));
        }
    }
    q.columns = first.outputs;
    for (size_t c = 0; c < n; ++c) {
        SqlType t = SqlType::Null;
        for (const SelectPtr &branch : q.branches)
            t = unifyTypes(t, branch->outputs[c].type);
        for (SelectPtr &branch : q.branches)
            coerceOutput(*branch, int(c), t, false);
        q.columns[c].type = t;
    }
}

namespace {

bool isAggregate(const Expr &e)
{
    if (e.kind != ExprKind::Function)
        return false;
    const FunctionInfo *info = findFunction(e.text);
    return info && info->kind == FunctionKind::Aggregate;
}

bool containsAggregate(const Expr &e)
{
    if (isAggregate(e))
        return true;
    for (const ExprPtr &a : e.args) {
        if (containsAggregate(*a))
            return true;
    }
    return (e.operand && containsAggregate(*e.operand)) || (e.elseValue && containsAggregate(*e.elseValue));
}

// Equal keys for expressions that compute the same value from the same columns.
QString exprKey(const Expr &e)
{
    if (e.kind == ExprKind::Column)
        return QStringLiteral("c:%1.%2").arg(e.boundQualifier.toLower(), e.boundName.toLower());
    QString key = QStringLiteral("%1:%2:%3:%4:%5:%6:%7(")
                      .arg(int(e.kind)).arg(int(e.literal)).arg(e.text).arg(int(e.unaryOp)).arg(int(e.binaryOp))
                      .arg(int(e.conversion)).arg(e.negated);
    for (const ExprPtr &a : e.args)
        key += exprKey(*a) + QLatin1Char(',');
    if (e.operand)
        key += QStringLiteral("o:") + exprKey(*e.operand);
    if (e.elseValue)
        key += QStringLiteral("e:") + exprKey(*e.elseValue);
    if (e.query)
        key += QStringLiteral("q:%1").arg(quintptr(e.query.get()));
    return key + QLatin1Char(')');
}

} // namespace

// In a grouped query every column of the select's own tables must be grouped
// or inside an aggregate, as the original engine requires (SQLite would
// quietly take any row's value).
void Binder::checkGrouping(const Select &s, const Scope &scope, const std::vector<OrderItem> *orderBy)
{
    bool grouped = !s.groupBy.empty() || (s.having && containsAggregate(*s.having));
    for (const SelectItem &item : s.items)
        grouped = grouped || containsAggregate(*item.expr);
    if (!grouped)
        return;
    QSet<QString> keys;
    for (const ExprPtr &g : s.groupBy)
        keys.insert(exprKey(*g));
    std::function<void(const Expr &)> check = [&](const Expr &e) {
        if (isAggregate(e) || keys.contains(exprKey(e)))
            return;
        if (e.kind == ExprKind::Star)
            fail(e.pos, QStringLiteral("'*' cannot be used in a grouped query"));
        if (e.kind == ExprKind::Column) {
            for (const Source &src : scope.sources) {
                if (src.alias.compare(e.boundQualifier, Qt::CaseInsensitive) == 0) {
                    fail(e.pos, QStringLiteral("the expression '%1' is not part of an aggregate function or the GROUP BY")
                                    .arg(e.qualifier.isEmpty() ? e.text : e.qualifier + QLatin1Char('.') + e.text));
                }
            }
            return; // a column of an outer query
        }
        for (const ExprPtr &a : e.args)
            check(*a);
        if (e.operand)
            check(*e.operand);
        if (e.elseValue)
            check(*e.elseValue);
    };
    for (const SelectItem &item : s.items)
        check(*item.expr);
    if (s.having)
        check(*s.having);
    if (orderBy) {
        for (const OrderItem &o : *orderBy)
            check(*o.expr);
    }
}

void Binder::bindOrderBy(Query &q, Scope *single)
{
    for (OrderItem &o : q.orderBy) {
        if (single) {
            bindExpr(o.expr, *single);
            continue;
        }
        // The order of a UNION names columns of its result.
        const Expr &e = *o.expr;
        int index = -1;
        if (e.kind == ExprKind::Column && e.qualifier.isEmpty()) {
            for (size_t i = 0; i < q.columns.size(); ++i) {
                if (q.columns[i].name.compare(e.text, Qt::CaseInsensitive) == 0) {
                    index = int(i);
                    break;
                }
            }
        } else if (e.kind == ExprKind::Literal && e.literal == LiteralKind::Integer) {
            const int n = e.text.toInt();
            if (n >= 1 && n <= int(q.columns.size()))
                index = n - 1;
        }
        if (index < 0)
            fail(e.pos, QStringLiteral("ORDER BY of a UNION must name a column of the result"));
        o.outputIndex = index;
        o.expr->type = q.columns[size_t(index)].type;
    }
}

} // namespace qv::sql
