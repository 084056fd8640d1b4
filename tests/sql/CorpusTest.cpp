// Every statement of the corpus (tests/sql/corpus/*.sql) and every dataset
// statement of the schema, translated for both engines and run through the
// server's own path (SqlRunner) on the seeded database: on SQLite always, on
// PostgreSQL when QV_TEST_PG names a server. A query must give the same column
// names, types and rows on both engines; a changing statement the same count
// of changed rows. Each test is named after its file and line.
//
// The test registers one case per entry at start (its own main), so the
// seeded databases are built once for the whole corpus.
#include "Corpus.h"
#include "SeededDatabases.h"

#include "common/DayNumber.h"
#include "db/ConnectionFactory.h"
#include "schema/Schema.h"
#include "sql/runner/SqlRunner.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cmath>

using namespace qv;
using namespace qv::sql;
using namespace qv::sql::test;

namespace {

// ---------------------------------------------------------------- values

bool isNumber(const db::Value &v)
{
    const int t = v.typeId();
    return t == QMetaType::LongLong || t == QMetaType::Int || t == QMetaType::Double || t == QMetaType::ULongLong;
}

bool sameValue(const db::Value &a, const db::Value &b)
{
    const bool nullA = db::isNull(a);
    const bool nullB = db::isNull(b);
    if (nullA || nullB)
        return nullA && nullB;
    if (isNumber(a) && isNumber(b)) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return std::abs(x - y) <= 1e-9 * std::max({1.0, std::abs(x), std::abs(y)});
    }
    if (a.typeId() != b.typeId())
        return false;
    return a == b;
}

QString valueText(const db::Value &v)
{
    if (db::isNull(v))
        return QStringLiteral("NULL");
    switch (v.typeId()) {
    case QMetaType::Double: return QString::number(v.toDouble(), 'g', 12);
    case QMetaType::QDateTime: return common::toDateText(v.toDateTime());
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QByteArray: return QStringLiteral("<%1 bytes>").arg(v.toByteArray().size());
    default: return v.toString();
    }
}

QString rowText(const db::Row &row)
{
    QStringList cells;
    for (const db::Value &v : row)
        cells << valueText(v);
    return cells.join(QLatin1Char('|'));
}

// Rows in an order that does not depend on the engine (for "order: none").
QList<db::Row> sortedRows(QList<db::Row> rows)
{
    auto key = [](const db::Row &row) {
        QStringList cells;
        for (const db::Value &v : row)
            cells << (v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 9) : valueText(v));
        return cells.join(QChar(0x1f));
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const db::Row &a, const db::Row &b) { return key(a) < key(b); });
    return rows;
}

bool sameRow(const db::Row &a, const db::Row &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!sameValue(a[i], b[i]))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- engines

struct Outcome {
    bool ok = false;
    QString error;
    QString sql;
    bool returnsRows = false;
    RunResult result;
    qint64 affected = 0;
};

Outcome runOn(SqlRunner &runner, const QString &statement)
{
    Outcome o;
    RunError error;
    const auto translation = runner.translator().translate(statement, runner.engine());
    o.sql = translation.ok ? translation.sql : QString();
    o.returnsRows = translation.returnsRows();
    auto result = runner.run(statement, &error, &o.affected);
    o.ok = bool(result);
    if (result)
        o.result = std::move(*result);
    else
        o.error = error.text();
    return o;
}

// The seeds, and the copies that the entries of the current file work on.
class World {
public:
    bool prepare()
    {
        const QString pg = qEnvironmentVariable("QV_TEST_PG");
        if (!m_seeds.prepare(pg, &m_error))
            return false;
        const auto old = m_seeds.sqliteCopy(QStringLiteral("old"), &m_error);
        if (!old)
            return false;
        m_oldPath = *old;
        return true;
    }
    const QString &error() const { return m_error; }
    bool hasPostgres() const { return m_seeds.hasPostgres(); }

