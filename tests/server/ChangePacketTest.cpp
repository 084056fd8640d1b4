// Change packets through the real server on both engines: the limit of failed
// rows, the column roles, the update rules, rows read back, batches.
#include "ServerHarness.h"

using namespace qv;
using namespace qv::servertest;
using protocol::ChangeKind;
using protocol::ChangePacket;
using protocol::Row;

namespace {

class ChangePackets : public SharedServerTest {
protected:
    // Applies a packet to a dataset; the reply (failing the test on a failed call).
    protocol::ApplyUpdatesReply apply(const QString &dataset, const ChangePacket &packet, Client *through = nullptr)
    {
        protocol::ApplyUpdatesArgs args{dataset, packet};
        const auto reply = (through ? through : m_client.get())->call(args);
        EXPECT_TRUE(reply.ok()) << qPrintable(reply.error.describe());
        return reply.ok() ? *reply : protocol::ApplyUpdatesReply{};
    }

    qint64 count(const QString &statement) { return client().scalar(statement).toLongLong(); }

    // A fresh range of keys for each test, so tests sharing the server meet no
    // rows of each other.
    static qint64 keyBase()
    {
        static qint64 next = 10000;
        next += 1000;
        return next;
    }
};

ChangePacket ckPacket(int maxErrors)
{
    ChangePacket p;
    p.fields = QStringList{QStringLiteral("bmmc"), QStringLiteral("ID"), QStringLiteral("MC"), QStringLiteral("BMID")};
    p.maxErrors = maxErrors;
    return p;
}

Row ckRow(qint64 id, const QString &name)
{
    return Row{QVariant(), id, name, QVariant()};
}

} // namespace

TEST_P(ChangePackets, TheLimitOfFailedRowsDecidesCommitOrRollback)
{
    struct Case {
        int maxErrors;
        int badRows;
        bool committed;
    };
    // Five rows, the bad ones repeat a key already in the packet.
    const Case cases[] = {{0, 1, false}, {-1, 1, true}, {-1, 3, true}, {2, 3, false}, {3, 3, true}, {1, 0, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringLiteral("maxErrors %1, %2 bad rows").arg(c.maxErrors).arg(c.badRows).toStdString());
        const qint64 base = keyBase();
        ChangePacket packet = ckPacket(c.maxErrors);
        for (int i = 0; i < 5; ++i)
            packet.inserted << ckRow(i < 5 - c.badRows ? base + i : base, QStringLiteral("仓库%1").arg(i));
        const auto reply = apply(QStringLiteral("pCk"), packet);
        EXPECT_EQ(reply.committed, c.committed);
        EXPECT_EQ(reply.errorCount, c.committed ? c.badRows : std::min(c.badRows, c.maxErrors + 1));
        const qint64 stored = count(QStringLiteral("select count(*) from CK where ID >= %1 and ID < %2").arg(base).arg(base + 5));
        EXPECT_EQ(stored, c.committed ? 5 - c.badRows : 0);
        if (c.committed) {
            EXPECT_EQ(reply.saved.size(), 5 - c.badRows);
            for (const protocol::FailedRow &failed : reply.failed) {
                EXPECT_EQ(failed.kind, ChangeKind::Insert);
                EXPECT_GE(failed.index, 5 - c.badRows);
                EXPECT_FALSE(failed.error.isEmpty());
            }
        } else {
            EXPECT_TRUE(reply.saved.isEmpty()) << "nothing is returned as saved after a roll-back";
        }
    }
}

