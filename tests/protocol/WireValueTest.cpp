// Values: every kind survives the wire with its exact type, dates keep their
// canonical text, and anything that is not a value is refused.
#include "protocol/Frame.h"
#include "protocol/WireValue.h"

#include <QCborArray>
#include <QPoint>

#include <gtest/gtest.h>

#include <limits>

using namespace qv::protocol;

namespace {

QDateTime local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

struct RoundTripCase {
    const char *name;
    QVariant in;
    QVariant expected; // type and value after the trip
};

class ValueRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(ValueRoundTrip, KeepsKindAndValueThroughAFrame)
{
    const RoundTripCase &c = GetParam();
    ASSERT_TRUE(isWireValue(c.in));
    // Through a real frame, so the frame checker accepts what the encoder writes.
    const QByteArray frame = encodeFrame(encodeRow({c.in, c.in}));
    FrameReader reader;
    ASSERT_TRUE(reader.feed(frame));
    QCborValue value;
    ASSERT_EQ(reader.next(&value), FrameReader::Status::Frame) << reader.error().toStdString();

    DecodeErrors errors;
    Row row;
    ASSERT_TRUE(decodeRow(value, row, errors, 2, NotFetchedMarker::Allowed)) << errors.text().toStdString();
    for (const QVariant &out : row) {
        EXPECT_EQ(out.metaType(), c.expected.metaType()) << out.metaType().name();
        EXPECT_TRUE(sameValue(out, c.expected)) << out.toString().toStdString();
        EXPECT_EQ(isNullValue(out), isNullValue(c.expected));
    }
}

const QByteArray kBinary("\x00\x01\xff\x00zz", 6);

INSTANTIATE_TEST_SUITE_P(
    Kinds, ValueRoundTrip,
    ::testing::Values(
        RoundTripCase{"null", QVariant(), QVariant()},
        RoundTripCase{"int", QVariant(42), QVariant(qint64(42))},
        RoundTripCase{"negative", QVariant(qint64(-7)), QVariant(qint64(-7))},
        RoundTripCase{"int64Max", QVariant(std::numeric_limits<qint64>::max()),
                      QVariant(std::numeric_limits<qint64>::max())},
        RoundTripCase{"int64Min", QVariant(std::numeric_limits<qint64>::min()),
                      QVariant(std::numeric_limits<qint64>::min())},
        RoundTripCase{"short", QVariant::fromValue(short(-3)), QVariant(qint64(-3))},
        RoundTripCase{"uint", QVariant(4000000000u), QVariant(qint64(4000000000LL))},
        RoundTripCase{"hugeUnsigned", QVariant(std::numeric_limits<quint64>::max()),
                      QVariant(double(std::numeric_limits<quint64>::max()))},
        RoundTripCase{"double", QVariant(1.5), QVariant(1.5)},
        RoundTripCase{"integralDoubleStaysDouble", QVariant(2.0), QVariant(2.0)},
        RoundTripCase{"float", QVariant(1.25f), QVariant(1.25)},
        RoundTripCase{"true", QVariant(true), QVariant(true)},
        RoundTripCase{"false", QVariant(false), QVariant(false)},
        RoundTripCase{"emptyText", QVariant(QString()), QVariant(QStringLiteral(""))},
        RoundTripCase{"chinese", QVariant(QStringLiteral("办公用品 A4 复印纸")),
                      QVariant(QStringLiteral("办公用品 A4 复印纸"))},
        RoundTripCase{"textWithQuoteAndNul", QVariant(QStringLiteral("a'b\0c")),
                      QVariant(QStringLiteral("a'b\0c"))},
        RoundTripCase{"zeroByteBlob", QVariant(QByteArray()), QVariant(QByteArray(""))},
        RoundTripCase{"binaryBlob", QVariant(kBinary), QVariant(kBinary)},
        RoundTripCase{"date", QVariant(local(2024, 1, 15)), QVariant(local(2024, 1, 15))},
        RoundTripCase{"dateTime", QVariant(local(2024, 1, 15, 23, 59, 59)),
                      QVariant(local(2024, 1, 15, 23, 59, 59))},
        RoundTripCase{"millisecondsDropped", QVariant(local(2024, 2, 29, 8, 30, 5, 700)),
                      QVariant(local(2024, 2, 29, 8, 30, 5))},
        RoundTripCase{"qdate", QVariant(QDate(1899, 12, 30)), QVariant(local(1899, 12, 30))},
        RoundTripCase{"firstYear", QVariant(local(1, 1, 1)), QVariant(local(1, 1, 1))},
        RoundTripCase{"notFetched", notFetched(), notFetched()}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(WireValue, EmptyValuesAreNotNull)
{
    // A text or blob that is empty must never come back as null: the client
    // writes null and '' differently into the database.
    for (const QVariant &v : {QVariant(QString()), QVariant(QByteArray())}) {
        DecodeErrors errors;
        QVariant out;
        ASSERT_TRUE(decodeValue(encodeValue(v), out, errors));
        EXPECT_FALSE(isNullValue(out));
        EXPECT_FALSE(sameValue(out, QVariant()));
    }
    EXPECT_FALSE(sameValue(QVariant(qint64(1)), QVariant(1.0)));
    EXPECT_FALSE(sameValue(notFetched(), QVariant()));
}

TEST(WireValue, DatesUseTheCanonicalTextUnderTheDateTag)
{
    const struct {
        QVariant value;
        const char *text;
    } cases[] = {
        {QVariant(local(2024, 1, 15)), "2024-01-15"},
        {QVariant(local(2024, 1, 15, 0, 0, 1)), "2024-01-15 00:00:01"},
        {QVariant(local(999, 12, 31, 9, 5, 0)), "0999-12-31 09:05:00"},
    };
    for (const auto &c : cases) {
        const QCborValue encoded = encodeValue(c.value);
        ASSERT_TRUE(encoded.isTag());
        EXPECT_EQ(quint64(encoded.tag()), kDateTimeTag);
        EXPECT_EQ(encoded.taggedValue().toString(), QString::fromLatin1(c.text));
    }
}

TEST(WireValue, DecodingRefusesWhatIsNotAValue)
{
    const auto dateTag = [](const QCborValue &inner) { return QCborValue(QCborTag(kDateTimeTag), inner); };
    const struct {
        const char *name;
        QCborValue value;
        const char *message;
    } cases[] = {
        {"dateAsInteger", dateTag(QCborValue(45306)), "a date must be text"},
        {"impossibleDay", dateTag(QStringLiteral("2024-02-30")), "not a date"},
        {"shortMonth", dateTag(QStringLiteral("2024-1-05")), "not a date"},
        {"isoSeparator", dateTag(QStringLiteral("2024-01-05T08:00:00")), "not a date"},
        {"hour24", dateTag(QStringLiteral("2024-01-05 24:00:00")), "not a date"},
        {"minutesOnly", dateTag(QStringLiteral("2024-01-05 08:00")), "not a date"},
        {"fullWidthDigits", dateTag(QStringLiteral("２０２４-01-05")), "not a date"},
        {"tagZero", QCborValue(QCborTag(0), QStringLiteral("2024-01-05T00:00:00Z")), "found tag 0"},
        {"array", QCborArray{1, 2}, "found an array"},
        {"map", QCborMap{}, "found a map"},
        {"simple", QCborValue(QCborSimpleType(16)), "expected a value"},
        {"undefinedWhereRefused", QCborValue(QCborValue::Undefined), "not-fetched marker"},
    };
    for (const auto &c : cases) {
        DecodeErrors errors;
        QVariant out;
        EXPECT_FALSE(decodeValue(c.value, out, errors)) << c.name;
        EXPECT_TRUE(errors.text().contains(QLatin1String(c.message)))
            << c.name << ": " << errors.text().toStdString();
    }
}

TEST(WireValue, TypesThatCannotTravelAreReportedAndSentAsNull)
{
    for (const QVariant &v : {QVariant(QPoint(1, 2)), QVariant(QStringList{QStringLiteral("a")}),
                              QVariant(QDateTime()), QVariant(local(10000, 1, 1))}) {
        EXPECT_FALSE(isWireValue(v)) << v.metaType().name();
        EXPECT_TRUE(encodeValue(v).isNull()) << v.metaType().name();
    }
}

TEST(WireValue, RowsAreCheckedAgainstTheirWidth)
{
    const QCborValue rows = encodeRows({{1, QStringLiteral("a")}, {2}});
    DecodeErrors errors;
    QList<Row> out;
    EXPECT_FALSE(decodeRows(rows, out, errors, 2));
    EXPECT_EQ(errors.text(), QStringLiteral("[1]: row of 1 values for 2 fields"));

    DecodeErrors any;
    EXPECT_TRUE(decodeRows(rows, out, any, -1));
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[1].size(), 1);
}

TEST(WireValue, ErrorPathNamesTheValue)
{
    QCborArray row{1, QCborMap{}};
    DecodeErrors errors;
    Row out;
    DecodeErrors::Scope scope(errors, QStringLiteral("rows"));
    EXPECT_FALSE(decodeRow(row, out, errors, 2));
    EXPECT_TRUE(errors.text().startsWith(QStringLiteral("rows[1]: expected a value")))
        << errors.text().toStdString();
}

} // namespace
