#include "sql/Parser.h"

#include "sql/Lexer.h"

#include <QSet>

namespace qv::sql {

namespace {

// Words that end an expression or a name list; they are never taken as an alias.
const QSet<QString> &reservedWords()
{
    static const QSet<QString> words = {
        QStringLiteral("select"), QStringLiteral("from"), QStringLiteral("where"),
        QStringLiteral("group"), QStringLiteral("by"), QStringLiteral("having"),
        QStringLiteral("order"), QStringLiteral("union"), QStringLiteral("all"),
        QStringLiteral("distinct"), QStringLiteral("distinctrow"), QStringLiteral("top"),
        QStringLiteral("as"), QStringLiteral("on"), QStringLiteral("inner"),
        QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("outer"),
        QStringLiteral("join"), QStringLiteral("full"), QStringLiteral("cross"),
        QStringLiteral("and"), QStringLiteral("or"), QStringLiteral("not"),
        QStringLiteral("xor"), QStringLiteral("like"), QStringLiteral("between"),
        QStringLiteral("in"), QStringLiteral("is"), QStringLiteral("null"),
        QStringLiteral("exists"), QStringLiteral("case"), QStringLiteral("when"),
        QStringLiteral("then"), QStringLiteral("else"), QStringLiteral("end"),
        QStringLiteral("set"), QStringLiteral("values"), QStringLiteral("into"),
        QStringLiteral("insert"), QStringLiteral("update"), QStringLiteral("delete"),
        QStringLiteral("create"), QStringLiteral("drop"), QStringLiteral("table"),
        QStringLiteral("asc"), QStringLiteral("desc"), QStringLiteral("mod"),
        QStringLiteral("percent"),
    };
    return words;
}

} // namespace

bool isReservedWord(QStringView word)
{
    return reservedWords().contains(word.toString().toLower());
}

const Token &Parser::peek(int ahead) const
{
    const size_t i = std::min(m_index + size_t(ahead), m_tokens.size() - 1);
    return m_tokens[i];
}

const Token &Parser::next()
{
    const Token &t = m_tokens[m_index];
    if (m_index + 1 < m_tokens.size())
        ++m_index;
    return t;
}

bool Parser::acceptKeyword(QStringView k)
{
    if (!peek().isKeyword(k))
        return false;
    next();
    return true;
}

bool Parser::acceptSymbol(QStringView s)
{
    if (!peek().isSymbol(s))
        return false;
    next();
    return true;
}

void Parser::expectKeyword(QStringView k)
{
    if (!acceptKeyword(k))
        failUnexpected(peek(), k.toString().toUpper());
}

void Parser::expectSymbol(QStringView s)
{
    if (!acceptSymbol(s))
        failUnexpected(peek(), QStringLiteral("'%1'").arg(s));
}

QString Parser::expectName(const QString &what)
{
    const Token &t = peek();
    if (t.kind == TokenKind::BracketIdentifier || (t.kind == TokenKind::Identifier && !isReserved(t))) {
        next();
        return t.text;
    }
    failUnexpected(t, what);
}

bool Parser::isReserved(const Token &t) const
{
    return t.kind == TokenKind::Identifier && isReservedWord(t.text);
}

bool Parser::atQueryStart() const
{
    int i = 0;
    while (peek(i).isSymbol(u"("))
        ++i;
    return peek(i).isKeyword(u"select");
}

void Parser::fail(const Token &at, const QString &message) const
{
    throw TranslateException{makeError(Phase::Parse, m_text, at.pos, message)};
}

void Parser::failUnexpected(const Token &at, const QString &expected) const
{
    QString found;
    switch (at.kind) {
    case TokenKind::End: found = QStringLiteral("end of statement"); break;
    case TokenKind::String: found = QStringLiteral("text '%1'").arg(at.text); break;
    case TokenKind::Date: found = QStringLiteral("date #%1#").arg(at.text); break;
    case TokenKind::BracketIdentifier: found = QStringLiteral("[%1]").arg(at.text); break;
    default: found = QStringLiteral("'%1'").arg(at.text); break;
    }
    fail(at, QStringLiteral("expected %1 but found %2").arg(expected, found));
}

std::unique_ptr<Statement> Parser::parseStatement()
{
    m_tokens = Lexer(m_text).tokenize();
    m_index = 0;
    std::unique_ptr<Statement> statement;
    const Token &first = peek();
    if (atQueryStart())
        statement = parseSelectStatement();
    else if (first.isKeyword(u"insert"))
        statement = parseInsert();
    else if (first.isKeyword(u"update"))
        statement = parseUpdate();
    else if (first.isKeyword(u"delete"))
        statement = parseDelete();
    else if (first.isKeyword(u"create"))
        statement = parseCreateTable();
    else if (first.isKeyword(u"drop"))
        statement = parseDropTable();
    else
        failUnexpected(first, QStringLiteral("SELECT, INSERT, UPDATE, DELETE, CREATE TABLE or DROP TABLE"));
    while (acceptSymbol(u";")) {
    }
    if (peek().kind != TokenKind::End)
        failUnexpected(peek(), QStringLiteral("end of statement"));
    return statement;
}

std::unique_ptr<Statement> Parser::parseSelectStatement()
{
    auto s = std::make_unique<Statement>();
    s->kind = StatementKind::Select;
    s->pos = peek().pos;
    s->query = parseQuery();
    return s;
}

std::unique_ptr<Statement> Parser::parseInsert()
{
    auto s = std::make_unique<Statement>();
    s->kind = StatementKind::Insert;
    s->pos = next().pos;
    expectKeyword(u"into");
    s->table = parseTableName();
    if (peek().isSymbol(u"(") && !atQueryStart()) {
        next();
        do {
            s->columnPos.push_back(peek().pos);
            s->columns << expectName(QStringLiteral("a column name"));
        } while (acceptSymbol(u","));
        expectSymbol(u")");
    }
    if (acceptKeyword(u"values")) {
        expectSymbol(u"(");
        do {
            s->values.push_back(parseExpr());
        } while (acceptSymbol(u","));
        expectSymbol(u")");
    } else if (atQueryStart()) {
        s->query = parseQuery();
    } else {
        failUnexpected(peek(), QStringLiteral("VALUES or SELECT"));
    }
    return s;
}

std::unique_ptr<Statement> Parser::parseUpdate()
{
    auto s = std::make_unique<Statement>();
    s->kind = StatementKind::Update;
    s->pos = next().pos;
    s->sources = parseFromList();
    expectKeyword(u"set");
    do {
        Assignment a;
        a.pos = peek().pos;
        a.column = expectName(QStringLiteral("a column name"));
        if (acceptSymbol(u".")) {
            a.qualifier = a.column;
            a.column = expectName(QStringLiteral("a column name"));
        }
        expectSymbol(u"=");
        a.value = parseExpr();
        s->assignments.push_back(std::move(a));
    } while (acceptSymbol(u","));
    if (acceptKeyword(u"where"))
        s->where = parseExpr();
    return s;
}

std::unique_ptr<Statement> Parser::parseDelete()
{
    auto s = std::make_unique<Statement>();
    s->kind = StatementKind::Delete;
    s->pos = next().pos;
    // DELETE * FROM t and DELETE t.* FROM t mean the same as DELETE FROM t.
    if (!peek().isKeyword(u"from")) {
        if (!acceptSymbol(u"*")) {
            expectName(QStringLiteral("FROM"));
            expectSymbol(u".");
            expectSymbol(u"*");
        }
    }
    expectKeyword(u"from");
    s->table = parseTableName();
    if (peek().kind == TokenKind::Identifier && !isReserved(peek()))
        s->table->alias = next().text;
    if (acceptKeyword(u"where"))
        s->where = parseExpr();
    return s;
}

std::unique_ptr<Statement> Parser::parseCreateTable()
{
    auto s = std::make_unique<Statement>();
    s->kind = StatementKind::CreateTable;
    s->pos = next().pos;
    expectKeyword(u"table");
    s->table = parseTableName();
    expectSymbol(u"(");
    do {
        ColumnDef c;
        c.pos = peek().pos;
        c.name = expectName(QStringLiteral("a column name"));
        const Token &type = peek();
        if (type.kind != TokenKind::Identifier)
            failUnexpected(type, QStringLiteral("a column type"));
        next();
        c.typeName = type.text.toLower();
        if (acceptSymbol(u"(")) {
            if (peek().kind != TokenKind::Integer)
                failUnexpected(peek(), QStringLiteral("a size"));
            c.size = next().text.toInt();
            if (acceptSymbol(u",")) {
                if (peek().kind != TokenKind::Integer)
                    failUnexpected(peek(), QStringLiteral("a scale"));
                next();
            }
            expectSymbol(u")");
        }
        // Column constraints the statements may carry; the engines get their own.
        for (;;) {
            if (acceptKeyword(u"not")) {
                expectKeyword(u"null");
            } else if (!acceptKeyword(u"null")) {
                break;
            }
        }
        s->columnDefs.push_back(std::move(c));
    } while (acceptSymbol(u","));
    expectSymbol(u")");
    return s;
}

std::unique_ptr<Statement> Parser::parseDropTable()
{
    auto s = std::make_unique<Statement>();
    s->kind = StatementKind::DropTable;
    s->pos = next().pos;
    expectKeyword(u"table");
    s->table = parseTableName();
    return s;
}

} // namespace qv::sql
