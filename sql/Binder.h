// Resolves every name of a parsed statement against the catalog and gives every
// expression a type. Where the original engine converts values implicitly, the
// binder makes the conversion explicit in the tree: a day number or a date text
// compared with or stored into a date column becomes a date, a yes/no value in
// arithmetic becomes -1 or 0, a number used as a condition becomes "<> 0", and
// the branches of a UNION, iif or switch meet on one type. Select-list aliases
// that later parts of the statement reuse are replaced by their expressions.
#pragma once

#include "sql/Ast.h"
#include "sql/Catalog.h"

#include <QStringView>
#include <vector>

namespace qv::sql {

// A table of another database file the statement reads ([MS Access;DATABASE=...].[t]).
struct Attachment {
    QString connect;  // the bracketed text
    QString path;     // its DATABASE= value
    QString password; // its PWD= value
    QString alias;    // the schema name the emitted statement uses for it
};

struct ResultColumn {
    QString name; // as the original engine names it
    SqlType type = SqlType::Unknown;
    // Set when the column is a stored table's column passed through unchanged
    // (under its own name or an alias); empty for expressions and derived tables.
    QString originTable;
    QString originColumn;
};

struct BindResult {
    std::vector<ResultColumn> columns; // a query's result columns
    bool columnsKnown = true;          // false when a * covers a table of another file
    std::vector<Attachment> attachments;
    // An INSERT that writes an autonumber column itself (a restore, an upgrade):
    // its table and that column.
    QString identityTable;
    QString identityColumn;
};

class Binder {
public:
    Binder(const Catalog &catalog, QStringView text) : m_catalog(catalog), m_text(text) {}

    // Annotates the statement in place; throws TranslateException (phase Bind).
    BindResult bind(Statement &statement);

private:
    struct SourceColumn {
        QString name;
        SqlType type = SqlType::Unknown;
        bool baseColumn = false;
        QString origin; // derived: the qualifier of the column it passes through
    };
    struct Source {
        QString alias;          // what columns are qualified with
        bool external = false;  // a table of another file: columns not known
        bool isTable = false;   // a stored table (not a derived table)
        QString tableName;
        std::vector<SourceColumn> columns;
        std::vector<bool> duplicated; // derived: the column name occurs more than once
    };
    struct Scope {
        Scope *parent = nullptr;
        std::vector<Source> sources;
        Select *select = nullptr;       // whose aliases may be reused
        std::vector<int> itemState;     // 0 not bound, 1 being bound, 2 bound
        bool aliasesAllowed = false;
        int unnamed = 0;                // counter for ExprNNNN names
    };

    // statements (Binder.cpp)
    void bindInsert(Statement &s, BindResult &result);
    void bindUpdate(Statement &s);
    void bindDelete(Statement &s);
    void bindCreateTable(Statement &s);

    // queries (BinderQuery.cpp)
    void bindQuery(Query &q, Scope *parent);
    void bindSelect(Select &s, Scope &scope);
    void bindSelectItem(Scope &scope, int index);
    void bindTableRef(TableRef &t, Scope &scope);
    void addTableSource(TableRef &t, Scope &scope);
    void computeOutputs(Select &s, Scope &scope);
    void unifyBranches(Query &q);
    void coerceOutput(Select &s, int column, SqlType target, bool assignment);
    void materializeStars(Select &s);
    void bindOrderBy(Query &q, Scope *single);
    int attachmentFor(const TableRef &t);
    void checkGrouping(const Select &s, const Scope &scope, const std::vector<OrderItem> *orderBy);

    // expressions (BinderExpr.cpp)
    void bindExpr(ExprPtr &e, Scope &scope);
    void bindColumn(ExprPtr &e, Scope &scope);
    bool resolveAlias(ExprPtr &e, Scope &scope);
    void bindBinary(ExprPtr &e, Scope &scope);
    void bindArithmetic(ExprPtr &e);
    void bindComparison(ExprPtr &left, ExprPtr &right, const Expr &at);
    void bindCase(ExprPtr &e, Scope &scope);
    void bindFunction(ExprPtr &e, Scope &scope);
    SqlType bindSubquery(Query &q, Scope &scope, const Expr &at);

    // conversions (BinderExpr.cpp)
    void toCondition(ExprPtr &e);
    void toNumber(ExprPtr &e);
    void toText(ExprPtr &e);
    void toDate(ExprPtr &e);
    void coerce(ExprPtr &e, SqlType target, bool assignment);
    void wrap(ExprPtr &e, Conversion conversion, SqlType type);

    [[noreturn]] void fail(SourcePos pos, const QString &message) const;

    const Catalog &m_catalog;
    QStringView m_text;
    std::vector<Attachment> m_attachments;
    int m_derivedCount = 0;
};

// The type two values meet on (UNION columns, iif and switch branches).
SqlType unifyTypes(SqlType a, SqlType b);

} // namespace qv::sql
