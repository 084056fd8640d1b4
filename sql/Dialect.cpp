#include "sql/Dialect.h"

namespace qv::sql {

const FunctionForm *Dialect::function(const QString &functionName, int arity) const
{
    auto it = functions.constFind(functionName + QLatin1Char('/') + QString::number(arity));
    if (it != functions.constEnd())
        return &it.value();
    it = functions.constFind(functionName);
    return it != functions.constEnd() ? &it.value() : nullptr;
}

QString Dialect::identifier(const QString &identifierName) const
{
    const QString n = foldIdentifiers ? identifierName.toLower() : identifierName;
    bool plain = !n.isEmpty() && (n[0].isLetter() || n[0] == QLatin1Char('_')) && n[0].unicode() < 128;
    for (QChar c : n) {
        const bool letter = foldIdentifiers ? (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                                            : ((c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                                               || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')));
        plain = plain && (letter || c.isDigit() || c == QLatin1Char('_')) && c.unicode() < 128;
    }
    if (plain && !keywords.contains(n.toLower()))
        return n;
    QString quoted = n;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString Dialect::textLiteral(const QString &text) const
{
    QString t = text;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

QString identitySync(const Dialect &dialect, const QString &table, const QString &column)
{
    if (dialect.identitySync.isEmpty() || table.isEmpty() || column.isEmpty())
        return {};
    const QString t = dialect.identifier(table);
    const QString c = dialect.identifier(column);
    QString out = dialect.identitySync;
    out.replace(QLatin1String("%1"), t).replace(QLatin1String("%2"), c);
    out.replace(QLatin1String("%3"), dialect.textLiteral(t)).replace(QLatin1String("%4"), dialect.textLiteral(c));
    return out;
}

const Dialect &dialectFor(Engine engine)
{
    return engine == Engine::Sqlite ? sqliteDialect() : postgresDialect();
}

QString engineName(Engine engine)
{
    return dialectFor(engine).name;
}

} // namespace qv::sql
