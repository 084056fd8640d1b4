#include "client/core/dataset/FilterExpression.h"

#include "client/core/dataset/DataSet.h"

#include <QRegularExpression>

#include <vector>

namespace qv::client {

struct FilterExpression::Node {
    enum Kind { Or, And, Not, Compare, IsNull, Like, In };
    Kind kind = Compare;
    QString op; // comparison operator
    bool negated = false;
    std::unique_ptr<Node> left;
    std::unique_ptr<Node> right;
    // Operands: a field name or a literal value.
    struct Operand {
        bool isField = false;
        QString name;
        QVariant value;
    };
    Operand a;
    Operand b;
    std::vector<Operand> list;
    QRegularExpression pattern;
};

namespace {

using Node = FilterExpression::Node;
using Operand = Node::Operand;

struct Token {
    enum Kind { End, Name, Number, String, Symbol, Word };
    Kind kind = End;
    QString text;
    QVariant value;
    int position = 0;
};

class Parser {
public:
    explicit Parser(const QString &text)
        : m_text(text)
    {
    }

    std::unique_ptr<Node> parse(QString *error)
    {
        if (!tokenize()) {
            *error = m_error;
            return nullptr;
        }
        auto root = parseOr();
        if (root && peek().kind != Token::End)
            fail(QStringLiteral("多余的'%1'").arg(peek().text));
        if (!m_error.isEmpty()) {
            *error = m_error;
            return nullptr;
        }
        return root;
    }

private:
    bool tokenize()
    {
        int i = 0;
        const int n = int(m_text.size());
        while (i < n) {
            const QChar c = m_text[i];
            if (c.isSpace()) {
                ++i;
                continue;
            }
            Token t;
            t.position = i + 1;
            if (c == u'\'' || c == u'"') {
                QString s;
                int j = i + 1;
                bool closed = false;
                while (j < n) {
                    if (m_text[j] == c) {
                        if (j + 1 < n && m_text[j + 1] == c) {
                            s += c;
                            j += 2;
                            continue;
                        }
                        closed = true;
                        break;
                    }
                    s += m_text[j++];
                }
                if (!closed)
                    return failAt(t.position, QStringLiteral("文字没有结束引号"));
                t.kind = Token::String;
                t.text = s;
                t.value = s;
                i = j + 1;
            } else if (c == u'[') {
                const qsizetype close = m_text.indexOf(u']', i);
                if (close < 0)
                    return failAt(t.position, QStringLiteral("字段名没有结束的']'"));
                t.kind = Token::Name;
                t.text = m_text.mid(i + 1, close - i - 1);
                i = int(close) + 1;
            } else if (c.isDigit() || (c == u'.' && i + 1 < n && m_text[i + 1].isDigit())) {
                int j = i;
                while (j < n && (m_text[j].isDigit() || m_text[j] == u'.'))
                    ++j;
                t.kind = Token::Number;
                t.text = m_text.mid(i, j - i);
                bool ok = false;
                if (t.text.contains(u'.'))
                    t.value = t.text.toDouble(&ok);
                else
                    t.value = t.text.toLongLong(&ok);
                if (!ok)
                    return failAt(t.position, QStringLiteral("'%1'不是数字").arg(t.text));
                i = j;
            } else if (c.isLetter() || c == u'_') {
                int j = i;
                while (j < n && (m_text[j].isLetterOrNumber() || m_text[j] == u'_'))
                    ++j;
                t.text = m_text.mid(i, j - i);
                static const QStringList words = {QStringLiteral("and"), QStringLiteral("or"),
                                                  QStringLiteral("not"), QStringLiteral("like"),
                                                  QStringLiteral("is"), QStringLiteral("null"),
                                                  QStringLiteral("in"), QStringLiteral("true"),
                                                  QStringLiteral("false")};
                t.kind = words.contains(t.text.toLower()) ? Token::Word : Token::Name;
                if (t.kind == Token::Word)
                    t.text = t.text.toLower();
                i = j;
            } else {
                static const QStringList two = {QStringLiteral("<>"), QStringLiteral("!="),
                                                QStringLiteral("<="), QStringLiteral(">=")};
                const QString pair = m_text.mid(i, 2);
                t.kind = Token::Symbol;
                if (two.contains(pair)) {
                    t.text = pair;
                    i += 2;
                } else if (QStringLiteral("=<>(),").contains(c)) {
                    t.text = c;
                    ++i;
                } else {
                    return failAt(t.position, QStringLiteral("不认识的字符'%1'").arg(c));
                }
            }
            m_tokens.push_back(t);
        }
        Token end;
        end.position = n + 1;
        m_tokens.push_back(end);
        return true;
    }

