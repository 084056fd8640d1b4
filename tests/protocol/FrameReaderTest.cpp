// The frame reader under friendly and hostile input: frames split anywhere,
// lengths checked when they are read, malformed CBOR refused, and no byte
// sequence that crashes it or makes it hold more than its limit.
#include "protocol/Frame.h"
#include "protocol/Messages.h"
#include "protocol/WireValue.h"

#include <QCborArray>
#include <QCborMap>

#include <gtest/gtest.h>

#include <random>

using namespace qv::protocol;

namespace {

QByteArray header(quint32 length)
{
    QByteArray out(4, '\0');
    out[0] = char(length >> 24);
    out[1] = char(length >> 16);
    out[2] = char(length >> 8);
    out[3] = char(length);
    return out;
}

QByteArray rawFrame(const QByteArray &body)
{
    return header(quint32(body.size())) + body;
}

QList<QCborValue> sampleValues()
{
    QCborMap map;
    map.insert(QStringLiteral("kind"), QStringLiteral("result"));
    map.insert(QStringLiteral("text"), QStringLiteral("仓库 A"));
    QCborArray rows;
    for (int i = 0; i < 300; ++i)
        rows.append(encodeRow({i, QStringLiteral("货品%1").arg(i), QByteArray(i % 7, 'x'), 1.5 * i}));
    map.insert(QStringLiteral("rows"), rows);
    return {QCborValue(1), map, QCborValue(QStringLiteral("")), QCborArray{}, encodeValue(QDateTime::currentDateTime())};
}

// Feeds `stream` in pieces chosen by nextSize and collects every frame.
QList<QCborValue> readAll(const QByteArray &stream, const std::function<qsizetype()> &nextSize,
                          FrameReader &reader)
{
    QList<QCborValue> out;
    qsizetype pos = 0;
    while (pos < stream.size()) {
        const qsizetype n = std::min(nextSize(), stream.size() - pos);
        EXPECT_TRUE(reader.feed(QByteArrayView(stream).sliced(pos, n))) << reader.error().toStdString();
        pos += n;
        QCborValue value;
        while (reader.next(&value) == FrameReader::Status::Frame)
            out.append(value);
    }
    return out;
}

QByteArray streamOf(const QList<QCborValue> &values)
{
    QByteArray stream;
    for (const QCborValue &v : values)
        stream += encodeFrame(v);
    return stream;
}

TEST(FrameReader, ResumesPartialFramesWhateverTheChunking)
{
    const QList<QCborValue> values = sampleValues();
    const QByteArray stream = streamOf(values);

    const std::vector<std::pair<std::string, std::function<qsizetype()>>> chunkings = [] {
        std::vector<std::pair<std::string, std::function<qsizetype()>>> out;
        out.emplace_back("byteByByte", [] { return qsizetype(1); });
        out.emplace_back("allAtOnce", [] { return qsizetype(1) << 30; });
        for (unsigned seed : {1u, 7u, 2024u}) {
            auto rng = std::make_shared<std::mt19937>(seed);
            out.emplace_back("random" + std::to_string(seed), [rng] {
                return qsizetype(std::uniform_int_distribution<int>(1, 700)(*rng));
            });
        }
        return out;
    }();
    for (const auto &[name, nextSize] : chunkings) {
        FrameReader reader;
        const QList<QCborValue> got = readAll(stream, nextSize, reader);
        ASSERT_EQ(got.size(), values.size()) << name;
        for (qsizetype i = 0; i < values.size(); ++i)
            EXPECT_EQ(got[i].toCbor(), values[i].toCbor()) << name << " frame " << i;
        EXPECT_TRUE(reader.atFrameBoundary()) << name;
        EXPECT_EQ(reader.buffered(), 0) << name;
        EXPECT_TRUE(reader.finish()) << name;
    }
}

TEST(FrameReader, AnnouncedLengthOverTheLimitIsRefusedBeforeTheBody)
{
    FrameLimits limits;
    limits.maxFrameSize = 1000;
    for (quint32 length : {1001u, 0x80000000u, 0xFFFFFFFFu}) {
        FrameReader reader(limits);
        // The header arrives with the first body bytes; none of them is kept.
        EXPECT_FALSE(reader.feed(header(length) + QByteArray(512, '\x81')));
        EXPECT_EQ(reader.buffered(), 0);
        EXPECT_TRUE(reader.error().contains(QStringLiteral("over the limit of 1000 bytes")))
            << reader.error().toStdString();
        // Sticky: the stream is not resynchronised.
        EXPECT_FALSE(reader.feed(encodeFrame(QCborValue(1))));
        QCborValue value;
        EXPECT_EQ(reader.next(&value), FrameReader::Status::Error);
    }

    // Refused as soon as the fourth header byte is read, with no body at all.
    FrameReader reader(limits);
    EXPECT_TRUE(reader.feed(header(0x80000000u).first(3)));
    EXPECT_FALSE(reader.feed(header(0x80000000u).last(1)));
}

TEST(FrameReader, FrameOfExactlyTheLimitIsAccepted)
{
    FrameLimits limits;
    limits.maxFrameSize = 64;
    const QByteArray body = QCborValue(QByteArray(62, 'a')).toCbor(); // 2-byte head + 62
    ASSERT_EQ(body.size(), 64);
    FrameReader reader(limits);
    ASSERT_TRUE(reader.feed(rawFrame(body)));
    QCborValue value;
    EXPECT_EQ(reader.next(&value), FrameReader::Status::Frame);

    QString error;
    EXPECT_TRUE(encodeFrame(QCborValue(QByteArray(63, 'a')), limits, &error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("over the limit"))) << error.toStdString();
}

TEST(FrameReader, TruncatedStreamIsReportedAtTheEnd)
{
    const QByteArray frame = encodeFrame(sampleValues()[1]);
    const struct {
        const char *name;
        qsizetype cut;
        const char *message;
    } cases[] = {
        {"insideHeader", 2, "inside a frame header: 2 of 4"},
        {"afterHeader", 4, "inside a frame: 0 of"},
        {"insideBody", frame.size() - 1, "inside a frame:"},
    };
    for (const auto &c : cases) {
        FrameReader reader;
        ASSERT_TRUE(reader.feed(frame.first(c.cut)));
        QCborValue value;
        EXPECT_EQ(reader.next(&value), FrameReader::Status::NeedMore);
        EXPECT_FALSE(reader.finish()) << c.name;
        EXPECT_TRUE(reader.error().contains(QLatin1String(c.message)))
            << c.name << ": " << reader.error().toStdString();
    }
}

TEST(FrameReader, TotalBufferedInputIsCapped)
{
    FrameLimits limits;
    limits.maxFrameSize = 100;
    limits.maxBuffered = 150;
    const QByteArray frame = encodeFrame(QCborValue(QByteArray(78, 'z')), limits); // 80-byte body
    FrameReader reader(limits);
    ASSERT_TRUE(reader.feed(frame));
    // A second complete frame that nobody takes would hold 160 bytes.
    EXPECT_FALSE(reader.feed(frame));
    EXPECT_TRUE(reader.error().contains(QStringLiteral("more than 150 bytes")));
    EXPECT_EQ(reader.buffered(), 0);

    FrameReader taking(limits);
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(taking.feed(frame));
        QCborValue value;
        ASSERT_EQ(taking.next(&value), FrameReader::Status::Frame);
    }
}

