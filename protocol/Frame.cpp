#include "protocol/Frame.h"

#include "protocol/WireValue.h"

#include <QCborStreamReader>
#include <QtEndian>

#include <limits>

namespace qv::protocol {

namespace {

constexpr quint64 kInt64Max = quint64(std::numeric_limits<qint64>::max());

QString readerError(QCborStreamReader &reader)
{
    return QStringLiteral("malformed CBOR at byte %1: %2")
        .arg(reader.currentOffset())
        .arg(reader.lastError().toString());
}

// Walks the body once without building anything, so that every announced length
// is compared with the bytes that are really there before QCborValue allocates
// for it, and so that the nesting depth is bounded before anything recurses.
class BodyChecker {
public:
    BodyChecker(QByteArrayView body, const FrameLimits &limits)
        : m_body(body), m_limits(limits), m_reader(body.data(), body.size())
    {
    }

    QString run();

private:
    qint64 bytesLeft() const { return m_body.size() - m_reader.currentOffset(); }
    // Reads one item. A container is only entered (*enteredContainer is set);
    // its elements come in the following rounds.
    QString readItem(bool *enteredContainer);
    QString readString();
    QString enterContainer();

    QByteArrayView m_body;
    const FrameLimits &m_limits;
    QCborStreamReader m_reader;
    int m_depth = 0;
    bool m_expectDateText = false;
};

QString BodyChecker::run()
{
    if (m_body.isEmpty())
        return QStringLiteral("empty frame");
    bool done = false;
    while (!done) {
        if (m_depth > 0 && !m_reader.hasNext()) {
            if (m_reader.lastError() != QCborError::NoError)
                return readerError(m_reader);
            if (!m_reader.leaveContainer())
                return readerError(m_reader);
            --m_depth;
            done = m_depth == 0;
            continue;
        }
        bool entered = false;
        const bool wasDateText = m_expectDateText;
        QString error = readItem(&entered);
        if (!error.isEmpty())
            return error;
        const bool tagJustRead = m_expectDateText && !wasDateText;
        done = m_depth == 0 && !entered && !tagJustRead;
    }
    if (m_reader.currentOffset() != m_body.size())
        return QStringLiteral("%1 bytes after the end of the value")
            .arg(m_body.size() - m_reader.currentOffset());
    return {};
}

QString BodyChecker::readItem(bool *enteredContainer)
{
    using Type = QCborStreamReader::Type;
    const Type type = m_reader.type();
    if (m_expectDateText && type != Type::String)
        return QStringLiteral("tag %1 must hold a date text").arg(kDateTimeTag);
    switch (type) {
    case Type::UnsignedInteger:
        if (m_reader.toUnsignedInteger() > kInt64Max)
            return QStringLiteral("integer at byte %1 does not fit in 64 signed bits")
                .arg(m_reader.currentOffset());
        break;
    case Type::NegativeInteger: {
        // QCborNegativeInteger holds the magnitude; 0 stands for -2^64.
        const quint64 magnitude = quint64(m_reader.toNegativeInteger());
        if (magnitude == 0 || magnitude > kInt64Max + 1)
            return QStringLiteral("integer at byte %1 does not fit in 64 signed bits")
                .arg(m_reader.currentOffset());
        break;
    }
    case Type::ByteArray:
    case Type::String:
        return readString();
    case Type::Array:
    case Type::Map:
        *enteredContainer = true;
        return enterContainer();
    case Type::Tag:
        if (m_reader.toTag() != QCborTag(kDateTimeTag))
            return QStringLiteral("unsupported CBOR tag %1 at byte %2")
                .arg(quint64(m_reader.toTag()))
                .arg(m_reader.currentOffset());
        m_expectDateText = true;
        break;
    case Type::SimpleType:
        // false, true, null and undefined (the not-fetched marker); nothing else.
        if (!m_reader.isBool() && !m_reader.isNull() && !m_reader.isUndefined())
            return QStringLiteral("unsupported CBOR simple value %1 at byte %2")
                .arg(int(m_reader.toSimpleType()))
                .arg(m_reader.currentOffset());
        break;
    case Type::Float16:
    case Type::Float:
    case Type::Double:
        break;
    case Type::Invalid:
    default:
        return readerError(m_reader);
    }
    if (!m_reader.next())
        return readerError(m_reader);
    return {};
}

QString BodyChecker::readString()
{
    const bool text = m_reader.isString();
    if (m_reader.isLengthKnown() && m_reader.length() > quint64(bytesLeft()))
        return QStringLiteral("string of %1 bytes announced with %2 bytes left")
            .arg(m_reader.length())
            .arg(bytesLeft());
    m_expectDateText = false;
    for (;;) {
        const auto status = text ? m_reader.readString().status : m_reader.readByteArray().status;
        if (status == QCborStreamReader::EndOfString)
            return {};
        if (status == QCborStreamReader::Error)
            return readerError(m_reader);
    }
}

QString BodyChecker::enterContainer()
{
    if (m_depth + 1 > m_limits.maxDepth)
        return QStringLiteral("nesting deeper than %1 levels").arg(m_limits.maxDepth);
    if (m_reader.isLengthKnown()) {
        // Every element takes at least one byte; a map holds two per entry.
        const quint64 count = m_reader.length();
        const quint64 needed = m_reader.isMap() ? count * 2 : count;
        if (count > quint64(bytesLeft()) || needed > quint64(bytesLeft()))
            return QStringLiteral("%1 of %2 elements announced with %3 bytes left")
                .arg(m_reader.isMap() ? QStringLiteral("map") : QStringLiteral("array"))
                .arg(count)
                .arg(bytesLeft());
    }
    if (!m_reader.enterContainer())
        return readerError(m_reader);
    ++m_depth;
    return {};
}

} // namespace

QByteArray encodeFrame(const QCborValue &value, const FrameLimits &limits, QString *error)
{
    const QByteArray body = value.toCbor();
    if (body.size() > limits.maxFrameSize || quint64(body.size()) > 0xFFFFFFFFu) {
        if (error)
            *error = QStringLiteral("frame of %1 bytes is over the limit of %2 bytes")
                         .arg(body.size())
                         .arg(limits.maxFrameSize);
        return {};
    }
    QByteArray frame(kFrameHeaderSize, Qt::Uninitialized);
    qToBigEndian(quint32(body.size()), frame.data());
    frame.append(body);
    return frame;
}

QCborValue decodeFrameBody(QByteArrayView body, const FrameLimits &limits, QString *error)
{
    QString problem = BodyChecker(body, limits).run();
    QCborValue value;
    if (problem.isEmpty()) {
        QCborParserError parseError;
        value = QCborValue::fromCbor(QByteArray::fromRawData(body.data(), body.size()), &parseError);
        if (parseError.error != QCborError::NoError)
            problem = QStringLiteral("malformed CBOR: %1").arg(parseError.errorString());
    }
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return QCborValue(QCborValue::Invalid);
    }
    return value;
}

