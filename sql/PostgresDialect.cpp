// PostgreSQL: names folded to lower case (the schema's tables are created so),
// dates as timestamp(0), yes/no as boolean, texts as citext. What PostgreSQL
// lacks is supplied by the qv_ functions of PostgresFunctions.
#include "sql/DialectCommon.h"

#include "sql/JetValues.h"

namespace qv::sql {

namespace {

// to_char's spelling of a date pattern of Format.
QString toCharPattern(const QString &pattern)
{
    QString out;
    bool afterHour = false;
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        int n = 0;
        while (i + n < pattern.size() && pattern[i + n] == c)
            ++n;
        QString piece;
        if (c == QLatin1Char('y'))
            piece = n >= 4 ? QStringLiteral("YYYY") : QStringLiteral("YY");
        else if (c == QLatin1Char('m'))
            piece = afterHour ? (n >= 2 ? QStringLiteral("MI") : QStringLiteral("FMMI"))
                              : (n >= 2 ? QStringLiteral("MM") : QStringLiteral("FMMM"));
        else if (c == QLatin1Char('d'))
            piece = n >= 2 ? QStringLiteral("DD") : QStringLiteral("FMDD");
        else if (c == QLatin1Char('h'))
            piece = n >= 2 ? QStringLiteral("HH24") : QStringLiteral("FMHH24");
        else if (c == QLatin1Char('n'))
            piece = n >= 2 ? QStringLiteral("MI") : QStringLiteral("FMMI");
        else if (c == QLatin1Char('s'))
            piece = n >= 2 ? QStringLiteral("SS") : QStringLiteral("FMSS");
        else
            piece = QLatin1Char('"') + QString(n, c) + QLatin1Char('"');
        if (c == QLatin1Char('h'))
            afterHour = true;
        else if (c != QLatin1Char(':') && c != QLatin1Char('m'))
            afterHour = false;
        out += piece;
        i += n;
    }
    return out;
}

// Format needs its pattern at translation time on PostgreSQL: the pattern is
// taken apart here and the parts passed to qv_format_number, or turned into a
// to_char pattern for dates.
std::optional<QString> writeFormat(const Expr &call, const QStringList &args, const Dialect &dialect, QString *error)
{
    if (args.size() == 1)
        return QStringLiteral("qv_str(%1)").arg(args[0]);
    const Expr &pattern = *call.args[1];
    if (pattern.kind != ExprKind::Literal || pattern.literal != LiteralKind::Text) {
        *error = QStringLiteral("format with a pattern that is not a constant text is not supported on PostgreSQL");
        return std::nullopt;
    }
    const std::optional<jet::FormatPattern> f = jet::parseFormatPattern(pattern.text);
    if (!f) {
        *error = QStringLiteral("format pattern '%1' is not supported").arg(pattern.text);
        return std::nullopt;
    }
    QString value = args[0];
    if (call.args[0]->type == SqlType::Text)
        value = QStringLiteral("qv_cdbl(%1)").arg(value);
    if (f->isDate) {
        return QStringLiteral("to_char(qv_cdate(%1), %2)").arg(value, dialect.textLiteral(toCharPattern(f->datePattern)));
    }
    const jet::NumberPattern &n = f->number;
    return QStringLiteral("qv_format_number(%1, %2, %3, %4, %5, %6, %7, %8)")
        .arg(value)
        .arg(n.minDecimals)
        .arg(n.maxDecimals)
        .arg(n.integerZeros)
        .arg(n.grouping ? dialect.trueLiteral : dialect.falseLiteral,
             n.percent ? dialect.trueLiteral : dialect.falseLiteral, dialect.textLiteral(n.prefix),
             dialect.textLiteral(n.suffix));
}

Dialect makePostgres()
{
    Dialect d = commonDialect();
    d.engine = Engine::Postgres;
    d.name = QStringLiteral("PostgreSQL");
    d.foldIdentifiers = true;
    d.keywords = keywordSet({
        "all", "analyse", "analyze", "and", "any", "array", "as", "asc", "asymmetric", "authorization", "binary",
        "both", "case", "cast", "check", "collate", "collation", "column", "concurrently", "constraint", "create",
        "cross", "current_catalog", "current_date", "current_role", "current_schema", "current_time",
        "current_timestamp", "current_user", "default", "deferrable", "desc", "distinct", "do", "else", "end",
        "except", "false", "fetch", "for", "foreign", "freeze", "from", "full", "grant", "group", "having",
        "ilike", "in", "initially", "inner", "intersect", "into", "is", "isnull", "join", "lateral", "leading",
        "left", "like", "limit", "localtime", "localtimestamp", "natural", "not", "notnull", "null", "offset",
        "on", "only", "or", "order", "outer", "overlaps", "placing", "primary", "references", "returning",
        "right", "select", "session_user", "similar", "some", "symmetric", "table", "tablesample", "then", "to",
        "trailing", "true", "union", "unique", "user", "using", "variadic", "verbose", "when", "where", "window",
        "with"});
    d.trueLiteral = QStringLiteral("TRUE");
    d.falseLiteral = QStringLiteral("FALSE");
    d.dateLiteral = QStringLiteral("TIMESTAMP '%1'");
    d.textCollate = QString();
    d.textCast = QStringLiteral("CAST(%1 AS citext)");
    // No escape character: the programs' patterns use only % and _.
    d.like = QStringLiteral("(%1 ILIKE %2 ESCAPE '')");
    d.notLike = QStringLiteral("(%1 NOT ILIKE %2 ESCAPE '')");
    d.externalTables = false;
    d.derivedNeedsAlias = true;

    d.binary.insert({
        {int(BinaryOp::Divide), QStringLiteral("(CAST(%1 AS double precision) / %2)")},
        {int(BinaryOp::Power), QStringLiteral("power(%1, %2)")},
    });
    d.conversions.insert({
        {int(Conversion::YesNoToNumber), QStringLiteral("(- CAST(%1 AS integer))")},
        {int(Conversion::DateToText), QStringLiteral("qv_str(%1)")},
        {int(Conversion::TextToDate), QStringLiteral("qv_cdate(CAST(%1 AS text))")},
        {int(Conversion::NumberToDate), QStringLiteral("qv_cdate(CAST(%1 AS double precision))")},
        {int(Conversion::TextToNumber), QStringLiteral("qv_cdbl(CAST(%1 AS text))")},
    });
    addFunctions(d, {
        {"stdev", "stddev_samp(%1)"},
        {"var", "var_samp(%1)"},
        {"val", "qv_val(CAST(%1 AS text))"},
        {"cdbl", "CAST(%1 AS double precision)"},
        {"csng", "CAST(%1 AS double precision)"},
        {"cdate", "%1"},
        {"int", "floor(%1)"},
        {"fix", "trunc(%1)"},
        {"sgn", "CAST(sign(%1) AS integer)"},
        {"sqr", "sqrt(%1)"},
        {"year", "CAST(EXTRACT(YEAR FROM %1) AS integer)"},
        {"month", "CAST(EXTRACT(MONTH FROM %1) AS integer)"},
        {"day", "CAST(EXTRACT(DAY FROM %1) AS integer)"},
        {"hour", "CAST(EXTRACT(HOUR FROM %1) AS integer)"},
        {"minute", "CAST(EXTRACT(MINUTE FROM %1) AS integer)"},
        {"second", "CAST(EXTRACT(SECOND FROM %1) AS integer)"},
        {"weekday", "(CAST(EXTRACT(DOW FROM %1) AS integer) + 1)"},
        {"now", "CAST(LOCALTIMESTAMP AS timestamp(0))"},
        {"date", "CAST(CURRENT_DATE AS timestamp(0))"},
        {"left", "left(%1, %2)"},
        {"right", "right(%1, %2)"},
        {"len", "length(CAST(%1 AS text))"},
        {"trim", "btrim(%1, ' ')"},
        {"instr", "strpos(lower(%1), lower(%2))"},
        {"space", "repeat(' ', %1)"},
        {"chr", "chr(CAST(qv_cint(%1) AS integer))"},
    });
    // Format takes its pattern apart at translation time (writeFormat).
    d.functions.insert(QStringLiteral("format"), FunctionForm{QString(), &writeFormat});

    d.columnTypes = {
        {int(SqlType::Text), QStringLiteral("citext")},
        {int(SqlType::Integer), QStringLiteral("integer")},
        {int(SqlType::Double), QStringLiteral("double precision")},
        {int(SqlType::Date), QStringLiteral("timestamp(0)")},
        {int(SqlType::YesNo), QStringLiteral("boolean")},
        {int(SqlType::Blob), QStringLiteral("bytea")},
    };
    // An identity column keeps its own counter, which explicit values do not move.
    d.identitySync = QStringLiteral("SELECT setval(pg_get_serial_sequence(%3, %4), max(%2)) FROM %1 HAVING max(%2) > 0");
    return d;
}

} // namespace

const Dialect &postgresDialect()
{
    static const Dialect dialect = makePostgres();
    return dialect;
}

} // namespace qv::sql
