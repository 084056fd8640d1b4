#include "common/DayNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>

using namespace qv::common;

namespace {

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

struct DayCase {
    double dayNumber;
    QDateTime expected;
    bool roundTrips; // converting back gives the same number
};

void PrintTo(const DayCase &c, std::ostream *os)
{
    *os << std::setprecision(15) << c.dayNumber << " -> "
        << c.expected.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
}

class DayNumberTable : public ::testing::TestWithParam<DayCase> {};

TEST_P(DayNumberTable, ConvertsBothWays)
{
    const DayCase &c = GetParam();
    const QDateTime converted = dateTimeFromDayNumber(c.dayNumber);
    EXPECT_EQ(converted, c.expected) << "day number " << c.dayNumber << " gave "
                                     << converted.toString(Qt::ISODate).toStdString();
    if (c.roundTrips) {
        const auto back = dayNumberFromDateTime(c.expected);
        ASSERT_TRUE(back.has_value());
        EXPECT_NEAR(*back, c.dayNumber, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, DayNumberTable,
    ::testing::Values(
        DayCase{0, at(1899, 12, 30), true},
        DayCase{1, at(1899, 12, 31), true},
        DayCase{2, at(1900, 1, 1), true},
        // No 1900 leap day: day 60 is 28 February.
        DayCase{60, at(1900, 2, 28), true},
        DayCase{61, at(1900, 3, 1), true},
        DayCase{36526, at(2000, 1, 1), true},
        DayCase{45306, at(2024, 1, 15), true},
        DayCase{45306.5, at(2024, 1, 15, 12), true},
        // The end-of-day bound the client writes into date ranges.
        DayCase{45306.9999884259, at(2024, 1, 15, 23, 59, 59), true},
        DayCase{45306.0000115741, at(2024, 1, 15, 0, 0, 1), true},
        DayCase{45306 + 9.0 / 24 + 5.0 / 1440, at(2024, 1, 15, 9, 5), true},
        // Less than half a second before midnight rounds into the next day.
        DayCase{45306.999999, at(2024, 1, 16), false},
        DayCase{45306 + 0.4 / 86400, at(2024, 1, 15), false},
        DayCase{0.25, at(1899, 12, 30, 6), true},
        // Before day 0 the integer part counts back and the fraction adds time.
        DayCase{-1, at(1899, 12, 29), true},
        DayCase{-1.25, at(1899, 12, 29, 6), true},
        DayCase{-1.75, at(1899, 12, 29, 18), true},
        DayCase{-2.5, at(1899, 12, 28, 12), true},
        DayCase{-1.9999999, at(1899, 12, 30), false},
        // -0.25 and 0.25 are the same moment; the way back gives 0.25.
        DayCase{-0.25, at(1899, 12, 30, 6), false},
        DayCase{-657434, at(100, 1, 1), true},
        DayCase{2958465.9999884259, at(9999, 12, 31, 23, 59, 59), true}));

TEST(DayNumber, EverySecondOfADayRoundTrips)
{
    for (const double day : {45306.0, -3.0}) {
        const QDate date = dateTimeFromDayNumber(day).date();
        for (int second = 0; second < 86400; ++second) {
            const QDateTime value(date, QTime::fromMSecsSinceStartOfDay(second * 1000));
            const auto number = dayNumberFromDateTime(value);
            ASSERT_TRUE(number.has_value());
            ASSERT_EQ(dateTimeFromDayNumber(*number), value) << "second " << second;
        }
    }
}

TEST(DayNumber, DatesAcrossTheEpochRoundTrip)
{
    for (int day = -1000; day <= 1000; ++day) {
        const QDate date = dayNumberEpoch().addDays(day);
        const auto number = dayNumberFromDate(date);
        ASSERT_TRUE(number.has_value());
        EXPECT_EQ(*number, double(day));
        EXPECT_EQ(dateTimeFromDayNumber(day).date(), date);
    }
}

TEST(DayNumber, RejectsValuesWithoutADate)
{
    for (const double bad : {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(), 1e12, -1e12, 2958466.0,
                             -693594.0 - 1}) {
        EXPECT_FALSE(dateTimeFromDayNumber(bad).isValid()) << bad;
    }
    EXPECT_FALSE(dayNumberFromDateTime(QDateTime()).has_value());
    EXPECT_FALSE(dayNumberFromDate(QDate()).has_value());
    EXPECT_FALSE(dayNumberFromDate(QDate(10000, 1, 1)).has_value());
}

TEST(DateText, CanonicalForm)
{
    const struct {
        QDateTime value;
        const char *text;
    } cases[] = {
        {at(2024, 1, 15), "2024-01-15"},
        {at(2024, 1, 15, 23, 59, 59), "2024-01-15 23:59:59"},
        {at(2008, 8, 30, 9, 5), "2008-08-30 09:05:00"},
        {at(2024, 1, 15, 0, 0, 1), "2024-01-15 00:00:01"},
        // Milliseconds are dropped, not rounded into the next second or day.
        {QDateTime(QDate(2024, 1, 15), QTime(23, 59, 59, 900)), "2024-01-15 23:59:59"},
        {QDateTime(QDate(2024, 1, 15), QTime(0, 0, 0, 400)), "2024-01-15"},
        {at(100, 1, 1), "0100-01-01"},
        {QDateTime(), ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(toDateText(c.value), QString::fromLatin1(c.text)) << c.text;
    EXPECT_EQ(toDateText(QDate(1999, 2, 3)), QStringLiteral("1999-02-03"));
}

TEST(DateText, TextOrderIsTimeOrder)
{
    const QStringList texts = {toDateText(at(2024, 1, 9, 23, 59, 59)), toDateText(at(2024, 1, 10)),
                               toDateText(at(2024, 1, 10, 0, 0, 1)), toDateText(at(2024, 10, 1))};
    QStringList sorted = texts;
    sorted.sort();
    EXPECT_EQ(sorted, texts);
}

TEST(DateText, ParsesAcceptedForms)
{
    const struct {
        const char *text;
        QDateTime expected;
    } cases[] = {
        {"2024-01-15", at(2024, 1, 15)},
        {"2024-01-15 23:59:59", at(2024, 1, 15, 23, 59, 59)},
        {"2024-01-15 09:05", at(2024, 1, 15, 9, 5)},
        {"2024/01/15", at(2024, 1, 15)},
        {"2024/1/5", at(2024, 1, 5)},
        {"2024/01/15 08:30:15", at(2024, 1, 15, 8, 30, 15)},
        {"2024-01-15T08:30:15", at(2024, 1, 15, 8, 30, 15)},
        {"  2024-02-29 7:00 ", at(2024, 2, 29, 7)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseDateText(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(DateText, RejectsMalformedText)
{
    for (const char *bad : {"", " ", "2024", "2024-01", "2024-13-01", "2023-02-29", "2024-01-32",
                            "2024-01-15 24:00:00", "2024-01-15 12", "2024-01-15 12:60",
                            "2024-01-15 12:00:60", "2024/01-15", "20240115", "2024-01-15x",
                            "2024-01-15 12:00:00x", "24-01-15", "abcd-ef-gh", "2024-001-15",
                            "0000-01-01", "2024-01-15 1:2"}) {
        EXPECT_FALSE(parseDateText(QString::fromLatin1(bad)).isValid()) << bad;
    }
    // Digits outside ASCII are not read as numbers.
    EXPECT_FALSE(parseDateText(QStringLiteral("２０２４-01-15")).isValid());
}

TEST(DateText, RoundTripsThroughDayNumbers)
{
    const QDateTime value = dateTimeFromDayNumber(45306.9999884259);
    EXPECT_EQ(parseDateText(toDateText(value)), value);
    EXPECT_EQ(toDateText(parseDateText(u"2024-01-15 00:00:00")), QStringLiteral("2024-01-15"));
}

} // namespace