FrameReader::FrameReader(FrameLimits limits)
    : m_limits(limits)
{
    m_limits.maxBuffered = std::max(m_limits.maxBuffered, m_limits.maxFrameSize);
}

bool FrameReader::fail(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
    m_complete.clear();
    m_body = QByteArray();
    m_buffered = 0;
    return false;
}

bool FrameReader::feed(QByteArrayView bytes)
{
    if (hasError())
        return false;
    while (!bytes.isEmpty()) {
        const qsizetype used =
            m_state == State::Header ? takeHeaderBytes(bytes) : takeBodyBytes(bytes);
        if (used < 0)
            return false;
        bytes = bytes.sliced(used);
    }
    return true;
}

qsizetype FrameReader::takeHeaderBytes(QByteArrayView bytes)
{
    const qsizetype count = std::min<qsizetype>(kFrameHeaderSize - m_headerFill, bytes.size());
    std::copy_n(bytes.data(), count, m_header + m_headerFill);
    m_headerFill += int(count);
    if (m_headerFill < kFrameHeaderSize)
        return count;

    const quint32 length = qFromBigEndian<quint32>(m_header);
    m_headerFill = 0;
    if (length == 0) {
        fail(QStringLiteral("empty frame"));
        return -1;
    }
    if (qint64(length) > m_limits.maxFrameSize) {
        fail(QStringLiteral("frame of %1 bytes is over the limit of %2 bytes")
                 .arg(length)
                 .arg(m_limits.maxFrameSize));
        return -1;
    }
    m_bodyLength = length;
    m_body = QByteArray();
    m_state = State::Body;
    return count;
}

qsizetype FrameReader::takeBodyBytes(QByteArrayView bytes)
{
    const qsizetype count = std::min<qsizetype>(m_bodyLength - m_body.size(), bytes.size());
    if (m_buffered + count > m_limits.maxBuffered) {
        fail(QStringLiteral("more than %1 bytes of input waiting").arg(m_limits.maxBuffered));
        return -1;
    }
    m_body.append(bytes.first(count));
    m_buffered += count;
    if (m_body.size() == m_bodyLength) {
        m_complete.append(m_body);
        m_body = QByteArray();
        m_state = State::Header;
    }
    return count;
}

FrameReader::Status FrameReader::next(QCborValue *value)
{
    if (hasError())
        return Status::Error;
    if (m_complete.isEmpty())
        return Status::NeedMore;
    const QByteArray body = m_complete.takeFirst();
    m_buffered -= body.size();
    QString problem;
    QCborValue decoded = decodeFrameBody(body, m_limits, &problem);
    if (!problem.isEmpty()) {
        fail(problem);
        return Status::Error;
    }
    *value = std::move(decoded);
    return Status::Frame;
}

bool FrameReader::finish()
{
    if (hasError())
        return false;
    if (m_state == State::Body)
        return fail(QStringLiteral("the stream ended inside a frame: %1 of %2 bytes received")
                        .arg(m_body.size())
                        .arg(m_bodyLength));
    if (m_headerFill > 0)
        return fail(QStringLiteral("the stream ended inside a frame header: %1 of %2 bytes received")
                        .arg(m_headerFill)
                        .arg(kFrameHeaderSize));
    return true;
}

} // namespace qv::protocol
