// The functions of the original dialect that the system's statements may use,
// with their arity and typing. Engine-neutral: how each engine writes them is
// the business of the dialects.
#pragma once

#include "sql/SqlType.h"

#include <QStringView>

namespace qv::sql {

enum class FunctionKind { Scalar, Aggregate };

enum class ResultRule {
    Fixed,     // always `result`
    FirstArg,  // the type of the first argument
    Sum,       // integer stays integer, everything else double
    Unify,     // the common type of all arguments
};

struct FunctionInfo {
    const char *name;   // canonical, lower case
    int minArgs;
    int maxArgs;
    FunctionKind kind;
    ResultRule rule;
    SqlType result;
    // Type each argument is converted to, one letter per argument, the last
    // letter repeating: T text, N number, D date, * left as it is.
    const char *argTypes;
};

// nullptr for a name the dialect does not know (case-insensitive).
const FunctionInfo *findFunction(QStringView name);

} // namespace qv::sql
