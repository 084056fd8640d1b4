// The qvsql tool as a user runs it: translations for both engines, rows of a
// SQLite database as tab-separated text with and without types, the statement
// from standard input, and failures that say why and exit non-zero.
#include "db/ConnectionFactory.h"
#include "schema/Ddl.h"
#include "schema/Schema.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qv;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome qvsql(const QStringList &arguments, const QByteArray &input = QByteArray())
{
    QProcess process;
    process.start(QStringLiteral(QV_BIN_DIR "/qvsql"), arguments);
    EXPECT_TRUE(process.waitForStarted()) << qPrintable(process.errorString());
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

class Qvsql : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("QvData.mdb"));
        auto connection = db::openConnection(db::ConnectionDescriptor::sqlite(m_path, true));
        ASSERT_TRUE(connection);
        const QStringList statements = schema::createTableStatements(*schema::Schema::builtIn().table(u"HP"),
                                                                     schema::DdlEngine::Sqlite);
        for (const QString &s : statements)
            ASSERT_TRUE(connection->exec(s)) << qPrintable(connection->lastError().text());
        ASSERT_TRUE(connection->exec(QStringLiteral(
            "INSERT INTO \"HP\" (\"ID\", \"BH\", \"PM\", \"ZT\", \"JJ\", \"BZ\") VALUES "
            "(1, 'A1', '钢笔', 1, 2.5, 'a\tb'), (2, 'b2', '铅笔', 0, NULL, NULL)")));
    }

    QTemporaryDir m_dir;
    QString m_path;
};

TEST_F(Qvsql, PrintsTheTranslationForEachEngine)
{
    const QString statement = QStringLiteral("select iif(ZT,'是','否') as aZT from HP where BH like 'A%'");
    const Outcome sqlite = qvsql({statement});
    EXPECT_EQ(sqlite.exitCode, 0) << qPrintable(sqlite.err);
    EXPECT_EQ(sqlite.out.toStdString(), "SELECT CASE WHEN HP.ZT THEN '是' ELSE '否' END AS aZT FROM HP WHERE (HP.BH LIKE 'A%')\n");
    const Outcome pg = qvsql({QStringLiteral("--engine"), QStringLiteral("postgres"), statement});
    EXPECT_EQ(pg.exitCode, 0) << qPrintable(pg.err);
    EXPECT_EQ(pg.out.toStdString(), "SELECT CASE WHEN hp.zt THEN '是' ELSE '否' END AS azt FROM hp WHERE (hp.bh ILIKE 'A%' ESCAPE '')\n");
}

TEST_F(Qvsql, PrintsRowsUnderAHeaderOfColumnNames)
{
    const Outcome plain = qvsql({QStringLiteral("--db"), m_path, QStringLiteral("select BH, ZT, JJ, BZ from HP order by BH")});
    EXPECT_EQ(plain.exitCode, 0) << qPrintable(plain.err);
    EXPECT_EQ(plain.out.toStdString(), "BH\tZT\tJJ\tBZ\nA1\ttrue\t2.5\ta\\tb\nb2\tfalse\t\\N\t\\N\n");
    const Outcome typed = qvsql({QStringLiteral("--db"), m_path, QStringLiteral("--types"),
                                 QStringLiteral("select count(*) as n, max(PM) as m, #2024-01-15# + 0.5 as d from HP")});
    EXPECT_EQ(typed.exitCode, 0) << qPrintable(typed.err);
    EXPECT_EQ(typed.out.toStdString(), "n:integer\tm:text\td:date\n2\t铅笔\t2024-01-15 12:00:00\n");
}

TEST_F(Qvsql, ReadsTheStatementFromStandardInputAndChangesData)
{
    const Outcome changed = qvsql({QStringLiteral("--db"), m_path}, QByteArray("update HP set ZT = false where BH = 'a1'\n"));
    EXPECT_EQ(changed.exitCode, 0) << qPrintable(changed.err);
    EXPECT_EQ(changed.out.toStdString(), "rows changed: 1\n");
    const Outcome rows = qvsql({QStringLiteral("--db"), m_path, QStringLiteral("-")}, QByteArray("select count(*) as n from HP where not ZT"));
    EXPECT_EQ(rows.out.toStdString(), "n\n2\n");
}

TEST_F(Qvsql, FailuresSayWhyAndExitNonZero)
{
    const Outcome unknown = qvsql({QStringLiteral("--db"), m_path, QStringLiteral("select nope from HP")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("bind error at line 1, column 8: unknown column 'nope'"))) << qPrintable(unknown.err);
    EXPECT_TRUE(unknown.out.isEmpty());

    const Outcome engine = qvsql({QStringLiteral("--db"), m_path, QStringLiteral("select ID / 0 from HP")});
    EXPECT_EQ(engine.exitCode, 1);
    EXPECT_TRUE(engine.err.contains(QStringLiteral("division by zero"))) << qPrintable(engine.err);

    const Outcome missing = qvsql({QStringLiteral("--db"), m_dir.filePath(QStringLiteral("none.mdb")), QStringLiteral("select 1")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(missing.err.isEmpty());

    const Outcome truncated = qvsql({QStringLiteral("select BH from HP where (ID = 1")});
    EXPECT_EQ(truncated.exitCode, 1);
    EXPECT_TRUE(truncated.err.contains(QStringLiteral("expected ')' but found end of statement"))) << qPrintable(truncated.err);

    EXPECT_EQ(qvsql({QStringLiteral("--engine"), QStringLiteral("oracle"), QStringLiteral("select 1")}).exitCode, 2);
    EXPECT_EQ(qvsql({QStringLiteral("--db"), m_path, QStringLiteral("--pg"), QStringLiteral("x"), QStringLiteral("select 1")}).exitCode, 2);
}

} // namespace
