// Compaction and backup of the account set a client is connected to.
#include "server/Backup.h"
#include "server/Compaction.h"
#include "server/Operations.h"
#include "server/TableList.h"

namespace qv::server {

namespace {

const QString kMaintenance = QStringLiteral("maintenance");

} // namespace

CallResult compactDatabase(Session &session, RemoteObject, const protocol::CompactDatabaseArgs &)
{
    SessionDatabase &business = session.business();
    if (!business.isDescribed())
        return failure(QStringLiteral("没有连接帐套：请先调用 ConnectAct"), kMaintenance);
    if (business.engine() != db::Engine::Sqlite)
        return failure(QStringLiteral("PostgreSQL 数据库不能压缩：压缩只用于帐套数据库文件"), kMaintenance);
    for (Session *other : std::as_const(session.context().sessions)) {
        if (other != &session && other->business().isOpen() && other->business().key() == business.key()) {
            return failure(QStringLiteral("帐套数据库正被其他客户端（%1）使用，现在不能压缩").arg(other->peer()),
                           kMaintenance);
        }
    }
    const QString path = business.filePath();
    session.closeBusiness();
    QString error;
    if (!compactDatabaseFile(path, &error))
        return failure(QStringLiteral("压缩数据库失败：%1").arg(error), kMaintenance);
    session.context().events.add(QStringLiteral("%1 压缩了 %2").arg(session.peer(), path));
    return success(protocol::IntegerReply{1});
}

CallResult backupData(Session &session, RemoteObject, const protocol::BackupDataArgs &)
{
    protocol::ErrorInfo error;
    const auto tables = businessTables(session, &error);
    if (!tables)
        return failure(error);
    ServerContext &context = session.context();
    // The backup reads every table through the business connection, so each
    // read is logged like any other statement.
    for (const QString &table : *tables) {
        if (!isSkippedByBackup(table))
            context.statementLog.admit(QStringLiteral("select * from ") + table);
    }
    const QString path = backupFileName(backupFolder(context.config.programFolder), QDateTime::currentDateTime());
    QString writeError;
    if (!writeBackup(*session.business().connection(), *tables, context.schema, path, &writeError)) {
        context.events.add(QStringLiteral("备份失败：%1").arg(writeError));
        return success(protocol::IntegerReply{0});
    }
    context.events.add(QStringLiteral("%1 备份到 %2").arg(session.peer(), path));
    return success(protocol::IntegerReply{1});
}

} // namespace qv::server
