// Creating and deleting account sets on the server, which owns their folders.
// File mode: a new account set is a copy of the template in data/<AccountNo>/;
// PostgreSQL mode: there is one database for all, so creating only registers
// (building the tables first when the database is still empty) and deleting
// only unregisters.
#include "server/LinkSettings.h"
#include "server/Operations.h"

#include "schema/builder/TemplateBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qv::server {

namespace {

const QString kAccounts = QStringLiteral("accounts");
// Every registry row carries this company code.
const QString kCompanyCode = QStringLiteral("BC50A50F-C431-43F1-8E11-23AAE640437E");

bool postgresMode(Session &session)
{
    return session.context().config.databaseMode == DatabaseMode::Postgres
           || (session.business().isDescribed() && session.business().engine() == db::Engine::Postgres);
}

db::Connection *openRegistry(Session &session, CallResult *failed)
{
    protocol::ErrorInfo error;
    if (!session.registry().open(&error)) {
        *failed = failure(error);
        return nullptr;
    }
    return session.registry().connection();
}

// -1 on a database error.
int registeredRows(db::Connection &registry, const QString &accountNo)
{
    auto count = registry.prepare(QStringLiteral("SELECT count(*) FROM Act_QVSys WHERE AccountNo = ?1"));
    if (!count || !count->bind(1, accountNo))
        return -1;
    const auto rows = count->query();
    return rows ? int(rows->value(0, 0).toLongLong()) : -1;
}

bool copyTemplate(const ServerContext &context, const QString &accountNo, QString *error)
{
    const QString source = context.paths.templateDatabase();
    const QString target = context.paths.accountDatabase(accountNo);
    if (!QFileInfo::exists(source)) {
        *error = QStringLiteral("模板数据库 %1 不存在").arg(source);
        return false;
    }
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        *error = QStringLiteral("不能建立文件夹 %1").arg(QFileInfo(target).absolutePath());
        return false;
    }
    // Copied beside its final name and moved there complete.
    const QString work = target + QStringLiteral(".building");
    QFile::remove(work);
    if (!QFile::copy(source, work)) {
        *error = QStringLiteral("不能复制模板数据库到 %1").arg(work);
        return false;
    }
    QFile(work).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!QFile::rename(work, target)) {
        QFile::remove(work);
        *error = QStringLiteral("不能建立 %1").arg(target);
        return false;
    }
    return true;
}

// Builds the tables and initial rows into an empty PostgreSQL database.
bool preparePostgres(Session &session, QString *error)
{
    ServerContext &context = session.context();
    std::unique_ptr<db::Connection> own;
    db::Connection *connection = session.business().connection();
    if (!connection || connection->traits().engine != db::Engine::Postgres) {
        common::IniFile ini(context.config.iniPath());
        db::Error openError;
        own = db::openConnection(db::ConnectionDescriptor::postgres(readLinkSettings(ini).conninfo()), &openError);
        if (!own) {
            *error = openError.message;
            return false;
        }
        connection = own.get();
    }
    const auto tables = connection->tableNames();
    if (!tables) {
        *error = connection->lastError().message;
        return false;
    }
    if (!tables->isEmpty())
        return true;
    schema::RowsFile rows;
    if (!rows.parseBuiltIn(QStringLiteral("template.rows"), context.schema)) {
        *error = rows.error();
        return false;
    }
    schema::TemplateBuilder builder(context.schema);
    if (!builder.build(*connection, schema::Database::Business, {&rows})) {
        *error = builder.error();
        return false;
    }
    context.events.add(QStringLiteral("在 PostgreSQL 数据库中建立了帐套的表"));
    return true;
}

} // namespace

