// The local dump of a dataset (the ".cds" file): its fields, its rows and its
// pending changes, so that lines a failed save left behind can be loaded again
// and saved later.
//
// Layout: the bytes "QVCDS\x1a", a 16-bit version, the payload length (64 bits)
// and its SHA-256, then the payload written with QDataStream (big-endian, Qt 6.4
// stream format). Values are written with a tag of their own (null, integer,
// double, text, bytes, yes/no, date-time), never as raw QVariants. A file whose
// header, length, checksum or contents do not check out is refused as a whole.
#pragma once

#include "client/core/dataset/FieldDef.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace qv::client {

struct CdsRow {
    enum class Status : quint8 { Unmodified, Modified, Inserted, Deleted };
    Status status = Status::Unmodified;
    QVariantList values;   // as the row is now (as it was, for a deleted row)
    QVariantList original; // the server's values (modified and deleted rows)
};

struct CdsContent {
    FieldDefs fields;
    QList<CdsRow> rows;
};

class CdsFile {
public:
    static constexpr quint16 Version = 1;

    // Writes atomically: a failed write leaves any older file as it was.
    static bool write(const QString &path, const CdsContent &content, QString *error);
    static std::optional<CdsContent> read(const QString &path, QString *error);

    // The same, in memory.
    static QByteArray encode(const CdsContent &content);
    static std::optional<CdsContent> decode(const QByteArray &bytes, QString *error);
};

} // namespace qv::client
