#include "common/IniFile.h"

#include "common/GbkText.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qv::common;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString path(const QString &name = QStringLiteral("QvServer.ini")) const
    {
        return m_dir.filePath(name);
    }

    void writeRaw(const QByteArray &bytes, const QString &name = QStringLiteral("QvServer.ini"))
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray readRaw(const QString &name = QStringLiteral("QvServer.ini")) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir m_dir;
};

TEST_F(IniFileTest, NamesMatchWithoutRegardToCase)
{
    writeRaw("[Connection]\n"
             "ServerName=db01\n"
             "  Auto Translate = 0  \n"
             "[connection]\n"
             "UserId=sa\n");
    IniFile ini(path());
    ASSERT_TRUE(ini.isValid());
    EXPECT_EQ(ini.readString(u"CONNECTION", u"servername"), QStringLiteral("db01"));
    EXPECT_EQ(ini.readInt(u"connection", u"AUTO TRANSLATE", 1), 0);
    // A second block of the same section is searched too.
    EXPECT_EQ(ini.readString(u"Connection", u"USERID"), QStringLiteral("sa"));
    EXPECT_EQ(ini.sections(), QStringList{QStringLiteral("Connection")});
    EXPECT_EQ(ini.keys(u"CONNECTION"),
              (QStringList{QStringLiteral("ServerName"), QStringLiteral("Auto Translate"),
                           QStringLiteral("UserId")}));
}

