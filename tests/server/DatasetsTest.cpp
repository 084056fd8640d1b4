// Datasets through the real server on both engines: every published dataset
// opens on the demo account set; packets, cursors, blobs on demand, filters.
#include "ServerHarness.h"

using namespace qv;
using namespace qv::servertest;

namespace {

class Datasets : public SharedServerTest {
protected:
    protocol::Outcome<protocol::OpenReply> open(const QString &dataset, int packetSize,
                                                const QString &statement = {},
                                                RemoteObject object = RemoteObject::Business)
    {
        protocol::OpenArgs args;
        args.dataset = dataset;
        if (!statement.isEmpty())
            args.statement = statement;
        args.packetSize = packetSize;
        return client().call(args, object);
    }
};

} // namespace

TEST_P(Datasets, EveryPublishedDatasetOpensOnTheDemoAccountSet)
{
    struct Module {
        RemoteObject object;
        int expected;
    };
    for (const Module &module : {Module{RemoteObject::Business, 166}, Module{RemoteObject::Report, 54}}) {
        const auto names = client().call(protocol::GetProviderNamesArgs{}, module.object);
        ASSERT_TRUE(names.ok());
        EXPECT_EQ(names->names.size(), module.expected);
        for (const QString &name : names->names) {
            SCOPED_TRACE(name.toStdString());
            auto reply = open(name, 2000, {}, module.object);
            if (!reply.ok() && reply.error.text.contains(QStringLiteral("没有自己的语句"))) {
                // Datasets that serve client statements only.
                const QString statement = name == QLatin1String("pAccountTemp")
                                              ? QStringLiteral("select * from Act_QVSys")
                                              : QStringLiteral("select ID, MC from CK order by ID");
                reply = open(name, 2000, statement, module.object);
            }
            ASSERT_TRUE(reply.ok()) << qPrintable(reply.error.describe());
            EXPECT_FALSE(reply->fields.isEmpty());
            EXPECT_TRUE(protocol::checkRowWidth(reply->rows, reply->fields.size()).isEmpty());
            if (reply->cursor)
                client().call(protocol::CloseCursorArgs{reply->cursor}, module.object);
        }
    }
}

TEST_P(Datasets, PacketsEndExactlyAndCursorsBelongToTheirDataset)
{
    const QString all = QStringLiteral("select ID, BH, PM from HP order by ID");
    const qint64 total = client().scalar(QStringLiteral("select count(*) from HP")).toLongLong();
    ASSERT_GT(total, 20);

    auto first = open(QStringLiteral("pTmp"), 10, all);
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first->rows.size(), 10);
    EXPECT_FALSE(first->endOfData);
    ASSERT_GT(first->cursor, 0);
    qint64 seen = first->rows.size();
    qint64 last = first->rows.last().value(0).toLongLong();
    for (;;) {
        const auto more = client().call(protocol::FetchArgs{first->cursor, 10});
        ASSERT_TRUE(more.ok()) << qPrintable(more.error.describe());
        for (const protocol::Row &row : more->rows) {
            EXPECT_GT(row.value(0).toLongLong(), last) << "rows keep the statement's order";
            last = row.value(0).toLongLong();
        }
        seen += more->rows.size();
        if (more->endOfData) {
            EXPECT_FALSE(more->rows.isEmpty()) << "the end is known with the last rows, not one fetch later";
            break;
        }
    }
    EXPECT_EQ(seen, total);
    EXPECT_FALSE(client().call(protocol::FetchArgs{first->cursor, 10}).ok()) << "a finished cursor is closed";

    // Exactly as many rows as the packet: the end comes with them.
    auto exact = open(QStringLiteral("pTmp"), int(total), all);
    ASSERT_TRUE(exact.ok());
    EXPECT_EQ(exact->rows.size(), total);
    EXPECT_TRUE(exact->endOfData);
    EXPECT_EQ(exact->cursor, 0);

    // The field list alone, then everything; opening the dataset again closes
    // its earlier cursor.
    auto fieldsOnly = open(QStringLiteral("pTmp"), 0, all);
    ASSERT_TRUE(fieldsOnly.ok());
    EXPECT_EQ(fieldsOnly->fields.size(), 3);
    EXPECT_TRUE(fieldsOnly->rows.isEmpty());
    auto again = open(QStringLiteral("pTmp"), 5, all);
    ASSERT_TRUE(again.ok());
    EXPECT_FALSE(client().call(protocol::FetchArgs{fieldsOnly->cursor, -1}).ok());
    const auto rest = client().call(protocol::FetchArgs{again->cursor, -1});
    ASSERT_TRUE(rest.ok());
    EXPECT_EQ(again->rows.size() + rest->rows.size(), total);
    EXPECT_TRUE(rest->endOfData);

    // Another dataset's cursor is untouched by it; a cursor is closed on request.
    auto other = open(QStringLiteral("pTmpf"), 5, all);
    auto third = open(QStringLiteral("pTmpl"), 5, all);
    ASSERT_TRUE(other.ok() && third.ok());
    EXPECT_TRUE(client().call(protocol::CloseCursorArgs{third->cursor}).ok());
    EXPECT_FALSE(client().call(protocol::FetchArgs{third->cursor, 5}).ok());
    EXPECT_TRUE(client().call(protocol::FetchArgs{other->cursor, 5}).ok());
}