    // Runners positioned at entry 'index' of 'entries': fresh copies when the
    // file changes or a run goes backwards, earlier setup entries applied.
    bool position(const QList<CorpusEntry> &entries, qsizetype index, QString *error)
    {
        const QString file = entries[index].file;
        if (file != m_file || m_next > index) {
            if (!open(file, error))
                return false;
        }
        for (; m_next < index; ++m_next) {
            const CorpusEntry &e = entries[m_next];
            if (!e.setup)
                continue;
            for (SqlRunner *runner : runners()) {
                RunError failure;
                if (!runner->run(statementText(e), &failure)) {
                    *error = QStringLiteral("setup %1 failed on %2: %3")
                                 .arg(e.label(), engineName(runner->engine()), failure.text());
                    return false;
                }
            }
        }
        m_next = index + 1;
        return true;
    }

    QList<SqlRunner *> runners()
    {
        QList<SqlRunner *> list{m_sqlite.get()};
        if (m_postgres)
            list << m_postgres.get();
        return list;
    }
    SqlRunner &sqlite() { return *m_sqlite; }
    SqlRunner *postgres() { return m_postgres.get(); }
    Translator &postgresTranslator() { return m_postgresTranslator; }

    QString statementText(const CorpusEntry &e) const
    {
        QString text = e.sql;
        text.replace(QStringLiteral("${olddb}"), m_oldPath);
        return text;
    }

    void close()
    {
        m_sqlite.reset();
        if (m_postgres) {
            m_postgres.reset();
            m_seeds.dropPostgresCopy(copyName());
        }
        m_file.clear();
    }

private:
    QString copyName() const { return QString(m_file).replace(QLatin1Char('.'), QLatin1Char('_')); }

    bool open(const QString &file, QString *error)
    {
        close();
        m_file = file;
        m_next = 0;
        m_sqliteTranslator = Translator(corpusCatalog());
        m_postgresTranslator = Translator(corpusCatalog());
        const auto path = m_seeds.sqliteCopy(copyName(), error);
        if (!path)
            return false;
        RunError failure;
        m_sqlite = SqlRunner::open(db::ConnectionDescriptor::sqlite(*path), m_sqliteTranslator, &failure);
        if (!m_sqlite) {
            *error = failure.text();
            return false;
        }
        if (!m_seeds.hasPostgres())
            return true;
        const auto conninfo = m_seeds.postgresCopy(copyName(), error);
        if (!conninfo)
            return false;
        m_postgres = SqlRunner::open(db::ConnectionDescriptor::postgres(*conninfo), m_postgresTranslator, &failure);
        if (!m_postgres) {
            *error = failure.text();
            return false;
        }
        return true;
    }

    SeededDatabases m_seeds;
    QString m_error;
    QString m_oldPath;
    QString m_file;
    qsizetype m_next = 0;
    Translator m_sqliteTranslator;
    Translator m_postgresTranslator;
    std::unique_ptr<SqlRunner> m_sqlite;
    std::unique_ptr<SqlRunner> m_postgres;
};

World *g_world = nullptr;
bool g_worldReady = false;

class WorldEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_world = new World;
        g_worldReady = g_world->prepare();
    }
    void TearDown() override
    {
        if (g_world)
            g_world->close();
        delete g_world;
        g_world = nullptr;
    }
};

// ---------------------------------------------------------------- checks

// Statements of the reports run to several thousand characters: messages show
// their start and end.
QString shortened(const QString &text)
{
    constexpr qsizetype kShown = 400;
    if (text.size() <= 2 * kShown)
        return text;
    return text.left(kShown) + QStringLiteral(" ... ") + text.right(kShown);
}

std::string where(const CorpusEntry &e, const QString &statement)
{
    return (e.label() + QStringLiteral("\n  ") + shortened(statement)).toStdString();
}

void expectFailure(const CorpusEntry &e, const Outcome &o, SqlRunner &runner)
{
    const std::string engine = engineName(runner.engine()).toStdString();
    EXPECT_FALSE(o.ok) << e.label().toStdString() << ": expected to fail on " << engine;
    if (!o.ok) {
        EXPECT_TRUE(o.error.contains(*e.expectError, Qt::CaseInsensitive))
            << e.label().toStdString() << " on " << engine << ": error does not name '"
            << e.expectError->toStdString() << "': " << o.error.toStdString();
    }
}

