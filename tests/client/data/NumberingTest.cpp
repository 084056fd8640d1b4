// Document numbers: prefixes, the numeric ID of a number, and running numbers
// taken from the server's counters, alone and by two clients at once.
#include "ServerFixture.h"

#include "client/core/data/Numbering.h"

#include <QSet>

#include <thread>

using namespace qv::client;
using namespace qv::client::test;

namespace {

TEST(Numbering, PrefixFollowsTheHeaderTable)
{
    const struct {
        const char *table;
        const char *prefix;
    } cases[] = {
        {"CGSHZB", "CS"}, {"cgshzb", "CS"}, {"LLZB", "LL"},   {"KCPDZB", "PD"}, {"QTKCBDZB", "QB"},
        {"CKDBZB", "DB"}, {"FYKZZB", "KZ"}, {"QTSRZB", "SR"}, {"LSKDZB", "LS"}, {"CKZZZB", "ZZ"},
        {"CGSQZB", "CQ"}, {"XSSKZB", "XK"}, {"CGSH", ""},     {"HP", ""},       {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(billPrefix(QString::fromLatin1(c.table)), QString::fromLatin1(c.prefix)) << c.table;
}

TEST(Numbering, IdIsTheNumericTail)
{
    EXPECT_EQ(billNoToId(u"XS2023120015").value, 2023120015);
    EXPECT_EQ(billNoToId(u"CS2024010001").value, 2024010001);
    EXPECT_EQ(billNoToId(u"2024010001").value, 2024010001);
    for (const char *bad : {"", "XS", "XS2023,12", "XS2023A1", "XS2023 "}) {
        const auto id = billNoToId(QString::fromLatin1(bad));
        EXPECT_FALSE(id.ok()) << bad;
        EXPECT_EQ(id.error, QStringLiteral("单号格式错误！")) << bad;
    }
}

class NumberingServerTest : public ServerFixture {
protected:
    qint64 maxNo(const QString &key)
    {
        return value(QStringLiteral("select MaxNo from MaxBillNo where TableName='%1'").arg(key)).toLongLong();
    }
};

TEST_F(NumberingServerTest, FirstOfTheMonthIs0001AndTheCounterKeepsTheNextNumber)
{
    auto first = getBillNo(data(), QStringLiteral("CS"), QStringLiteral("2031-07-15"), QStringLiteral("CS"));
    ASSERT_TRUE(first.ok()) << qPrintable(first.error);
    EXPECT_EQ(first.value, QStringLiteral("CS2031070001"));
    EXPECT_EQ(maxNo(QStringLiteral("CS203107")), 2);
    EXPECT_EQ(billNoToId(first.value).value, 2031070001);

    auto second = getBillNo(data(), QStringLiteral("CS"), QStringLiteral("2031-07-31"), QStringLiteral("CS"));
    ASSERT_TRUE(second.ok()) << qPrintable(second.error);
    EXPECT_EQ(second.value, QStringLiteral("CS2031070002"));
    EXPECT_EQ(maxNo(QStringLiteral("CS203107")), 3);

    auto nextMonth = getBillNo(data(), QStringLiteral("CS"), QStringLiteral("2031-08-01"), QStringLiteral("CS"));
    EXPECT_EQ(nextMonth.value, QStringLiteral("CS2031080001")) << "a new month starts at 1 on its own";
}

TEST_F(NumberingServerTest, ACounterAtZeroCountsAsOne)
{
    exec(QStringLiteral("insert into MaxBillNo(TableName,MaxNo) values ('LL203109',0)"));
    auto number = getBillNo(data(), QStringLiteral("LL"), QStringLiteral("2031-09-02"), QStringLiteral("LL"));
    ASSERT_TRUE(number.ok()) << qPrintable(number.error);
    EXPECT_EQ(number.value, QStringLiteral("LL2031090001"));
    EXPECT_EQ(maxNo(QStringLiteral("LL203109")), 2);
}

TEST_F(NumberingServerTest, TheKeyPrefixMayDifferFromTheNumbersPrefix)
{
    auto number = getBillNo(data(), QStringLiteral("PD"), QStringLiteral("2031-10-02"), QStringLiteral("KT"));
    ASSERT_TRUE(number.ok()) << qPrintable(number.error);
    EXPECT_EQ(number.value, QStringLiteral("PD2031100001"));
    EXPECT_EQ(maxNo(QStringLiteral("KT203110")), 2);
}

TEST_F(NumberingServerTest, TheMonthsTenThousandthDocumentIsRefusedNotWrappedTo0000)
{
    exec(QStringLiteral("insert into MaxBillNo(TableName,MaxNo) values ('QB203111',9999)"));
    auto last = getBillNo(data(), QStringLiteral("QB"), QStringLiteral("2031-11-30"), QStringLiteral("QB"));
    ASSERT_TRUE(last.ok()) << qPrintable(last.error);
    EXPECT_EQ(last.value, QStringLiteral("QB2031119999"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto refused = getBillNo(data(), QStringLiteral("QB"), QStringLiteral("2031-11-30"), QStringLiteral("QB"));
        EXPECT_FALSE(refused.ok());
        EXPECT_TRUE(refused.error.contains(u"9999")) << qPrintable(refused.error);
    }
    EXPECT_EQ(maxNo(QStringLiteral("QB203111")), 10000) << "a refused number does not move the counter";
}

TEST_F(NumberingServerTest, ADateThatIsNotYearMonthDayIsRefusedBeforeAsking)
{
    const qint64 before = value(QStringLiteral("select count(*) from MaxBillNo")).toLongLong();
    for (const char *bad : {"", "2031/07/01", "31-07-2031", "2031-13-01"}) {
        auto number = getBillNo(data(), QStringLiteral("CS"), QString::fromLatin1(bad), QStringLiteral("CS"));
        EXPECT_FALSE(number.ok()) << bad;
    }
    EXPECT_EQ(value(QStringLiteral("select count(*) from MaxBillNo")).toLongLong(), before);
}

TEST_F(NumberingServerTest, TwoClientsAtOnceNeverShareANumber)
{
    constexpr int kEach = 200;
    QList<QString> numbers[2];
    QString errors[2];
    auto take = [this](QList<QString> *out, QString *error) {
        std::unique_ptr<TData> own = connectAnother();
        if (!own) {
            *error = QStringLiteral("no connection");
            return;
        }
        for (int i = 0; i < kEach; ++i) {
            auto number = getBillNo(*own, QStringLiteral("LL"), QStringLiteral("2032-01-10"), QStringLiteral("LL"));
            if (!number.ok()) {
                *error = number.error;
                return;
            }
            out->append(number.value);
        }
    };
    std::thread a(take, &numbers[0], &errors[0]);
    std::thread b(take, &numbers[1], &errors[1]);
    a.join();
    b.join();
    ASSERT_TRUE(errors[0].isEmpty()) << qPrintable(errors[0]);
    ASSERT_TRUE(errors[1].isEmpty()) << qPrintable(errors[1]);
    QSet<QString> distinct;
    for (const auto &list : numbers) {
        EXPECT_EQ(list.size(), kEach);
        for (const QString &n : list)
            distinct.insert(n);
    }
    EXPECT_EQ(distinct.size(), 2 * kEach);
    EXPECT_TRUE(distinct.contains(QStringLiteral("LL2032010001")));
    EXPECT_TRUE(distinct.contains(QStringLiteral("LL2032010400")));
    EXPECT_EQ(maxNo(QStringLiteral("LL203201")), 2 * kEach + 1);
}

} // namespace
