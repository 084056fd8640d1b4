#include "client/core/util/DateRanges.h"

#include "common/IniFile.h"

#include <QDateEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qv::client {
namespace {

QDateTime at(int y, int m, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, mi, s));
}

struct PresetCase {
    const char *name;
    QDateTime now;
    QDateTime start;
    QDateTime end;
};

class PresetRangeTest : public ::testing::TestWithParam<PresetCase> {};

TEST_P(PresetRangeTest, GivesTheNamedRange)
{
    const PresetCase &c = GetParam();
    const auto range = PresetRange(QString::fromUtf8(c.name), c.now);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->start, c.start) << c.name;
    EXPECT_EQ(range->end, c.end) << c.name;
}

// 2024-01-10 is a Wednesday; 2024-01-07 a Sunday.
INSTANTIATE_TEST_SUITE_P(
    Names, PresetRangeTest,
    ::testing::Values(
        PresetCase{"今天", at(2024, 1, 10, 9, 30), at(2024, 1, 10, 9, 30), at(2024, 1, 10, 9, 30)},
        PresetCase{"昨天", at(2024, 1, 1, 9), at(2023, 12, 31, 9), at(2023, 12, 31, 9)},
        PresetCase{"前天", at(2024, 3, 1, 8), at(2024, 2, 28, 8), at(2024, 2, 28, 8)},
        PresetCase{"本周", at(2024, 1, 10, 12), at(2024, 1, 8), at(2024, 1, 14, 23, 59, 59)},
        // Sunday still belongs to the week that began on Monday.
        PresetCase{"本周", at(2024, 1, 7, 12), at(2024, 1, 1), at(2024, 1, 7, 23, 59, 59)},
        PresetCase{"上周", at(2024, 1, 3, 12), at(2023, 12, 25), at(2023, 12, 31, 23, 59, 59)},
        PresetCase{"本月", at(2024, 2, 10), at(2024, 2, 1), at(2024, 2, 29, 23, 59, 59)},
        // In January the previous month is December of the previous year.
        PresetCase{"上月", at(2024, 1, 15, 10), at(2023, 12, 1), at(2023, 12, 31, 23, 59, 59)},
        PresetCase{"上月", at(2023, 3, 31, 10), at(2023, 2, 1), at(2023, 2, 28, 23, 59, 59)},
        PresetCase{"本年", at(2024, 6, 1), at(2024, 1, 1), at(2024, 12, 31, 23, 59, 59)},
        PresetCase{"上年", at(2024, 1, 1), at(2023, 1, 1), at(2023, 12, 31, 23, 59, 59)}));

TEST(PresetRange, OtherNamesLeaveTheRangeAlone)
{
    EXPECT_FALSE(PresetRange(QStringLiteral("下月"), at(2024, 1, 1)));
    EXPECT_FALSE(PresetRange(QString(), at(2024, 1, 1)));
}

struct ListCase {
    int itemIndex;
    int day;
    int kjqj;
    QDate today;
    QDate start;
    QDate end;
};

class DefaultListRangeTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(DefaultListRangeTest, FollowsTheOption)
{
    const ListCase &c = GetParam();
    const DateRange range = defaultListRange({c.itemIndex, c.day, c.kjqj}, c.today);
    EXPECT_EQ(range.start, c.start);
    EXPECT_EQ(range.end, c.end);
}

INSTANTIATE_TEST_SUITE_P(
    Options, DefaultListRangeTest,
    ::testing::Values(
        ListCase{0, 0, 1, QDate(2024, 3, 15), QDate(2024, 3, 15), QDate(2024, 3, 15)},
        ListCase{1, 0, 1, QDate(2024, 2, 15), QDate(2024, 2, 1), QDate(2024, 2, 29)},
        ListCase{4, 0, 1, QDate(2023, 12, 5), QDate(2023, 12, 1), QDate(2023, 12, 31)},
        ListCase{2, 10, 1, QDate(2024, 3, 5), QDate(2024, 2, 24), QDate(2024, 3, 5)},
        // The accounting period from the first of the month.
        ListCase{3, 0, 1, QDate(2024, 3, 15), QDate(2024, 3, 1), QDate(2024, 3, 31)},
        ListCase{3, 0, 26, QDate(2024, 3, 15), QDate(2024, 2, 26), QDate(2024, 3, 25)},
        // Day 31 in March starts on the last day of February.
        ListCase{3, 0, 31, QDate(2024, 3, 31), QDate(2024, 2, 29), QDate(2024, 3, 28)},
        ListCase{3, 0, 31, QDate(2023, 3, 1), QDate(2023, 2, 28), QDate(2023, 3, 27)},
        // January looks back into December of the previous year.
        ListCase{3, 0, 20, QDate(2024, 1, 5), QDate(2023, 12, 20), QDate(2024, 1, 19)}));

TEST(DefaultListRange, ReadsSystemSetAndSetsThePickers)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QDateEdit start;
    QDateEdit end;

    // No settings file: today for both.
    EXPECT_EQ(DefaultListRange(&start, &end, folder.path()), 0);
    EXPECT_EQ(start.date(), QDate::currentDate());
    EXPECT_EQ(end.date(), QDate::currentDate());

    common::IniFile ini(folder.path() + QStringLiteral("/System/SystemSet.ini"));
    ASSERT_TRUE(ini.writeInt(u"CurrentWork", u"ItemIndex", 2));
    ASSERT_TRUE(ini.writeInt(u"CurrentWork", u"Day", 7));
    EXPECT_EQ(DefaultListRange(&start, &end, folder.path()), 2);
    EXPECT_EQ(start.date(), QDate::currentDate().addDays(-7));
    EXPECT_EQ(end.date(), QDate::currentDate());
}

TEST(ListRangeSettings, SaveAndLoadRoundTrip)
{
    QTemporaryDir folder;
    const ListRangeSettings saved{3, 5, 26};
    ASSERT_TRUE(saved.save(folder.path()));
    const ListRangeSettings loaded = ListRangeSettings::load(folder.path());
    EXPECT_EQ(loaded.itemIndex, 3);
    EXPECT_EQ(loaded.day, 5);
    EXPECT_EQ(loaded.kjqj, 26);
}

} // namespace
} // namespace qv::client
