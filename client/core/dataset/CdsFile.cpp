#include "client/core/dataset/CdsFile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QFile>
#include <QSaveFile>

namespace qv::client {

namespace {

const QByteArray kMagic("QVCDS\x1a", 6);
constexpr int kHashSize = 32;
constexpr int kHeaderSize = 6 + 2 + 8 + kHashSize;
// Sanity limits for counts read from a file: a damaged count must not make the
// reader allocate without end.
constexpr quint32 kMaxFields = 4096;
constexpr quint32 kMaxRows = 50'000'000;

enum class Tag : quint8 { Null, Integer, Double, Text, Bytes, YesNo, DateTime };

void setupStream(QDataStream &s)
{
    s.setVersion(QDataStream::Qt_6_4);
    s.setByteOrder(QDataStream::BigEndian);
    s.setFloatingPointPrecision(QDataStream::DoublePrecision);
}

void writeValue(QDataStream &s, const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::UnknownType:
        s << quint8(Tag::Null);
        break;
    case QMetaType::Bool:
        s << quint8(Tag::YesNo) << v.toBool();
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        s << quint8(Tag::Double) << v.toDouble();
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        s << quint8(Tag::Integer) << qint64(v.toLongLong());
        break;
    case QMetaType::QByteArray:
        s << quint8(Tag::Bytes) << v.toByteArray();
        break;
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        const QDateTime dt = v.toDateTime();
        s << quint8(Tag::DateTime) << qint64(dt.date().toJulianDay()) << qint32(dt.time().msecsSinceStartOfDay());
        break;
    }
    default:
        s << quint8(Tag::Text) << v.toString();
        break;
    }
}

bool readValue(QDataStream &s, QVariant &v)
{
    quint8 tag = 0;
    s >> tag;
    switch (Tag(tag)) {
    case Tag::Null:
        v = QVariant();
        return true;
    case Tag::Integer: {
        qint64 n = 0;
        s >> n;
        v = n;
        return true;
    }
    case Tag::Double: {
        double d = 0;
        s >> d;
        v = d;
        return true;
    }
    case Tag::Text: {
        QString t;
        s >> t;
        v = t;
        return true;
    }
    case Tag::Bytes: {
        QByteArray b;
        s >> b;
        v = b;
        return true;
    }
    case Tag::YesNo: {
        bool b = false;
        s >> b;
        v = b;
        return true;
    }
    case Tag::DateTime: {
        qint64 day = 0;
        qint32 ms = 0;
        s >> day >> ms;
        const QDate date = QDate::fromJulianDay(day);
        const QTime time = QTime::fromMSecsSinceStartOfDay(ms);
        if (!date.isValid() || !time.isValid() || ms < 0)
            return false;
        v = QDateTime(date, time);
        return true;
    }
    }
    return false;
}

void writeValues(QDataStream &s, const QVariantList &values)
{
    s << quint32(values.size());
    for (const QVariant &v : values)
        writeValue(s, v);
}

bool readValues(QDataStream &s, QVariantList &values, quint32 expected)
{
    quint32 count = 0;
    s >> count;
    if (s.status() != QDataStream::Ok || count != expected)
        return false;
    values.clear();
    values.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        QVariant v;
        if (!readValue(s, v) || s.status() != QDataStream::Ok)
            return false;
        values << v;
    }
    return true;
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

QByteArray CdsFile::encode(const CdsContent &content)
{
    QByteArray payload;
    {
        QDataStream s(&payload, QIODevice::WriteOnly);
        setupStream(s);
        s << quint32(content.fields.size());
        for (const FieldDef &f : content.fields)
            s << f.name << quint8(f.type) << qint32(f.size) << quint16(f.flags.toInt());
        s << quint32(content.rows.size());
        for (const CdsRow &row : content.rows) {
            s << quint8(row.status);
            writeValues(s, row.values);
            if (row.status == CdsRow::Status::Modified || row.status == CdsRow::Status::Deleted)
                writeValues(s, row.original);
        }
    }
    QByteArray out;
    {
        QDataStream s(&out, QIODevice::WriteOnly);
        setupStream(s);
        s.writeRawData(kMagic.constData(), int(kMagic.size()));
        s << Version << quint64(payload.size());
        const QByteArray hash = QCryptographicHash::hash(payload, QCryptographicHash::Sha256);
        s.writeRawData(hash.constData(), int(hash.size()));
    }
    out += payload;
    return out;
}

std::optional<CdsContent> CdsFile::decode(const QByteArray &bytes, QString *error)
{
    const QString damaged = QStringLiteral("文件已损坏");
    if (bytes.size() < kHeaderSize || !bytes.startsWith(kMagic)) {
        fail(error, QStringLiteral("不是本系统保存的数据文件"));
        return std::nullopt;
    }
    QDataStream header(bytes.mid(kMagic.size(), kHeaderSize - kMagic.size()));
    setupStream(header);
    quint16 version = 0;
    quint64 size = 0;
    header >> version >> size;
    if (version == 0 || version > Version) {
        fail(error, QStringLiteral("数据文件的版本(%1)不能识别").arg(version));
        return std::nullopt;
    }
    const QByteArray hash = bytes.mid(kHeaderSize - kHashSize, kHashSize);
    const QByteArray payload = bytes.mid(kHeaderSize);
    if (quint64(payload.size()) != size
        || QCryptographicHash::hash(payload, QCryptographicHash::Sha256) != hash) {
        fail(error, damaged);
        return std::nullopt;
    }

    QDataStream s(payload);
    setupStream(s);
    CdsContent content;
    quint32 fieldCount = 0;
    s >> fieldCount;
    if (s.status() != QDataStream::Ok || fieldCount > kMaxFields) {
        fail(error, damaged);
        return std::nullopt;
    }
    for (quint32 i = 0; i < fieldCount; ++i) {
        FieldDef f;
        quint8 type = 0;
        qint32 fieldSize = 0;
        quint16 flags = 0;
        s >> f.name >> type >> fieldSize >> flags;
        if (s.status() != QDataStream::Ok || !isValidFieldType(type) || f.name.isEmpty()) {
            fail(error, damaged);
            return std::nullopt;
        }
        f.type = FieldType(type);
        f.size = fieldSize;
        f.flags = FieldFlags::fromInt(flags);
        content.fields << f;
    }
    quint32 rowCount = 0;
    s >> rowCount;
    if (s.status() != QDataStream::Ok || rowCount > kMaxRows) {
        fail(error, damaged);
        return std::nullopt;
    }
    for (quint32 i = 0; i < rowCount; ++i) {
        CdsRow row;
        quint8 status = 0;
        s >> status;
        if (status > quint8(CdsRow::Status::Deleted) || !readValues(s, row.values, fieldCount)) {
            fail(error, damaged);
            return std::nullopt;
        }
        row.status = CdsRow::Status(status);
        if ((row.status == CdsRow::Status::Modified || row.status == CdsRow::Status::Deleted)
            && !readValues(s, row.original, fieldCount)) {
            fail(error, damaged);
            return std::nullopt;
        }
        content.rows << row;
    }
    if (s.status() != QDataStream::Ok || !s.atEnd()) {
        fail(error, damaged);
        return std::nullopt;
    }
    return content;
}

bool CdsFile::write(const QString &path, const CdsContent &content, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, file.errorString());
    const QByteArray bytes = encode(content);
    if (file.write(bytes) != bytes.size())
        return fail(error, file.errorString());
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}

std::optional<CdsContent> CdsFile::read(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, file.errorString());
        return std::nullopt;
    }
    return decode(file.readAll(), error);
}

} // namespace qv::client
