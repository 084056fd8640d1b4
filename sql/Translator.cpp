#include "sql/Translator.h"

#include "sql/Emitter.h"
#include "sql/Parser.h"

namespace qv::sql {

Translator::Translator(Catalog catalog) : m_catalog(std::move(catalog)) {}

TranslateResult Translator::translateUncached(QStringView sql, Engine engine)
{
    ++m_translations;
    TranslateResult result;
    try {
        std::unique_ptr<Statement> statement = Parser(sql).parseStatement();
        BindResult bound = Binder(m_catalog, sql).bind(*statement);
        result.sql = Emitter(dialectFor(engine), sql, bound.attachments).statement(*statement);
        result.kind = statement->kind;
        result.columns = QList<ResultColumn>(bound.columns.begin(), bound.columns.end());
        result.columnsKnown = bound.columnsKnown;
        result.attachments = QList<Attachment>(bound.attachments.begin(), bound.attachments.end());
        result.afterSql = identitySync(dialectFor(engine), bound.identityTable, bound.identityColumn);
        result.ok = true;
        if (statement->kind == StatementKind::CreateTable) {
            result.createsTable.name = statement->table->boundName;
            for (const ColumnDef &c : statement->columnDefs)
                result.createsTable.columns.push_back({c.name, c.type});
        }
    } catch (const TranslateException &e) {
        result = TranslateResult();
        result.error = e.error;
    }
    applyCatalogEffect(result);
    return result;
}

TranslateResult Translator::translate(QStringView sql, Engine engine)
{
    QHash<QString, TranslateResult> &cache = m_cache[size_t(engine)];
    const QString key = sql.toString();
    const auto it = cache.constFind(key);
    if (it != cache.constEnd()) {
        TranslateResult cached = it.value();
        applyCatalogEffect(cached);
        return cached;
    }
    TranslateResult result = translateUncached(sql, engine);
    if (cache.size() >= m_cacheLimit)
        cache.clear(); // statements carry literal values; keep memory bounded
    cache.insert(key, result);
    return result;
}

// A CREATE TABLE makes its table known to the statements after it, whether it
// was translated now or answered from the cache. A DROP TABLE leaves the
// definition: the engine itself reports a table that no longer exists, and the
// reports that drop and re-create their tables keep their cached statements.
void Translator::applyCatalogEffect(const TranslateResult &result)
{
    if (!result.ok || result.createsTable.name.isEmpty())
        return;
    const CatalogTable &created = result.createsTable;
    const CatalogTable *known = m_catalog.table(created.name);
    bool same = known && known->columns.size() == created.columns.size();
    for (size_t i = 0; same && i < created.columns.size(); ++i) {
        same = known->columns[i].name.compare(created.columns[i].name, Qt::CaseInsensitive) == 0
               && known->columns[i].type == created.columns[i].type;
    }
    if (!same)
        addTable(created);
}

void Translator::addTable(CatalogTable table)
{
    m_catalog.addTable(std::move(table));
    clearCache();
}

bool Translator::removeTable(QStringView name)
{
    if (!m_catalog.removeTable(name))
        return false;
    clearCache();
    return true;
}

int Translator::cacheSize() const
{
    return int(m_cache[0].size() + m_cache[1].size());
}

void Translator::clearCache()
{
    for (auto &cache : m_cache)
        cache.clear();
}

} // namespace qv::sql
