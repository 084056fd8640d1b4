// Parses one statement of the original dialect into the engine-neutral tree.
// Re-entrant: all state lives in the Parser object.
#pragma once

#include "sql/Ast.h"
#include "sql/Token.h"

#include <QStringView>
#include <vector>

namespace qv::sql {

class Parser {
public:
    explicit Parser(QStringView text) : m_text(text) {}

    // Throws TranslateException (phase Lex or Parse) on malformed text.
    std::unique_ptr<Statement> parseStatement();

private:
    // statements (Parser.cpp)
    std::unique_ptr<Statement> parseSelectStatement();
    std::unique_ptr<Statement> parseInsert();
    std::unique_ptr<Statement> parseUpdate();
    std::unique_ptr<Statement> parseDelete();
    std::unique_ptr<Statement> parseCreateTable();
    std::unique_ptr<Statement> parseDropTable();

    // queries and FROM (ParserQuery.cpp)
    QueryPtr parseQuery();
    SelectPtr parseQueryBranch();
    SelectPtr parseSelectCore();
    void parseSelectItems(Select &select);
    std::vector<TableRefPtr> parseFromList();
    TableRefPtr parseJoinChain();
    TableRefPtr parseTablePrimary();
    TableRefPtr parseTableName();
    QString parseOptionalAlias();
    std::vector<OrderItem> parseOrderBy();
    void normalizeAliasJoins(std::vector<TableRefPtr> &from);

    // expressions (ParserExpr.cpp)
    ExprPtr parseExpr();
    ExprPtr parseOr();
    ExprPtr parseAnd();
    ExprPtr parseNot();
    ExprPtr parseComparison();
    ExprPtr parseConcat();
    ExprPtr parseAdditive();
    ExprPtr parseModulo();
    ExprPtr parseIntDivide();
    ExprPtr parseMultiplicative();
    ExprPtr parseUnary();
    ExprPtr parsePower();
    ExprPtr parsePrimary();
    ExprPtr parseParenthesized();
    ExprPtr parseName();
    ExprPtr parseFunction(const Token &name);
    ExprPtr parseCase();
    ExprPtr parseDateLiteral(const Token &t);
    ExprPtr makeBinary(BinaryOp op, ExprPtr left, ExprPtr right, SourcePos pos);

    // tokens
    const Token &peek(int ahead = 0) const;
    const Token &next();
    bool acceptKeyword(QStringView k);
    bool acceptSymbol(QStringView s);
    void expectKeyword(QStringView k);
    void expectSymbol(QStringView s);
    QString expectName(const QString &what);
    bool atQueryStart() const; // SELECT, or ( ... SELECT
    bool isReserved(const Token &t) const;
    [[noreturn]] void fail(const Token &at, const QString &message) const;
    [[noreturn]] void failUnexpected(const Token &at, const QString &expected) const;

    QStringView m_text;
    std::vector<Token> m_tokens;
    size_t m_index = 0;
    int m_depth = 0; // nesting guard against stack exhaustion
};

// Words that cannot be a plain name (they must be bracketed to be one).
bool isReservedWord(QStringView word);

// A date literal's text (#...#) as canonical date text, or empty when it is not
// a date. Accepts yyyy-mm-dd, yyyy/mm/dd and m/d/yyyy, each with an optional time.
QString dateLiteralText(QStringView text);

} // namespace qv::sql
