// Tokens of the statement text.
#pragma once

#include "sql/TranslateError.h"

#include <QString>

namespace qv::sql {

enum class TokenKind {
    End,
    Identifier,        // a plain name or keyword; keywords are told apart by the parser
    BracketIdentifier, // [a name], text without the brackets
    String,            // 'text' or "text", text unescaped
    Integer,           // digits only
    Number,            // with a decimal point or an exponent
    Date,              // #...#, text between the signs
    Symbol,            // operators and punctuation
};

struct Token {
    TokenKind kind = TokenKind::End;
    QString text;
    SourcePos pos;
    int length = 0;

    bool isSymbol(QStringView s) const { return kind == TokenKind::Symbol && text == s; }
    // Case-insensitive keyword test; bracketed names are never keywords.
    bool isKeyword(QStringView k) const
    {
        return kind == TokenKind::Identifier && text.compare(k, Qt::CaseInsensitive) == 0;
    }
};

} // namespace qv::sql