void compareResults(const CorpusEntry &e, const Outcome &a, const Outcome &b)
{
    const std::string sqls = "\n  SQLite:     " + shortened(a.sql).toStdString() + "\n  PostgreSQL: " + shortened(b.sql).toStdString();
    if (!a.returnsRows) {
        EXPECT_EQ(a.affected, b.affected) << e.label().toStdString() << ": changed rows differ" << sqls;
        return;
    }
    QStringList namesA, namesB, typesA, typesB;
    for (const RunColumn &c : a.result.columns) {
        namesA << c.name;
        typesA << sqlTypeName(c.type);
    }
    for (const RunColumn &c : b.result.columns) {
        namesB << c.name;
        typesB << sqlTypeName(c.type);
    }
    ASSERT_EQ(namesA.join(QLatin1Char(',')).toStdString(), namesB.join(QLatin1Char(',')).toStdString())
        << e.label().toStdString() << ": column names differ" << sqls;
    ASSERT_EQ(typesA.join(QLatin1Char(',')).toStdString(), typesB.join(QLatin1Char(',')).toStdString())
        << e.label().toStdString() << ": column types differ" << sqls;
    ASSERT_EQ(a.result.rows.size(), b.result.rows.size()) << e.label().toStdString() << ": row counts differ" << sqls;
    const QList<db::Row> rowsA = e.ordered ? a.result.rows : sortedRows(a.result.rows);
    const QList<db::Row> rowsB = e.ordered ? b.result.rows : sortedRows(b.result.rows);
    for (qsizetype i = 0; i < rowsA.size(); ++i) {
        if (sameRow(rowsA[i], rowsB[i]))
            continue;
        bool sameSet = true;
        const QList<db::Row> sa = sortedRows(rowsA);
        const QList<db::Row> sb = sortedRows(rowsB);
        for (qsizetype k = 0; k < sa.size() && sameSet; ++k)
            sameSet = sameRow(sa[k], sb[k]);
        FAIL() << e.label().toStdString() << ": row " << i + 1 << " differs"
               << (sameSet ? " (the same rows in another order: ties in ORDER BY?)" : "")
               << "\n  SQLite:     " << rowText(rowsA[i]).toStdString()
               << "\n  PostgreSQL: " << rowText(rowsB[i]).toStdString() << sqls;
    }
}

void runEntry(const QList<CorpusEntry> &entries, qsizetype index, bool requireRows)
{
    ASSERT_TRUE(g_worldReady) << g_world->error().toStdString();
    const CorpusEntry &e = entries[index];
    QString error;
    ASSERT_TRUE(g_world->position(entries, index, &error)) << error.toStdString();
    const QString statement = g_world->statementText(e);

    // Translates for both engines, also without a PostgreSQL server.
    const TranslateResult forSqlite = g_world->sqlite().translator().translate(statement, Engine::Sqlite);
    const TranslateResult forPostgres = g_world->postgresTranslator().translate(statement, Engine::Postgres);
    if (!e.expectError) {
        ASSERT_TRUE(forSqlite.ok) << where(e, statement) << "\n  SQLite: " << forSqlite.error.toString().toStdString();
        if (!e.sqliteOnly) {
            ASSERT_TRUE(forPostgres.ok) << where(e, statement) << "\n  PostgreSQL: " << forPostgres.error.toString().toStdString();
        }
    }

    const Outcome onSqlite = runOn(g_world->sqlite(), statement);
    SqlRunner *pg = e.sqliteOnly ? nullptr : g_world->postgres();
    const std::optional<Outcome> onPostgres = pg ? std::optional<Outcome>(runOn(*pg, statement)) : std::nullopt;
    if (e.expectError) {
        expectFailure(e, onSqlite, g_world->sqlite());
        if (onPostgres)
            expectFailure(e, *onPostgres, *pg);
        return;
    }
    ASSERT_TRUE(onSqlite.ok) << where(e, statement) << "\n  SQLite: " << shortened(onSqlite.sql).toStdString()
                             << "\n  " << onSqlite.error.toStdString();
    if (onPostgres) {
        ASSERT_TRUE(onPostgres->ok) << where(e, statement) << "\n  PostgreSQL: " << shortened(onPostgres->sql).toStdString()
                                    << "\n  " << onPostgres->error.toStdString();
    }
    // Without an ORDER BY the engines may give rows in any order.
    static const QRegularExpression orderBy(QStringLiteral("\\border\\s+by\\b"), QRegularExpression::CaseInsensitiveOption);
    if (onSqlite.returnsRows && e.ordered && onSqlite.result.rows.size() > 1 && !orderBy.match(statement).hasMatch())
        ADD_FAILURE() << e.label().toStdString() << ": several rows without ORDER BY; mark it 'order: none'";
    if (onSqlite.returnsRows && requireRows) {
        if (e.expectEmpty)
            EXPECT_TRUE(onSqlite.result.rows.isEmpty()) << e.label().toStdString() << ": marked 'expect: empty' but gives rows";
        else
            EXPECT_FALSE(onSqlite.result.rows.isEmpty())
                << e.label().toStdString() << ": gives no rows; seed rows for it, or mark it 'expect: empty'";
    }
    if (onPostgres)
        compareResults(e, onSqlite, *onPostgres);
}

