// Binding of whole statements.
#include "sql/Binder.h"

#include <QHash>
#include <QSet>

namespace qv::sql {

namespace {

SqlType columnDefType(const QString &typeName)
{
    static const QHash<QString, SqlType> types = {
        {QStringLiteral("text"), SqlType::Text},       {QStringLiteral("char"), SqlType::Text},
        {QStringLiteral("varchar"), SqlType::Text},    {QStringLiteral("nvarchar"), SqlType::Text},
        {QStringLiteral("nchar"), SqlType::Text},      {QStringLiteral("string"), SqlType::Text},
        {QStringLiteral("memo"), SqlType::Text},       {QStringLiteral("longtext"), SqlType::Text},
        {QStringLiteral("note"), SqlType::Text},       {QStringLiteral("int"), SqlType::Integer},
        {QStringLiteral("integer"), SqlType::Integer}, {QStringLiteral("long"), SqlType::Integer},
        {QStringLiteral("smallint"), SqlType::Integer}, {QStringLiteral("short"), SqlType::Integer},
        {QStringLiteral("tinyint"), SqlType::Integer}, {QStringLiteral("byte"), SqlType::Integer},
        {QStringLiteral("counter"), SqlType::Integer}, {QStringLiteral("autoincrement"), SqlType::Integer},
        {QStringLiteral("float"), SqlType::Double},    {QStringLiteral("double"), SqlType::Double},
        {QStringLiteral("real"), SqlType::Double},     {QStringLiteral("single"), SqlType::Double},
        {QStringLiteral("numeric"), SqlType::Double},  {QStringLiteral("decimal"), SqlType::Double},
        {QStringLiteral("money"), SqlType::Double},    {QStringLiteral("currency"), SqlType::Double},
        {QStringLiteral("date"), SqlType::Date},       {QStringLiteral("datetime"), SqlType::Date},
        {QStringLiteral("time"), SqlType::Date},       {QStringLiteral("bit"), SqlType::YesNo},
        {QStringLiteral("yesno"), SqlType::YesNo},     {QStringLiteral("logical"), SqlType::YesNo},
        {QStringLiteral("boolean"), SqlType::YesNo},   {QStringLiteral("image"), SqlType::Blob},
        {QStringLiteral("longbinary"), SqlType::Blob}, {QStringLiteral("binary"), SqlType::Blob},
        {QStringLiteral("varbinary"), SqlType::Blob},  {QStringLiteral("oleobject"), SqlType::Blob},
    };
    return types.value(typeName, SqlType::Unknown);
}

} // namespace

BindResult Binder::bind(Statement &s)
{
    BindResult result;
    switch (s.kind) {
    case StatementKind::Select:
        bindQuery(*s.query, nullptr);
        for (const OutputColumn &o : s.query->columns) {
            if (o.name == QLatin1String("*"))
                result.columnsKnown = false;
            else
                result.columns.push_back({o.name, o.type, o.originTable, o.originColumn});
        }
        if (!result.columnsKnown)
            result.columns.clear();
        break;
    case StatementKind::Insert:
        bindInsert(s, result);
        break;
    case StatementKind::Update:
        bindUpdate(s);
        break;
    case StatementKind::Delete:
        bindDelete(s);
        break;
    case StatementKind::CreateTable:
        bindCreateTable(s);
        break;
    case StatementKind::DropTable: {
        const CatalogTable *table = m_catalog.table(s.table->name);
        s.table->boundName = table ? table->name : s.table->name;
        s.table->boundAlias = s.table->boundName;
        break;
    }
    }
    result.attachments = m_attachments;
    return result;
}

void Binder::bindInsert(Statement &s, BindResult &result)
{
    TableRef &t = *s.table;
    if (!t.database.isEmpty())
        fail(t.pos, QStringLiteral("writing into another database file is not supported"));
    const CatalogTable *table = m_catalog.table(t.name);
    if (!table)
        fail(t.pos, QStringLiteral("unknown table '%1'").arg(t.name));
    t.boundName = table->name;
    t.boundAlias = table->name;
    s.boundColumns.clear();
    s.targetTypes.clear();
    if (s.columns.isEmpty()) {
        for (const CatalogColumn &c : table->columns) {
            s.boundColumns << c.name;
            s.targetTypes.push_back(c.type);
        }
    } else {
        QSet<QString> seen;
        for (int i = 0; i < s.columns.size(); ++i) {
            const CatalogColumn *c = table->column(s.columns[i]);
            if (!c)
                fail(s.columnPos[size_t(i)], QStringLiteral("unknown column '%1' in table '%2'").arg(s.columns[i], table->name));
            if (seen.contains(c->name.toLower()))
                fail(s.columnPos[size_t(i)], QStringLiteral("column '%1' is named twice").arg(c->name));
            seen.insert(c->name.toLower());
            s.boundColumns << c->name;
            s.targetTypes.push_back(c->type);
        }
    }
    for (const QString &name : std::as_const(s.boundColumns)) {
        const CatalogColumn *c = table->column(name);
        if (c && c->autoNumber) {
            result.identityTable = table->name;
            result.identityColumn = c->name;
        }
    }
    const size_t n = s.targetTypes.size();
    if (!s.query) {
        if (s.values.size() != n)
            fail(s.pos, QStringLiteral("%1 values for %2 columns").arg(s.values.size()).arg(n));
        Scope scope;
        for (size_t i = 0; i < n; ++i) {
            bindExpr(s.values[i], scope);
            coerce(s.values[i], s.targetTypes[i], true);
        }
        return;
    }
    bindQuery(*s.query, nullptr);
    for (SelectPtr &branch : s.query->branches) {
        bool unknown = false;
        for (const OutputColumn &o : branch->outputs)
            unknown = unknown || o.name == QLatin1String("*");
        if (unknown)
            continue; // a * over a table of another file: the engine checks the count
        if (branch->outputs.size() != n) {
            fail(branch->pos, QStringLiteral("the SELECT gives %1 columns for %2 target columns")
                                  .arg(branch->outputs.size()).arg(n));
        }
        for (size_t c = 0; c < n; ++c)
            coerceOutput(*branch, int(c), s.targetTypes[c], true);
    }
}

void Binder::bindUpdate(Statement &s)
{
    Scope scope;
    for (TableRefPtr &t : s.sources)
        bindTableRef(*t, scope);
    QString target;
    for (Assignment &a : s.assignments) {
        const Source *source = nullptr;
        const SourceColumn *column = nullptr;
        for (const Source &src : scope.sources) {
            if (!a.qualifier.isEmpty() && src.alias.compare(a.qualifier, Qt::CaseInsensitive) != 0)
                continue;
            for (const SourceColumn &c : src.columns) {
                if (c.name.compare(a.column, Qt::CaseInsensitive) == 0) {
                    if (source)
                        fail(a.pos, QStringLiteral("column '%1' could refer to more than one table").arg(a.column));
                    source = &src;
                    column = &c;
                }
            }
        }
        if (!source) {
            fail(a.pos, a.qualifier.isEmpty() ? QStringLiteral("unknown column '%1'").arg(a.column)
                                              : QStringLiteral("unknown column '%1.%2'").arg(a.qualifier, a.column));
        }
        if (!source->isTable)
            fail(a.pos, QStringLiteral("column '%1' cannot be changed: it is not a column of a table").arg(a.column));
        if (target.isEmpty())
            target = source->alias;
        else if (target != source->alias)
            fail(a.pos, QStringLiteral("an UPDATE may change the columns of one table only"));
        a.boundColumn = column->name;
        bindExpr(a.value, scope);
        coerce(a.value, column->type, true);
    }
    s.updateTarget = target;
    if (s.where) {
        bindExpr(s.where, scope);
        toCondition(s.where);
    }
}

void Binder::bindDelete(Statement &s)
{
    Scope scope;
    if (!s.table->database.isEmpty())
        fail(s.table->pos, QStringLiteral("deleting from another database file is not supported"));
    bindTableRef(*s.table, scope);
    if (s.where) {
        bindExpr(s.where, scope);
        toCondition(s.where);
    }
}

void Binder::bindCreateTable(Statement &s)
{
    if (!s.table->database.isEmpty())
        fail(s.table->pos, QStringLiteral("creating a table in another database file is not supported"));
    s.table->boundName = s.table->name;
    s.table->boundAlias = s.table->name;
    QSet<QString> seen;
    for (ColumnDef &c : s.columnDefs) {
        c.type = columnDefType(c.typeName);
        if (c.type == SqlType::Unknown)
            fail(c.pos, QStringLiteral("unknown column type '%1'").arg(c.typeName));
        if (seen.contains(c.name.toLower()))
            fail(c.pos, QStringLiteral("column '%1' is named twice").arg(c.name));
        seen.insert(c.name.toLower());
    }
}

} // namespace qv::sql