    const Token &peek() const { return m_tokens[m_pos]; }
    Token take() { return m_tokens[m_pos < m_tokens.size() - 1 ? m_pos++ : m_pos]; }
    bool isWord(const char *w) const { return peek().kind == Token::Word && peek().text == QLatin1String(w); }
    bool isSymbol(const char *s) const { return peek().kind == Token::Symbol && peek().text == QLatin1String(s); }

    bool failAt(int position, const QString &message)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("过滤条件第%1个字符: %2").arg(position).arg(message);
        return false;
    }
    std::unique_ptr<Node> fail(const QString &message)
    {
        failAt(peek().position, message);
        return nullptr;
    }

    std::unique_ptr<Node> parseOr()
    {
        auto left = parseAnd();
        while (left && isWord("or")) {
            take();
            auto node = std::make_unique<Node>();
            node->kind = Node::Or;
            node->left = std::move(left);
            node->right = parseAnd();
            if (!node->right)
                return nullptr;
            left = std::move(node);
        }
        return left;
    }

    std::unique_ptr<Node> parseAnd()
    {
        auto left = parseNot();
        while (left && isWord("and")) {
            take();
            auto node = std::make_unique<Node>();
            node->kind = Node::And;
            node->left = std::move(left);
            node->right = parseNot();
            if (!node->right)
                return nullptr;
            left = std::move(node);
        }
        return left;
    }

    std::unique_ptr<Node> parseNot()
    {
        if (isWord("not")) {
            take();
            auto node = std::make_unique<Node>();
            node->kind = Node::Not;
            node->left = parseNot();
            return node->left ? std::move(node) : nullptr;
        }
        if (isSymbol("(")) {
            take();
            auto inner = parseOr();
            if (!inner)
                return nullptr;
            if (!isSymbol(")"))
                return fail(QStringLiteral("缺少')'"));
            take();
            return inner;
        }
        return parseCondition();
    }

    bool parseOperand(Operand &operand)
    {
        const Token t = peek();
        if (t.kind == Token::Name) {
            operand.isField = true;
            operand.name = t.text;
        } else if (t.kind == Token::Number || t.kind == Token::String) {
            operand.value = t.value;
        } else if (t.kind == Token::Word && (t.text == u"true" || t.text == u"false")) {
            operand.value = t.text == u"true";
        } else {
            fail(t.kind == Token::End ? QStringLiteral("条件不完整") : QStringLiteral("应为字段或值"));
            return false;
        }
        take();
        return true;
    }

    std::unique_ptr<Node> parseCondition()
    {
        auto node = std::make_unique<Node>();
        if (!parseOperand(node->a))
            return nullptr;
        if (isWord("is")) {
            take();
            node->kind = Node::IsNull;
            if (isWord("not")) {
                take();
                node->negated = true;
            }
            if (!isWord("null"))
                return fail(QStringLiteral("'is'后应为null"));
            take();
            return node;
        }
        if (isWord("not")) {
            take();
            node->negated = true;
            if (!isWord("like") && !isWord("in"))
                return fail(QStringLiteral("'not'后应为like或in"));
        }
        if (isWord("like")) {
            take();
            node->kind = Node::Like;
            if (peek().kind != Token::String)
                return fail(QStringLiteral("like后应为文字"));
            node->pattern = likePattern(take().text);
            return node;
        }
        if (isWord("in")) {
            take();
            node->kind = Node::In;
            if (!isSymbol("("))
                return fail(QStringLiteral("in后应为'('"));
            take();
            do {
                Operand item;
                if (!parseOperand(item))
                    return nullptr;
                node->list.push_back(item);
                if (!isSymbol(","))
                    break;
                take();
            } while (true);
            if (!isSymbol(")"))
                return fail(QStringLiteral("缺少')'"));
            take();
            return node;
        }
        static const QStringList ops = {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("!="),
                                        QStringLiteral("<"), QStringLiteral(">"), QStringLiteral("<="),
                                        QStringLiteral(">=")};
        if (peek().kind != Token::Symbol || !ops.contains(peek().text))
            return fail(QStringLiteral("应为比较运算符"));
        node->kind = Node::Compare;
        node->op = take().text;
        if (node->op == u"!=")
            node->op = QStringLiteral("<>");
        if (!parseOperand(node->b))
            return nullptr;
        return node;
    }