TEST_P(Datasets, BlobAndMemoColumnsComeOnDemand)
{
    const qint64 id = 880000 + (GetParam() == Engine::Postgres ? 1 : 0);
    const QByteArray picture = QByteArray::fromHex("89504e470d0a1a0a00ff00");
    protocol::ChangePacket packet;
    packet.fields = QStringList{QStringLiteral("ID"), QStringLiteral("YGID"), QStringLiteral("pict")};
    packet.inserted << protocol::Row{id, qint64(1), picture};
    const auto saved = client().call(protocol::ApplyUpdatesArgs{QStringLiteral("pHp_Pict"), packet});
    ASSERT_TRUE(saved.ok() && saved->committed) << qPrintable(saved.error.describe());

    const QString statement = QStringLiteral("select * from hp_pict where ID = %1").arg(id);
    auto opened = open(QStringLiteral("pHp_Pict"), -1, statement);
    ASSERT_TRUE(opened.ok());
    const int pict = fieldIndex(opened->fields, QStringLiteral("pict"));
    ASSERT_GE(pict, 0);
    EXPECT_EQ(opened->fields[pict].type, protocol::FieldType::Blob);
    EXPECT_TRUE(opened->fields[pict].has(protocol::FieldFlag::BlobOnDemand));
    ASSERT_EQ(opened->rows.size(), 1);
    EXPECT_TRUE(protocol::isNotFetched(opened->rows[0][pict]));

    protocol::FetchBlobsArgs blobs;
    blobs.dataset = QStringLiteral("pHp_Pict");
    blobs.keyFields = QStringList{QStringLiteral("ID")};
    blobs.keyValues = protocol::Row{id};
    const auto fetched = client().call(blobs);
    ASSERT_TRUE(fetched.ok()) << qPrintable(fetched.error.describe());
    ASSERT_EQ(fetched->fields, QStringList{QStringLiteral("pict")});
    EXPECT_EQ(fetched->values[0].toByteArray(), picture);

    protocol::OpenArgs inline_;
    inline_.dataset = QStringLiteral("pHp_Pict");
    inline_.statement = statement;
    inline_.packetSize = -1;
    inline_.includeBlobs = true;
    opened = client().call(inline_);
    ASSERT_TRUE(opened.ok());
    EXPECT_EQ(opened->rows[0][pict].toByteArray(), picture);

    // A key that names no row, and a key field the dataset does not have.
    blobs.keyValues = protocol::Row{qint64(-5)};
    EXPECT_FALSE(client().call(blobs).ok());
    blobs.keyFields = QStringList{QStringLiteral("NoSuchField")};
    EXPECT_FALSE(client().call(blobs).ok());
}

