// What the data module adds to its datasets: calculated fields, display texts,
// and the events (what a dataset opens first, the office datasets' dates).
#include "ServerFixture.h"

using namespace qv::client;
using namespace qv::client::test;

namespace {

class TDataRulesTest : public ServerFixture {
protected:
    // Opens the shared dataset on an empty result and appends one row.
    DataSet *newRow(const char *name, const QString &table)
    {
        DataSet *ds = data().dataSet(QString::fromLatin1(name));
        EXPECT_NE(ds, nullptr) << name;
        if (!ds)
            return nullptr;
        EXPECT_TRUE(data().runSql(ds, QStringLiteral("select * from %1 where 1=0").arg(table), true))
            << name << ": " << qPrintable(data().lastError());
        EXPECT_TRUE(ds->append()) << name;
        return ds;
    }

    static void set(DataSet *ds, const char *field, const QVariant &v)
    {
        Field *f = ds->fieldByName(QString::fromLatin1(field));
        ASSERT_NE(f, nullptr) << field;
        ASSERT_TRUE(f->setValue(v)) << field << ": " << qPrintable(ds->lastError().toString());
    }

    static double calc(DataSet *ds, const char *field)
    {
        Field *f = ds->fieldByName(QString::fromLatin1(field));
        EXPECT_NE(f, nullptr) << field;
        return f ? f->asDouble() : -1;
    }
};

TEST_F(TDataRulesTest, CalculatedAmountsFollowTheirFormulas)
{
    struct Case {
        const char *dataSet;
        const char *table;
        const char *field;
        QList<std::pair<const char *, double>> values;
        double expected;
    };
    const QList<Case> cases = {
        {"Cgdd", "CGDD", "cJE", {{"SL", 2}, {"DJ", 10}, {"NSL", 17}}, 23.4},
        {"Cgsh", "CGSH", "cJE", {{"SL", 2}, {"DJ", 10}, {"NZK", 0.9}, {"NSL", 17}}, 21.06},
        {"Ll", "LL", "cJE", {{"SL", 3}, {"DJ", 2.5}}, 7.5},
        {"Chtj", "CHTJ", "cJE", {{"SL", 4}, {"DJ", 5}, {"JDJ", 3.5}}, 6},
        {"Cgfk", "CGFK", "aWFJE", {{"JE", 100}, {"YFJE", 30}}, 70},
        {"Xssk", "XSSK", "aWSJE", {{"JE", 100}, {"YSJE", 45}}, 55},
        {"GZ_JJGZ", "Gz_JJGZ", "JE", {{"ID", 1}, {"F_SL", 3}, {"F_DJ", 4}, {"F_JBGZ", 100}}, 112},
    };
    for (const Case &c : cases) {
        DataSet *ds = newRow(c.dataSet, QString::fromLatin1(c.table));
        ASSERT_NE(ds, nullptr);
        for (const auto &[field, v] : c.values)
            set(ds, field, v);
        EXPECT_NEAR(calc(ds, c.field), c.expected, 1e-9) << c.dataSet;
        ASSERT_TRUE(ds->post()) << c.dataSet << ": " << qPrintable(ds->lastError().toString());
        EXPECT_NEAR(calc(ds, c.field), c.expected, 1e-9) << c.dataSet << " after post";
        EXPECT_FALSE(ds->fieldByName(QString::fromLatin1(c.field))->isWrittenBack());
        ds->cancelUpdates();
        ds->close();
    }
}

TEST_F(TDataRulesTest, CodesAndFlagsShowAsWords)
{
    DataSet *llzb = newRow("Llzb", QStringLiteral("LLZB"));
    Field *audit = llzb->fieldByName(u"uFlag");
    for (const auto &[v, shown] : QList<std::pair<QVariant, QString>>{
             {0, QStringLiteral("草稿")}, {1, QStringLiteral("审核")}, {2, QString()}, {QVariant(), QString()}}) {
        audit->setValue(v);
        EXPECT_EQ(audit->displayText(), shown) << qPrintable(v.toString());
    }
    llzb->cancel();

    DataSet *cgsh = newRow("Cgsh", QStringLiteral("CGSH"));
    set(cgsh, "NSL", 17);
    EXPECT_EQ(cgsh->fieldByName(u"NSL")->displayText(), QStringLiteral("17%"));
    EXPECT_EQ(cgsh->fieldByName(u"NSL")->text(), QStringLiteral("17")) << "editing shows the number alone";
    cgsh->cancel();

    DataSet *zh = data().zh();
    ASSERT_TRUE(zh->open()) << qPrintable(zh->lastError().toString());
    Field *kind = zh->fieldByName(u"YHL");
    ASSERT_NE(kind, nullptr);
    ASSERT_TRUE(zh->locate(QStringLiteral("YHL"), {true}));
    EXPECT_EQ(kind->displayText(), QStringLiteral("银行存款类"));
    ASSERT_TRUE(zh->locate(QStringLiteral("YHL"), {false}));
    EXPECT_EQ(kind->displayText(), QStringLiteral("现金类"));

    DataSet *yg = data().dataSet(u"Yg");
    ASSERT_TRUE(yg->open()) << qPrintable(yg->lastError().toString());
    ASSERT_FALSE(yg->isEmpty());
    set(yg, "JSFF", 2);
    EXPECT_EQ(yg->fieldByName(u"JSFF")->displayText(), QStringLiteral("计件"));
    set(yg, "JSFF", 1);
    EXPECT_EQ(yg->fieldByName(u"JSFF")->displayText(), QStringLiteral("月薪"));
    yg->cancel();

    DataSet *nature = data().dataSet(u"Hphsff");
    ASSERT_TRUE(nature->open());
    const QStringList natures{QStringLiteral("库存商品"), QStringLiteral("服务/劳务"), QStringLiteral("其它收入"),
                              QStringLiteral("其它支出"), QStringLiteral("折扣")};
    for (bool more = nature->first(); more && !nature->eof(); more = nature->next()) {
        const qint64 lb = nature->fieldByName(u"LB")->asInteger();
        if (lb >= 1 && lb <= 5) {
            EXPECT_EQ(nature->fieldByName(u"LB")->displayText(), natures[lb - 1]);
        }
    }
}

TEST_F(TDataRulesTest, MenuCaptionsAreIndentedByLevel)
{
    exec(QStringLiteral("delete from AppMenu"));
    exec(QStringLiteral("insert into AppMenu(mName,mCaption,mLevel,mIndex) values ('mnuT1','采购管理',0,1)"));
    exec(QStringLiteral("insert into AppMenu(mName,mCaption,mLevel,mIndex) values ('mnuT2','采购入库',2,2)"));
    exec(QStringLiteral("insert into AppMenu(mName,mCaption,mLevel,mIndex) values ('mnuT3','%1',1,3)")
             .arg(QString(48, u'长')));
    DataSet *menu = data().dataSet(u"AppMenu");
    ASSERT_TRUE(menu->open()) << qPrintable(menu->lastError().toString());
    QStringList shown;
    for (bool more = menu->first(); more && !menu->eof(); more = menu->next())
        shown << menu->fieldByName(u"mCaption")->displayText();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], QStringLiteral("采购管理"));
    EXPECT_EQ(shown[1], QStringLiteral("        采购入库"));
    EXPECT_EQ(shown[2], QStringLiteral("    ") + QString(46, u'长'));
}

