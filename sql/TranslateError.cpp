#include "sql/TranslateError.h"

#include "sql/SqlType.h"

namespace qv::sql {

QString sqlTypeName(SqlType type)
{
    switch (type) {
    case SqlType::Unknown: return QStringLiteral("unknown");
    case SqlType::Null: return QStringLiteral("null");
    case SqlType::Integer: return QStringLiteral("integer");
    case SqlType::Double: return QStringLiteral("double");
    case SqlType::Text: return QStringLiteral("text");
    case SqlType::YesNo: return QStringLiteral("yes/no");
    case SqlType::Date: return QStringLiteral("date");
    case SqlType::Blob: return QStringLiteral("blob");
    }
    return {};
}

QString phaseName(Phase phase)
{
    switch (phase) {
    case Phase::Lex: return QStringLiteral("lexical");
    case Phase::Parse: return QStringLiteral("parse");
    case Phase::Bind: return QStringLiteral("bind");
    case Phase::Emit: return QStringLiteral("translation");
    }
    return {};
}

QString TranslateError::toString() const
{
    QString s = QStringLiteral("%1 error at line %2, column %3: %4")
                    .arg(phaseName(phase)).arg(line).arg(column).arg(message);
    if (!snippet.isEmpty())
        s += QStringLiteral(" (near \"%1\")").arg(snippet);
    return s;
}

TranslateError makeError(Phase phase, QStringView text, SourcePos pos, const QString &message)
{
    TranslateError e;
    e.phase = phase;
    e.line = pos.line;
    e.column = pos.column;
    e.message = message;
    const int start = qBound(0, pos.offset, int(text.size()));
    QString snippet = text.mid(start, 40).toString().simplified();
    if (start + 40 < text.size())
        snippet += QStringLiteral("...");
    e.snippet = start >= text.size() ? QStringLiteral("end of statement") : snippet;
    return e;
}

} // namespace qv::sql
