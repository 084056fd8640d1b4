// qvsql: one statement of the system's dialect, as the server would run it.
//
//   qvsql [--engine sqlite|postgres] [STATEMENT]            prints the translation
//   qvsql --db FILE [--types] [--sql] [STATEMENT]           runs it on a SQLite file
//   qvsql --pg CONNINFO [--types] [--sql] [STATEMENT]       runs it on PostgreSQL
//
// The statement is read from standard input when it is not given (or is "-").
// Rows are printed as tab-separated text under a header line of column names;
// Null is \N, and tabs, line breaks and backslashes inside values are written
// \t, \n, \r and \\ so that every row stays on one line. A statement that
// changes data prints the number of rows it changed. Failures print the error
// (with its phase and place) on standard error and exit with 1; a usage error
// exits with 2. Statements run through SqlRunner, the server's own path.
#include "common/DayNumber.h"
#include "db/ConnectionFactory.h"
#include "schema/Schema.h"
#include "sql/JetValues.h"
#include "sql/runner/SqlRunner.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

using namespace qv;
using namespace qv::sql;

namespace {

enum Exit { Ok = 0, Failed = 1, Usage = 2 };

// Every table of the registry and of an account set: the tool serves both files.
Catalog schemaCatalog()
{
    const schema::Schema &schema = schema::Schema::builtIn();
    Catalog catalog = Catalog::fromSchema(schema, schema::Database::Business);
    for (const schema::Table *t : schema.tables(schema::Database::Registry))
        catalog.addTable(*t);
    return catalog;
}

// Tables the database holds beyond the schema (a report's rpt_ tables left
// from an earlier run), so that statements about them translate.
void learnOtherTables(db::Connection &connection, Translator &translator)
{
    const auto names = connection.tableNames();
    if (!names)
        return;
    for (const QString &name : *names) {
        if (translator.catalog().table(name) || name.startsWith(QLatin1String("sqlite_")))
            continue;
        const auto columns = connection.columns(name);
        if (!columns)
            continue;
        CatalogTable table;
        table.name = name;
        for (const db::TableColumn &c : *columns)
            table.columns.push_back({c.name, typeOfKind(c.kind)});
        translator.addTable(std::move(table));
    }
}

QString escaped(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return text;
}

QString cell(const db::Value &v)
{
    if (db::isNull(v))
        return QStringLiteral("\\N");
    switch (v.typeId()) {
    case QMetaType::Double: return jet::numberText(v.toDouble());
    case QMetaType::QDateTime: return common::toDateText(v.toDateTime());
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QByteArray: return QStringLiteral("\\\\x") + QString::fromLatin1(v.toByteArray().toHex());
    default: return escaped(v.toString());
    }
}

void printRows(QTextStream &out, const RunResult &result, bool withTypes)
{
    QStringList header;
    for (const RunColumn &c : result.columns)
        header << escaped(c.name) + (withTypes ? QLatin1Char(':') + sqlTypeName(c.type) : QString());
    out << header.join(QLatin1Char('\t')) << '\n';
    for (const db::Row &row : result.rows) {
        QStringList cells;
        for (const db::Value &v : row)
            cells << cell(v);
        out << cells.join(QLatin1Char('\t')) << '\n';
    }
}

int fail(const QString &message, int code = Failed)
{
    std::fprintf(stderr, "qvsql: %s\n", qPrintable(message));
    return code;
}

QString readStatement(const QStringList &positional)
{
    if (!positional.isEmpty() && positional.first() != QLatin1String("-"))
        return positional.join(QLatin1Char(' '));
    QTextStream in(stdin);
    QString text = in.readAll();
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}

int translateOnly(const QString &statement, Engine engine)
{
    Translator translator(schemaCatalog());
    const TranslateResult t = translator.translate(statement, engine);
    if (!t.ok)
        return fail(t.error.toString());
    QTextStream out(stdout);
    out << t.sql << '\n';
    for (const Attachment &a : t.attachments)
        out << "-- attaches " << a.path << " as " << a.alias << '\n';
    return Ok;
}

int runOn(const db::ConnectionDescriptor &descriptor, const QString &statement, bool withTypes, bool showSql)
{
    Translator translator(schemaCatalog());
    RunError error;
    auto runner = SqlRunner::open(descriptor, translator, &error);
    if (!runner)
        return fail(error.text());
    learnOtherTables(runner->connection(), translator);
    if (showSql) {
        const TranslateResult t = translator.translate(statement, runner->engine());
        if (t.ok)
            std::fprintf(stderr, "%s\n", qPrintable(t.sql));
    }
    qint64 changed = 0;
    const auto result = runner->run(statement, &error, &changed);
    if (!result)
        return fail(error.text());
    QTextStream out(stdout);
    if (result->columns.isEmpty())
        out << "rows changed: " << changed << '\n';
    else
        printRows(out, *result, withTypes);
    return Ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qvsql"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Translates one statement of the system's dialect; with --db or --pg runs it as the server does."));
    parser.addHelpOption();
    const QCommandLineOption engineOption(QStringLiteral("engine"), QStringLiteral("Engine to translate for: sqlite or postgres."),
                                          QStringLiteral("engine"));
    const QCommandLineOption dbOption(QStringLiteral("db"), QStringLiteral("Run on this SQLite database file."), QStringLiteral("file"));
    const QCommandLineOption pgOption(QStringLiteral("pg"), QStringLiteral("Run on this PostgreSQL database."), QStringLiteral("conninfo"));
    const QCommandLineOption typesOption(QStringLiteral("types"), QStringLiteral("Add each column's type to the header."));
    const QCommandLineOption sqlOption(QStringLiteral("sql"), QStringLiteral("Also print the translation (standard error) when running."));
    parser.addOptions({engineOption, dbOption, pgOption, typesOption, sqlOption});
    parser.addPositionalArgument(QStringLiteral("statement"), QStringLiteral("The statement; standard input when absent or \"-\"."));
    parser.process(app);

    const bool onSqlite = parser.isSet(dbOption);
    const bool onPostgres = parser.isSet(pgOption);
    if (onSqlite && onPostgres)
        return fail(QStringLiteral("--db and --pg exclude each other"), Usage);
    std::optional<Engine> engine;
    if (parser.isSet(engineOption)) {
        const QString name = parser.value(engineOption).toLower();
        if (name == QLatin1String("sqlite"))
            engine = Engine::Sqlite;
        else if (name == QLatin1String("postgres") || name == QLatin1String("postgresql"))
            engine = Engine::Postgres;
        else
            return fail(QStringLiteral("unknown engine '%1' (sqlite or postgres)").arg(parser.value(engineOption)), Usage);
    }
    if ((onSqlite && engine == Engine::Postgres) || (onPostgres && engine == Engine::Sqlite))
        return fail(QStringLiteral("--engine does not match the database"), Usage);

    const QString statement = readStatement(parser.positionalArguments());
    if (statement.trimmed().isEmpty())
        return fail(QStringLiteral("no statement"), Usage);
    const bool withTypes = parser.isSet(typesOption);
    const bool showSql = parser.isSet(sqlOption);
    if (onSqlite)
        return runOn(db::ConnectionDescriptor::sqlite(parser.value(dbOption)), statement, withTypes, showSql);
    if (onPostgres)
        return runOn(db::ConnectionDescriptor::postgres(parser.value(pgOption)), statement, withTypes, showSql);
    return translateOnly(statement, engine.value_or(Engine::Sqlite));
}
