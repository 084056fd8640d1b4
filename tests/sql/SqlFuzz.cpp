// libFuzzer target over the whole dialect engine: any text goes through the
// lexer, parser, binder and both emitters, against the real schema. Beyond
// crashes and the sanitizers' findings it checks two properties: translating
// the same text twice gives the same result, and a parsed statement printed in
// its canonical form parses back to the same canonical form.
//
// Built only with -DQV_FUZZ=ON and clang (tests/sql/CMakeLists.txt tells how).
#include "sql/AstPrinter.h"
#include "sql/Parser.h"
#include "sql/Translator.h"

#include "schema/Schema.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace qv;
using namespace qv::sql;

namespace {

const Catalog &baseCatalog()
{
    static const Catalog catalog = [] {
        const schema::Schema &schema = schema::Schema::builtIn();
        Catalog c = Catalog::fromSchema(schema, schema::Database::Business);
        for (const schema::Table *t : schema.tables(schema::Database::Registry))
            c.addTable(*t);
        return c;
    }();
    return catalog;
}

[[noreturn]] void broken(const char *what, const QString &text, const QString &detail)
{
    std::fprintf(stderr, "%s\n  input: %s\n  %s\n", what, qPrintable(text), qPrintable(detail));
    std::abort();
}

void checkCanonicalForm(const QString &text)
{
    QString first;
    try {
        first = printStatement(*Parser(text).parseStatement());
    } catch (const TranslateException &) {
        return; // malformed input: refusing it is the right answer
    }
    try {
        const QString second = printStatement(*Parser(first).parseStatement());
        if (second != first)
            broken("the canonical form does not print back to itself", text, first + QStringLiteral("\n  ") + second);
    } catch (const TranslateException &e) {
        // Parentheses around every operation deepen the nesting: a form that
        // only passes the depth limit is refused cleanly, which is no fault.
        if (!e.error.message.contains(QLatin1String("nested too deeply")))
            broken("the canonical form does not parse", text, first + QStringLiteral("\n  ") + e.error.toString());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0; // statements of the system stay far below this
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const Engine engine : {Engine::Sqlite, Engine::Postgres}) {
        Translator translator(baseCatalog()); // a fresh catalog: CREATE TABLE inputs do not accumulate
        const TranslateResult a = translator.translateUncached(text, engine);
        Translator again(baseCatalog());
        const TranslateResult b = again.translateUncached(text, engine);
        if (a.ok != b.ok || a.sql != b.sql || a.error.toString() != b.error.toString())
            broken("translation is not deterministic", text, a.sql + QStringLiteral("\n  ") + b.sql);
        if (!a.ok && a.error.message.isEmpty())
            broken("a failure without a message", text, a.error.toString());
    }
    checkCanonicalForm(text);
    return 0;
}
