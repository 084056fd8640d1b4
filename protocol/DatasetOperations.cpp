#include "protocol/DatasetOperations.h"

#include <limits>

namespace qv::protocol {

namespace {

constexpr qint64 kIntMax = std::numeric_limits<int>::max();
constexpr qint64 kInt64Max = std::numeric_limits<qint64>::max();

QCborValue textList(const QStringList &list)
{
    return QCborArray::fromStringList(list);
}

// Decodes a field that is a list of objects (failed rows, saved rows).
template <typename T>
bool objectList(MapReader &reader, const QString &key, QList<T> &out, DecodeErrors &errors)
{
    out.clear();
    return reader.array(key, [&](const QCborValue &element, qsizetype) {
        T item;
        if (!fromCbor(element, item, errors))
            return false;
        out.append(std::move(item));
        return true;
    });
}

template <typename T>
QCborValue objectArray(const QList<T> &list)
{
    QCborArray array;
    for (const T &item : list)
        array.append(toCbor(item));
    return array;
}

bool rowsField(MapReader &reader, const QString &key, QList<Row> &out, qsizetype width,
               DecodeErrors &errors)
{
    const QCborValue v = reader.value(key);
    if (!reader.ok())
        return false;
    DecodeErrors::Scope scope(errors, key);
    return decodeRows(v, out, errors, width, NotFetchedMarker::Allowed);
}

bool rowField(MapReader &reader, const QString &key, Row &out, qsizetype width,
              NotFetchedMarker marker, DecodeErrors &errors)
{
    const QCborValue v = reader.value(key);
    if (!reader.ok())
        return false;
    DecodeErrors::Scope scope(errors, key);
    return decodeRow(v, out, errors, width, marker);
}

bool paramsField(MapReader &reader, QList<Param> &out)
{
    return reader.object(QStringLiteral("params"), out);
}

} // namespace

QString checkRowWidth(const QList<Row> &rows, qsizetype width)
{
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i].size() != width)
            return QStringLiteral("row %1 has %2 values for %3 fields")
                .arg(i)
                .arg(rows[i].size())
                .arg(width);
    }
    return {};
}

QCborValue toCbor(const NamesReply &reply)
{
    QCborMap map;
    map.insert(QStringLiteral("names"), textList(reply.names));
    return map;
}

bool fromCbor(const QCborValue &value, NamesReply &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.names = reader.textList(QStringLiteral("names"));
    return reader.finish();
}

QCborValue toCbor(const GetProviderNamesArgs &)
{
    return QCborMap();
}

bool fromCbor(const QCborValue &value, GetProviderNamesArgs &, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    return reader.finish();
}

QCborValue toCbor(const OpenArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("dataset"), args.dataset);
    if (args.statement)
        map.insert(QStringLiteral("statement"), *args.statement);
    map.insert(QStringLiteral("packetSize"), args.packetSize);
    map.insert(QStringLiteral("params"), toCbor(args.params));
    map.insert(QStringLiteral("includeBlobs"), args.includeBlobs);
    return map;
}

bool fromCbor(const QCborValue &value, OpenArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.dataset = reader.text(QStringLiteral("dataset"));
    out.statement = reader.optionalText(QStringLiteral("statement"));
    out.packetSize = int(reader.integer(QStringLiteral("packetSize"), kAllRows, kIntMax));
    if (!paramsField(reader, out.params))
        return false;
    out.includeBlobs = reader.boolean(QStringLiteral("includeBlobs"));
    return reader.finish();
}

QCborValue toCbor(const OpenReply &reply)
{
    QCborMap map;
    map.insert(QStringLiteral("cursor"), reply.cursor);
    map.insert(QStringLiteral("fields"), toCbor(reply.fields));
    map.insert(QStringLiteral("rows"), encodeRows(reply.rows));
    map.insert(QStringLiteral("endOfData"), reply.endOfData);
    return map;
}

bool fromCbor(const QCborValue &value, OpenReply &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.cursor = reader.integer(QStringLiteral("cursor"), 0, kInt64Max);
    if (!reader.object(QStringLiteral("fields"), out.fields))
        return false;
    if (!rowsField(reader, QStringLiteral("rows"), out.rows, out.fields.size(), errors))
        return false;
    out.endOfData = reader.boolean(QStringLiteral("endOfData"));
    if (reader.ok() && out.endOfData != (out.cursor == 0)) {
        DecodeErrors::Scope scope(errors, QStringLiteral("cursor"));
        return errors.fail(out.endOfData ? QStringLiteral("a finished open must not keep a cursor")
                                         : QStringLiteral("an open with more rows needs a cursor"));
    }
    return reader.finish();
}

QCborValue toCbor(const FetchArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("cursor"), args.cursor);
    map.insert(QStringLiteral("count"), args.count);
    return map;
}

bool fromCbor(const QCborValue &value, FetchArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.cursor = reader.integer(QStringLiteral("cursor"), 1, kInt64Max);
    out.count = int(reader.integer(QStringLiteral("count"), kAllRows, kIntMax));
    if (reader.ok() && out.count == 0) {
        DecodeErrors::Scope scope(errors, QStringLiteral("count"));
        return errors.fail(QStringLiteral("a fetch of 0 rows"));
    }
    return reader.finish();
}

QCborValue toCbor(const FetchReply &reply)
{
    QCborMap map;
    map.insert(QStringLiteral("rows"), encodeRows(reply.rows));
    map.insert(QStringLiteral("endOfData"), reply.endOfData);
    return map;
}

bool fromCbor(const QCborValue &value, FetchReply &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    if (!rowsField(reader, QStringLiteral("rows"), out.rows, -1, errors))
        return false;
    out.endOfData = reader.boolean(QStringLiteral("endOfData"));
    return reader.finish();
}

