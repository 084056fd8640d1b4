// SQLite: dates are canonical texts, yes/no is 0/1, texts compare with NOCASE.
// What SQLite lacks is supplied by the qv_ functions of SqliteFunctions.
#include "sql/DialectCommon.h"

namespace qv::sql {

namespace {

Dialect makeSqlite()
{
    Dialect d = commonDialect();
    d.engine = Engine::Sqlite;
    d.name = QStringLiteral("SQLite");
    d.foldIdentifiers = false;
    d.keywords = keywordSet({
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
        "where", "window", "with", "without", "true", "false"});
    d.trueLiteral = QStringLiteral("1");
    d.falseLiteral = QStringLiteral("0");
    d.dateLiteral = QStringLiteral("'%1'");
    d.textCollate = QStringLiteral(" COLLATE NOCASE");
    d.textCast = QStringLiteral("%1");
    d.like = QStringLiteral("(%1 LIKE %2)");
    d.notLike = QStringLiteral("(%1 NOT LIKE %2)");
    d.externalTables = true;
    d.derivedNeedsAlias = false;

    d.binary.insert({
        // The original engine's / always divides as doubles and refuses zero.
        {int(BinaryOp::Divide), QStringLiteral("qv_div(%1, %2)")},
        {int(BinaryOp::Power), QStringLiteral("qv_pow(%1, %2)")},
    });
    d.conversions.insert({
        {int(Conversion::YesNoToNumber), QStringLiteral("(- %1)")},
        {int(Conversion::DateToText), QStringLiteral("%1")}, // stored as the canonical text
        {int(Conversion::TextToDate), QStringLiteral("qv_cdate(%1)")},
        {int(Conversion::NumberToDate), QStringLiteral("qv_cdate(%1)")},
        {int(Conversion::TextToNumber), QStringLiteral("qv_cdbl(%1)")},
    });
    addFunctions(d, {
        {"val", "qv_val(%1)"},
        {"format/1", "qv_str(%1)"},
        {"format/2", "qv_format(%1, %2)"},
        {"cdbl", "qv_cdbl(%1)"},
        {"csng", "qv_cdbl(%1)"},
        {"cdate", "qv_cdate(%1)"},
        {"int", "qv_int(%1)"},
        {"fix", "qv_fix(%1)"},
        {"sgn", "qv_sgn(%1)"},
        {"sqr", "qv_sqr(%1)"},
        {"year", "qv_year(%1)"},
        {"month", "qv_month(%1)"},
        {"day", "qv_day(%1)"},
        {"hour", "qv_hour(%1)"},
        {"minute", "qv_minute(%1)"},
        {"second", "qv_second(%1)"},
        {"weekday", "qv_weekday(%1)"},
        {"now", "qv_now()"},
        {"date", "qv_today()"},
        {"left", "substr(%1, 1, %2)"},
        {"right", "qv_right(%1, %2)"},
        {"len", "length(%1)"},
        {"trim", "trim(%1, ' ')"},
        {"instr", "instr(lower(%1), lower(%2))"},
        {"space", "qv_space(%1)"},
        {"chr", "qv_chr(%1)"},
    });

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
