// qvtemplate: writes the databases every installation starts from.
//
//   qvtemplate --out DIR      DIR/data/Sample/QvData.mdb (new account sets),
//                             DIR/data/Sample/QvData.postgres.sql, and
//                             DIR/data/QvSys.mdb (the registry) when it is absent
//   qvtemplate --pg CONNINFO [--registry]
//                             the same tables and rows in an empty PostgreSQL database
#include "db/ConnectionFactory.h"
#include "schema/builder/TemplateBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cstdio>

using namespace qv;
using namespace qv::schema;

namespace {

int failed(const QString &message)
{
    std::fprintf(stderr, "qvtemplate: %s\n", qPrintable(message));
    return 1;
}

// Builds a SQLite database beside its final name and moves it there only when
// complete, so an interrupted build never leaves a half-written template.
bool buildSqlite(const QString &path, Database database, const QList<const RowsFile *> &rows, QString *error)
{
    const QString work = path + QStringLiteral(".building");
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(work + suffix);
    QDir().mkpath(QFileInfo(path).absolutePath());
    {
        db::Error openError;
        auto connection = db::openConnection(db::ConnectionDescriptor::sqlite(work, true), &openError);
        if (!connection) {
            *error = openError.text();
            return false;
        }
        TemplateBuilder builder;
        if (!builder.build(*connection, database, rows)) {
            *error = builder.error();
            return false;
        }
        // A self-contained file: no write-ahead log beside it when it is copied.
        if (!connection->exec(QStringLiteral("PRAGMA journal_mode=DELETE"))) {
            *error = connection->lastError().text();
            return false;
        }
        connection->close();
    }
    QFile::remove(path);
    if (!QFile::rename(work, path)) {
        *error = QStringLiteral("cannot move %1 to %2").arg(work, path);
        return false;
    }
    return true;
}

bool writeText(const QString &path, const QString &text, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    RowsFile templateRows;
    if (!templateRows.parseBuiltIn(QStringLiteral("template.rows"), Schema::builtIn()))
        return failed(templateRows.error());
    const QList<const RowsFile *> rows{&templateRows};
    QString error;

    if (args.size() == 2 && args[0] == QLatin1String("--out")) {
        const QDir out(args[1]);
        const QString sample = out.filePath(QStringLiteral("data/Sample/QvData.mdb"));
        if (!buildSqlite(sample, Database::Business, rows, &error))
            return failed(error);
        TemplateBuilder builder;
        if (!writeText(out.filePath(QStringLiteral("data/Sample/QvData.postgres.sql")),
                       builder.postgresScript(Database::Business, rows), &error))
            return failed(error);
        const QString registry = out.filePath(QStringLiteral("data/QvSys.mdb"));
        if (!QFile::exists(registry) && !buildSqlite(registry, Database::Registry, rows, &error))
            return failed(error);
        return 0;
    }
    if ((args.size() == 2 || args.size() == 3) && args[0] == QLatin1String("--pg")) {
        const Database database = args.size() == 3 && args[2] == QLatin1String("--registry")
                                      ? Database::Registry
                                      : Database::Business;
        db::Error openError;
        auto connection = db::openConnection(db::ConnectionDescriptor::postgres(args[1]), &openError);
        if (!connection)
            return failed(openError.text());
        TemplateBuilder builder;
        if (!builder.build(*connection, database, rows))
            return failed(builder.error());
        return 0;
    }
    std::fprintf(stderr, "usage: qvtemplate --out DIR | --pg CONNINFO [--registry]\n");
    return 2;
}
