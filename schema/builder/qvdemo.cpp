// qvdemo: the demo account set "001 演示帐套", a small office with its items,
// warehouses, departments, staff and partners.
//
//   qvdemo DIR [--force]   DIR/data/001/QvData.mdb from DIR/data/Sample/QvData.mdb,
//                          registered in DIR/data/QvSys.mdb
//   qvdemo --pg CONNINFO   the demo rows into an account set made by qvtemplate --pg
#include "db/ConnectionFactory.h"
#include "schema/builder/TemplateBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

using namespace qv;
using namespace qv::schema;

namespace {

const QString kAccountNo = QStringLiteral("001");
const QString kAccountName = QStringLiteral("演示帐套");
// Every registry row carries this company code.
const QString kCompanyCode = QStringLiteral("BC50A50F-C431-43F1-8E11-23AAE640437E");

int failed(const QString &message)
{
    std::fprintf(stderr, "qvdemo: %s\n", qPrintable(message));
    return 1;
}

QString companyName(const RowsFile &rows)
{
    for (const RowsBlock &block : rows.blocks()) {
        if (block.table->name != QLatin1String("CompanyInfo") || block.rows.isEmpty())
            continue;
        for (qsizetype i = 0; i < block.columns.size(); ++i) {
            if (block.columns[i]->name == QLatin1String("fCompanyName"))
                return block.rows.first()[i].toString();
        }
    }
    return {};
}

bool fillDemo(db::Connection &connection, const RowsFile &demo, QString *error)
{
    TemplateBuilder builder;
    if (!builder.putRows(connection, Database::Business, {&demo})) {
        *error = builder.error();
        return false;
    }
    return true;
}

bool registerAccount(const QString &registryPath, const QString &company, QString *error)
{
    db::Error openError;
    auto registry = db::openConnection(db::ConnectionDescriptor::sqlite(registryPath), &openError);
    if (!registry) {
        *error = openError.text();
        return false;
    }
    db::TransactionGuard transaction(*registry);
    auto remove = registry->prepare(QStringLiteral("DELETE FROM Act_QVSys WHERE AccountNo = ?1"));
    auto insert = registry->prepare(QStringLiteral(
        "INSERT INTO Act_QVSys (CompanyCode, AccountNo, AccountName, CompanyName) VALUES (?1, ?2, ?3, ?4)"));
    if (!remove || !insert) {
        *error = registry->lastError().text();
        return false;
    }
    remove->bind(1, kAccountNo);
    insert->bindAll({kCompanyCode, kAccountNo, kAccountName, company});
    if (!remove->execute() || !insert->execute() || !transaction.commit()) {
        *error = QStringLiteral("registering the demo account set: %1")
                     .arg(insert->lastError().text() + remove->lastError().text() + registry->lastError().text());
        return false;
    }
    return true;
}

int buildFile(const QDir &dir, bool force, const RowsFile &demo)
{
    const QString sample = dir.filePath(QStringLiteral("data/Sample/QvData.mdb"));
    const QString registry = dir.filePath(QStringLiteral("data/QvSys.mdb"));
    const QString target = dir.filePath(QStringLiteral("data/%1/QvData.mdb").arg(kAccountNo));
    if (!QFile::exists(sample) || !QFile::exists(registry))
        return failed(QStringLiteral("%1 or %2 is missing: run qvtemplate first").arg(sample, registry));
    if (QFile::exists(target) && !force)
        return failed(QStringLiteral("%1 exists; --force replaces it").arg(target));

    // Filled beside its final name and moved there complete.
    const QString work = target + QStringLiteral(".building");
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(work);
    if (!QFile::copy(sample, work))
        return failed(QStringLiteral("cannot copy %1").arg(sample));
    QFile(work).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    QString error;
    {
        db::Error openError;
        auto connection = db::openConnection(db::ConnectionDescriptor::sqlite(work), &openError);
        if (!connection)
            return failed(openError.text());
        if (!fillDemo(*connection, demo, &error))
            return failed(error);
        if (!connection->exec(QStringLiteral("PRAGMA journal_mode=DELETE")))
            return failed(connection->lastError().text());
    }
    QFile::remove(target);
    if (!QFile::rename(work, target))
        return failed(QStringLiteral("cannot move %1 to %2").arg(work, target));
    if (!registerAccount(registry, companyName(demo), &error))
        return failed(error);
    std::printf("%s\n", qPrintable(target));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    RowsFile demo;
    if (!demo.parseBuiltIn(QStringLiteral("demo.rows"), Schema::builtIn()))
        return failed(demo.error());

    if (args.size() == 2 && args[0] == QLatin1String("--pg")) {
        db::Error openError;
        auto connection = db::openConnection(db::ConnectionDescriptor::postgres(args[1]), &openError);
        if (!connection)
            return failed(openError.text());
        QString error;
        return fillDemo(*connection, demo, &error) ? 0 : failed(error);
    }
    if (!args.isEmpty() && !args[0].startsWith(QLatin1String("--")))
        return buildFile(QDir(args[0]), args.contains(QStringLiteral("--force")), demo);
    std::fprintf(stderr, "usage: qvdemo DIR [--force] | --pg CONNINFO\n");
    return 2;
}
