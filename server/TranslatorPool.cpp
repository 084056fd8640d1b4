#include "server/TranslatorPool.h"

#include "sql/runner/SqlRunner.h"

namespace qv::server {

namespace {

void learnExtraTables(sql::Translator &translator, db::Connection &connection)
{
    const auto names = connection.tableNames();
    if (!names)
        return;
    for (const QString &name : *names) {
        if (translator.catalog().table(name))
            continue;
        const auto columns = connection.columns(name);
        if (!columns)
            continue;
        sql::CatalogTable table;
        table.name = name;
        for (const db::TableColumn &c : *columns)
            table.columns.push_back({c.name, sql::typeOfKind(c.kind)});
        translator.addTable(std::move(table));
    }
}

} // namespace

std::shared_ptr<sql::Translator> TranslatorPool::get(const QString &key, schema::Database kind,
                                                     db::Connection &connection)
{
    const QString poolKey = QString::number(int(kind)) + QLatin1Char(':') + key;
    if (auto existing = m_translators.value(poolKey).lock())
        return existing;
    auto translator = std::make_shared<sql::Translator>(sql::Catalog::fromSchema(m_schema, kind));
    learnExtraTables(*translator, connection);
    m_translators.insert(poolKey, translator);
    // Drop entries of translators nobody holds any more.
    for (auto it = m_translators.begin(); it != m_translators.end();) {
        if (it->expired())
            it = m_translators.erase(it);
        else
            ++it;
    }
    return translator;
}

} // namespace qv::server