TEST_P(Datasets, AFilterAppliesToLaterFetchesOfThatDatasetAndKeepsItsOrder)
{
    const auto all = client().openAll(QStringLiteral("pHp"));
    ASSERT_TRUE(all.ok()) << qPrintable(all.error.describe());
    const int bh = fieldIndex(all->fields, QStringLiteral("BH"));
    const int zt = fieldIndex(all->fields, QStringLiteral("ZT"));
    ASSERT_GE(bh, 0);

    const auto setFilter = [&](const QStringList &filter, RemoteObject object = RemoteObject::Business) {
        return client().call(protocol::SetFilterArgs{filter}, object);
    };
    ASSERT_TRUE(setFilter({QStringLiteral("Hp"), QStringLiteral("BH < '0010' and ZT = False")}).ok());
    auto filtered = client().openAll(QStringLiteral("pHp"));
    ASSERT_TRUE(filtered.ok()) << qPrintable(filtered.error.describe());
    EXPECT_EQ(filtered->fields, all->fields) << "the filter keeps the dataset's fields and their roles";
    ASSERT_EQ(filtered->rows.size(), 9);
    for (qsizetype i = 0; i < filtered->rows.size(); ++i) {
        EXPECT_LT(filtered->rows[i][bh].toString(), QStringLiteral("0010"));
        EXPECT_EQ(filtered->rows[i][zt], QVariant(false));
        if (i > 0) {
            EXPECT_LT(filtered->rows[i - 1][bh].toString(), filtered->rows[i][bh].toString());
        }
    }
    // Other datasets on the same table are not filtered.
    EXPECT_EQ(client().openAll(QStringLiteral("pQProducts"))->rows.size(), all->rows.size());

    // An empty expression switches it off.
    ASSERT_TRUE(setFilter({QStringLiteral("Hp"), QString()}).ok());
    EXPECT_EQ(client().openAll(QStringLiteral("pHp"))->rows.size(), all->rows.size());

    EXPECT_FALSE(setFilter({QStringLiteral("NoSuchQuery"), QStringLiteral("1=1")}).ok());
    EXPECT_FALSE(setFilter({QStringLiteral("Hp")}).ok());
    ASSERT_TRUE(setFilter({QStringLiteral("Hp"), QStringLiteral("NoSuchColumn = 1")}).ok());
    const auto broken = client().openAll(QStringLiteral("pHp"));
    EXPECT_FALSE(broken.ok());
    EXPECT_TRUE(broken.error.text.contains(QStringLiteral("过滤条件")));
    ASSERT_TRUE(setFilter({QStringLiteral("Hp"), QString()}).ok());

    // The report module has its own components, filtered the same way.
    ASSERT_TRUE(setFilter({QStringLiteral("CkkcHz"), QStringLiteral("ID = 2")}, RemoteObject::Report).ok());
    const auto report = client().openAll(QStringLiteral("pCkkcHz"), QStringLiteral("select ID, MC from CK"),
                                         RemoteObject::Report);
    ASSERT_TRUE(report.ok()) << qPrintable(report.error.describe());
    ASSERT_EQ(report->rows.size(), 1);
    EXPECT_EQ(report->rows[0][0].toLongLong(), 2);
}

TEST_P(Datasets, ExecuteAndParameters)
{
    EXPECT_EQ(client().exec(QStringLiteral("update CK set BZ = BZ where ID > 0")), 2);
    const auto params = client().call(protocol::GetParamsArgs{QStringLiteral("pHp")});
    ASSERT_TRUE(params.ok());
    EXPECT_TRUE(params->params.isEmpty());
    protocol::ExecuteArgs withParams{std::nullopt, QStringLiteral("delete from CK where ID = 1"),
                                     {protocol::Param{QStringLiteral("x"), protocol::FieldType::Integer, 1}}};
    EXPECT_FALSE(client().call(withParams).ok()) << "statements take no parameters";
    // A report work table made by one client is known to the statements of another.
    auto other = connectedClient(*m_server);
    ASSERT_TRUE(other);
    const QString table = QStringLiteral("rpt_Work%1").arg(int(GetParam()));
    client().exec(QStringLiteral("drop table %1").arg(table));
    ASSERT_EQ(client().exec(QStringLiteral("create table %1 (A integer, B text(20))").arg(table)), 0);
    EXPECT_EQ(other->exec(QStringLiteral("insert into %1 (A, B) values (1, 'x')").arg(table)), 1);
    EXPECT_EQ(client().scalar(QStringLiteral("select B from %1 where A = 1").arg(table)).toString(), QStringLiteral("x"));
    EXPECT_EQ(other->exec(QStringLiteral("drop table %1").arg(table)), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, Datasets, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineLabel);
