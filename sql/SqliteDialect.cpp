// SQLite: dates are canonical texts, yes/no is 0/1, texts compare with NOCASE.
// What SQLite lacks is supplied by the qv_ functions of SqliteFunctions.
#include "sql/Dialect.h"

namespace qv::sql {

namespace {

Dialect makeSqlite()
{
    Dialect d;
    d.engine = Engine::Sqlite;
    d.name = QStringLiteral("SQLite");
    d.foldIdentifiers = false;
    const char *const keywords[] = {
        "abort", "action", "add", "after", "all", "alter", "always", "analyze", "and", "as", "asc", "attach",
        "autoincrement", "before", "begin", "between", "by", "cascade", "case", "cast", "check", "collate",
        "column", "commit", "conflict", "constraint", "create", "cross", "current", "current_date",
        "current_time", "current_timestamp", "database", "default", "deferrable", "deferred", "delete", "desc",
        "detach", "distinct", "do", "drop", "each", "else", "end", "escape", "except", "exclude", "exclusive",
        "exists", "explain", "fail", "filter", "first", "following", "for", "foreign", "from", "full",
        "generated", "glob", "group", "groups", "having", "if", "ignore", "immediate", "in", "index", "indexed",
        "initially", "inner", "insert", "instead", "intersect", "into", "is", "isnull", "join", "key", "last",
        "left", "like", "limit", "match", "materialized", "natural", "no", "not", "nothing", "notnull", "null",
        "nulls", "of", "offset", "on", "or", "order", "others", "outer", "over", "partition", "plan", "pragma",
        "preceding", "primary", "query", "raise", "range", "recursive", "references", "regexp", "reindex",
        "release", "rename", "replace", "restrict", "returning", "right", "rollback", "row", "rows", "savepoint",
        "select", "set", "table", "temp", "temporary", "then", "ties", "to", "transaction", "trigger",
        "unbounded", "union", "unique", "update", "using", "vacuum", "values", "view", "virtual", "when",
        "where", "window", "with", "without", "true", "false"};
    for (const char *k : keywords)
        d.keywords.insert(QString::fromLatin1(k));
    d.trueLiteral = QStringLiteral("1");
    d.falseLiteral = QStringLiteral("0");
    d.dateLiteral = QStringLiteral("'%1'");
    d.textCollate = QStringLiteral(" COLLATE NOCASE");
    d.textCast = QStringLiteral("%1");
    d.like = QStringLiteral("(%1 LIKE %2)");
    d.notLike = QStringLiteral("(%1 NOT LIKE %2)");
    d.externalTables = true;
    d.derivedNeedsAlias = false;

    d.unary = {
        {int(UnaryOp::Negate), QStringLiteral("(- %1)")},
        {int(UnaryOp::Plus), QStringLiteral("%1")},
        {int(UnaryOp::Not), QStringLiteral("(NOT %1)")},
    };
    d.binary = {
        {int(BinaryOp::Add), QStringLiteral("(%1 + %2)")},
        {int(BinaryOp::Subtract), QStringLiteral("(%1 - %2)")},
        {int(BinaryOp::Multiply), QStringLiteral("(%1 * %2)")},
        // The original engine's / always divides as doubles and refuses zero.
        {int(BinaryOp::Divide), QStringLiteral("qv_div(%1, %2)")},
        {int(BinaryOp::IntDivide), QStringLiteral("qv_intdiv(%1, %2)")},
        {int(BinaryOp::Modulo), QStringLiteral("qv_mod(%1, %2)")},
        {int(BinaryOp::Power), QStringLiteral("qv_pow(%1, %2)")},
        {int(BinaryOp::Concat), QStringLiteral("qv_concat(%1, %2)")},
        {int(BinaryOp::TextAdd), QStringLiteral("(%1 || %2)")},
        {int(BinaryOp::DateAdd), QStringLiteral("qv_dateadd(%1, %2)")},
        {int(BinaryOp::DateSubtract), QStringLiteral("qv_dateadd(%1, - %2)")},
        {int(BinaryOp::DateDiff), QStringLiteral("qv_datediff(%1, %2)")},
        {int(BinaryOp::Equal), QStringLiteral("(%1 = %2)")},
        {int(BinaryOp::NotEqual), QStringLiteral("(%1 <> %2)")},
        {int(BinaryOp::Less), QStringLiteral("(%1 < %2)")},
        {int(BinaryOp::LessEqual), QStringLiteral("(%1 <= %2)")},
        {int(BinaryOp::Greater), QStringLiteral("(%1 > %2)")},
        {int(BinaryOp::GreaterEqual), QStringLiteral("(%1 >= %2)")},
        {int(BinaryOp::And), QStringLiteral("(%1 AND %2)")},
        {int(BinaryOp::Or), QStringLiteral("(%1 OR %2)")},
    };
    d.conversions = {
        {int(Conversion::YesNoToNumber), QStringLiteral("(- %1)")},
        {int(Conversion::NumberToYesNo), QStringLiteral("(%1 <> 0)")},
        {int(Conversion::DateToText), QStringLiteral("%1")}, // stored as the canonical text
        {int(Conversion::NumberToText), QStringLiteral("qv_str(%1)")},
        {int(Conversion::RoundToInteger), QStringLiteral("qv_cint(%1)")},
        {int(Conversion::TextToDate), QStringLiteral("qv_cdate(%1)")},
        {int(Conversion::NumberToDate), QStringLiteral("qv_cdate(%1)")},
        {int(Conversion::DateToNumber), QStringLiteral("qv_daynumber(%1)")},
        {int(Conversion::TextToNumber), QStringLiteral("qv_cdbl(%1)")},
    };
    auto f = [&d](const char *key, const char *pattern) {
        d.functions.insert(QString::fromLatin1(key), FunctionForm{QString::fromLatin1(pattern), nullptr});
    };
    f("count", "count(%1)");
    f("sum", "sum(%1)");
    f("avg", "avg(%1)");
    f("min", "min(%1)");
    f("max", "max(%1)");
    f("val", "qv_val(%1)");
    f("format/1", "qv_str(%1)");
    f("format/2", "qv_format(%1, %2)");
    f("cstr", "qv_str(%1)");
    f("cint", "qv_cint(%1)");
    f("clng", "qv_cint(%1)");
    f("cdbl", "qv_cdbl(%1)");
    f("csng", "qv_cdbl(%1)");
    f("cdate", "qv_cdate(%1)");
    f("nz/1", "%1");
    f("nz/2", "coalesce(%1, %2)");
    f("int", "qv_int(%1)");
    f("fix", "qv_fix(%1)");
    f("abs", "abs(%1)");
    f("sgn", "qv_sgn(%1)");
    f("round/1", "qv_round(%1, 0)");
    f("round/2", "qv_round(%1, %2)");
    f("sqr", "qv_sqr(%1)");
    f("year", "qv_year(%1)");
    f("month", "qv_month(%1)");
    f("day", "qv_day(%1)");
    f("hour", "qv_hour(%1)");
    f("minute", "qv_minute(%1)");
    f("second", "qv_second(%1)");
    f("weekday", "qv_weekday(%1)");
    f("now", "qv_now()");
    f("date", "qv_today()");
    f("left", "substr(%1, 1, %2)");
    f("right", "qv_right(%1, %2)");
    f("mid/2", "substr(%1, %2)");
    f("mid/3", "substr(%1, %2, %3)");
    f("len", "length(%1)");
    f("ucase", "upper(%1)");
    f("lcase", "lower(%1)");
    f("trim", "trim(%1, ' ')");
    f("ltrim", "ltrim(%1, ' ')");
    f("rtrim", "rtrim(%1, ' ')");
    f("instr", "instr(lower(%1), lower(%2))");
    f("space", "qv_space(%1)");
    f("replace", "replace(%1, %2, %3)");
    f("chr", "qv_chr(%1)");

    d.columnTypes = {
        {int(SqlType::Text), QStringLiteral("VARCHAR")},
        {int(SqlType::Integer), QStringLiteral("INTEGER")},
        {int(SqlType::Double), QStringLiteral("DOUBLE")},
        {int(SqlType::Date), QStringLiteral("DATETIME_TEXT")},
        {int(SqlType::YesNo), QStringLiteral("BOOLEAN")},
        {int(SqlType::Blob), QStringLiteral("BLOB")},
    };
    d.textColumnSuffix = QStringLiteral(" COLLATE NOCASE");
    return d;
}

} // namespace

const Dialect &sqliteDialect()
{
    static const Dialect dialect = makeSqlite();
    return dialect;
}

} // namespace qv::sql
