#include "db/EngineTraits.h"

#include "common/DayNumber.h"

namespace qv::db {

namespace {

// SQLite keeps any type name it is given; the kinds follow SQLite's own affinity
// rules, extended by the yes/no and date names the schema uses.
EngineTraits makeSqlite()
{
    EngineTraits t{
        Engine::Sqlite,
        QStringLiteral("SQLite"),
        QLatin1Char('"'),
        QLatin1Char('?'),
        BooleanStorage::Integer,
        DateStorage::CanonicalText,
        QStringLiteral("1"),
        QStringLiteral("0"),
        QString(),
        // Takes the write lock at once, so a transaction never fails half-way
        // because another connection wrote first.
        QStringLiteral("BEGIN IMMEDIATE"),
        QStringLiteral("TEXT COLLATE NOCASE"),
        {QString(), QStringLiteral("INTEGER"), QStringLiteral("DOUBLE"), QStringLiteral("TEXT"),
         QStringLiteral("BLOB"), QStringLiteral("BOOLEAN"), QStringLiteral("DATETIME")},
        {},
        ValueKind::Null,
    };
    t.typeNameRules = {
        {QStringLiteral("BOOL"), ValueKind::Bool},
        {QStringLiteral("BIT"), ValueKind::Bool, true},
        {QStringLiteral("YESNO"), ValueKind::Bool},
        {QStringLiteral("LOGICAL"), ValueKind::Bool},
        {QStringLiteral("DATE"), ValueKind::DateTime},
        {QStringLiteral("TIME"), ValueKind::DateTime},
        {QStringLiteral("INT"), ValueKind::Integer},
        {QStringLiteral("COUNTER"), ValueKind::Integer},
        {QStringLiteral("AUTONUMBER"), ValueKind::Integer},
        {QStringLiteral("CHAR"), ValueKind::Text},
        {QStringLiteral("CLOB"), ValueKind::Text},
        {QStringLiteral("TEXT"), ValueKind::Text},
        {QStringLiteral("MEMO"), ValueKind::Text},
        {QStringLiteral("BLOB"), ValueKind::Blob},
        {QStringLiteral("BINARY"), ValueKind::Blob},
        {QStringLiteral("IMAGE"), ValueKind::Blob},
        {QStringLiteral("REAL"), ValueKind::Double},
        {QStringLiteral("FLOA"), ValueKind::Double},
        {QStringLiteral("DOUB"), ValueKind::Double},
        {QStringLiteral("NUMERIC"), ValueKind::Double},
        {QStringLiteral("DECIMAL"), ValueKind::Double},
        {QStringLiteral("CURRENCY"), ValueKind::Double},
        {QStringLiteral("MONEY"), ValueKind::Double},
    };
    return t;
}

// Names as PostgreSQL's format_type() writes them.
EngineTraits makePostgres()
{
    EngineTraits t{
        Engine::Postgres,
        QStringLiteral("PostgreSQL"),
        QLatin1Char('"'),
        QLatin1Char('$'),
        BooleanStorage::Native,
        DateStorage::Timestamp,
        QStringLiteral("true"),
        QStringLiteral("false"),
        QStringLiteral("TIMESTAMP "),
        QStringLiteral("BEGIN"),
        QStringLiteral("citext"),
        {QString(), QStringLiteral("integer"), QStringLiteral("double precision"),
         QStringLiteral("text"), QStringLiteral("bytea"), QStringLiteral("boolean"),
         QStringLiteral("timestamp(0)")},
        {},
        ValueKind::Text,
    };
    t.typeNameRules = {
        {QStringLiteral("boolean"), ValueKind::Bool},
        {QStringLiteral("timestamp"), ValueKind::DateTime},
        {QStringLiteral("date"), ValueKind::DateTime, true},
        {QStringLiteral("smallint"), ValueKind::Integer},
        {QStringLiteral("integer"), ValueKind::Integer},
        {QStringLiteral("bigint"), ValueKind::Integer},
        {QStringLiteral("double precision"), ValueKind::Double},
        {QStringLiteral("real"), ValueKind::Double, true},
        {QStringLiteral("numeric"), ValueKind::Double},
        {QStringLiteral("bytea"), ValueKind::Blob},
    };
    return t;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool containsRule(QStringView text, const TypeNameRule &rule)
{
    qsizetype from = 0;
    while (true) {
        const qsizetype at = text.indexOf(rule.pattern, from, Qt::CaseInsensitive);
        if (at < 0)
            return false;
        if (!rule.wholeWord)
            return true;
        const qsizetype end = at + rule.pattern.size();
        if ((at == 0 || !isWordChar(text[at - 1])) && (end == text.size() || !isWordChar(text[end])))
            return true;
        from = at + 1;
    }
}

} // namespace

const EngineTraits &EngineTraits::of(Engine engine)
{
    static const EngineTraits sqlite = makeSqlite();
    static const EngineTraits postgres = makePostgres();
    return engine == Engine::Sqlite ? sqlite : postgres;
}

QString EngineTraits::quoteIdentifier(QStringView identifier) const
{
    QString quoted = identifier.toString();
    quoted.replace(identifierQuote, QString(2, identifierQuote));
    return identifierQuote + quoted + identifierQuote;
}

QString EngineTraits::parameter(int position) const
{
    return parameterPrefix + QString::number(position);
}

QString EngineTraits::dateLiteral(const QDateTime &value) const
{
    return dateLiteralPrefix + QLatin1Char('\'') + common::toDateText(value) + QLatin1Char('\'');
}

ValueKind EngineTraits::kindOfDeclaredType(QStringView declaredType) const
{
    const QStringView trimmed = declaredType.trimmed();
    if (trimmed.isEmpty())
        return ValueKind::Null;
    for (const TypeNameRule &rule : typeNameRules) {
        if (containsRule(trimmed, rule))
            return rule.kind;
    }
    return unmatchedTypeKind;
}

} // namespace qv::db
