#include "common/PasswordScramble.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace qv::common;

namespace {

// Worked through by hand with the key letters v=0x76, y=0x79, q=0x71:
//   seed 0x41; 's' 0x73: (0x41+0x73) mod 255 = 0xB4, ^0x76 = 0xC2
//   'a' 0x61: (0xC2+0x61) mod 255 = 0x24, ^0x79 = 0x5D
//   '1' 0x31: (0x5D+0x31) = 0x8E, ^0x71 = 0xFF
//   '2' 0x32: (0xFF+0x32) mod 255 = 0x32, ^0x76 = 0x44   (key starts over)
//   '3' 0x33: (0x44+0x33) = 0x77, ^0x79 = 0x0E
//   '4' 0x34: (0x0E+0x34) = 0x42, ^0x71 = 0x33
// and seed 0xF0 with bytes FE 00 FF:
//   (0xF0+0xFE) mod 255 = 0xEF, ^0x76 = 0x99; (0x99+0) ^0x79 = 0xE0;
//   (0xE0+0xFF) mod 255 = 0xE0, ^0x71 = 0x91
TEST(PasswordScramble, KnownVectors)
{
    const struct {
        QByteArray password;
        quint8 seed;
        const char *scrambled;
    } cases[] = {
        {QByteArray("sa1234"), 0x41, "41C25DFF440E33"},
        {QByteArray("\xFE\x00\xFF", 3), 0xF0, "F099E091"},
        {QByteArray(), 0x07, "07"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(scramblePassword(c.password, c.seed), QString::fromLatin1(c.scrambled));
        const auto back = unscramblePassword(QString::fromLatin1(c.scrambled));
        ASSERT_TRUE(back.has_value()) << c.scrambled;
        QByteArray expected = c.password;
        expected.replace(char(0xFF), char(0)); // 255 comes back as 0
        EXPECT_EQ(*back, expected) << c.scrambled;
    }
}

TEST(PasswordScramble, EveryByteBelow255RoundTripsUnderEverySeed)
{
    QByteArray all;
    QByteArray reversed; // other neighbours, other carries
    for (int b = 0; b <= 254; ++b) {
        all.append(char(b));
        reversed.append(char(254 - b));
    }
    const QRegularExpression form(QStringLiteral("^([0-9A-F]{2})+$"));
    for (int seed = 0; seed <= 255; ++seed) {
        for (const QByteArray &password : {all, reversed}) {
            const QString scrambled = scramblePassword(password, quint8(seed));
            ASSERT_EQ(scrambled.size(), 2 + 2 * password.size());
            ASSERT_TRUE(form.match(scrambled).hasMatch()) << scrambled.toStdString();
            const auto back = unscramblePassword(scrambled);
            ASSERT_TRUE(back.has_value());
            ASSERT_EQ(*back, password) << "seed " << seed;
        }
    }
}

TEST(PasswordScramble, Byte255ComesBackAsZero)
{
    for (int seed : {0, 1, 128, 254, 255}) {
        const auto back = unscramblePassword(scramblePassword(QByteArray("a\xFF" "b"), quint8(seed)));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, QByteArray("a\0b", 3)) << "seed " << seed;
    }
}

TEST(PasswordScramble, RandomSeedsVaryAndStillRoundTrip)
{
    QSet<QString> seen;
    for (int i = 0; i < 64; ++i) {
        const QString scrambled = scramblePassword(QByteArray("secret"));
        seen.insert(scrambled);
        EXPECT_EQ(unscramblePassword(scrambled), QByteArray("secret"));
    }
    EXPECT_GT(seen.size(), 1);
}

TEST(PasswordScramble, RejectsMalformedText)
{
    for (const char *bad : {"4", "41C", "41C25DFF440E3", "G1", "41CZ", "41 C2", "41-2", "0x41"})
        EXPECT_FALSE(unscramblePassword(QString::fromLatin1(bad)).has_value()) << bad;
    EXPECT_FALSE(unscramblePassword(QStringLiteral("41Ｃ2")).has_value());
}

TEST(PasswordScramble, AcceptsLowerCaseAndEmptyText)
{
    EXPECT_EQ(unscramblePassword(u"41c25dff440e33"), QByteArray("sa1234"));
    EXPECT_EQ(unscramblePassword(u""), QByteArray());
    // A seed alone is an empty password.
    EXPECT_EQ(unscramblePassword(u"A5"), QByteArray());
}

TEST(PasswordScramble, TextPasswordsTravelAsGbk)
{
    const QString password = QStringLiteral("密码Ab1");
    const auto scrambled = scramblePasswordText(password);
    ASSERT_TRUE(scrambled.has_value());
    EXPECT_EQ(scrambled->size(), 2 + 2 * 7); // two GBK bytes per Chinese character
    EXPECT_EQ(unscramblePasswordText(*scrambled), password);
    EXPECT_FALSE(scramblePasswordText(QStringLiteral("x😀")).has_value());
    EXPECT_FALSE(unscramblePasswordText(u"zz").has_value());
}

} // namespace
