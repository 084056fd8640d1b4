#include "sql/DialectCommon.h"

namespace qv::sql {

Dialect commonDialect()
{
    Dialect d;
    d.unary = {
        {int(UnaryOp::Negate), QStringLiteral("(- %1)")},
        {int(UnaryOp::Plus), QStringLiteral("%1")},
        {int(UnaryOp::Not), QStringLiteral("(NOT %1)")},
    };
    // Divide and Power differ between the engines and are set by each.
    d.binary = {
        {int(BinaryOp::Add), QStringLiteral("(%1 + %2)")},
        {int(BinaryOp::Subtract), QStringLiteral("(%1 - %2)")},
        {int(BinaryOp::Multiply), QStringLiteral("(%1 * %2)")},
        {int(BinaryOp::IntDivide), QStringLiteral("qv_intdiv(%1, %2)")},
        {int(BinaryOp::Modulo), QStringLiteral("qv_mod(%1, %2)")},
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
    // Conversions that touch a date, a yes/no or a text operand depend on how
    // the engine stores them and are set by each.
    d.conversions = {
        {int(Conversion::NumberToYesNo), QStringLiteral("(%1 <> 0)")},
        {int(Conversion::NumberToText), QStringLiteral("qv_str(%1)")},
        {int(Conversion::RoundToInteger), QStringLiteral("qv_cint(%1)")},
        {int(Conversion::DateToNumber), QStringLiteral("qv_daynumber(%1)")},
    };
    addFunctions(d, {
        {"count", "count(%1)"},
        {"sum", "sum(%1)"},
        {"avg", "avg(%1)"},
        {"min", "min(%1)"},
        {"max", "max(%1)"},
        {"cstr", "qv_str(%1)"},
        {"cint", "qv_cint(%1)"},
        {"clng", "qv_cint(%1)"},
        {"nz/1", "%1"},
        {"nz/2", "coalesce(%1, %2)"},
        {"abs", "abs(%1)"},
        {"round/1", "qv_round(%1, 0)"},
        {"round/2", "qv_round(%1, %2)"},
        {"mid/2", "substr(%1, %2)"},
        {"mid/3", "substr(%1, %2, %3)"},
        {"ucase", "upper(%1)"},
        {"lcase", "lower(%1)"},
        {"ltrim", "ltrim(%1, ' ')"},
        {"rtrim", "rtrim(%1, ' ')"},
        {"replace", "replace(%1, %2, %3)"},
    });
    return d;
}

QSet<QString> keywordSet(std::initializer_list<const char *> words)
{
    QSet<QString> set;
    set.reserve(qsizetype(words.size()));
    for (const char *word : words)
        set.insert(QString::fromLatin1(word));
    return set;
}

void addFunctions(Dialect &dialect, std::initializer_list<std::pair<const char *, const char *>> forms)
{
    for (const auto &[key, pattern] : forms)
        dialect.functions.insert(QString::fromLatin1(key), FunctionForm{QString::fromLatin1(pattern), nullptr});
}

} // namespace qv::sql
