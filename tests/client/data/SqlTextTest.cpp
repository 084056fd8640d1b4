// Values written into statement text: quoting, numbers, and date bounds as day
// numbers.
#include "client/core/data/SqlText.h"

#include <gtest/gtest.h>

using namespace qv::client;

namespace {

TEST(SqlText, QuotedDoublesEveryEmbeddedQuote)
{
    const struct {
        const char *text;
        const char *sql;
    } cases[] = {
        {"", "''"},
        {"HP", "'HP'"},
        {"O'Neil", "'O''Neil'"},
        {"''", "''''''"},
        {"a' or '1'='1", "'a'' or ''1''=''1'"},
        {"办公用品", "'办公用品'"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(quoted(QString::fromUtf8(c.text)), QString::fromUtf8(c.sql)) << c.text;
}

TEST(SqlText, NumbersAsTheStandardConversionWritesThem)
{
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {0, "0"},        {2, "2"},           {-3, "-3"},        {2.5, "2.5"},
        {0.1, "0.1"},    {1234567.25, "1234567.25"}, {1.0 / 3, "0.333333333333333"},
        {45306.99998842592, "45306.9999884259"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sqlNumber(c.value), QString::fromLatin1(c.text)) << c.value;
}

TEST(SqlText, EndOfDayIsTheLastSecondAsADayNumber)
{
    EXPECT_EQ(endOfDayNumber(u"2024-01-15"), QStringLiteral("45306.9999884259"));
    EXPECT_EQ(endOfDayNumber(u"2024-01-15 08:30:00"), QStringLiteral("45306.9999884259"))
        << "a time of day in the text does not move the bound";
    EXPECT_EQ(endOfDayNumber(u"1899-12-30"), QStringLiteral("0.999988425925926"));
    EXPECT_EQ(startOfDayNumber(u"2024-01-15"), QStringLiteral("45306"));
    EXPECT_FALSE(endOfDayNumber(u""));
    EXPECT_FALSE(endOfDayNumber(u"2024-13-01"));
    EXPECT_FALSE(endOfDayNumber(u"15.01.2024"));
}

TEST(SqlText, DateRangeClauseWithAndWithoutStart)
{
    EXPECT_EQ(dateRangeClause(false, u"2024-01-15"), QStringLiteral(" and M.RQ <=45306.9999884259"));
    EXPECT_EQ(dateRangeClause(true, u"2024-01-15", u"2024-01-01"),
              QStringLiteral(" and M.RQ >=45292 and M.RQ <=45306.9999884259"));
    EXPECT_FALSE(dateRangeClause(true, u"2024-01-15", u"not a date"));
    EXPECT_FALSE(dateRangeClause(false, u""));
}

TEST(SqlText, ShortDateIsYearMonthDay)
{
    EXPECT_EQ(shortDateText(QDate(2024, 1, 5)), QStringLiteral("2024-01-05"));
}

} // namespace