struct HostileCase {
    const char *name;
    QByteArray body;
    const char *message;
};

class HostileBody : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileBody, IsRefusedWithAClearText)
{
    const HostileCase &c = GetParam();
    FrameReader reader;
    if (!reader.feed(rawFrame(c.body))) {
        EXPECT_TRUE(reader.error().contains(QLatin1String(c.message))) << reader.error().toStdString();
        return;
    }
    QCborValue value;
    EXPECT_EQ(reader.next(&value), FrameReader::Status::Error);
    EXPECT_TRUE(reader.error().contains(QLatin1String(c.message))) << reader.error().toStdString();
    EXPECT_TRUE(reader.hasError());
    EXPECT_EQ(reader.buffered(), 0);
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray nested(int depth)
{
    return QByteArray(depth, '\x81') + QByteArray(1, '\x01');
}

INSTANTIATE_TEST_SUITE_P(
    Frames, HostileBody,
    ::testing::Values(
        HostileCase{"emptyFrame", QByteArray(), "empty frame"},
        HostileCase{"breakOutsideContainer", hex("ff"), "malformed CBOR"},
        HostileCase{"reservedAdditionalInfo", hex("1c"), "malformed CBOR"},
        HostileCase{"truncatedInteger", hex("1a0001"), "malformed CBOR"},
        HostileCase{"arrayMissingElements", hex("830102"), "malformed CBOR"},
        HostileCase{"unterminatedIndefiniteArray", hex("9f01"), "malformed CBOR"},
        HostileCase{"unterminatedChunkedText", hex("7f6161"), "malformed CBOR"},
        HostileCase{"mapMissingAValue", hex("a1616b"), "malformed CBOR"},
        HostileCase{"invalidUtf8Text", hex("62c328"), "malformed CBOR"},
        HostileCase{"trailingBytes", hex("0102"), "1 bytes after the end of the value"},
        HostileCase{"hugeArrayCount", hex("9b000000010000000001"), "array of 4294967296 elements"},
        HostileCase{"hugeMapCount", hex("ba7fffffff01"), "map of 2147483647 elements"},
        HostileCase{"hugeTextLength", hex("7b7fffffffffffffff61"), "string of 9223372036854775807 bytes"},
        HostileCase{"hugeBytesLength", hex("5a7fffffff00"), "string of 2147483647 bytes"},
        HostileCase{"deepNesting", nested(10000), "nesting deeper than 32 levels"},
        HostileCase{"integerAboveInt64", hex("1bffffffffffffffff"), "does not fit in 64 signed bits"},
        HostileCase{"integerBelowInt64", hex("3b8000000000000000"), "does not fit in 64 signed bits"},
        HostileCase{"minusTwoToThe64", hex("3bffffffffffffffff"), "does not fit in 64 signed bits"},
        HostileCase{"unknownTag", hex("c074323031332d30332d32315432303a30343a30305a"), "unsupported CBOR tag 0"},
        HostileCase{"nestedDateTags", hex("d9b156d9b1566a323032342d30312d3031"), "must hold a date text"},
        HostileCase{"reservedSimpleValue", hex("f0"), "unsupported CBOR simple value 16"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FrameReader, AcceptsWhatTheCheckerMustNotRefuse)
{
    const struct {
        const char *name;
        QByteArray body;
    } cases[] = {
        {"indefiniteArray", hex("9f0102ff")},
        {"indefiniteMap", hex("bf616101ff")},
        {"chunkedText", hex("7f626162626364ff")},
        {"int64Min", hex("3b7fffffffffffffff")},
        {"int64Max", hex("1b7fffffffffffffff")},
        {"halfFloat", hex("f93c00")},
        {"undefined", hex("f7")},
        {"nestingAtTheLimit", nested(32)},
    };
    for (const auto &c : cases) {
        FrameReader reader;
        ASSERT_TRUE(reader.feed(rawFrame(c.body))) << c.name;
        QCborValue value;
        EXPECT_EQ(reader.next(&value), FrameReader::Status::Frame)
            << c.name << ": " << reader.error().toStdString();
    }
}

TEST(FrameReader, ValidCborOfTheWrongShapeIsAMessageError)
{
    const struct {
        const char *name;
        QCborValue value;
        const char *message;
    } cases[] = {
        {"integer", QCborValue(5), "expected a map, found an integer"},
        {"array", QCborArray{QStringLiteral("call")}, "expected a map, found an array"},
        {"noKind", QCborMap{{QStringLiteral("id"), 1}}, "kind: missing field"},
        {"kindNotText", QCborMap{{QStringLiteral("kind"), 3}}, "kind: expected text, found an integer"},
        {"unknownKind", QCborMap{{QStringLiteral("kind"), QStringLiteral("exec")}}, "unknown message kind 'exec'"},
    };
    for (const auto &c : cases) {
        FrameReader reader;
        ASSERT_TRUE(reader.feed(encodeFrame(c.value)));
        QCborValue value;
        ASSERT_EQ(reader.next(&value), FrameReader::Status::Frame) << c.name;
        QString error;
        EXPECT_FALSE(decodeMessage(value, &error)) << c.name;
        EXPECT_TRUE(error.contains(QLatin1String(c.message))) << c.name << ": " << error.toStdString();
    }
}

TEST(FrameReader, RandomBytesNeverCrashOrOverrunTheLimits)
{
    FrameLimits limits;
    limits.maxFrameSize = 4096;
    limits.maxBuffered = 8192;
    std::mt19937 rng(42);
    for (int round = 0; round < 3000; ++round) {
        QByteArray input;
        if (round % 2 == 0) {
            // A valid small frame with a few bytes flipped.
            input = encodeFrame(encodeRow({round, QStringLiteral("值"), QByteArray(round % 50, 'b')}));
            for (int flips = 0; flips < 1 + round % 4; ++flips)
                input[std::uniform_int_distribution<int>(0, int(input.size()) - 1)(rng)] =
                    char(rng());
        } else {
            input.resize(std::uniform_int_distribution<int>(1, 300)(rng));
            for (char &c : input)
                c = char(rng());
            input.prepend(header(quint32(input.size())));
        }
        FrameReader reader(limits);
        reader.feed(input);
        QCborValue value;
        while (reader.next(&value) == FrameReader::Status::Frame)
            decodeMessage(value, nullptr);
        EXPECT_LE(reader.buffered(), limits.maxBuffered);
    }
}

} // namespace