    static QRegularExpression likePattern(const QString &like)
    {
        QString rx = QStringLiteral("^");
        for (const QChar c : like) {
            if (c == u'%' || c == u'*')
                rx += QStringLiteral(".*");
            else if (c == u'_' || c == u'?')
                rx += u'.';
            else
                rx += QRegularExpression::escape(QString(c));
        }
        rx += u'$';
        return QRegularExpression(rx, QRegularExpression::CaseInsensitiveOption
                                          | QRegularExpression::DotMatchesEverythingOption);
    }

    QString m_text;
    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    QString m_error;
};

// The operand's value in the active record; `type` receives the field's type.
QVariant operandValue(DataSet &ds, const Operand &o, std::optional<FieldType> &type)
{
    if (!o.isField)
        return o.value;
    const Field *f = ds.fieldByName(o.name);
    if (!f)
        return QVariant();
    type = f->type();
    return f->value();
}

// A literal read as a value of the other side's field type.
QVariant asType(const QVariant &v, std::optional<FieldType> type)
{
    if (!type || !v.isValid())
        return v;
    return toFieldValue(*type, v).value_or(v);
}

bool evaluate(const Node &n, DataSet &ds)
{
    switch (n.kind) {
    case Node::Or: return evaluate(*n.left, ds) || evaluate(*n.right, ds);
    case Node::And: return evaluate(*n.left, ds) && evaluate(*n.right, ds);
    case Node::Not: return !evaluate(*n.left, ds);
    case Node::IsNull: {
        std::optional<FieldType> t;
        return operandValue(ds, n.a, t).isValid() == n.negated;
    }
    case Node::Like: {
        std::optional<FieldType> t;
        const QVariant v = operandValue(ds, n.a, t);
        if (!v.isValid())
            return false;
        return n.pattern.match(v.toString()).hasMatch() != n.negated;
    }
    case Node::In: {
        std::optional<FieldType> t;
        const QVariant v = operandValue(ds, n.a, t);
        if (!v.isValid())
            return false;
        bool found = false;
        for (const Operand &item : n.list) {
            std::optional<FieldType> it;
            const QVariant w = asType(operandValue(ds, item, it), t);
            found = found || compareValues(v, w, Qt::CaseInsensitive) == 0;
        }
        return found != n.negated;
    }
    case Node::Compare: {
        std::optional<FieldType> ta;
        std::optional<FieldType> tb;
        QVariant a = operandValue(ds, n.a, ta);
        QVariant b = operandValue(ds, n.b, tb);
        if (!n.a.isField)
            a = asType(a, tb);
        if (!n.b.isField)
            b = asType(b, ta);
        if (!a.isValid() || !b.isValid())
            return false;
        const int c = compareValues(a, b, Qt::CaseInsensitive);
        if (n.op == u"=") return c == 0;
        if (n.op == u"<>") return c != 0;
        if (n.op == u"<") return c < 0;
        if (n.op == u">") return c > 0;
        if (n.op == u"<=") return c <= 0;
        return c >= 0;
    }
    }
    return false;
}

} // namespace

FilterExpression::FilterExpression(std::unique_ptr<Node> root)
    : m_root(std::move(root))
{
}

FilterExpression::~FilterExpression() = default;

std::shared_ptr<FilterExpression> FilterExpression::parse(const QString &text, QString *error)
{
    QString message;
    Parser parser(text);
    auto root = parser.parse(&message);
    if (!root) {
        if (error)
            *error = message.isEmpty() ? QStringLiteral("过滤条件为空") : message;
        return nullptr;
    }
    return std::shared_ptr<FilterExpression>(new FilterExpression(std::move(root)));
}

bool FilterExpression::matches(DataSet &dataSet) const
{
    return m_root && evaluate(*m_root, dataSet);
}

} // namespace qv::client
