#include "sql/JetFunctions.h"

#include <QString>

namespace qv::sql {

namespace {

using K = FunctionKind;
using R = ResultRule;
using T = SqlType;

const FunctionInfo kFunctions[] = {
    // aggregates
    {"count", 1, 1, K::Aggregate, R::Fixed, T::Integer, "*"},
    {"sum", 1, 1, K::Aggregate, R::Sum, T::Double, "N"},
    {"avg", 1, 1, K::Aggregate, R::Fixed, T::Double, "N"},
    {"min", 1, 1, K::Aggregate, R::FirstArg, T::Unknown, "*"},
    {"max", 1, 1, K::Aggregate, R::FirstArg, T::Unknown, "*"},
    {"first", 1, 1, K::Aggregate, R::FirstArg, T::Unknown, "*"},
    {"last", 1, 1, K::Aggregate, R::FirstArg, T::Unknown, "*"},
    {"stdev", 1, 1, K::Aggregate, R::Fixed, T::Double, "N"},
    {"var", 1, 1, K::Aggregate, R::Fixed, T::Double, "N"},
    // conversions
    {"val", 1, 1, K::Scalar, R::Fixed, T::Double, "T"},
    {"format", 1, 2, K::Scalar, R::Fixed, T::Text, "*T"},
    {"cstr", 1, 1, K::Scalar, R::Fixed, T::Text, "*"},
    {"cint", 1, 1, K::Scalar, R::Fixed, T::Integer, "N"},
    {"clng", 1, 1, K::Scalar, R::Fixed, T::Integer, "N"},
    {"cdbl", 1, 1, K::Scalar, R::Fixed, T::Double, "N"},
    {"csng", 1, 1, K::Scalar, R::Fixed, T::Double, "N"},
    {"cdate", 1, 1, K::Scalar, R::Fixed, T::Date, "D"},
    {"nz", 1, 2, K::Scalar, R::Unify, T::Unknown, "*"},
    // numbers
    {"int", 1, 1, K::Scalar, R::FirstArg, T::Unknown, "N"},
    {"fix", 1, 1, K::Scalar, R::FirstArg, T::Unknown, "N"},
    {"abs", 1, 1, K::Scalar, R::FirstArg, T::Unknown, "N"},
    {"sgn", 1, 1, K::Scalar, R::Fixed, T::Integer, "N"},
    {"round", 1, 2, K::Scalar, R::FirstArg, T::Unknown, "N"},
    {"sqr", 1, 1, K::Scalar, R::Fixed, T::Double, "N"},
    // dates
    {"year", 1, 1, K::Scalar, R::Fixed, T::Integer, "D"},
    {"month", 1, 1, K::Scalar, R::Fixed, T::Integer, "D"},
    {"day", 1, 1, K::Scalar, R::Fixed, T::Integer, "D"},
    {"hour", 1, 1, K::Scalar, R::Fixed, T::Integer, "D"},
    {"minute", 1, 1, K::Scalar, R::Fixed, T::Integer, "D"},
    {"second", 1, 1, K::Scalar, R::Fixed, T::Integer, "D"},
    {"weekday", 1, 1, K::Scalar, R::Fixed, T::Integer, "D"},
    {"now", 0, 0, K::Scalar, R::Fixed, T::Date, "*"},
    {"date", 0, 0, K::Scalar, R::Fixed, T::Date, "*"},
    // texts
    {"left", 2, 2, K::Scalar, R::Fixed, T::Text, "TN"},
    {"right", 2, 2, K::Scalar, R::Fixed, T::Text, "TN"},
    {"mid", 2, 3, K::Scalar, R::Fixed, T::Text, "TN"},
    {"len", 1, 1, K::Scalar, R::Fixed, T::Integer, "T"},
    {"ucase", 1, 1, K::Scalar, R::Fixed, T::Text, "T"},
    {"lcase", 1, 1, K::Scalar, R::Fixed, T::Text, "T"},
    {"trim", 1, 1, K::Scalar, R::Fixed, T::Text, "T"},
    {"ltrim", 1, 1, K::Scalar, R::Fixed, T::Text, "T"},
    {"rtrim", 1, 1, K::Scalar, R::Fixed, T::Text, "T"},
    {"instr", 2, 2, K::Scalar, R::Fixed, T::Integer, "T"},
    {"space", 1, 1, K::Scalar, R::Fixed, T::Text, "N"},
    {"replace", 3, 3, K::Scalar, R::Fixed, T::Text, "T"},
    {"chr", 1, 1, K::Scalar, R::Fixed, T::Text, "N"},
};

} // namespace

const FunctionInfo *findFunction(QStringView name)
{
    for (const FunctionInfo &f : kFunctions) {
        if (name.compare(QLatin1StringView(f.name), Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

} // namespace qv::sql