TEST_F(IniFileTest, ReadsValuesAndDefaults)
{
    writeRaw("; settings\n"
             "[Connection]\n"
             "ServerName=\n"
             "DatabaseName=Qv=Data ; not a comment\n"
             "TrustConnect=1\n"
             "Hex=$1F\n"
             "Hex2=0x10\n"
             "Bad=12abc\n"
             "Negative= -7\n"
             "Huge=99999999999\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString(u"Connection", u"ServerName", QStringLiteral("x")), QString());
    EXPECT_TRUE(ini.contains(u"Connection", u"ServerName"));
    EXPECT_EQ(ini.readString(u"Connection", u"Missing", QStringLiteral("QvData")),
              QStringLiteral("QvData"));
    EXPECT_EQ(ini.readString(u"Other", u"ServerName", QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(ini.readString(u"Connection", u"DatabaseName"),
              QStringLiteral("Qv=Data ; not a comment"));
    const struct {
        const char16_t *key;
        int expected;
    } ints[] = {{u"TrustConnect", 1}, {u"Hex", 31},  {u"Hex2", 16},     {u"Bad", 5},
                {u"Negative", -7},    {u"Huge", 5},  {u"ServerName", 5}, {u"Missing", 5}};
    for (const auto &c : ints)
        EXPECT_EQ(ini.readInt(u"Connection", c.key, 5), c.expected) << QStringView(c.key).toString().toStdString();
}

TEST_F(IniFileTest, WritesKeepTheRestOfTheFile)
{
    writeRaw("; QvServer settings, edited by hand\n"
             "[Connection]\n"
             "ServerName = old\n"
             "; the catalogue\n"
             "DatabaseName=QvData\n"
             "\n"
             "[Backup]\n"
             "Path=/var/backups\n");
    IniFile ini(path());
    ASSERT_TRUE(ini.writeString(u"connection", u"SERVERNAME", u"db02"));
    ASSERT_TRUE(ini.writeInt(u"Connection", u"Auto Translate", 0));
    ASSERT_TRUE(ini.writeString(u"Mail", u"To", u"ops@example.org"));
    EXPECT_EQ(readRaw(), QByteArray("; QvServer settings, edited by hand\n"
                                    "[Connection]\n"
                                    "ServerName = db02\n"
                                    "; the catalogue\n"
                                    "DatabaseName=QvData\n"
                                    "Auto Translate=0\n"
                                    "\n"
                                    "[Backup]\n"
                                    "Path=/var/backups\n"
                                    "[Mail]\n"
                                    "To=ops@example.org\n"));
    IniFile reread(path());
    EXPECT_EQ(reread.readString(u"Connection", u"ServerName"), QStringLiteral("db02"));
    EXPECT_EQ(reread.readInt(u"Connection", u"Auto Translate", 1), 0);
}

TEST_F(IniFileTest, KeepsWindowsLineBreaksAndAMissingFinalBreak)
{
    writeRaw("[A]\r\nx=1\r\ny=2");
    IniFile ini(path());
    EXPECT_EQ(ini.readInt(u"A", u"y", 0), 2);
    ASSERT_TRUE(ini.writeString(u"a", u"X", u"3"));
    ASSERT_TRUE(ini.writeString(u"A", u"z", u"4"));
    EXPECT_EQ(readRaw(), QByteArray("[A]\r\nx=3\r\ny=2\r\nz=4"));
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndIsCreatedOnFirstWrite)
{
    const QString name = QStringLiteral("System/SystemSet.ini");
    IniFile ini(path(name));
    EXPECT_TRUE(ini.isValid());
    EXPECT_TRUE(ini.sections().isEmpty());
    EXPECT_EQ(ini.readString(u"Connection", u"ServerName", QStringLiteral("none")),
              QStringLiteral("none"));
    EXPECT_FALSE(QFile::exists(path(name)));
    EXPECT_TRUE(ini.removeKey(u"Connection", u"ServerName")); // nothing to do, nothing written
    EXPECT_FALSE(QFile::exists(path(name)));
    ASSERT_TRUE(ini.writeString(u"Connection", u"ServerName", u"."));
    EXPECT_EQ(readRaw(name), QByteArray("[Connection]\nServerName=.\n"));
}

TEST_F(IniFileTest, FindsAKeyMovedIntoAnotherSection)
{
    writeRaw("Orphan=1\n"
             "[Connection]\n"
             "DatabaseName=QvData\n"
             "[Misc]\n"
             "servername=db03\n");
    IniFile ini(path());
    EXPECT_FALSE(ini.contains(u"Connection", u"ServerName"));
    const auto found = ini.findKeyInAnySection(u"ServerName");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->section, QStringLiteral("Misc"));
    EXPECT_EQ(found->key, QStringLiteral("servername"));
    EXPECT_EQ(found->value, QStringLiteral("db03"));
    const auto orphan = ini.findKeyInAnySection(u"orphan");
    ASSERT_TRUE(orphan.has_value());
    EXPECT_EQ(orphan->section, QString());
    EXPECT_FALSE(ini.findKeyInAnySection(u"Password").has_value());
}

TEST_F(IniFileTest, RemoveKeyTakesEveryCopyAndNothingElse)
{
    writeRaw("[A]\nk=1\n; keep me\nK = 2\nj=3\n[B]\nk=4\n");
    IniFile ini(path());
    ASSERT_TRUE(ini.removeKey(u"a", u"k"));
    EXPECT_EQ(readRaw(), QByteArray("[A]\n; keep me\nj=3\n[B]\nk=4\n"));
    EXPECT_FALSE(ini.contains(u"A", u"k"));
    EXPECT_TRUE(ini.contains(u"B", u"K"));
}

TEST_F(IniFileTest, RefusesWritesThatWouldBreakTheFile)
{
    writeRaw("[A]\nk=1\n");
    IniFile ini(path());
    EXPECT_FALSE(ini.writeString(u"A", u"k", u"two\nlines"));
    EXPECT_FALSE(ini.errorString().isEmpty());
    EXPECT_FALSE(ini.writeString(u"A", u"a=b", u"1"));
    EXPECT_FALSE(ini.writeString(u"A]", u"k", u"1"));
    EXPECT_FALSE(ini.writeString(u"", u"k", u"1"));
    EXPECT_FALSE(ini.writeString(u"A", u" ", u"1"));
    EXPECT_FALSE(ini.writeString(u"A", u"[k", u"1"));
    EXPECT_EQ(readRaw(), QByteArray("[A]\nk=1\n"));
    EXPECT_EQ(ini.readString(u"A", u"k"), QStringLiteral("1"));
}

TEST_F(IniFileTest, GbkFilesRoundTrip)
{
    const QString folder = QStringLiteral("D:/备份/数据");
    {
        IniFile ini(path(QStringLiteral("BackInfo.ini")), IniFile::Encoding::Gbk);
        ASSERT_TRUE(ini.writeString(u"备份", u"路径", folder));
    }
    const QByteArray raw = readRaw(QStringLiteral("BackInfo.ini"));
    EXPECT_EQ(fromGbk(raw), QStringLiteral("[备份]\n路径=") + folder + QLatin1Char('\n'));
    EXPECT_TRUE(raw.contains(*toGbk(folder)));

    IniFile ini(path(QStringLiteral("BackInfo.ini")), IniFile::Encoding::Gbk);
    EXPECT_EQ(ini.readString(u"备份", u"路径"), folder);

    // A character GBK cannot hold is refused and the file stays as it was.
    EXPECT_FALSE(ini.writeString(u"备份", u"路径", u"😀"));
    EXPECT_EQ(readRaw(QStringLiteral("BackInfo.ini")), raw);
}

TEST_F(IniFileTest, AFileInTheWrongEncodingIsNeverWrittenOver)
{
    const QByteArray gbk = *toGbk(QStringLiteral("[连接]\n服务器=主机\n"));
    writeRaw(gbk);
    IniFile ini(path()); // read as UTF-8
    EXPECT_FALSE(ini.isValid());
    EXPECT_FALSE(ini.errorString().isEmpty());
    EXPECT_FALSE(ini.writeString(u"Connection", u"ServerName", u"."));
    EXPECT_FALSE(ini.removeKey(u"连接", u"服务器"));
    EXPECT_EQ(readRaw(), gbk);
}

TEST_F(IniFileTest, Utf8ByteOrderMarkIsKept)
{
    writeRaw("\xEF\xBB\xBF[A]\nk=1\n");
    IniFile ini(path());
    EXPECT_EQ(ini.sections(), QStringList{QStringLiteral("A")});
    ASSERT_TRUE(ini.writeString(u"A", u"k", u"2"));
    EXPECT_EQ(readRaw(), QByteArray("\xEF\xBB\xBF[A]\nk=2\n"));
}

TEST_F(IniFileTest, ReloadSeesChangesMadeByOthers)
{
    writeRaw("[A]\nk=1\n");
    IniFile ini(path());
    writeRaw("[A]\nk=2\n");
    EXPECT_EQ(ini.readInt(u"A", u"k", 0), 1);
    ASSERT_TRUE(ini.reload());
    EXPECT_EQ(ini.readInt(u"A", u"k", 0), 2);
}

} // namespace
