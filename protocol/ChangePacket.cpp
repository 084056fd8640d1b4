#include "protocol/ChangePacket.h"

#include <QSet>

#include <limits>

namespace qv::protocol {

namespace {

constexpr qint64 kIntMax = std::numeric_limits<int>::max();

QCborValue encodeModified(const ModifiedRow &row)
{
    QCborMap changed;
    for (auto it = row.newValues.constBegin(); it != row.newValues.constEnd(); ++it)
        changed.insert(qint64(it.key()), encodeValue(it.value()));
    QCborMap map;
    map.insert(QStringLiteral("old"), encodeRow(row.oldValues));
    map.insert(QStringLiteral("new"), changed);
    return map;
}

bool decodeChanged(const QCborValue &value, QMap<int, QVariant> &out, qsizetype width,
                   DecodeErrors &errors)
{
    if (!value.isMap())
        return errors.fail(QStringLiteral("expected a map of field index to value, found %1")
                               .arg(cborTypeName(value)));
    const QCborMap map = value.toMap();
    out.clear();
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const QCborValue key = it.key();
        if (!key.isInteger() || key.toInteger() < 0 || key.toInteger() >= width)
            return errors.fail(QStringLiteral("changed field %1 is not an index below %2")
                                   .arg(key.isInteger() ? QString::number(key.toInteger())
                                                        : cborTypeName(key))
                                   .arg(width));
        const int index = int(key.toInteger());
        if (out.contains(index))
            return errors.fail(QStringLiteral("changed field %1 appears twice").arg(index));
        DecodeErrors::Scope scope(errors, qsizetype(index));
        QVariant v;
        if (!decodeValue(it.value(), v, errors))
            return false;
        out.insert(index, v);
    }
    return true;
}

bool decodeModified(const QCborValue &value, ModifiedRow &out, qsizetype width, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    const QCborValue old = reader.value(QStringLiteral("old"));
    const QCborValue changed = reader.value(QStringLiteral("new"));
    if (!reader.ok())
        return false;
    {
        DecodeErrors::Scope scope(errors, QStringLiteral("old"));
        if (!decodeRow(old, out.oldValues, errors, width, NotFetchedMarker::Allowed))
            return false;
    }
    {
        DecodeErrors::Scope scope(errors, QStringLiteral("new"));
        if (!decodeChanged(changed, out.newValues, width, errors))
            return false;
    }
    return reader.finish();
}

bool readKind(MapReader &reader, DecodeErrors &errors, ChangeKind &out)
{
    const QString name = reader.text(QStringLiteral("kind"));
    if (!reader.ok())
        return false;
    const auto kind = changeKindFromName(name);
    if (!kind) {
        DecodeErrors::Scope scope(errors, QStringLiteral("kind"));
        return errors.fail(QStringLiteral("unknown change kind '%1'").arg(name));
    }
    out = *kind;
    return true;
}

} // namespace

QString changeKindName(ChangeKind kind)
{
    switch (kind) {
    case ChangeKind::Insert:
        return QStringLiteral("insert");
    case ChangeKind::Modify:
        return QStringLiteral("modify");
    case ChangeKind::Delete:
        return QStringLiteral("delete");
    }
    return {};
}

std::optional<ChangeKind> changeKindFromName(const QString &name)
{
    for (ChangeKind kind : {ChangeKind::Insert, ChangeKind::Modify, ChangeKind::Delete}) {
        if (changeKindName(kind) == name)
            return kind;
    }
    return std::nullopt;
}

int ChangePacket::fieldIndex(const QString &name) const
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QCborValue toCbor(const ChangePacket &packet)
{
    QCborArray modified;
    for (const ModifiedRow &row : packet.modified)
        modified.append(encodeModified(row));
    QCborMap map;
    map.insert(QStringLiteral("fields"), QCborArray::fromStringList(packet.fields));
    map.insert(QStringLiteral("inserted"), encodeRows(packet.inserted));
    map.insert(QStringLiteral("modified"), modified);
    map.insert(QStringLiteral("deleted"), encodeRows(packet.deleted));
    map.insert(QStringLiteral("maxErrors"), packet.maxErrors);
    return map;
}

