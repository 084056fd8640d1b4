// Errors of the dialect engine. Every error names the phase that raised it and
// the place in the statement text, so a failed statement can be found and fixed.
#pragma once

#include <QString>
#include <QStringView>

namespace qv::sql {

enum class Phase { Lex, Parse, Bind, Emit };

QString phaseName(Phase phase);

// A place in the statement text; line and column count from 1.
struct SourcePos {
    int offset = 0;
    int line = 1;
    int column = 1;
};

struct TranslateError {
    Phase phase = Phase::Parse;
    int line = 0;
    int column = 0;
    QString snippet; // the statement text from the place of the error, shortened
    QString message;

    // "parse error at line 1, column 8: unknown function 'foo' (near "foo(x) from t")"
    QString toString() const;
};

// Builds an error for a place in text.
TranslateError makeError(Phase phase, QStringView text, SourcePos pos, const QString &message);

// Thrown inside the engine's phases and caught at the public entry points, so a
// deeply nested parse or bind can stop at once without threading results through
// every level. It never leaves the library.
struct TranslateException {
    TranslateError error;
};

} // namespace qv::sql
