// Saving through datasets: change packets applied in one transaction under the
// dataset's rules, and batches of packets and statements, all or nothing.
#include "server/ChangeApplier.h"
#include "server/FilterStatement.h"
#include "server/Operations.h"

namespace qv::server {

namespace {

const QString kArguments = QStringLiteral("arguments");

// The applier for a packet of the dataset, with the fields bound through the
// dataset's current statement; nullptr and *failed when it cannot save.
std::unique_ptr<ChangeApplier> applierFor(Session &session, const Provider &provider,
                                          const protocol::ChangePacket &packet, CallResult *failed)
{
    if (!provider.baseTable) {
        *failed = failure(QStringLiteral("数据集 %1 没有基本表，不能保存修改").arg(provider.name()), kArguments);
        return nullptr;
    }
    SessionDatabase &database = session.databaseOf(provider);
    const QString statement = withoutTrailingSemicolons(session.currentStatement(provider));
    protocol::ErrorInfo error;
    const auto translation = database.translate(statement, &error);
    if (!translation) {
        *failed = failure(error);
        return nullptr;
    }
    QList<sql::RunColumn> columns;
    for (const sql::ResultColumn &c : translation->columns)
        columns.append({c.name, c.type, c.originTable, c.originColumn});
    const QList<DatasetField> fields = describeFields(columns, &provider, session.context().schema);
    QList<BoundField> bound;
    for (const QString &name : packet.fields) {
        BoundField b;
        for (const DatasetField &f : fields) {
            if (f.info.name.compare(name, Qt::CaseInsensitive) == 0) {
                b.column = f.baseColumn;
                b.writable = f.isWritable();
                break;
            }
        }
        bound.append(b);
    }
    return std::make_unique<ChangeApplier>(*database.connection(), *provider.baseTable, provider.dataset->rule,
                                           std::move(bound),
                                           provider.onRegistry() ? nullptr : &session.context().statementLog);
}

bool clientGone(Session &session)
{
    if (!session.peerGone || !session.peerGone())
        return false;
    session.context().events.add(QStringLiteral("%1 在保存完成前断开，已回滚").arg(session.peer()));
    return true;
}

void markRolledBack(protocol::ApplyUpdatesReply &reply)
{
    reply.committed = false;
    reply.saved.clear();
}

} // namespace

CallResult applyUpdates(Session &session, RemoteObject object, const protocol::ApplyUpdatesArgs &args)
{
    CallResult failed;
    const Provider *provider = findProvider(session, object, args.dataset, &failed);
    if (!provider)
        return failed;
    auto applier = applierFor(session, *provider, args.packet, &failed);
    if (!applier)
        return failed;
    db::Connection &connection = *session.databaseOf(*provider).connection();
    db::TransactionGuard transaction(connection);
    if (!transaction.isActive())
        return failure(databaseError(connection.lastError()));
    protocol::ApplyUpdatesReply reply;
    if (applier->apply(args.packet, reply) && !clientGone(session)) {
        if (!transaction.commit())
            return failure(databaseError(connection.lastError()));
        reply.committed = true;
    } else {
        transaction.rollback();
        markRolledBack(reply);
    }
    applier->readCurrentRows(args.packet, reply);
    return success(reply);
}

CallResult runBatch(Session &session, RemoteObject object, const protocol::BatchArgs &args)
{
    // Everything runs on the business connection in one transaction, so the
    // registry's datasets cannot take part.
    QList<const Provider *> providers;
    for (const protocol::BatchItem &item : args.items) {
        const Provider *provider = nullptr;
        CallResult failed;
        if (const auto *apply = std::get_if<protocol::ApplyUpdatesArgs>(&item)) {
            provider = findProvider(session, object, apply->dataset, &failed);
            if (!provider)
                return failed;
        } else if (const auto &dataset = std::get<protocol::ExecuteArgs>(item).dataset) {
            provider = findProvider(session, object, *dataset, &failed);
            if (!provider)
                return failed;
        }
        if (provider && provider->onRegistry())
            return failure(QStringLiteral("数据集 %1 属于帐套注册库，不能放进批处理").arg(provider->name()), kArguments);
        if (const auto *execute = std::get_if<protocol::ExecuteArgs>(&item); execute && !execute->params.isEmpty())
            return failure(QStringLiteral("语句参数不受支持：请把值写在语句中"), kArguments);
        providers.append(provider);
    }
    protocol::ErrorInfo error;
    if (!session.business().open(&error))
        return failure(error);
    db::Connection &connection = *session.business().connection();
    db::TransactionGuard transaction(connection);
    if (!transaction.isActive())
        return failure(databaseError(connection.lastError()));

    protocol::BatchReply reply;
    std::vector<std::unique_ptr<ChangeApplier>> appliers(size_t(args.items.size()));
    for (qsizetype i = 0; i < args.items.size() && reply.ok; ++i) {
        const auto fail = [&](protocol::ErrorInfo why) {
            reply.ok = false;
            reply.failedIndex = int(i);
            reply.error = std::move(why);
        };
        if (const auto *apply = std::get_if<protocol::ApplyUpdatesArgs>(&args.items[i])) {
            CallResult failed;
            auto applier = applierFor(session, *providers[i], apply->packet, &failed);
            if (!applier) {
                fail(failed.error);
                break;
            }
            protocol::ApplyUpdatesReply itemReply;
            if (!applier->apply(apply->packet, itemReply)) {
                const protocol::FailedRow &first = itemReply.failed.first();
                fail(protocol::ErrorInfo(QStringLiteral("%1：%2").arg(providers[i]->name(), first.error),
                                         QStringLiteral("database")));
            }
            reply.results.append(itemReply);
            appliers[size_t(i)] = std::move(applier);
        } else {
            const auto &execute = std::get<protocol::ExecuteArgs>(args.items[i]);
            qint64 affected = -1;
            const auto result = session.business().run(execute.statement, &error, &affected);
            if (!result) {
                fail(error);
                break;
            }
            reply.results.append(protocol::ExecuteReply{result->columns.isEmpty() ? affected : -1});
        }
    }
    if (reply.ok && clientGone(session)) {
        reply.ok = false;
        reply.failedIndex = int(std::max<qsizetype>(0, args.items.size() - 1));
        reply.error = protocol::ErrorInfo(QStringLiteral("客户端已断开，批处理已回滚"), QStringLiteral("connection"));
    }
    if (reply.ok && !transaction.commit())
        return failure(databaseError(connection.lastError()));
    if (!reply.ok)
        transaction.rollback();
    for (qsizetype i = 0; i < reply.results.size(); ++i) {
        if (auto *apply = std::get_if<protocol::ApplyUpdatesReply>(&reply.results[i])) {
            if (reply.ok)
                apply->committed = true;
            else
                markRolledBack(*apply);
            if (appliers[size_t(i)])
                appliers[size_t(i)]->readCurrentRows(std::get<protocol::ApplyUpdatesArgs>(args.items[i]).packet, *apply);
        }
    }
    return success(reply);
}

} // namespace qv::server
