#include "common/GbkText.h"

#include <gtest/gtest.h>

using namespace qv::common;

namespace {

TEST(GbkText, KnownBytes)
{
    const struct {
        QString text;
        QByteArray gbk;
    } cases[] = {
        {QStringLiteral("中"), QByteArray("\xD6\xD0")},
        {QStringLiteral("备份数据"), QByteArray("\xB1\xB8\xB7\xDD\xCA\xFD\xBE\xDD")},
        {QStringLiteral("A1;="), QByteArray("A1;=")},
        {QStringLiteral("€"), QByteArray("\x80")}, // code page 936's single-byte euro
        {QString(), QByteArray()},
    };
    for (const auto &c : cases) {
        const auto encoded = toGbk(c.text);
        ASSERT_TRUE(encoded.has_value()) << c.text.toStdString();
        EXPECT_EQ(*encoded, c.gbk) << c.text.toStdString();
        const auto decoded = fromGbk(c.gbk);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(*decoded, c.text);
    }
}

TEST(GbkText, LongMixedTextRoundTrips)
{
    QString text;
    for (int i = 0; i < 2000; ++i)
        text += QStringLiteral("澜石进销存服务器 line %1: 名称='办公用品' ·—《》\r\n").arg(i);
    const auto encoded = toGbk(text);
    ASSERT_TRUE(encoded.has_value());
    const auto decoded = fromGbk(*encoded);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, text);
}

TEST(GbkText, ReportsCharactersWithoutAGbkForm)
{
    const struct {
        QString text;
        qsizetype position;
    } cases[] = {
        {QStringLiteral("abc😀def"), 3},       // outside the BMP
        {QStringLiteral("名称\u0E01"), 2},      // Thai
        {QStringLiteral("x\uFFFD"), 1},         // the replacement character itself
        {QStringLiteral("ab") + QChar(0xD800) + QLatin1Char('c'), 2}, // lone surrogate
    };
    for (const auto &c : cases) {
        GbkError error;
        EXPECT_FALSE(toGbk(c.text, &error).has_value()) << c.text.toStdString();
        EXPECT_EQ(error.position, c.position) << c.text.toStdString();
        EXPECT_FALSE(error.message.isEmpty());
    }
}

TEST(GbkText, ReportsInvalidBytes)
{
    const struct {
        QByteArray bytes;
        qsizetype position;
    } cases[] = {
        {QByteArray("ab\xD6"), 2},         // first byte of a pair without its second
        {QByteArray("\xD6\xD0\xFF\xFF"), 2},
        {QByteArray("a\x81\x20"), 1},      // lead byte followed by a byte no pair allows
    };
    for (const auto &c : cases) {
        GbkError error;
        EXPECT_FALSE(fromGbk(c.bytes, &error).has_value()) << c.bytes.toHex().toStdString();
        EXPECT_EQ(error.position, c.position) << c.bytes.toHex().toStdString();
    }
}

} // namespace
