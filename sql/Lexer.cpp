#include "sql/Lexer.h"

namespace qv::sql {

bool isIdentifierStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isIdentifierPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

QChar Lexer::peek(int ahead) const
{
    const int i = m_offset + ahead;
    return i < m_text.size() ? m_text[i] : QChar();
}

void Lexer::advance(int count)
{
    for (int i = 0; i < count && m_offset < m_text.size(); ++i) {
        if (m_text[m_offset] == QLatin1Char('\n')) {
            ++m_line;
            m_column = 1;
        } else {
            ++m_column;
        }
        ++m_offset;
    }
}

void Lexer::fail(SourcePos pos, const QString &message) const
{
    throw TranslateException{makeError(Phase::Lex, m_text, pos, message)};
}

std::vector<Token> Lexer::tokenize()
{
    std::vector<Token> tokens;
    for (;;) {
        while (m_offset < m_text.size() && peek().isSpace())
            advance();
        if (m_offset >= m_text.size())
            break;
        const QChar c = peek();
        Token t;
        if (isIdentifierStart(c))
            t = readIdentifier();
        else if (c == QLatin1Char('['))
            t = readBracket();
        else if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            t = readString(c);
        else if (c == QLatin1Char('#'))
            t = readDate();
        else if (c.isDigit()
                 || (c == QLatin1Char('.') && peek(1).isDigit() && m_previous != TokenKind::Identifier
                     && m_previous != TokenKind::BracketIdentifier))
            t = readNumber();
        else
            t = readSymbol();
        m_previous = t.kind;
        tokens.push_back(std::move(t));
    }
    Token end;
    end.pos = here();
    tokens.push_back(end);
    return tokens;
}

Token Lexer::readIdentifier()
{
    Token t;
    t.kind = TokenKind::Identifier;
    t.pos = here();
    while (m_offset < m_text.size() && isIdentifierPart(peek()))
        advance();
    t.length = m_offset - t.pos.offset;
    t.text = m_text.mid(t.pos.offset, t.length).toString();
    return t;
}

Token Lexer::readBracket()
{
    Token t;
    t.kind = TokenKind::BracketIdentifier;
    t.pos = here();
    advance();
    const int start = m_offset;
    while (m_offset < m_text.size() && peek() != QLatin1Char(']'))
        advance();
    if (m_offset >= m_text.size())
        fail(t.pos, QStringLiteral("unterminated bracketed name"));
    t.text = m_text.mid(start, m_offset - start).toString();
    advance();
    t.length = m_offset - t.pos.offset;
    if (t.text.trimmed().isEmpty())
        fail(t.pos, QStringLiteral("empty bracketed name"));
    return t;
}

Token Lexer::readString(QChar quote)
{
    Token t;
    t.kind = TokenKind::String;
    t.pos = here();
    advance();
    QString value;
    for (;;) {
        if (m_offset >= m_text.size())
            fail(t.pos, QStringLiteral("unterminated string"));
        const QChar c = peek();
        if (c == quote) {
            if (peek(1) == quote) { // a doubled quote stands for itself
                value += quote;
                advance(2);
                continue;
            }
            advance();
            break;
        }
        value += c;
        advance();
    }
    t.text = value;
    t.length = m_offset - t.pos.offset;
    return t;
}

Token Lexer::readNumber()
{
    Token t;
    t.kind = TokenKind::Integer;
    t.pos = here();
    while (peek().isDigit())
        advance();
    if (peek() == QLatin1Char('.')) {
        t.kind = TokenKind::Number;
        advance();
        while (peek().isDigit())
            advance();
    }
    if ((peek() == QLatin1Char('e') || peek() == QLatin1Char('E'))
        && (peek(1).isDigit()
            || ((peek(1) == QLatin1Char('+') || peek(1) == QLatin1Char('-')) && peek(2).isDigit()))) {
        t.kind = TokenKind::Number;
        advance(2);
        while (peek().isDigit())
            advance();
    }
    if (isIdentifierStart(peek()))
        fail(here(), QStringLiteral("malformed number"));
    t.length = m_offset - t.pos.offset;
    t.text = m_text.mid(t.pos.offset, t.length).toString();
    return t;
}

Token Lexer::readDate()
{
    Token t;
    t.kind = TokenKind::Date;
    t.pos = here();
    advance();
    const int start = m_offset;
    while (m_offset < m_text.size() && peek() != QLatin1Char('#') && peek() != QLatin1Char('\n'))
        advance();
    if (peek() != QLatin1Char('#'))
        fail(t.pos, QStringLiteral("unterminated date literal"));
    t.text = m_text.mid(start, m_offset - start).toString().trimmed();
    advance();
    t.length = m_offset - t.pos.offset;
    return t;
}

Token Lexer::readSymbol()
{
    static const char *const twoChar[] = {"<>", "<=", ">=", "!="};
    Token t;
    t.kind = TokenKind::Symbol;
    t.pos = here();
    for (const char *s : twoChar) {
        if (peek() == QLatin1Char(s[0]) && peek(1) == QLatin1Char(s[1])) {
            t.text = QString::fromLatin1(s);
            advance(2);
            t.length = 2;
            return t;
        }
    }
    static const QString single = QStringLiteral("(),.;*+-/\\&=<>^?!");
    if (!single.contains(peek()))
        fail(t.pos, QStringLiteral("unexpected character '%1'").arg(peek()));
    t.text = peek();
    advance();
    t.length = 1;
    return t;
}

} // namespace qv::sql
