#include "server/FilterStatement.h"

#include <QRegularExpression>

namespace qv::server {

namespace {

// Walks statement text at the top level, skipping quoted texts, bracketed
// names, #date# literals and parenthesised parts.
class TopLevelScanner {
public:
    explicit TopLevelScanner(QStringView text) : m_text(text) {}

    // Positions (at depth 0, outside literals) where `visit` is called.
    template <typename Visit>
    void scan(Visit visit) const
    {
        int depth = 0;
        for (qsizetype i = 0; i < m_text.size(); ++i) {
            const QChar c = m_text[i];
            if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                i = skipQuoted(i, c);
            } else if (c == QLatin1Char('[')) {
                i = skipTo(i, QLatin1Char(']'));
            } else if (c == QLatin1Char('#') && looksLikeDate(i)) {
                i = skipTo(i, QLatin1Char('#'));
            } else if (c == QLatin1Char('(')) {
                ++depth;
            } else if (c == QLatin1Char(')')) {
                --depth;
            } else if (depth == 0) {
                visit(i);
            }
        }
    }

private:
    qsizetype skipQuoted(qsizetype start, QChar quote) const
    {
        for (qsizetype i = start + 1; i < m_text.size(); ++i) {
            if (m_text[i] != quote)
                continue;
            if (i + 1 < m_text.size() && m_text[i + 1] == quote) {
                ++i; // a doubled quote inside the text
                continue;
            }
            return i;
        }
        return m_text.size();
    }

    qsizetype skipTo(qsizetype start, QChar end) const
    {
        const qsizetype at = m_text.indexOf(end, start + 1);
        return at < 0 ? m_text.size() : at;
    }

    bool looksLikeDate(qsizetype at) const
    {
        return at + 1 < m_text.size() && m_text[at + 1].isDigit();
    }

    QStringView m_text;
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool wordAt(QStringView text, qsizetype at, QLatin1StringView word)
{
    if (at + word.size() > text.size() || text.mid(at, word.size()).compare(word, Qt::CaseInsensitive) != 0)
        return false;
    const bool startOk = at == 0 || !isWordChar(text[at - 1]);
    const bool endOk = at + word.size() == text.size() || !isWordChar(text[at + word.size()]);
    return startOk && endOk;
}

// "Z.DJBH desc" -> "DJBH desc"; nullopt for anything but a plain column.
std::optional<QString> plainOrderTerm(const QString &term)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^\s*(?:(?:\[[^\]]+\]|[A-Za-z_][A-Za-z0-9_]*)\s*\.\s*)?(\[[^\]]+\]|[A-Za-z_][A-Za-z0-9_]*)(\s+(?:asc|desc))?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(term);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1) + match.captured(2);
}

QStringList splitTopLevelCommas(QStringView text)
{
    QStringList parts;
    qsizetype start = 0;
    TopLevelScanner(text).scan([&](qsizetype i) {
        if (text[i] == QLatin1Char(',')) {
            parts.append(text.mid(start, i - start).toString());
            start = i + 1;
        }
    });
    parts.append(text.mid(start).toString());
    return parts;
}

} // namespace

QString withoutTrailingSemicolons(QStringView statement)
{
    QStringView s = statement.trimmed();
    while (s.endsWith(QLatin1Char(';')))
        s = s.chopped(1).trimmed();
    return s.toString();
}

std::optional<OrderSplit> splitTrailingOrderBy(QStringView statement)
{
    const QString text = withoutTrailingSemicolons(statement);
    const QStringView view(text);
    qsizetype orderAt = -1;
    qsizetype byEnd = -1;
    bool unionAfter = false;
    TopLevelScanner(view).scan([&](qsizetype i) {
        if (wordAt(view, i, QLatin1StringView("order"))) {
            qsizetype j = i + 5;
            while (j < view.size() && view[j].isSpace())
                ++j;
            if (wordAt(view, j, QLatin1StringView("by"))) {
                orderAt = i;
                byEnd = j + 2;
                unionAfter = false;
            }
        } else if (orderAt >= 0 && wordAt(view, i, QLatin1StringView("union"))) {
            unionAfter = true;
        }
    });
    if (orderAt < 0 || unionAfter)
        return std::nullopt;
    OrderSplit split;
    split.head = view.left(orderAt).trimmed().toString();
    split.orderBy = view.mid(byEnd).trimmed().toString();
    if (split.head.isEmpty() || split.orderBy.isEmpty())
        return std::nullopt;
    return split;
}

QStringList filteredStatements(QStringView statement, QStringView filter)
{
    const QString condition = QStringLiteral(" as qv_f where (") + filter.trimmed().toString() + QLatin1Char(')');
    QStringList candidates;
    static const QRegularExpression topQuery(QStringLiteral(R"(^\s*select\s+(distinct\s+|distinctrow\s+)?top\s)"),
                                             QRegularExpression::CaseInsensitiveOption);
    const auto split = splitTrailingOrderBy(statement);
    // TOP n takes the first rows of its order: that order has to stay inside.
    if (split && !topQuery.match(split->head).hasMatch()) {
        QStringList terms;
        for (const QString &term : splitTopLevelCommas(split->orderBy)) {
            const auto plain = plainOrderTerm(term);
            if (!plain) {
                terms.clear();
                break;
            }
            terms.append(*plain);
        }
        if (!terms.isEmpty()) {
            candidates.append(QStringLiteral("select * from (") + split->head + QLatin1Char(')') + condition
                              + QStringLiteral(" order by ") + terms.join(QStringLiteral(", ")));
        }
    }
    candidates.append(QStringLiteral("select * from (") + withoutTrailingSemicolons(statement) + QLatin1Char(')')
                      + condition);
    return candidates;
}

} // namespace qv::server