QCborValue toCbor(const CloseCursorArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("cursor"), args.cursor);
    return map;
}

bool fromCbor(const QCborValue &value, CloseCursorArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.cursor = reader.integer(QStringLiteral("cursor"), 1, kInt64Max);
    return reader.finish();
}

QCborValue toCbor(const FetchBlobsArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("dataset"), args.dataset);
    map.insert(QStringLiteral("keyFields"), textList(args.keyFields));
    map.insert(QStringLiteral("keyValues"), encodeRow(args.keyValues));
    return map;
}

bool fromCbor(const QCborValue &value, FetchBlobsArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.dataset = reader.text(QStringLiteral("dataset"));
    out.keyFields = reader.textList(QStringLiteral("keyFields"));
    if (reader.ok() && out.keyFields.isEmpty()) {
        DecodeErrors::Scope scope(errors, QStringLiteral("keyFields"));
        return errors.fail(QStringLiteral("no key field"));
    }
    if (!rowField(reader, QStringLiteral("keyValues"), out.keyValues, out.keyFields.size(),
                  NotFetchedMarker::Refused, errors))
        return false;
    return reader.finish();
}

QCborValue toCbor(const FetchBlobsReply &reply)
{
    QCborMap map;
    map.insert(QStringLiteral("fields"), textList(reply.fields));
    map.insert(QStringLiteral("values"), encodeRow(reply.values));
    return map;
}

bool fromCbor(const QCborValue &value, FetchBlobsReply &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.fields = reader.textList(QStringLiteral("fields"));
    if (!rowField(reader, QStringLiteral("values"), out.values, out.fields.size(),
                  NotFetchedMarker::Refused, errors))
        return false;
    return reader.finish();
}

QCborValue toCbor(const ApplyUpdatesArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("dataset"), args.dataset);
    map.insert(QStringLiteral("packet"), toCbor(args.packet));
    return map;
}

bool fromCbor(const QCborValue &value, ApplyUpdatesArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.dataset = reader.text(QStringLiteral("dataset"));
    if (!reader.object(QStringLiteral("packet"), out.packet))
        return false;
    return reader.finish();
}

QCborValue toCbor(const ApplyUpdatesReply &reply)
{
    QCborMap map;
    map.insert(QStringLiteral("errorCount"), reply.errorCount);
    map.insert(QStringLiteral("committed"), reply.committed);
    map.insert(QStringLiteral("failed"), objectArray(reply.failed));
    map.insert(QStringLiteral("savedFields"), textList(reply.savedFields));
    map.insert(QStringLiteral("saved"), objectArray(reply.saved));
    return map;
}

bool fromCbor(const QCborValue &value, ApplyUpdatesReply &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.errorCount = int(reader.integer(QStringLiteral("errorCount"), 0, kIntMax));
    out.committed = reader.boolean(QStringLiteral("committed"));
    if (!objectList(reader, QStringLiteral("failed"), out.failed, errors))
        return false;
    out.savedFields = reader.textList(QStringLiteral("savedFields"));
    if (!objectList(reader, QStringLiteral("saved"), out.saved, errors))
        return false;
    const auto widthFails = [&](const QString &list, qsizetype i, qsizetype width) {
        if (width == out.savedFields.size())
            return false;
        DecodeErrors::Scope scope(errors, list);
        DecodeErrors::Scope index(errors, i);
        return !errors.fail(QStringLiteral("row of %1 values for %2 fields").arg(width).arg(out.savedFields.size()));
    };
    for (qsizetype i = 0; i < out.saved.size(); ++i) {
        if (widthFails(QStringLiteral("saved"), i, out.saved[i].values.size()))
            return false;
    }
    for (qsizetype i = 0; i < out.failed.size(); ++i) {
        if (out.failed[i].hasCurrent && widthFails(QStringLiteral("failed"), i, out.failed[i].current.size()))
            return false;
    }
    return reader.finish();
}

QCborValue toCbor(const ExecuteArgs &args)
{
    QCborMap map;
    if (args.dataset)
        map.insert(QStringLiteral("dataset"), *args.dataset);
    map.insert(QStringLiteral("statement"), args.statement);
    map.insert(QStringLiteral("params"), toCbor(args.params));
    return map;
}

bool fromCbor(const QCborValue &value, ExecuteArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.dataset = reader.optionalText(QStringLiteral("dataset"));
    out.statement = reader.text(QStringLiteral("statement"));
    if (!paramsField(reader, out.params))
        return false;
    return reader.finish();
}

QCborValue toCbor(const ExecuteReply &reply)
{
    QCborMap map;
    map.insert(QStringLiteral("rowsAffected"), reply.rowsAffected);
    return map;
}

bool fromCbor(const QCborValue &value, ExecuteReply &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    // -1: the engine could not tell.
    out.rowsAffected = reader.integer(QStringLiteral("rowsAffected"), -1, kInt64Max);
    return reader.finish();
}

QCborValue toCbor(const GetParamsArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("dataset"), args.dataset);
    return map;
}

bool fromCbor(const QCborValue &value, GetParamsArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.dataset = reader.text(QStringLiteral("dataset"));
    return reader.finish();
}

QCborValue toCbor(const GetParamsReply &reply)
{
    QCborMap map;
    map.insert(QStringLiteral("params"), toCbor(reply.params));
    return map;
}

bool fromCbor(const QCborValue &value, GetParamsReply &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    if (!paramsField(reader, out.params))
        return false;
    return reader.finish();
}

} // namespace qv::protocol
