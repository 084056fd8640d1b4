// What differs between the engines, written down once as data: names, quoting,
// parameters, how yes/no values and dates are stored, type names. Code asks the
// traits of its connection instead of testing which engine it is talking to.
#pragma once

#include "db/Value.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>

namespace qv::db {

enum class Engine { Sqlite, Postgres };

enum class BooleanStorage {
    Integer, // 0 and 1 in an integer-like column
    Native,  // a boolean type
};

enum class DateStorage {
    CanonicalText, // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS" (common/DayNumber.h)
    Timestamp,     // a timestamp type without time zone
};

// One rule that maps a declared type name to a kind: the name contains the
// pattern (compared without regard to case), as a whole word when wholeWord.
struct TypeNameRule {
    QString pattern;
    ValueKind kind;
    bool wholeWord = false;
};

struct EngineTraits {
    Engine engine;
    QString name;                     // "SQLite", "PostgreSQL"
    QChar identifierQuote;            // quotes names; doubled inside a name
    QChar parameterPrefix;            // '?' for ?1, '$' for $1
    BooleanStorage booleans;
    DateStorage dates;
    QString trueLiteral;
    QString falseLiteral;
    QString dateLiteralPrefix;        // written before the quoted canonical text
    QString beginStatement;           // how a transaction starts
    QString caseInsensitiveTextType;  // text that compares and sorts without case
    std::array<QString, 7> typeNames; // indexed by ValueKind; Null has none
    QList<TypeNameRule> typeNameRules;
    ValueKind unmatchedTypeKind;      // kind of a declared type no rule matches

    // The traits of an engine; they live for the whole program.
    static const EngineTraits &of(Engine engine);

    QString typeName(ValueKind kind) const { return typeNames[size_t(kind)]; }
    // "T""x" for T"x: doubles the quote character inside the name.
    QString quoteIdentifier(QStringView identifier) const;
    // The marker of parameter 'position' (1-based) in statement text.
    QString parameter(int position) const;
    QString booleanLiteral(bool value) const { return value ? trueLiteral : falseLiteral; }
    // A date-time as literal statement text, e.g. '2024-01-15 23:59:59'.
    QString dateLiteral(const QDateTime &value) const;
    // The kind of a column declared with this type name; Null for an empty name.
    ValueKind kindOfDeclaredType(QStringView declaredType) const;
};

} // namespace qv::db