TEST_F(TDataRulesTest, OpeningADataSetOpensWhatItNeeds)
{
    DataSet *ck = data().ck();
    DataSet *kinds = data().dataSet(u"Qtkcbdlx");
    ASSERT_FALSE(ck->isActive());
    ASSERT_TRUE(data().dataSet(u"Qtkcbdzb")->open());
    EXPECT_TRUE(ck->isActive());
    EXPECT_TRUE(kinds->isActive());

    DataSet *zh = data().zh();
    ASSERT_FALSE(zh->isActive());
    ASSERT_TRUE(data().dataSet(u"Fykzzb")->open()) << "opens Sfkfs, which opens Zh";
    EXPECT_TRUE(data().dataSet(u"Sfkfs")->isActive());
    EXPECT_TRUE(zh->isActive());
    EXPECT_EQ(zh->commandText(), QStringLiteral("select  *, '现金类'  as aYHL  from ZH order by MC"));
    ASSERT_NE(zh->fieldByName(u"aYHL"), nullptr);
    EXPECT_EQ(zh->fieldByName(u"aYHL")->asString(), QStringLiteral("现金类"));

    ASSERT_TRUE(data().dataSet(u"GZ_JSGZ")->open());
    EXPECT_TRUE(data().dataSet(u"Gz_GongZ")->isActive());
}

TEST_F(TDataRulesTest, NewOfficeRecordsTakeTheServersDate)
{
    const QDate today = QDate::fromString(data().serverDate().value, u"yyyy-MM-dd");
    ASSERT_TRUE(today.isValid());
    DataSet *leave = data().dataSet(u"Oa_Leave");
    ASSERT_TRUE(leave->open());
    ASSERT_TRUE(leave->append());
    EXPECT_EQ(leave->fieldByName(u"F_BillDate")->asDateTime(), QDateTime(today, QTime(0, 0)));
    EXPECT_EQ(leave->fieldByName(u"F_StartDate")->asDateTime(), QDateTime(today, QTime(9, 0)));
    EXPECT_EQ(leave->fieldByName(u"F_EndDate")->asDateTime(), QDateTime(today, QTime(17, 30)));
    leave->cancel();

    DataSet *keys = data().dataSet(u"Oa_Keys");
    ASSERT_TRUE(keys->open());
    ASSERT_TRUE(keys->append());
    for (const char *field : {"F_BillDate", "F_BorrowDate", "F_ReturnDate"})
        EXPECT_EQ(keys->fieldByName(QString::fromLatin1(field))->asDateTime().date(), today) << field;
    keys->cancel();

    // A window that borrows the dataset keeps these events unless it replaces them.
    {
        ScopedHooks borrowed(*keys);
        keys->hooks().afterPost = [](DataSet &) {};
        ASSERT_TRUE(keys->append());
        EXPECT_EQ(keys->fieldByName(u"F_BillDate")->asDateTime().date(), today);
        keys->cancel();
    }
}

} // namespace
