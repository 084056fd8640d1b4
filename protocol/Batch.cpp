#include "protocol/Batch.h"

#include <limits>

namespace qv::protocol {

namespace {

// Items and their replies travel as {op, args} and {op, reply}; both variants
// hold the ApplyUpdates alternative first and the Execute one second.
template <typename Variant>
QCborValue tagged(const Variant &item, const QString &payloadKey)
{
    QCborMap map;
    map.insert(QStringLiteral("op"), operationName(item.index() == 0 ? Operation::ApplyUpdates
                                                                      : Operation::Execute));
    std::visit([&](const auto &payload) { map.insert(payloadKey, toCbor(payload)); }, item);
    return map;
}

template <typename First, typename Second>
bool decodeTagged(const QCborValue &value, std::variant<First, Second> &out, Operation first,
                  Operation second, const QString &payloadKey, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    const QString name = reader.text(QStringLiteral("op"));
    const QCborValue payload = reader.value(payloadKey);
    if (!reader.ok())
        return false;
    const auto op = operationFromName(name);
    if (op != first && op != second) {
        DecodeErrors::Scope scope(errors, QStringLiteral("op"));
        return errors.fail(QStringLiteral("'%1' cannot be part of a batch").arg(name));
    }
    DecodeErrors::Scope scope(errors, payloadKey);
    if (op == first) {
        First item;
        if (!fromCbor(payload, item, errors))
            return false;
        out = std::move(item);
    } else {
        Second item;
        if (!fromCbor(payload, item, errors))
            return false;
        out = std::move(item);
    }
    return reader.finish();
}

} // namespace

QCborValue toCbor(const BatchArgs &args)
{
    QCborArray items;
    for (const BatchItem &item : args.items)
        items.append(tagged(item, QStringLiteral("args")));
    QCborMap map;
    map.insert(QStringLiteral("items"), items);
    return map;
}

bool fromCbor(const QCborValue &value, BatchArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.items.clear();
    reader.array(QStringLiteral("items"), [&](const QCborValue &element, qsizetype) {
        BatchItem item;
        if (!decodeTagged(element, item, Operation::ApplyUpdates, Operation::Execute,
                          QStringLiteral("args"), errors))
            return false;
        out.items.append(std::move(item));
        return true;
    });
    return reader.finish();
}

QCborValue toCbor(const BatchReply &reply)
{
    QCborArray results;
    for (const BatchItemReply &result : reply.results)
        results.append(tagged(result, QStringLiteral("reply")));
    QCborMap map;
    map.insert(QStringLiteral("ok"), reply.ok);
    if (!reply.ok) {
        map.insert(QStringLiteral("failedIndex"), reply.failedIndex);
        map.insert(QStringLiteral("error"), toCbor(reply.error));
    }
    map.insert(QStringLiteral("results"), results);
    return map;
}

bool fromCbor(const QCborValue &value, BatchReply &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.ok = reader.boolean(QStringLiteral("ok"));
    out.failedIndex = -1;
    out.error = {};
    if (reader.ok() && !out.ok) {
        out.failedIndex = int(reader.integer(QStringLiteral("failedIndex"), 0,
                                             std::numeric_limits<int>::max()));
        if (!reader.object(QStringLiteral("error"), out.error))
            return false;
    }
    out.results.clear();
    reader.array(QStringLiteral("results"), [&](const QCborValue &element, qsizetype) {
        BatchItemReply result;
        if (!decodeTagged(element, result, Operation::ApplyUpdates, Operation::Execute,
                          QStringLiteral("reply"), errors))
            return false;
        out.results.append(std::move(result));
        return true;
    });
    if (reader.ok() && !out.ok && out.results.size() > out.failedIndex + 1) {
        DecodeErrors::Scope scope(errors, QStringLiteral("results"));
        return errors.fail(QStringLiteral("%1 results after the failed item %2")
                               .arg(out.results.size())
                               .arg(out.failedIndex));
    }
    return reader.finish();
}

} // namespace qv::protocol