TEST_P(ChangePackets, OnlyTheBaseTablesOwnColumnsAreWrittenAndSavedRowsComeBack)
{
    const qint64 id = keyBase();
    ChangePacket insert = ckPacket(0);
    insert.inserted << ckRow(id, QStringLiteral("旧名"));
    auto reply = apply(QStringLiteral("pCk"), insert);
    ASSERT_TRUE(reply.committed);

    // The dataset's field list marks the alias from the other table as computed.
    const auto opened = client().openAll(QStringLiteral("pCk"));
    ASSERT_TRUE(opened.ok()) << qPrintable(opened.error.describe());
    const int bmmc = fieldIndex(opened->fields, QStringLiteral("bmmc"));
    ASSERT_GE(bmmc, 0);
    EXPECT_TRUE(opened->fields[bmmc].has(protocol::FieldFlag::Computed));
    EXPECT_TRUE(opened->fields[fieldIndex(opened->fields, QStringLiteral("ID"))].has(protocol::FieldFlag::RowKey));

    // Changing the alias and the name writes the name only.
    const qint64 bmCount = count(QStringLiteral("select count(*) from BM where MC = '改了部门'"));
    ChangePacket modify = ckPacket(0);
    modify.modified << protocol::ModifiedRow{ckRow(id, QStringLiteral("旧名")),
                                             {{0, QStringLiteral("改了部门")}, {2, QStringLiteral("新名")}}};
    reply = apply(QStringLiteral("pCk"), modify);
    ASSERT_TRUE(reply.committed) << qPrintable(reply.failed.value(0).error);
    EXPECT_EQ(client().scalar(QStringLiteral("select MC from CK where ID = %1").arg(id)).toString(), QStringLiteral("新名"));
    EXPECT_EQ(count(QStringLiteral("select count(*) from BM where MC = '改了部门'")), bmCount);
    ASSERT_EQ(reply.saved.size(), 1);
    EXPECT_EQ(reply.saved[0].kind, ChangeKind::Modify);
    const int mc = int(reply.savedFields.indexOf(QStringLiteral("MC")));
    ASSERT_GE(mc, 0);
    EXPECT_FALSE(reply.savedFields.contains(QStringLiteral("bmmc")));
    EXPECT_EQ(reply.saved[0].values[mc].toString(), QStringLiteral("新名"));

    // An autonumber is never written; the saved row brings the one the database gave.
    ChangePacket columns;
    columns.fields = QStringList{QStringLiteral("ID"), QStringLiteral("TableName"), QStringLiteral("FieldName"),
                                 QStringLiteral("IsShow")};
    columns.inserted << Row{qint64(777777), QStringLiteral("T%1").arg(id), QStringLiteral("F"), true};
    reply = apply(QStringLiteral("pTableColumns"), columns);
    ASSERT_TRUE(reply.committed) << qPrintable(reply.failed.value(0).error);
    ASSERT_EQ(reply.saved.size(), 1);
    const qint64 assigned = reply.saved[0].values[reply.savedFields.indexOf(QStringLiteral("ID"))].toLongLong();
    EXPECT_NE(assigned, 777777);
    EXPECT_EQ(count(QStringLiteral("select count(*) from TableColumns where ID = %1 and TableName = 'T%2'").arg(assigned).arg(id)), 1);
    EXPECT_EQ(reply.saved[0].values[reply.savedFields.indexOf(QStringLiteral("IsShow"))], QVariant(true));

    // The generated statements went through the log, values shown.
    const QString log = readText(m_server->folder.logFile());
    EXPECT_TRUE(log.contains(QStringLiteral("update CK set MC = '新名' where ID = %1").arg(id))) << qPrintable(log.left(400));
}

TEST_P(ChangePackets, AClientStatementKeepsTheBaseTableAndItsRoles)
{
    const qint64 id = keyBase();
    ASSERT_EQ(client().exec(QStringLiteral("insert into CK (ID, MC, WZ) values (%1, 'a', 'here')").arg(id)), 1);
    protocol::OpenArgs open;
    open.dataset = QStringLiteral("pCk");
    open.statement = QStringLiteral("select ID, MC, WZ as aWZ from CK where ID = %1").arg(id);
    open.packetSize = -1;
    const auto opened = client().call(open);
    ASSERT_TRUE(opened.ok());
    ASSERT_EQ(opened->rows.size(), 1);
    EXPECT_TRUE(opened->fields[2].has(protocol::FieldFlag::Computed)) << "an alias is never written back";

    ChangePacket packet;
    packet.fields = QStringList{QStringLiteral("ID"), QStringLiteral("MC"), QStringLiteral("aWZ")};
    packet.modified << protocol::ModifiedRow{opened->rows[0], {{1, QStringLiteral("b")}, {2, QStringLiteral("there")}}};
    const auto reply = apply(QStringLiteral("pCk"), packet);
    ASSERT_TRUE(reply.committed);
    EXPECT_EQ(client().scalar(QStringLiteral("select MC & '/' & WZ from CK where ID = %1").arg(id)).toString(),
              QStringLiteral("b/here"));

    // A dataset with no base table takes no changes.
    protocol::ApplyUpdatesArgs general{QStringLiteral("pTmp"), packet};
    const auto refused = client().call(general);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error.text.contains(QStringLiteral("pTmp")));
}

