#include "server/FilterStatement.h"

#include <gtest/gtest.h>

using namespace qv::server;

TEST(FilterStatement, FindsOnlyTheFinalTopLevelOrderBy)
{
    struct Case {
        const char *statement;
        const char *head; // nullptr: no trailing ORDER BY
        const char *order;
    };
    const Case cases[] = {
        {"select * from HP order by BH", "select * from HP", "BH"},
        {"select * from HP H order by H.BH desc, PM;  ", "select * from HP H", "H.BH desc, PM"},
        {"select * from (select * from HP order by BH) T", nullptr, nullptr},
        {"select * from HP where PM = 'x order by y'", nullptr, nullptr},
        {"select [order by] from T", nullptr, nullptr},
        {"select A from T order by A union select A from U", nullptr, nullptr},
        {"select * from HP ORDER\n  BY ID", "select * from HP", "ID"},
        {"select * from recorder by_x", nullptr, nullptr},
    };
    for (const Case &c : cases) {
        const auto split = splitTrailingOrderBy(QString::fromUtf8(c.statement));
        if (!c.head) {
            EXPECT_FALSE(split.has_value()) << c.statement;
            continue;
        }
        ASSERT_TRUE(split.has_value()) << c.statement;
        EXPECT_EQ(split->head, QString::fromUtf8(c.head)) << c.statement;
        EXPECT_EQ(split->orderBy, QString::fromUtf8(c.order)) << c.statement;
    }
}

TEST(FilterStatement, MovesAPlainOrderOutOfTheDerivedTable)
{
    const QStringList moved = filteredStatements(u"select H.*, L.MC as aMC from HP H, L order by H.BH desc;", u"ZT = 0");
    ASSERT_EQ(moved.size(), 2);
    EXPECT_EQ(moved[0], QStringLiteral("select * from (select H.*, L.MC as aMC from HP H, L) as qv_f where (ZT = 0) order by BH desc"));
    EXPECT_EQ(moved[1], QStringLiteral("select * from (select H.*, L.MC as aMC from HP H, L order by H.BH desc) as qv_f where (ZT = 0)"));

    // An expression, or a TOP that picks rows by the order, keeps it inside.
    for (const char16_t *statement : {u"select * from HP order by iif(ZT, 1, 0)", u"select top 5 * from HP order by BH"}) {
        const QStringList kept = filteredStatements(statement, u"ZT = 0");
        ASSERT_EQ(kept.size(), 1);
        EXPECT_TRUE(kept[0].contains(QStringLiteral("order by"))) << qPrintable(kept[0]);
        EXPECT_TRUE(kept[0].endsWith(QStringLiteral("as qv_f where (ZT = 0)")));
    }
}
