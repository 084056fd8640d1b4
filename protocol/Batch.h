// A batch applies several change packets and statements in one transaction of
// the business connection, all or nothing: the first item that fails rolls back
// every item, and the reply names it.
//
// An ApplyUpdates item fails when its packet has more failed rows than its
// maxErrors allows (its reply, with the failed rows, is still given); an Execute
// item fails when its statement fails (it has no reply then).
#pragma once

#include "protocol/DatasetOperations.h"
#include "protocol/ErrorInfo.h"

#include <variant>

namespace qv::protocol {

using BatchItem = std::variant<ApplyUpdatesArgs, ExecuteArgs>;
using BatchItemReply = std::variant<ApplyUpdatesReply, ExecuteReply>;

struct BatchReply {
    bool ok = true;          // committed
    int failedIndex = -1;    // the item that failed, -1 when ok
    ErrorInfo error;         // why it failed; empty when ok
    // One reply per item that ran, in order: every item when ok; otherwise the
    // items before the failed one and, for a failed ApplyUpdates, its own.
    // Nothing of them is kept after a roll-back.
    QList<BatchItemReply> results;
    bool operator==(const BatchReply &) const = default;
};

struct BatchArgs {
    static constexpr Operation operation = Operation::Batch;
    using Reply = BatchReply;
    QList<BatchItem> items;
    bool operator==(const BatchArgs &) const = default;
};

QCborValue toCbor(const BatchArgs &args);
bool fromCbor(const QCborValue &value, BatchArgs &out, DecodeErrors &errors);
QCborValue toCbor(const BatchReply &reply);
bool fromCbor(const QCborValue &value, BatchReply &out, DecodeErrors &errors);

} // namespace qv::protocol
