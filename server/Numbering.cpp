// Document numbers: the running number of a numbering key (prefix and month)
// is taken and advanced in one transaction, so two clerks never share one.
// MaxBillNo.MaxNo keeps meaning the next number to hand out.
#include "server/DialectText.h"
#include "server/Operations.h"

#include "schema/Ddl.h"

namespace qv::server {

namespace {

const QString kNumbering = QStringLiteral("numbering");
constexpr qint64 kLastRunningNumber = 9999;

QString name(const db::Connection &connection, const QString &identifier)
{
    return schema::engineName(identifier, connection.traits().engine == db::Engine::Postgres
                                              ? schema::DdlEngine::Postgres
                                              : schema::DdlEngine::Sqlite);
}

enum class Step { Done, Retry, Failed };

// One attempt; Retry when another writer inserted the key first.
Step takeNumber(Session &session, db::Connection &connection, const QString &key, qint64 *number,
                protocol::ErrorInfo *error)
{
    const db::EngineTraits &traits = connection.traits();
    const QString table = name(connection, QStringLiteral("MaxBillNo"));
    const QString maxNo = name(connection, QStringLiteral("MaxNo"));
    const QString tableName = name(connection, QStringLiteral("TableName"));
    const QString literal = *dialectLiteral(key);

    db::TransactionGuard transaction(connection);
    if (!transaction.isActive()) {
        *error = databaseError(connection.lastError());
        return Step::Failed;
    }
    // The update both advances the counter and locks the row until commit;
    // MaxNo 0 (or none) counts as 1.
    const QString advance = QStringLiteral("UPDATE %1 SET %2 = CASE WHEN %2 IS NULL OR %2 < 1 THEN 2 ELSE %2 + 1 END "
                                           "WHERE %3 = %4 RETURNING %2")
                                .arg(table, maxNo, tableName, traits.parameter(1));
    if (!session.business().admit(QStringLiteral("update MaxBillNo set MaxNo = iif(MaxNo < 1, 2, MaxNo + 1) "
                                                 "where TableName = %1").arg(literal), error))
        return Step::Failed;
    auto update = connection.prepare(advance);
    std::optional<db::ResultSet> advanced;
    if (update && update->bind(1, key))
        advanced = update->query();
    if (!advanced) {
        *error = databaseError(update ? update->lastError() : connection.lastError());
        return Step::Failed;
    }
    if (advanced->rows.isEmpty()) {
        if (!session.business().admit(
                QStringLiteral("insert into MaxBillNo (TableName, MaxNo) values (%1, 2)").arg(literal), error))
            return Step::Failed;
        auto insert = connection.prepare(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (%4, 2)")
                                             .arg(table, tableName, maxNo, traits.parameter(1)));
        if (!insert || !insert->bind(1, key) || !insert->execute())
            return Step::Retry;
        *number = 1;
    } else {
        *number = advanced->rows.first().value(0).toLongLong() - 1;
    }
    if (*number > kLastRunningNumber) {
        *error = protocol::ErrorInfo(
            QStringLiteral("单据编号已用完：%1 的流水号已到 %2，不能再增加这种单据！").arg(key).arg(kLastRunningNumber),
            kNumbering);
        return Step::Failed;
    }
    if (!transaction.commit()) {
        *error = databaseError(connection.lastError());
        return Step::Failed;
    }
    return Step::Done;
}

} // namespace

CallResult nextBillNo(Session &session, RemoteObject, const protocol::NextBillNoArgs &args)
{
    const QString key = args.key.trimmed();
    if (key.isEmpty())
        return failure(QStringLiteral("编号键不能为空"), kNumbering);
    protocol::ErrorInfo error;
    if (!session.business().open(&error))
        return failure(error);
    db::Connection &connection = *session.business().connection();
    for (int attempt = 0; attempt < 3; ++attempt) {
        qint64 number = 0;
        switch (takeNumber(session, connection, key, &number, &error)) {
        case Step::Done: return success(protocol::IntegerReply{number});
        case Step::Failed: return failure(error);
        case Step::Retry: break;
        }
    }
    return failure(QStringLiteral("编号 %1 无法取得：%2").arg(key, connection.lastError().message), kNumbering);
}

} // namespace qv::server
