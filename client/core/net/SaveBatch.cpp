#include "client/core/net/SaveBatch.h"

#include "client/core/dataset/DataSet.h"
#include "client/core/net/ServerDataSource.h"

#include "protocol/Batch.h"

namespace qv::client {

namespace {

struct Taken {
    int item = -1;          // index in the batch's items
    DataSet *dataSet = nullptr;
    int wireItem = -1;      // index among the items sent
    PendingUpdates updates;
    WirePacket wire;
};

} // namespace

SaveBatch::SaveBatch(ServerConnection &connection)
    : m_connection(connection)
{
}

void SaveBatch::addChanges(DataSet &dataSet, int maxErrors)
{
    m_items.append(ChangesItem{&dataSet, maxErrors});
}

void SaveBatch::addStatement(const QString &statement)
{
    m_items.append(statement);
}

SaveBatch::Result SaveBatch::commit()
{
    Result result;
    auto fail = [&result](int item, const QString &error) {
        result.ok = false;
        result.failedItem = item;
        result.error = error;
        return result;
    };

    // 1. Take each dataset's packet, in the order the items were added.
    protocol::BatchArgs args;
    QList<int> itemOfWire; // index among the items sent -> index among the items added
    QList<Taken> taken;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (const QString *statement = std::get_if<QString>(&m_items[i])) {
            args.items.append(protocol::ExecuteArgs{std::nullopt, *statement, {}});
            itemOfWire.append(int(i));
            continue;
        }
        const ChangesItem &changes = std::get<ChangesItem>(m_items[i]);
        DataSet *ds = changes.dataSet.data();
        if (!ds)
            return fail(int(i), QStringLiteral("要保存的数据集已经不存在"));
        bool again = false;
        for (const Taken &t : taken)
            again = again || t.dataSet == ds;
        if (again)
            continue; // its changes go once, where it was first added
        auto *source = dynamic_cast<ServerDataSource *>(ds->source());
        if (!source || &source->connection() != &m_connection)
            return fail(int(i), QStringLiteral("数据集'%1'不在这个服务器连接上").arg(ds->name()));
        std::optional<PendingUpdates> updates = ds->takeUpdates();
        if (!updates)
            return fail(int(i), ds->lastError().toString());
        if (updates->isEmpty())
            continue; // nothing to save in this dataset
        Taken t;
        t.wire = ServerDataSource::toWire(updates->packet(), changes.maxErrors);
        t.updates = std::move(*updates);
        t.item = int(i);
        t.dataSet = ds;
        t.wireItem = int(args.items.size());
        args.items.append(protocol::ApplyUpdatesArgs{ds->providerName(), t.wire.packet});
        itemOfWire.append(int(i));
        taken.append(std::move(t));
    }
    if (args.items.isEmpty())
        return result;

    // 2. One call, one transaction.
    const auto outcome = m_connection.request(args);
    if (!outcome.ok())
        return fail(-1, ServerDataSource::errorText(outcome.error));
    const protocol::BatchReply &reply = *outcome;

    // 3. Hand each dataset its answer: the saved rows after a commit; after a
    // roll-back only the refused rows of the item that failed.
    for (const Taken &t : taken) {
        if (!reply.ok && t.wireItem != reply.failedIndex)
            continue;
        if (t.wireItem >= reply.results.size())
            continue;
        const auto *applied = std::get_if<protocol::ApplyUpdatesReply>(&reply.results[t.wireItem]);
        if (!applied)
            continue;
        protocol::ApplyUpdatesReply answer = *applied;
        if (!reply.ok) {
            answer.committed = false;
            answer.saved.clear();
        }
        const int failed = t.dataSet->takeAnswer(t.updates, ServerDataSource::fromWire(answer, t.wire));
        if (!reply.ok)
            result.failedRows = failed;
    }
    if (reply.ok)
        return result;
    return fail(itemOfWire.value(reply.failedIndex, -1), ServerDataSource::errorText(reply.error));
}

} // namespace qv::client
