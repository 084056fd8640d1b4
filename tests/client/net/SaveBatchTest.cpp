// Saving a document's lines and header in one transaction: both are written or
// neither is, and the datasets end in the state that matches.
#include "ServerFixture.h"

#include "client/core/net/SaveBatch.h"

using namespace qv::client;
using namespace qv::client::test;

namespace {

class SaveBatchTest : public ServerFixture {
protected:
    void SetUp() override
    {
        ServerFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_header = data().createDataSet(QStringLiteral("Llzb"), QStringLiteral("pLlzb"));
        m_header->setCommandText(QStringLiteral("select * from LLZB where ID = -1"));
        m_lines = data().createDataSet(QStringLiteral("Ll"), QStringLiteral("pLl"));
        m_lines->setCommandText(QStringLiteral("select * from LL where ZBID = -1"));
        ASSERT_TRUE(m_header->open()) << qPrintable(m_header->lastError().toString());
        ASSERT_TRUE(m_lines->open()) << qPrintable(m_lines->lastError().toString());
    }

    void addDocument(qint64 id, const QString &billNo, int lineCount)
    {
        ASSERT_TRUE(m_header->append());
        m_header->fieldByName(u"ID")->setValue(id);
        m_header->fieldByName(u"DJBH")->setValue(billNo);
        m_header->fieldByName(u"RQ")->setValue(QDateTime(QDate(2024, 1, 15), QTime(0, 0)));
        m_header->fieldByName(u"CKID")->setValue(1);
        m_header->fieldByName(u"uFlag")->setValue(0);
        ASSERT_TRUE(m_header->post()) << qPrintable(m_header->lastError().toString());
        for (int hh = 1; hh <= lineCount; ++hh) {
            ASSERT_TRUE(m_lines->append());
            m_lines->fieldByName(u"RECID")->setValue(QStringLiteral("%1_%2").arg(id).arg(hh));
            m_lines->fieldByName(u"ZBID")->setValue(id);
            m_lines->fieldByName(u"HH")->setValue(hh);
            m_lines->fieldByName(u"HPID")->setValue(hh);
            m_lines->fieldByName(u"SL")->setValue(2.0);
            m_lines->fieldByName(u"DJ")->setValue(1.5);
            ASSERT_TRUE(m_lines->post()) << qPrintable(m_lines->lastError().toString());
        }
    }

    qint64 count(const QString &sql) { return value(sql).toLongLong(); }

    std::unique_ptr<DataSet> m_header;
    std::unique_ptr<DataSet> m_lines;
};

TEST_F(SaveBatchTest, LinesThenHeaderAreSavedTogether)
{
    addDocument(2024010001, QStringLiteral("LL2024010001"), 3);
    int checks = 0;
    int afterSaves = 0;
    m_lines->hooks().beforeApplyUpdates = [&checks](DataSet &) { return ++checks > 0; };
    m_lines->hooks().afterApplyUpdates = [&afterSaves](DataSet &) { ++afterSaves; };
    SaveBatch batch(data().cn());
    batch.addChanges(*m_lines);
    batch.addChanges(*m_header);
    batch.addChanges(*m_lines); // once is enough: its rows are not sent twice
    const SaveBatch::Result saved = batch.commit();
    ASSERT_TRUE(saved.ok) << qPrintable(saved.error);
    EXPECT_EQ(count(QStringLiteral("select count(*) from LL where ZBID=2024010001")), 3);
    EXPECT_EQ(count(QStringLiteral("select count(*) from LLZB where ID=2024010001")), 1);
    EXPECT_EQ(m_lines->changeCount(), 0);
    EXPECT_EQ(m_header->changeCount(), 0);
    EXPECT_EQ(m_lines->recordCount(), 3);
    EXPECT_EQ(checks, 1) << "a dataset's pre-save check runs once per save";
    EXPECT_EQ(afterSaves, 1);
}

TEST_F(SaveBatchTest, AFailingHeaderLeavesNoLinesBehindAndKeepsEverythingPending)
{
    exec(QStringLiteral("insert into LLZB(ID,DJBH,RQ,uFlag) values (2024010009,'LL2024010002',#2024-01-10#,0)"));
    addDocument(2024010002, QStringLiteral("LL2024010002"), 2); // the number is taken

    SaveBatch batch(data().cn());
    batch.addChanges(*m_lines);
    batch.addChanges(*m_header);
    const SaveBatch::Result saved = batch.commit();
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.failedItem, 1) << "the header is the item that failed";
    EXPECT_FALSE(saved.error.isEmpty());
    EXPECT_EQ(count(QStringLiteral("select count(*) from LL where ZBID=2024010002")), 0)
        << "the lines were rolled back with the header";
    EXPECT_EQ(m_lines->changeCount(), 2);
    EXPECT_EQ(m_header->changeCount(), 1);

    // Corrected, the same datasets save.
    ASSERT_TRUE(m_header->locate(QStringLiteral("ID"), {2024010002}));
    m_header->fieldByName(u"DJBH")->setValue(QStringLiteral("LL2024010003"));
    ASSERT_TRUE(m_header->post());
    SaveBatch retry(data().cn());
    retry.addChanges(*m_lines);
    retry.addChanges(*m_header);
    const SaveBatch::Result second = retry.commit();
    ASSERT_TRUE(second.ok) << qPrintable(second.error);
    EXPECT_EQ(count(QStringLiteral("select count(*) from LL where ZBID=2024010002")), 2);
}

TEST_F(SaveBatchTest, AFailingStatementRollsBackThePacketsBeforeIt)
{
    addDocument(2024010004, QStringLiteral("LL2024010004"), 1);
    SaveBatch batch(data().cn());
    batch.addChanges(*m_lines);
    batch.addChanges(*m_header);
    batch.addStatement(QStringLiteral("update LLZB set nosuchcolumn=1 where ID=2024010004"));
    const SaveBatch::Result saved = batch.commit();
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.failedItem, 2);
    EXPECT_EQ(count(QStringLiteral("select count(*) from LLZB where ID=2024010004")), 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from LL where ZBID=2024010004")), 0);
}

TEST_F(SaveBatchTest, NothingPendingIsNoCallAndNoFailure)
{
    SaveBatch batch(data().cn());
    batch.addChanges(*m_lines);
    batch.addChanges(*m_header);
    EXPECT_TRUE(batch.commit().ok);
}

TEST_F(SaveBatchTest, ADataSetOfAnotherConnectionIsRefusedBeforeAnythingIsSent)
{
    auto other = connectAnother();
    ASSERT_TRUE(other);
    auto foreign = other->createDataSet(QStringLiteral("Llzb"), QStringLiteral("pLlzb"));
    foreign->setCommandText(QStringLiteral("select * from LLZB where ID = -1"));
    ASSERT_TRUE(foreign->open());
    addDocument(2024010005, QStringLiteral("LL2024010005"), 1);
    SaveBatch batch(data().cn());
    batch.addChanges(*m_lines);
    batch.addChanges(*foreign);
    const SaveBatch::Result saved = batch.commit();
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.failedItem, 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from LL where ZBID=2024010005")), 0);
    EXPECT_EQ(m_lines->changeCount(), 1);
}

} // namespace