TEST_P(ChangePackets, AnUpdateWhoseLocatingValuesChangedFailsForThatRow)
{
    const qint64 id = keyBase();
    // Rule "all" on Rs_JC: the key and every locating column find the row;
    // memo columns never do, and a null locates with IS NULL.
    ChangePacket packet;
    packet.fields = QStringList{QStringLiteral("ID"), QStringLiteral("F_code"), QStringLiteral("F_Lx"),
                                QStringLiteral("F_CXdate"), QStringLiteral("F_Memo1"), QStringLiteral("F_dept")};
    const QDateTime when(QDate(2024, 1, 15), QTime(8, 30));
    const Row original{id, QStringLiteral("A-1"), QVariant(), when, QStringLiteral("备注"), QStringLiteral("一部")};
    packet.inserted << original;
    ASSERT_TRUE(apply(QStringLiteral("pRs_JC"), packet).committed);

    // Another client changes the memo (not locating) and then the code.
    auto other = connectedClient(*m_server);
    ASSERT_TRUE(other);
    ChangePacket memo = packet;
    memo.inserted.clear();
    memo.modified << protocol::ModifiedRow{original, {{4, QStringLiteral("另一备注")}}};
    ASSERT_TRUE(apply(QStringLiteral("pRs_JC"), memo, other.get()).committed);

    ChangePacket first = memo;
    first.modified = {protocol::ModifiedRow{original, {{5, QStringLiteral("二部")}}}};
    auto reply = apply(QStringLiteral("pRs_JC"), first);
    EXPECT_TRUE(reply.committed);
    EXPECT_EQ(reply.errorCount, 0) << "a memo never locates, so its change does not block this one";

    Row current = original;
    current[4] = QStringLiteral("另一备注");
    current[5] = QStringLiteral("二部");
    ChangePacket code = memo;
    code.modified = {protocol::ModifiedRow{current, {{1, QStringLiteral("A-2")}}}};
    ASSERT_TRUE(apply(QStringLiteral("pRs_JC"), code, other.get()).committed);

    // This client still holds the old code: its update finds no row.
    ChangePacket stale = memo;
    stale.maxErrors = -1;
    stale.modified = {protocol::ModifiedRow{current, {{5, QStringLiteral("三部")}}}};
    reply = apply(QStringLiteral("pRs_JC"), stale);
    ASSERT_EQ(reply.failed.size(), 1);
    EXPECT_EQ(reply.failed[0].kind, ChangeKind::Modify);
    EXPECT_TRUE(reply.failed[0].error.contains(QStringLiteral("已被其他用户修改或删除"))) << qPrintable(reply.failed[0].error);
    EXPECT_TRUE(reply.failed[0].error.contains(QStringLiteral("Rs_JC")));
    EXPECT_EQ(client().scalar(QStringLiteral("select F_dept from Rs_JC where ID = %1").arg(id)).toString(), QStringLiteral("二部"));

    // A delete with stale values fails the same way and deletes nothing.
    ChangePacket remove = memo;
    remove.modified.clear();
    remove.deleted << current;
    reply = apply(QStringLiteral("pRs_JC"), remove);
    EXPECT_FALSE(reply.committed);
    EXPECT_EQ(count(QStringLiteral("select count(*) from Rs_JC where ID = %1").arg(id)), 1);
}

TEST_P(ChangePackets, TheChangedRuleLocatesByTheColumnsTheRowChanged)
{
    const qint64 id = keyBase();
    ChangePacket packet;
    packet.fields = QStringList{QStringLiteral("ID"), QStringLiteral("uCode"), QStringLiteral("uName"),
                                QStringLiteral("uPassword")};
    const Row original{id, QStringLiteral("U%1").arg(id), QStringLiteral("张三"), QStringLiteral("pw")};
    packet.inserted << original;
    ASSERT_TRUE(apply(QStringLiteral("pAppUser"), packet).committed);
    packet.inserted.clear();

    auto other = connectedClient(*m_server);
    ASSERT_TRUE(other);
    ChangePacket password = packet;
    password.modified << protocol::ModifiedRow{original, {{3, QStringLiteral("new")}}};
    ASSERT_TRUE(apply(QStringLiteral("pAppUser"), password, other.get()).committed);

    // The password changed elsewhere, but this row changes only the name.
    ChangePacket name = packet;
    name.modified << protocol::ModifiedRow{original, {{2, QStringLiteral("李四")}}};
    EXPECT_TRUE(apply(QStringLiteral("pAppUser"), name).committed);
    // Changing the name again from the stale old name fails.
    EXPECT_FALSE(apply(QStringLiteral("pAppUser"), name).committed);
}