bool fromCbor(const QCborValue &value, ChangePacket &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.fields = reader.textList(QStringLiteral("fields"));
    if (!reader.ok())
        return false;
    QSet<QString> names;
    for (const QString &name : std::as_const(out.fields)) {
        DecodeErrors::Scope scope(errors, QStringLiteral("fields"));
        if (name.isEmpty())
            return errors.fail(QStringLiteral("empty field name"));
        if (names.contains(name.toCaseFolded()))
            return errors.fail(QStringLiteral("field name '%1' appears twice").arg(name));
        names.insert(name.toCaseFolded());
    }
    const qsizetype width = out.fields.size();
    const QCborValue inserted = reader.value(QStringLiteral("inserted"));
    const QCborValue modified = reader.value(QStringLiteral("modified"));
    const QCborValue deleted = reader.value(QStringLiteral("deleted"));
    out.maxErrors = int(reader.integer(QStringLiteral("maxErrors"), -1, kIntMax));
    if (!reader.ok())
        return false;
    {
        DecodeErrors::Scope scope(errors, QStringLiteral("inserted"));
        if (!decodeRows(inserted, out.inserted, errors, width))
            return false;
    }
    {
        DecodeErrors::Scope scope(errors, QStringLiteral("modified"));
        out.modified.clear();
        const bool ok = decodeArray(modified, errors, [&](const QCborValue &element, qsizetype) {
            ModifiedRow row;
            if (!decodeModified(element, row, width, errors))
                return false;
            out.modified.append(std::move(row));
            return true;
        });
        if (!ok)
            return false;
    }
    {
        DecodeErrors::Scope scope(errors, QStringLiteral("deleted"));
        if (!decodeRows(deleted, out.deleted, errors, width, NotFetchedMarker::Allowed))
            return false;
    }
    return reader.finish();
}

QCborValue toCbor(const FailedRow &row)
{
    QCborMap map;
    map.insert(QStringLiteral("kind"), changeKindName(row.kind));
    map.insert(QStringLiteral("index"), row.index);
    map.insert(QStringLiteral("error"), row.error);
    if (row.hasCurrent)
        map.insert(QStringLiteral("current"), encodeRow(row.current));
    return map;
}

bool fromCbor(const QCborValue &value, FailedRow &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    if (!readKind(reader, errors, out.kind))
        return false;
    out.index = int(reader.integer(QStringLiteral("index"), 0, kIntMax));
    out.error = reader.text(QStringLiteral("error"));
    out.hasCurrent = reader.has(QStringLiteral("current"));
    if (out.hasCurrent) {
        const QCborValue current = reader.value(QStringLiteral("current"));
        if (!reader.ok())
            return false;
        DecodeErrors::Scope scope(errors, QStringLiteral("current"));
        if (!decodeRow(current, out.current, errors, -1, NotFetchedMarker::Refused))
            return false;
    }
    return reader.finish();
}

QCborValue toCbor(const SavedRow &row)
{
    QCborMap map;
    map.insert(QStringLiteral("kind"), changeKindName(row.kind));
    map.insert(QStringLiteral("index"), row.index);
    map.insert(QStringLiteral("values"), encodeRow(row.values));
    return map;
}

bool fromCbor(const QCborValue &value, SavedRow &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    if (!readKind(reader, errors, out.kind))
        return false;
    out.index = int(reader.integer(QStringLiteral("index"), 0, kIntMax));
    const QCborValue values = reader.value(QStringLiteral("values"));
    if (!reader.ok())
        return false;
    {
        DecodeErrors::Scope scope(errors, QStringLiteral("values"));
        if (!decodeRow(values, out.values, errors, -1, NotFetchedMarker::Allowed))
            return false;
    }
    return reader.finish();
}

} // namespace qv::protocol
