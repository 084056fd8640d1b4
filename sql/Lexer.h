// Splits a statement into tokens. Date literals between '#' signs are read in a
// mode of their own, so a '#' never reaches the parser as an operator.
#pragma once

#include "sql/Token.h"

#include <QStringView>
#include <vector>

namespace qv::sql {

class Lexer {
public:
    explicit Lexer(QStringView text) : m_text(text) {}

    // All tokens followed by one End token; throws TranslateException on a
    // malformed token (unterminated string, name or date, stray character).
    std::vector<Token> tokenize();

private:
    QChar peek(int ahead = 0) const;
    void advance(int count = 1);
    SourcePos here() const { return {m_offset, m_line, m_column}; }
    [[noreturn]] void fail(SourcePos pos, const QString &message) const;

    Token readIdentifier();
    Token readBracket();
    Token readString(QChar quote);
    Token readNumber();
    Token readDate();
    Token readSymbol();

    QStringView m_text;
    int m_offset = 0;
    int m_line = 1;
    int m_column = 1;
    TokenKind m_previous = TokenKind::End;
};

bool isIdentifierStart(QChar c);
bool isIdentifierPart(QChar c);

} // namespace qv::sql