// ---------------------------------------------------------------- registration

class EntryTest : public ::testing::Test {
public:
    EntryTest(std::shared_ptr<const QList<CorpusEntry>> entries, qsizetype index, bool requireRows)
        : m_entries(std::move(entries)), m_index(index), m_requireRows(requireRows)
    {
    }
    void TestBody() override { runEntry(*m_entries, m_index, m_requireRows); }

private:
    std::shared_ptr<const QList<CorpusEntry>> m_entries;
    qsizetype m_index;
    bool m_requireRows;
};

class FailingTest : public ::testing::Test {
public:
    explicit FailingTest(QString message) : m_message(std::move(message)) {}
    void TestBody() override { FAIL() << m_message.toStdString(); }

private:
    QString m_message;
};

std::string identifier(const QString &text)
{
    std::string out;
    for (QChar c : text)
        out += (c.unicode() < 128 && c.isLetterOrNumber()) ? char(c.unicode()) : '_';
    return out;
}

void registerEntries(const std::string &suite, const QString &path,
                     std::shared_ptr<const QList<CorpusEntry>> entries, bool requireRows)
{
    for (qsizetype i = 0; i < entries->size(); ++i) {
        const CorpusEntry &e = (*entries)[i];
        const std::string name = "L" + std::to_string(e.line) + "_" + identifier(e.name);
        ::testing::RegisterTest(suite.c_str(), name.c_str(), nullptr, nullptr, qPrintable(path), e.line,
                                [entries, i, requireRows]() -> ::testing::Test * {
                                    return new EntryTest(entries, i, requireRows);
                                });
    }
}

void registerCorpus()
{
    for (const QString &path : corpusFiles(corpusFolder())) {
        QString error;
        const auto entries = readCorpusFile(path, &error);
        const std::string suite = "Corpus_" + identifier(QFileInfo(path).completeBaseName());
        if (!entries) {
            ::testing::RegisterTest(suite.c_str(), "Readable", nullptr, nullptr, qPrintable(path), 0,
                                    [error]() -> ::testing::Test * { return new FailingTest(error); });
            continue;
        }
        registerEntries(suite, path, std::make_shared<const QList<CorpusEntry>>(*entries), true);
    }
    // The schema's dataset statements, as the server opens them.
    static const QRegularExpression orderBy(QStringLiteral("\\border\\s+by\\b"), QRegularExpression::CaseInsensitiveOption);
    auto datasets = std::make_shared<QList<CorpusEntry>>();
    for (const schema::Dataset &d : schema::Schema::builtIn().datasets()) {
        if (d.statement.isEmpty())
            continue;
        CorpusEntry e;
        e.file = QStringLiteral("qv.schema");
        e.line = int(datasets->size() + 1);
        e.name = d.name;
        e.sql = d.statement;
        e.ordered = orderBy.match(d.statement).hasMatch();
        datasets->append(e);
    }
    registerEntries("Corpus_schema_datasets", QStringLiteral(QV_SOURCE_DIR "/schema/qv.schema"), datasets, false);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new WorldEnvironment);
    registerCorpus();
    return RUN_ALL_TESTS();
}