TEST_P(ChangePackets, AKeylessTableNeverChangesMoreRowsThanTheOneMeant)
{
    // AppLog has no key: every locating column finds the row. Two identical
    // rows cannot be told apart, so deleting "one" of them changes nothing.
    const QString user = QStringLiteral("L%1").arg(keyBase());
    ChangePacket packet;
    packet.fields = QStringList{QStringLiteral("uName"), QStringLiteral("cName"), QStringLiteral("CZ"),
                                QStringLiteral("RQ"), QStringLiteral("SJ")};
    const Row row{user, QStringLiteral("电脑"), QStringLiteral("登录"), QDateTime(QDate(2024, 3, 1), QTime()), QStringLiteral("09:00")};
    Row other = row;
    other[4] = QStringLiteral("10:00");
    packet.inserted << row << row << other;
    ASSERT_TRUE(apply(QStringLiteral("pAppLog"), packet).committed);
    packet.inserted.clear();

    ChangePacket twin = packet;
    twin.maxErrors = -1;
    twin.deleted << row;
    auto reply = apply(QStringLiteral("pAppLog"), twin);
    ASSERT_EQ(reply.failed.size(), 1);
    EXPECT_TRUE(reply.failed[0].error.contains(QStringLiteral("2"))) << qPrintable(reply.failed[0].error);
    EXPECT_EQ(count(QStringLiteral("select count(*) from AppLog where uName = '%1'").arg(user)), 3);

    ChangePacket single = packet;
    single.deleted << other;
    reply = apply(QStringLiteral("pAppLog"), single);
    EXPECT_TRUE(reply.committed);
    EXPECT_EQ(count(QStringLiteral("select count(*) from AppLog where uName = '%1'").arg(user)), 2);
}

TEST_P(ChangePackets, ABatchIsAllOrNothing)
{
    const qint64 id = keyBase();
    ChangePacket good = ckPacket(0);
    good.inserted << ckRow(id, QStringLiteral("批一"));
    ChangePacket bad = ckPacket(0);
    bad.inserted << ckRow(id + 1, QStringLiteral("批二")) << ckRow(id + 1, QStringLiteral("重复"));

    protocol::BatchArgs batch;
    batch.items << protocol::ApplyUpdatesArgs{QStringLiteral("pCk"), good}
                << protocol::ExecuteArgs{std::nullopt, QStringLiteral("update CK set WZ = 'x' where ID = %1").arg(id), {}}
                << protocol::ApplyUpdatesArgs{QStringLiteral("pCk"), bad};
    auto reply = client().call(batch);
    ASSERT_TRUE(reply.ok()) << qPrintable(reply.error.describe());
    EXPECT_FALSE(reply->ok);
    EXPECT_EQ(reply->failedIndex, 2);
    EXPECT_EQ(reply->results.size(), 3);
    EXPECT_EQ(count(QStringLiteral("select count(*) from CK where ID in (%1, %2)").arg(id).arg(id + 1)), 0);

    batch.items.removeLast();
    reply = client().call(batch);
    ASSERT_TRUE(reply.ok());
    EXPECT_TRUE(reply->ok);
    ASSERT_EQ(reply->results.size(), 2);
    const auto *first = std::get_if<protocol::ApplyUpdatesReply>(&reply->results[0]);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->committed);
    EXPECT_EQ(std::get<protocol::ExecuteReply>(reply->results[1]).rowsAffected, 1);
    EXPECT_EQ(client().scalar(QStringLiteral("select WZ from CK where ID = %1").arg(id)).toString(), QStringLiteral("x"));

    // The registry's datasets are not part of the business transaction.
    protocol::BatchArgs registry;
    registry.items << protocol::ApplyUpdatesArgs{QStringLiteral("pVersionInfor"), good};
    EXPECT_FALSE(client().call(registry).ok());
}

INSTANTIATE_TEST_SUITE_P(Engines, ChangePackets, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineLabel);
