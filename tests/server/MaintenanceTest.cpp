#include "db/ConnectionFactory.h"
#include "schema/builder/TemplateBuilder.h"
#include "server/Backup.h"
#include "server/Compaction.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qv;

namespace {

std::unique_ptr<db::Connection> newAccountSet(const QString &path)
{
    auto c = db::openConnection(db::ConnectionDescriptor::sqlite(path, true));
    EXPECT_TRUE(c);
    schema::TemplateBuilder builder;
    EXPECT_TRUE(builder.build(*c, schema::Database::Business, {})) << qPrintable(builder.error());
    return c;
}

} // namespace

TEST(Backup, WritesEveryRowSoARestoreGivesItBack)
{
    QTemporaryDir dir;
    auto c = newAccountSet(dir.filePath(QStringLiteral("QvData.mdb")));
    ASSERT_TRUE(c->exec(QStringLiteral(
        "insert into HP (ID, BH, PM, ZT, JJ, BZ) values (1, '0001', 'O''Brien 笔', 1, 2.5, NULL)")));
    ASSERT_TRUE(c->exec(QStringLiteral("insert into YG (ID, XM, CSRQ, RZRQ) values (3, '张三', '1990-05-04', "
                                       "'2024-01-15 08:30:00')")));
    ASSERT_TRUE(c->exec(QStringLiteral("insert into Rs_work (ID, F_empID, F_Education) values (1, 3, '第一行\n第二行')")));
    ASSERT_TRUE(c->exec(QStringLiteral("insert into hp_pict (ID, YGID, pict) values (1, 1, x'00ff')")));
    ASSERT_TRUE(c->exec(QStringLiteral("create table rpt_Static_Month (A integer)")));
    ASSERT_TRUE(c->exec(QStringLiteral("insert into rpt_Static_Month values (1)")));

    const QString path = dir.filePath(QStringLiteral("backup.txt"));
    QString error;
    ASSERT_TRUE(server::writeBackup(*c, *c->tableNames(), schema::Schema::builtIn(), path, &error)) << qPrintable(error);
    const QString text = server::readBackupFile(path);
    const QStringList lines = text.split(QStringLiteral("\r\n"));

    EXPECT_TRUE(lines.contains(QStringLiteral("delete from HP")));
    EXPECT_FALSE(text.contains(QStringLiteral("delete from CK"))) << "empty tables write nothing";
    EXPECT_FALSE(text.contains(QStringLiteral("rpt_"))) << "report work tables are never backed up";
    const auto line = [&lines](const QString &start) {
        for (const QString &l : lines) {
            if (l.startsWith(start))
                return l;
        }
        return QString();
    };
    const QString hp = line(QStringLiteral("insert into HP("));
    EXPECT_TRUE(hp.contains(QStringLiteral("Values(1,'0001',")));
    EXPECT_TRUE(hp.contains(QStringLiteral("'O''Brien 笔'"))) << qPrintable(hp);
    EXPECT_TRUE(hp.contains(QStringLiteral(",True,"))) << qPrintable(hp);
    EXPECT_TRUE(hp.contains(QStringLiteral(",2.5,"))) << qPrintable(hp);
    EXPECT_TRUE(hp.endsWith(QStringLiteral(") "))) << qPrintable(hp);
    const QString yg = line(QStringLiteral("insert into YG("));
    EXPECT_TRUE(yg.contains(QStringLiteral("'1990-05-04'")));
    EXPECT_TRUE(yg.contains(QStringLiteral("'2024-01-15 08:30:00'")));
    // Memo text is kept, its line break written so the statement stays on one line.
    EXPECT_TRUE(line(QStringLiteral("insert into Rs_work(")).contains(QStringLiteral("'第一行' & chr(10) & '第二行'")));
    EXPECT_TRUE(line(QStringLiteral("insert into hp_pict(")).contains(QStringLiteral("Values(1,1,Null,Null")));
    // Each insert is followed by an empty line.
    const qsizetype at = lines.indexOf(hp);
    EXPECT_EQ(lines.value(at + 1), QString());
}

TEST(Backup, FolderAndFileName)
{
    QTemporaryDir dir;
    EXPECT_EQ(server::backupFolder(dir.path()), dir.filePath(QStringLiteral("backup/")));
    QFile ini(dir.filePath(QStringLiteral("BackInfo.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[Back]\r\nDir=%1\\bak\r\n").arg(dir.path()).toUtf8());
    ini.close();
    const QString folder = server::backupFolder(dir.path());
    EXPECT_EQ(folder, dir.path() + QStringLiteral("/bak/"));
    const QString name = server::backupFileName(folder, QDateTime(QDate(2024, 1, 15), QTime(9, 5, 7)));
    EXPECT_EQ(name, folder + QStringLiteral("20240115090507_备份数据.txt"));
    EXPECT_TRUE(QDir(folder).exists()) << "the folder is created";
}

TEST(Compaction, SwapsInACompactCopyAndLeavesNoWorkFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QvData.mdb"));
    {
        auto c = newAccountSet(path);
        ASSERT_TRUE(c->exec(QStringLiteral("insert into HP (ID, BH) values (1, 'keep')")));
        for (int i = 2; i < 3000; ++i)
            ASSERT_TRUE(c->exec(QStringLiteral("insert into HP (ID, BH, BZ) values (%1, 'x', '%2')").arg(i).arg(QString(200, QLatin1Char('z')))));
        ASSERT_TRUE(c->exec(QStringLiteral("delete from HP where ID > 1")));
    }
    const qint64 before = QFileInfo(path).size();
    QString error;
    ASSERT_TRUE(server::compactDatabaseFile(path, &error)) << qPrintable(error);
    EXPECT_LT(QFileInfo(path).size(), before);
    for (const char *work : {"QvData.$$$", "db1.mdb", "QvData.mdb-wal"})
        EXPECT_FALSE(QFile::exists(dir.filePath(QString::fromLatin1(work)))) << work;
    auto c = db::openConnection(db::ConnectionDescriptor::sqlite(path));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->queryValue(QStringLiteral("select BH from HP"))->toString(), QStringLiteral("keep"));
    EXPECT_EQ(c->queryValue(QStringLiteral("pragma integrity_check"))->toString(), QStringLiteral("ok"));
}

TEST(Compaction, AMissingFileFailsAndTouchesNothing)
{
    QTemporaryDir dir;
    QFile stale(dir.filePath(QStringLiteral("db1.mdb")));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    QString error;
    EXPECT_FALSE(server::compactDatabaseFile(dir.filePath(QStringLiteral("QvData.mdb")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("QvData.mdb"))));
}
