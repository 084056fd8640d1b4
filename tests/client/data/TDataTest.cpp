// The client data module against the demo account set: the query pool, the
// one-value lookups, the exec-SQL path, number formats and SetID.
#include "ServerFixture.h"

using namespace qv::client;
using namespace qv::client::test;

namespace {

class TDataTest : public ServerFixture {};

TEST_F(TDataTest, EverySharedDataSetHasItsProviderAndTheCommonSettings)
{
    const QStringList names = data().dataSetNames();
    EXPECT_EQ(names.size(), 117);
    for (const QString &name : names) {
        DataSet *ds = data().dataSet(name);
        ASSERT_NE(ds, nullptr) << qPrintable(name);
        EXPECT_EQ(ds->packetSize(), TData::kPacketSize) << qPrintable(name);
        EXPECT_TRUE(ds->providerName().startsWith(u'p') || ds->providerName().startsWith(u"dsp"))
            << qPrintable(name);
    }
    EXPECT_EQ(data().dataSet(u"cdsLookUp")->providerName(), QStringLiteral("pTmp"));
    EXPECT_EQ(data().dataSet(u"hphelp")->providerName(), QStringLiteral("pHp"));
    EXPECT_EQ(data().dataSet(u"AppMenu")->commandText(), QStringLiteral("select * from AppMenu order by mIndex"));
    EXPECT_EQ(data().tmp()->name(), QStringLiteral("Tmp"));
}

TEST_F(TDataTest, EverySharedDataSetOpensOnTheServer)
{
    // Each provider name exists on the server and its statement runs.
    for (const QString &name : data().dataSetNames()) {
        DataSet *ds = data().dataSet(name);
        if (ds->providerName().compare(u"pTmp", Qt::CaseInsensitive) == 0
            || ds->providerName().compare(u"pTmpf", Qt::CaseInsensitive) == 0
            || ds->providerName().compare(u"pTmpl", Qt::CaseInsensitive) == 0
            || ds->providerName().compare(u"pQryPub", Qt::CaseInsensitive) == 0
            || ds->providerName().compare(u"pPub", Qt::CaseInsensitive) == 0
            || ds->providerName().compare(u"pAccountTemp", Qt::CaseInsensitive) == 0)
            continue; // the channels have no statement of their own
        EXPECT_TRUE(ds->open()) << qPrintable(name) << ": " << qPrintable(ds->lastError().toString());
        ds->close();
    }
}

TEST_F(TDataTest, NestedLookupsTakeTwoPoolDataSetsAndKeepTheirOwnValues)
{
    DataSet *outer = data().getPoolQuery();
    EXPECT_EQ(outer->name(), QStringLiteral("TMP0"));
    ASSERT_TRUE(data().runSql(outer, QStringLiteral("select ID, MC from CK order by ID"), true));
    QStringList seen;
    for (bool more = outer->first(); more && !outer->eof(); more = outer->next()) {
        const qint64 id = outer->fieldByName(u"ID")->asInteger();
        const auto inner = data().queryValue(QStringLiteral("select MC from CK where ID=%1").arg(id));
        ASSERT_TRUE(inner.ok()) << qPrintable(inner.error);
        EXPECT_EQ(inner.value.toString(), outer->fieldByName(u"MC")->asString());
        seen << inner.value.toString();
    }
    EXPECT_EQ(seen, (QStringList{QStringLiteral("办公用品仓库"), QStringLiteral("耗材配件仓库")}));
    EXPECT_EQ(data().poolSize(), 2);
    EXPECT_EQ(data().poolQuery(1)->name(), QStringLiteral("TMP1"));
    EXPECT_FALSE(data().poolQuery(1)->isActive()) << "a lookup gives its pool dataset back";
    EXPECT_TRUE(outer->isActive());
    outer->close();
    EXPECT_EQ(data().getPoolQuery(), outer) << "the first free pool dataset is handed out again";
}

TEST_F(TDataTest, LookupsWithoutARowAnswerByColumnType)
{
    const struct {
        const char *sql;
        QVariant expected;
    } cases[] = {
        {"select count(*) from HP where 1=0", QVariant(qint64(0))},
        {"select ID from CK where 1=0", QVariant(0)},
        {"select JJ from HP where 1=0", QVariant(0)},
        {"select ZT from HP where 1=0", QVariant(0)},
        {"select MC from CK where 1=0", QVariant(QString())},
        {"select RQ from LLZB where 1=0", QVariant()},
    };
    for (const auto &c : cases) {
        const auto v = data().queryValue(QString::fromLatin1(c.sql));
        ASSERT_TRUE(v.ok()) << c.sql << ": " << qPrintable(v.error);
        EXPECT_EQ(v.value.isValid(), c.expected.isValid()) << c.sql;
        if (c.expected.typeId() == QMetaType::QString) {
            EXPECT_EQ(v.value.typeId(), QMetaType::QString) << c.sql;
        }
        if (c.expected.isValid()) {
            EXPECT_EQ(v.value.toString(), c.expected.toString()) << c.sql;
        }
    }
    EXPECT_FALSE(data().queryExists(QStringLiteral("select * from HP where 1=0")).value);
    EXPECT_TRUE(data().queryExists(QStringLiteral("select * from HP")).value);
}

TEST_F(TDataTest, AFailingStatementAnswersFalseWithTheServersText)
{
    DataSet *tmp = data().tmp();
    EXPECT_FALSE(data().runSql(tmp, QStringLiteral("select nosuch from HP"), true));
    EXPECT_FALSE(data().lastError().isEmpty());
    EXPECT_FALSE(tmp->isActive());
    EXPECT_FALSE(data().tryExecSql(QStringLiteral("update nosuchtable set a=1")));
    EXPECT_FALSE(data().queryValue(QStringLiteral("select from")).ok());
    data().runSqlQuiet(QStringLiteral("delete from nosuchtable"), tmp);
    EXPECT_FALSE(tmp->isActive());
    // The channel works again at once.
    EXPECT_TRUE(data().runSql(tmp, QStringLiteral("select * from CK"), true));
    EXPECT_EQ(tmp->recordCount(), 2);
}

TEST_F(TDataTest, ACommandRunsThroughTheChannel)
{
    DataSet *tmpf = data().tmpf();
    ASSERT_TRUE(data().runSql(tmpf, QStringLiteral("update CK set BZ=") + QStringLiteral("'O''Neil''s shelf'")
                                        + QStringLiteral(" where ID=2"),
                              false))
        << qPrintable(data().lastError());
    EXPECT_EQ(value(QStringLiteral("select BZ from CK where ID=2")).toString(), QStringLiteral("O'Neil's shelf"));
}

TEST_F(TDataTest, FloatingFieldsShowThousandsAndEditWithoutThem)
{
    DataSet *hp = data().hp();
    ASSERT_TRUE(data().runSql(hp, QStringLiteral("select * from HP where ID=14"), true));
    Field *price = hp->fieldByName(u"JJ");
    ASSERT_NE(price, nullptr);
    EXPECT_EQ(price->displayFormat(), QStringLiteral("#,0.##"));
    price->setValue(1234.5);
    EXPECT_EQ(price->displayText(), QStringLiteral("1,234.5"));
    EXPECT_EQ(price->text(), QStringLiteral("1234.5"));

    price->setDisplayFormat(QStringLiteral("#,0.00"));
    EXPECT_EQ(price->displayText(), QStringLiteral("1,234.50"));
    EXPECT_EQ(price->effectiveEditFormat(), QStringLiteral("0.00"));
    EXPECT_EQ(price->text(), QStringLiteral("1234.50"));
    hp->cancel();
    // A window's own format stays when the dataset is opened again.
    ASSERT_TRUE(data().runSql(hp, QStringLiteral("select * from HP where ID=14"), true));
    EXPECT_EQ(hp->fieldByName(u"JJ")->displayFormat(), QStringLiteral("#,0.00"));
    EXPECT_TRUE(hp->fieldByName(u"ID")->displayFormat().isEmpty()) << "keys show as plain integers";
}

TEST_F(TDataTest, SetIdStartsAtOneAndIgnoresZeroAndNegativeIds)
{
    exec(QStringLiteral("delete from Oa_House"));
    DataSet *house = data().dataSet(u"Oa_House");
    ASSERT_TRUE(house->open()) << qPrintable(house->lastError().toString());
    ASSERT_TRUE(house->isEmpty());
    EXPECT_FALSE(data().setId(*house).ok()) << "only a dataset that is inserting gets an ID";

    ASSERT_TRUE(house->append());
    auto first = data().setId(*house);
    ASSERT_TRUE(first.ok()) << qPrintable(first.error);
    EXPECT_EQ(first.value, 1);
    EXPECT_EQ(house->fieldByName(u"ID")->asInteger(), 1);
    house->cancel();

    exec(QStringLiteral("insert into Oa_House(ID,F_Name) values (-7,'负数')"));
    exec(QStringLiteral("insert into Oa_House(ID,F_Name) values (0,'零')"));
    ASSERT_TRUE(house->append());
    EXPECT_EQ(data().setId(*house).value, 1);
    house->cancel();

    exec(QStringLiteral("insert into Oa_House(ID,F_Name) values (5,'五')"));
    ASSERT_TRUE(house->append());
    EXPECT_EQ(data().setId(*house).value, 6);
    house->cancel();
}

TEST_F(TDataTest, NextTableIdIsMaxPlusOneAndOneForAnEmptyTable)
{
    EXPECT_EQ(data().nextTableId(QStringLiteral("Oa_Keys")).value, 1);
    EXPECT_EQ(data().nextTableId(QStringLiteral("CK")).value, 3);
    const qint64 topType = value(QStringLiteral("select max(ItemType) from Pub_ItemType")).toLongLong();
    EXPECT_EQ(data().nextTableId(QStringLiteral("pub_ItemType")).value, topType + 1);
    EXPECT_FALSE(data().nextTableId(QStringLiteral("CK; delete from CK")).ok());
}

TEST_F(TDataTest, QueryToFieldsCopiesInOrderOrClears)
{
    DataSet *ck = data().ck();
    ASSERT_TRUE(ck->open());
    ASSERT_TRUE(ck->locate(QStringLiteral("ID"), {1}));
    EXPECT_EQ(data().queryToFields(QStringLiteral("select MC, XH from CK where ID=2"), ck,
                                   QStringLiteral("WZ;BMID"), false),
              1);
    EXPECT_TRUE(ck->isEditing());
    EXPECT_EQ(ck->fieldByName(u"WZ")->asString(), QStringLiteral("耗材配件仓库"));
    EXPECT_EQ(ck->fieldByName(u"BMID")->asInteger(), 2);
    ck->cancel();

    EXPECT_EQ(data().queryToFields(QStringLiteral("select MC, XH from CK where 1=0"), ck,
                                   QStringLiteral("WZ;BMID"), false),
              0);
    EXPECT_FALSE(ck->isEditing()) << "without a row and without clear nothing changes";
    EXPECT_EQ(data().queryToFields(QStringLiteral("select MC, XH from CK where 1=0"), ck,
                                   QStringLiteral("WZ;BMID"), true),
              0);
    EXPECT_TRUE(ck->isEditing());
    EXPECT_EQ(ck->fieldByName(u"WZ")->value(), QVariant(QString()));
    EXPECT_EQ(ck->fieldByName(u"BMID")->asInteger(), 0);
    EXPECT_FALSE(ck->fieldByName(u"BMID")->isNull());
    ck->cancel();
    EXPECT_EQ(data().queryToFields(QStringLiteral("select bad from"), ck, QStringLiteral("WZ"), true), -1);
}

TEST_F(TDataTest, RemoteMethodsAnswerThroughTheMainConnection)
{
    const auto date = data().serverDate();
    ASSERT_TRUE(date.ok()) << qPrintable(date.error);
    EXPECT_TRUE(QDate::fromString(date.value, u"yyyy-MM-dd").isValid()) << qPrintable(date.value);
    const auto now = data().serverDateTime();
    ASSERT_TRUE(now.ok());
    EXPECT_TRUE(now.value.startsWith(date.value) || now.value > date.value);
    const auto tables = data().tableNames();
    ASSERT_TRUE(tables.ok());
    EXPECT_TRUE(tables.value.split(u'|').contains(QStringLiteral("Inv_ItemList"), Qt::CaseInsensitive));
}

} // namespace
