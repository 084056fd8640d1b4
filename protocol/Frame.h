// Frames on the wire: a 4-byte big-endian length, then exactly one CBOR value of
// that many bytes.
//
// The reader keeps its parse state in the object, so a frame that arrives in
// pieces simply resumes when the next bytes come. Every length is checked the
// moment it is read: an announced frame length against the frame limit before a
// byte of its body is kept, array, map and string lengths inside the body against
// the bytes that are left. A peer that announces 2 GiB is refused at once.
//
// Errors are results with a text. After an error the reader stays failed and
// drops everything it holds: the connection is to be closed, there is no attempt
// to find the next frame boundary in a broken stream.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QCborValue>
#include <QList>
#include <QString>

namespace qv::protocol {

struct FrameLimits {
    // Largest CBOR body of one frame, in bytes.
    qint64 maxFrameSize = 64 * 1024 * 1024;
    // Largest total the reader holds at once (complete frames not yet taken plus
    // the frame being received). Never below maxFrameSize.
    qint64 maxBuffered = 80 * 1024 * 1024;
    // Deepest nesting of arrays, maps and tags inside one frame. The deepest
    // message (a batch of change packets) needs 9.
    int maxDepth = 32;
};

inline constexpr int kFrameHeaderSize = 4;

// The frame for a value: header and CBOR body. Empty, with the reason in *error,
// when the body would be larger than limits.maxFrameSize (the peer would refuse it).
QByteArray encodeFrame(const QCborValue &value, const FrameLimits &limits = {},
                       QString *error = nullptr);

// Checks that body is exactly one well-formed CBOR value within the limits and
// builds it. On failure returns an invalid QCborValue and the reason in *error.
// Integers must fit in 64 signed bits; strings must be valid UTF-8; the only tag
// allowed is the date tag of WireValue.h.
QCborValue decodeFrameBody(QByteArrayView body, const FrameLimits &limits, QString *error);

class FrameReader {
public:
    enum class Status {
        Frame,    // a value was taken
        NeedMore, // no complete frame yet
        Error,    // the stream is broken; see error()
    };

    explicit FrameReader(FrameLimits limits = {});

    // Adds received bytes. Returns false (and fails the reader) when a header
    // announces a frame over the limit, an empty frame, or when the bytes would
    // take the buffered total over maxBuffered.
    bool feed(QByteArrayView bytes);

    // Takes the next complete frame and decodes it. A body that is not one
    // valid CBOR value fails the reader.
    Status next(QCborValue *value);

    // The stream has ended. Returns false (and fails the reader) when it ended
    // inside a frame: the peer sent a truncated frame.
    bool finish();

    bool hasError() const { return !m_error.isEmpty(); }
    const QString &error() const { return m_error; }

    // Bytes held: complete frames not yet taken and the partial frame.
    qint64 buffered() const { return m_buffered; }
    // True between frames (no partial header or body held).
    bool atFrameBoundary() const { return m_headerFill == 0 && m_state == State::Header; }
    const FrameLimits &limits() const { return m_limits; }

private:
    enum class State { Header, Body };

    bool fail(const QString &message);
    qsizetype takeHeaderBytes(QByteArrayView bytes);
    qsizetype takeBodyBytes(QByteArrayView bytes);

    FrameLimits m_limits;
    State m_state = State::Header;
    char m_header[kFrameHeaderSize] = {};
    int m_headerFill = 0;
    qint64 m_bodyLength = 0;
    QByteArray m_body;
    QList<QByteArray> m_complete;
    qint64 m_buffered = 0;
    QString m_error;
};

} // namespace qv::protocol