CallResult createAccountSet(Session &session, RemoteObject, const protocol::CreateAccountSetArgs &args)
{
    ServerContext &context = session.context();
    const QString &accountNo = args.accountNo;
    if (!common::isValidAccountFolder(accountNo))
        return failure(QStringLiteral("帐套代码“%1”无效：不能为空，也不能含有路径符号").arg(accountNo), kAccounts);
    CallResult failed;
    db::Connection *registry = openRegistry(session, &failed);
    if (!registry)
        return failed;
    const int registered = registeredRows(*registry, accountNo);
    if (registered < 0)
        return failure(databaseError(registry->lastError()));
    if (registered > 0)
        return failure(QStringLiteral("帐套 %1 已存在").arg(accountNo), kAccounts);

    const bool postgres = postgresMode(session);
    QString error;
    if (postgres) {
        if (!preparePostgres(session, &error))
            return failure(QStringLiteral("新建帐套出错：%1").arg(error), kAccounts);
    } else {
        if (QFileInfo::exists(context.paths.accountFolder(accountNo)))
            return failure(QStringLiteral("文件夹 data/%1 已存在，不能新建这个帐套").arg(accountNo), kAccounts);
        if (!copyTemplate(context, accountNo, &error))
            return failure(QStringLiteral("新建帐套出错：%1").arg(error), kAccounts);
    }
    auto insert = registry->prepare(QStringLiteral(
        "INSERT INTO Act_QVSys (CompanyCode, AccountNo, AccountName, CompanyName) VALUES (?1, ?2, ?3, ?4)"));
    if (!insert || !insert->bindAll({kCompanyCode, accountNo, args.accountName, args.companyName})
        || !insert->execute()) {
        const db::Error why = insert ? insert->lastError() : registry->lastError();
        if (!postgres)
            QDir(context.paths.accountFolder(accountNo)).removeRecursively();
        return failure(databaseError(why));
    }
    context.events.add(QStringLiteral("%1 新建帐套 %2 %3").arg(session.peer(), accountNo, args.accountName));
    return success(protocol::EmptyReply{});
}

CallResult deleteAccountSet(Session &session, RemoteObject, const protocol::DeleteAccountSetArgs &args)
{
    ServerContext &context = session.context();
    const QString &accountNo = args.accountNo;
    if (!common::isValidAccountFolder(accountNo))
        return failure(QStringLiteral("帐套代码“%1”无效").arg(accountNo), kAccounts);
    for (Session *other : std::as_const(context.sessions)) {
        if (other->accountNo() == accountNo && other->business().isDescribed())
            return failure(QStringLiteral("删除帐套出错，帐套 %1 正在使用！").arg(accountNo), kAccounts);
    }
    CallResult failed;
    db::Connection *registry = openRegistry(session, &failed);
    if (!registry)
        return failed;
    const int registered = registeredRows(*registry, accountNo);
    if (registered < 0)
        return failure(databaseError(registry->lastError()));
    const bool postgres = postgresMode(session);
    const QString folder = context.paths.accountFolder(accountNo);
    const bool hasFolder = !postgres && QFileInfo::exists(folder);
    if (registered == 0 && !hasFolder)
        return failure(QStringLiteral("帐套 %1 不存在").arg(accountNo), kAccounts);

    // The folder is moved aside first, so a failure to unregister can put it back.
    const QString aside = folder + QStringLiteral(".deleting");
    if (hasFolder) {
        QDir(aside).removeRecursively();
        if (!QDir().rename(folder, aside))
            return failure(QStringLiteral("删除帐套出错！不能移动文件夹 %1").arg(folder), kAccounts);
    }
    auto remove = registry->prepare(QStringLiteral("DELETE FROM Act_QVSys WHERE AccountNo = ?1"));
    if (!remove || !remove->bind(1, accountNo) || !remove->execute()) {
        const db::Error why = remove ? remove->lastError() : registry->lastError();
        if (hasFolder)
            QDir().rename(aside, folder);
        return failure(databaseError(why));
    }
    if (hasFolder && !QDir(aside).removeRecursively())
        context.events.add(QStringLiteral("帐套 %1 已注销，但文件夹 %2 未能全部删除").arg(accountNo, aside));
    context.events.add(QStringLiteral("%1 删除帐套 %2").arg(session.peer(), accountNo));
    return success(protocol::EmptyReply{});
}

} // namespace qv::server
