// The syntax tree of a statement. It is engine-neutral: the legacy forms are
// normalised while parsing (TOP n becomes a row limit, iif and switch become
// CASE, #...# a date literal, the comma-and-join FROM form explicit joins), and
// the binder only annotates nodes with names and types and inserts conversions.
#pragma once

#include "sql/SqlType.h"
#include "sql/TranslateError.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace qv::sql {

struct Expr;
struct Query;
struct Select;
struct TableRef;
using ExprPtr = std::unique_ptr<Expr>;
using QueryPtr = std::unique_ptr<Query>;
using SelectPtr = std::unique_ptr<Select>;
using TableRefPtr = std::unique_ptr<TableRef>;

enum class ExprKind {
    Literal,
    Column,   // [qualifier.]name
    Star,     // [qualifier.]* in a select list, or the * of count(*)
    Unary,
    Binary,
    Like,     // args: value, pattern
    Between,  // args: value, low, high
    InList,   // args: value, items...
    InQuery,  // args: value; query
    Exists,   // query
    IsNull,   // args: value
    Case,     // operand?, args: when, then, when, then...; elseValue?
    Function, // name, args
    Subquery, // a query giving one value
    Convert,  // inserted by the binder: args: value
};
inline constexpr int kExprKindCount = 15;

enum class LiteralKind { Null, Integer, Double, Text, Date, Boolean };

enum class UnaryOp { Negate, Plus, Not };

enum class BinaryOp {
    Add, Subtract, Multiply, Divide, IntDivide, Modulo, Power,
    Concat,        // &: Null counts as an empty text
    // The binder refines + and - by operand types:
    TextAdd,       // text + text: concatenation, Null gives Null
    DateAdd,       // date + days, days + date
    DateSubtract,  // date - days
    DateDiff,      // date - date, in days
    Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual,
    And, Or,
};
inline constexpr int kBinaryOpCount = 20;

// Conversions the binder inserts where the original engine converts implicitly.
enum class Conversion {
    YesNoToNumber, // true is -1, false 0
    NumberToYesNo, // non-zero is true
    DateToText,    // the canonical date text
    NumberToText,  // the original engine's text form of a number
    RoundToInteger, // a double stored into an integer column, rounded half to even
    TextToDate,
    NumberToDate,  // a day number
    DateToNumber,  // to a day number
    TextToNumber,
};
inline constexpr int kConversionCount = 9;

struct Expr {
    ExprKind kind = ExprKind::Literal;
    SourcePos pos;

    LiteralKind literal = LiteralKind::Null;
    QString text;       // literal as written (text value unescaped, date canonical), column or function name
    QString qualifier;  // Column, Star
    bool boolean = false;
    UnaryOp unaryOp = UnaryOp::Negate;
    BinaryOp binaryOp = BinaryOp::Add;
    Conversion conversion = Conversion::YesNoToNumber;
    bool negated = false; // NOT LIKE, NOT BETWEEN, NOT IN, NOT EXISTS, IS NOT NULL
    std::vector<ExprPtr> args;
    ExprPtr operand;      // Case
    ExprPtr elseValue;    // Case
    QueryPtr query;       // InQuery, Exists, Subquery

    // Filled by the binder.
    SqlType type = SqlType::Unknown;
    QString boundQualifier; // Column: the name of its source in the statement
    QString boundName;      // Column: the column's canonical name; Star: unused
    bool baseColumn = false; // Column: a column stored in a table (not computed)
};

enum class TableRefKind { Table, Derived, Join };
enum class JoinType { Inner, Left, Right };

struct TableRef {
    TableRefKind kind = TableRefKind::Table;
    SourcePos pos;
    QString name;      // Table: as written
    QString database;  // Table in another database file: the bracketed connect text
    QString alias;     // empty when none was written
    QueryPtr query;    // Derived
    JoinType joinType = JoinType::Inner;
    TableRefPtr left, right;
    ExprPtr condition;

    // Filled by the binder.
    QString boundName;   // Table: canonical table name
    QString boundAlias;  // Table, Derived: the name columns are qualified with
    int databaseIndex = -1; // Table in another database file: index into the attachments
};

struct SelectItem {
    ExprPtr expr;
    QString alias;
    SourcePos pos;
};

// One column a select gives, as the binder sees it.
struct OutputColumn {
    QString name;            // the name the original engine gives it
    SqlType type = SqlType::Unknown;
    int item = -1;           // select item it comes from
    QString sourceQualifier; // a column from a star: its source and column
    QString sourceColumn;
    bool baseColumn = false;
    // A column taken unchanged from a stored table of this select's own FROM:
    // that table and column (the server writes such columns back).
    QString originTable;
    QString originColumn;
};

struct Select {
    SourcePos pos;
    bool distinct = false;
    qint64 limit = -1;       // TOP n
    bool limitPercent = false;
    std::vector<SelectItem> items;
    std::vector<TableRefPtr> from; // comma-separated entries (cross joined)
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;

    // Filled by the binder.
    std::vector<OutputColumn> outputs;
};

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
    int outputIndex = -1; // binder: orders by this output column of a union
};

// A select, or several joined by UNION [ALL]; the order applies to the whole.
struct Query {
    SourcePos pos;
    std::vector<SelectPtr> branches;
    std::vector<bool> unionAll; // between branch i and i+1
    std::vector<OrderItem> orderBy;

    // Filled by the binder: names from the first branch, types unified.
    std::vector<OutputColumn> columns;
};

enum class StatementKind { Select, Insert, Update, Delete, CreateTable, DropTable };

struct Assignment {
    SourcePos pos;
    QString qualifier;
    QString column;
    ExprPtr value;
    QString boundColumn; // binder: canonical name
};

struct ColumnDef {
    SourcePos pos;
    QString name;
    QString typeName; // as written, lower case
    int size = 0;
    SqlType type = SqlType::Unknown;
};

struct Statement {
    StatementKind kind = StatementKind::Select;
    SourcePos pos;
    QueryPtr query;                  // Select; Insert ... select
    TableRefPtr table;               // Insert, Delete, CreateTable, DropTable
    std::vector<TableRefPtr> sources; // Update: the tables named before SET
    QStringList columns;             // Insert column list (empty: every column)
    std::vector<SourcePos> columnPos;
    std::vector<ExprPtr> values;     // Insert ... values
    std::vector<Assignment> assignments;
    ExprPtr where;                   // Update, Delete
    std::vector<ColumnDef> columnDefs;

    // Filled by the binder.
    QStringList boundColumns;        // Insert: canonical target columns
    std::vector<SqlType> targetTypes; // Insert: their types
    QString updateTarget;            // Update: the alias whose rows change
};

ExprPtr makeExpr(ExprKind kind, SourcePos pos);
ExprPtr cloneExpr(const Expr &e);
QueryPtr cloneQuery(const Query &q);
SelectPtr cloneSelect(const Select &s);
TableRefPtr cloneTableRef(const TableRef &t);

QString binaryOpText(BinaryOp op); // the operator as the dialect writes it

} // namespace qv::sql
