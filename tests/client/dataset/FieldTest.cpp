// Formats, text conversion, display hooks and null against empty.
#include "DataSetFixture.h"

#include "client/core/dataset/DisplayFormat.h"

namespace qv::client::test {
namespace {

struct NumberCase {
    const char *pattern;
    double value;
    const char *expected;
};

TEST(NumberFormatTest, FormatsAsTheWindowsExpect)
{
    const NumberCase cases[] = {
        {"#,0.##", 1234.5, "1,234.5"},
        {"#,0.##", 1234, "1,234"},
        {"#,0.##", 0.004, "0"},
        {"#,0.00", 1234.5, "1,234.50"},
        {"#,0.00", -1234567.891, "-1,234,567.89"},
        {"#,0.00", -0.004, "0.00"},
        {"0.00", 2.675, "2.68"},
        {"0.00", 1.005, "1.01"},
        {"0.00", 0.125, "0.13"},
        {"0.00", 999.995, "1000.00"},
        {"0", 2.5, "3"},
        {"0", -2.5, "-3"},
        {"#,0.###", 1.23456, "1.235"},
        {"#,0.###", 1000000, "1,000,000"},
        {"￥,0.00", 1234, "￥1,234.00"},
        {"0.00元", 12, "12.00元"},
        {"#,0.##;(#,0.##)", -5, "(5)"},
        {"0.00;-0.00;零", 0, "零"},
        {"0.00;;", 0, "0.00"},
        {"", 1234.5, "1234.5"},
        {"", 3, "3"},
        {"0.00", 1e15, "1000000000000000.00"},
    };
    for (const NumberCase &c : cases) {
        EXPECT_EQ(formatNumber(c.value, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected))
            << c.pattern << " with " << c.value;
    }
}

TEST(NumberFormatTest, SpreadsheetFormatsShowTheSameDigits)
{
    EXPECT_EQ(spreadsheetNumberFormat(u"#,0.##", 1234.5), QStringLiteral("#,##0.##"));
    EXPECT_EQ(spreadsheetNumberFormat(u"#,0.##", 1234), QStringLiteral("#,##0"));
    EXPECT_EQ(spreadsheetNumberFormat(u"#,0.00", 1234), QStringLiteral("#,##0.00"));
    EXPECT_EQ(spreadsheetNumberFormat(u"0.00", 3), QStringLiteral("0.00"));
    EXPECT_EQ(spreadsheetNumberFormat(u"￥,0.00", 3), QStringLiteral("\"￥\"#,##0.00"));
    EXPECT_EQ(spreadsheetDateFormat(u"yyyy-MM-dd", FieldType::Date, QDateTime()),
              QStringLiteral("yyyy-mm-dd"));
}

class FieldTest : public LinesTest {};

TEST_F(FieldTest, DisplayAndEditFormats)
{
    Field *sl = ds.fieldByName(u"SL");
    ASSERT_TRUE(sl->setValue(1234.5));
    sl->setDisplayFormat(QStringLiteral("#,0.##"));
    EXPECT_EQ(sl->displayText(), QStringLiteral("1,234.5"));
    EXPECT_EQ(sl->text(), QStringLiteral("1234.5"));

    sl->setDisplayFormat(QStringLiteral("#,0.00"));
    EXPECT_EQ(sl->effectiveEditFormat(), QStringLiteral("0.00"));
    EXPECT_EQ(sl->displayText(), QStringLiteral("1,234.50"));
    EXPECT_EQ(sl->text(), QStringLiteral("1234.50"));

    sl->setEditFormat(QStringLiteral("0.0000"));
    EXPECT_EQ(sl->text(), QStringLiteral("1234.5000"));

    sl->setZeroToEmpty(true);
    ASSERT_TRUE(sl->setValue(0));
    EXPECT_EQ(sl->displayText(), QString());
    EXPECT_FALSE(sl->isNull()) << "zero shown empty is still zero";

    Field *rq = ds.fieldByName(u"RQ");
    EXPECT_EQ(rq->displayText(), QStringLiteral("2024-01-01"));
    rq->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    EXPECT_EQ(rq->displayText(), QStringLiteral("2024年1月1日"));
    rq->setDisplayFormat(QStringLiteral("yyyy-mm-dd"));
    EXPECT_EQ(rq->displayText(), QStringLiteral("2024-01-01")) << "old patterns use mm for the month";
}

TEST_F(FieldTest, DisplayHooksReplaceTheTextNotTheValue)
{
    Field *zbid = ds.fieldByName(u"ZBID");
    zbid->setGetTextHook([](const Field &f, QString &text, bool) {
        const QVariant v = f.value();
        text = v == QVariant(qint64(0)) ? QStringLiteral("草稿")
               : v == QVariant(qint64(1)) ? QStringLiteral("审核")
                                          : QString();
    });
    EXPECT_EQ(zbid->displayText(), QStringLiteral("审核"));
    EXPECT_EQ(zbid->asInteger(), 1);
    ASSERT_TRUE(zbid->setValue(0));
    EXPECT_EQ(zbid->displayText(), QStringLiteral("草稿"));
    ASSERT_TRUE(zbid->setValue(2));
    EXPECT_EQ(zbid->displayText(), QString());
    ds.cancel();
    EXPECT_EQ(ds.displayTextAt(1, *zbid), QStringLiteral("审核")) << "views read other rows through the hook";
}

struct TextCase {
    const char *field;
    const char *text;
    QVariant expected;
    bool ok;
};

TEST_F(FieldTest, TextIsReadByTheFieldsType)
{
    const QDateTime jan5(QDate(2024, 1, 5), QTime(0, 0));
    const TextCase cases[] = {
        {"SL", "1,234.5", 1234.5, true},
        {"SL", " 7 ", 7.0, true},
        {"SL", "", QVariant(), true},
        {"SL", "abc", QVariant(), false},
        {"SL", "1.2.3", QVariant(), false},
        {"ZBID", "12", qint64(12), true},
        {"ZBID", "1.5", QVariant(), false},
        {"RQ", "2024-01-05", jan5, true},
        {"RQ", "2024/1/5", jan5, true},
        {"RQ", "20240105", jan5, true},
        {"RQ", "2024-13-01", QVariant(), false},
        {"RQ", "", QVariant(), true},
        {"ZT", "是", true, true},
        {"ZT", "False", false, true},
        {"ZT", "maybe", QVariant(), false},
        {"BZ", "", QString(""), true},
        {"BZ", "备注", QStringLiteral("备注"), true},
    };
    for (const TextCase &c : cases) {
        Field *f = ds.fieldByName(QString::fromLatin1(c.field));
        ASSERT_TRUE(f->setValue(f->value())); // start from a known value in edit state
        const QVariant before = f->value();
        const bool ok = f->setAsText(QString::fromUtf8(c.text));
        EXPECT_EQ(ok, c.ok) << c.field << " <- '" << c.text << "'";
        if (ok) {
            EXPECT_EQ(f->value(), c.expected) << c.field << " <- '" << c.text << "'";
        } else {
            EXPECT_EQ(f->value(), before) << "a refused text leaves the value";
            EXPECT_EQ(ds.lastError().field, f->name());
        }
        ds.cancel();
    }
}

TEST_F(FieldTest, NullAndEmptyAreDifferent)
{
    Field *bz = ds.fieldByName(u"BZ");
    ASSERT_TRUE(bz->setAsText(QString()));
    EXPECT_FALSE(bz->isNull());
    EXPECT_EQ(bz->value(), QVariant(QString()));
    ASSERT_TRUE(bz->clear());
    EXPECT_TRUE(bz->isNull());
    ASSERT_TRUE(ds.post());
    ASSERT_TRUE(ds.applyUpdates(0) == 0);
    EXPECT_FALSE(source.rows(QStringLiteral("pLL")).first().at(6).isValid());

    // Boolean texts of a yes/no field.
    Field *zt = ds.fieldByName(u"ZT");
    zt->setBoolTexts(QStringLiteral("停用;启用"));
    EXPECT_EQ(zt->displayText(), QStringLiteral("启用"));
    ASSERT_TRUE(zt->setAsText(QStringLiteral("停用")));
    EXPECT_EQ(zt->value(), QVariant(true));
}

TEST_F(FieldTest, SetTextHooksTakeOverTypedText)
{
    QStringList seen;
    ds.hooks().setText = [&seen](Field &f, const QString &text) {
        seen << f.name() + QLatin1Char('=') + text;
        // Store it, then post at once as the document lines do for prices.
        return f.assignText(text) && (f.name() != u"DJ" || f.dataSet()->post());
    };
    ASSERT_TRUE(ds.fieldByName(u"SL")->setAsText(QStringLiteral("3")));
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    ASSERT_TRUE(ds.fieldByName(u"DJ")->setAsText(QStringLiteral("4.5")));
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(seen, (QStringList{"SL=3", "DJ=4.5"}));

    ds.hooks().setText = nullptr;
    ds.fieldByName(u"BZ")->setSetTextHook([](Field &f, const QString &text) {
        return f.assignText(text.trimmed().toUpper());
    });
    ASSERT_TRUE(ds.fieldByName(u"BZ")->setAsText(QStringLiteral(" abc ")));
    EXPECT_EQ(ds.fieldByName(u"BZ")->asString(), QStringLiteral("ABC"));
}

} // namespace
} // namespace qv::client::test
