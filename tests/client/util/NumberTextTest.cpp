#include "client/core/util/NumberOnlyValidator.h"
#include "client/core/util/NumberText.h"

#include "client/core/dataset/DataSet.h"

#include "tests/client/util/TestFields.h"

#include <gtest/gtest.h>

namespace qv::client {
namespace {

TEST(NumberText, PadNumberFillsButNeverCuts)
{
    EXPECT_EQ(PadNumber(4, 12), QStringLiteral("0012"));
    EXPECT_EQ(PadNumber(4, 0), QStringLiteral("0000"));
    EXPECT_EQ(PadNumber(4, 12345), QStringLiteral("12345"));
    EXPECT_EQ(PadNumber(0, 7), QStringLiteral("7"));
    EXPECT_EQ(PadNumber(4, -5), QStringLiteral("-005"));
}

struct RunCase {
    const char *text;
    int width;
    const char *expected;
};

class PadDigitRunsTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(PadDigitRunsTest, PadsOrCutsEveryRunOfDigits)
{
    const RunCase &c = GetParam();
    EXPECT_EQ(PadDigitRuns(QString::fromUtf8(c.text), c.width), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, PadDigitRunsTest,
    ::testing::Values(RunCase{"AB7", 4, "AB0007"}, RunCase{"AB12345", 4, "AB2345"}, RunCase{"AB1234", 4, "AB1234"},
                      RunCase{"7AB12C", 3, "007AB012C"}, RunCase{"仓库9号", 2, "仓库09号"},
                      RunCase{"no digits", 4, "no digits"}, RunCase{"", 4, ""}, RunCase{"123", 0, ""}));

TEST(NumberText, RoundToReadsTheShownValueBack)
{
    EXPECT_DOUBLE_EQ(RoundTo(2.675, 2), 2.68);
    EXPECT_DOUBLE_EQ(RoundTo(-2.5, 0), -3);
    EXPECT_DOUBLE_EQ(RoundTo(1234.5678, 3), 1234.568);
    EXPECT_DOUBLE_EQ(RoundTo(QStringLiteral("1,234.5"), 0), 1235);
    EXPECT_DOUBLE_EQ(RoundTo(QVariant(), 2), 0);
    EXPECT_DOUBLE_EQ(RoundTo(QString(), 2), 0);
}

TEST(NumberText, TypedNumbersLoseTheirThousandsSeparators)
{
    bool ok = false;
    EXPECT_DOUBLE_EQ(readNumber(QStringLiteral("1,234,567.5"), &ok), 1234567.5);
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(readNumber(QString(), &ok), 0);
    EXPECT_TRUE(ok);
    readNumber(QStringLiteral("12a"), &ok);
    EXPECT_FALSE(ok);

    EXPECT_TRUE(isZeroText(QString()));
    EXPECT_TRUE(isZeroText(QStringLiteral(",")));
    EXPECT_TRUE(isZeroText(QStringLiteral("0.00")));
    EXPECT_FALSE(isZeroText(QStringLiteral("0.01")));
    EXPECT_FALSE(isZeroText(QStringLiteral("abc")));
}

TEST(NumberText, FormatsAndDigits)
{
    EXPECT_EQ(FormatDecimals(0), QStringLiteral("0"));
    EXPECT_EQ(FormatDecimals(3), QStringLiteral("0.000"));
    const QStringList chinese{"一", "二", "三", "四", "五", "六", "七", "八", "九"};
    for (int i = 1; i <= 9; ++i)
        EXPECT_EQ(ChineseDigit(QString::number(i)), chinese.at(i - 1));
    for (const char *other : {"0", "10", "", "a"})
        EXPECT_EQ(ChineseDigit(QString::fromLatin1(other)), QStringLiteral("0")) << other;
}

TEST(NumberText, MoneyFormatsTouchOnlyPricesAndAmounts)
{
    DataSet ds;
    ASSERT_TRUE(ds.createDataSet({test::fieldDef("DJ", FieldType::Double),
                                  test::fieldDef("SalePrice", FieldType::Double),
                                  test::fieldDef("JE", FieldType::Double),
                                  test::fieldDef("SL", FieldType::Double),
                                  test::fieldDef("DJBH", FieldType::Text, 20),
                                  test::fieldDef("JEID", FieldType::Integer)}));
    MoneyFormats(ds);
    for (const char *name : {"DJ", "SalePrice", "JE"}) {
        const Field *field = ds.fieldByName(QString::fromLatin1(name));
        EXPECT_EQ(field->displayFormat(), QStringLiteral("￥,0.00")) << name;
        EXPECT_EQ(field->editFormat(), QStringLiteral("0.00")) << name;
    }
    for (const char *name : {"SL", "DJBH", "JEID"})
        EXPECT_TRUE(ds.fieldByName(QString::fromLatin1(name))->displayFormat().isEmpty()) << name;

    ASSERT_TRUE(ds.append());
    ds.fieldByName(QStringLiteral("JE"))->setValue(1234.5);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("JE"))->displayText(), QStringLiteral("￥1,234.50"));
}

TEST(NumberOnlyValidator, TakesDigitsMinusAndPointOnly)
{
    NumberOnlyValidator validator;
    int pos = 0;
    for (const char *good : {"", "123", "-1.5", "..--"}) {
        QString text = QString::fromLatin1(good);
        EXPECT_EQ(validator.validate(text, pos), QValidator::Acceptable) << good;
    }
    for (const char *bad : {"1,000", "12a", "1 2", "+3"}) {
        QString text = QString::fromLatin1(bad);
        EXPECT_EQ(validator.validate(text, pos), QValidator::Invalid) << bad;
    }
}

} // namespace
} // namespace qv::client
