#include "common/IniFile.h"
#include "server/LinkSettings.h"
#include "server/StatementLog.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qv::server;

TEST(StatementLog, GuardRefusesOnlyUpdatesWithoutSet)
{
    struct Case {
        const char *statement;
        bool refused;
    };
    const Case cases[] = {
        {"update HP set PM='a' where ID=1", false},
        {"UPDATE HP SET PM='a'", false},
        {"uPdAtE HP where ID=1", true},
        {"update HP where ID=1", true},
        // A SET anywhere counts, even inside a value or a name.
        {"update HP where PM='SETTLE'", false},
        {"update ASSET where ID=1", false},
        {"insert into HP (PM) values ('update without set')", false},
        {"select * from HP", false},
        // Only the first six characters decide that it is an update.
        {" update HP where ID=1", false},
        {"updat", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StatementLog::isRefused(QString::fromUtf8(c.statement)), c.refused) << c.statement;
}

TEST(StatementLog, NewestFirstKeepingTenThousandCharacters)
{
    StatementLog log;
    QString seen;
    log.setListener([&seen](const QString &text) { seen = text; });
    EXPECT_TRUE(log.admit(QStringLiteral("select 1")));
    EXPECT_FALSE(log.admit(QStringLiteral("update T where 1=1")));
    EXPECT_EQ(log.text(), QStringLiteral("Not Execute: update T where 1=1\n\nselect 1\n\n"));
    EXPECT_EQ(seen, log.text());

    const QString big(6000, QLatin1Char('x'));
    log.admit(QStringLiteral("select 'old'"));
    log.admit(big);
    log.admit(big);
    EXPECT_EQ(log.text().size(), StatementLog::kMaxCharacters);
    EXPECT_TRUE(log.text().startsWith(big));
    EXPECT_FALSE(log.text().contains(QStringLiteral("'old'"))) << "the oldest text goes first";
    log.clear();
    EXPECT_TRUE(log.text().isEmpty());
}

TEST(LinkSettings, MissingFileMeansTheLocalServerWithIntegratedSecurity)
{
    QTemporaryDir dir;
    qv::common::IniFile ini(dir.filePath(QStringLiteral("QvServer.ini")));
    const LinkSettings s = readLinkSettings(ini);
    EXPECT_TRUE(s.usesIntegratedSecurity());
    EXPECT_EQ(s.database, QStringLiteral("QvData"));
    EXPECT_EQ(s.conninfo(), QStringLiteral("dbname='QvData' client_encoding='UTF8' connect_timeout='10'"));
    qv::common::IniFile again(ini.path());
    EXPECT_EQ(again.readString(u"Connection", u"ServerName"), QStringLiteral("."));
}

TEST(LinkSettings, SavedSettingsReadBackWithTheirPassword)
{
    QTemporaryDir dir;
    qv::common::IniFile ini(dir.filePath(QStringLiteral("QvServer.ini")));
    LinkSettings s;
    s.server = QStringLiteral("/tmp/pg:5433");
    s.database = QStringLiteral("帐套A");
    s.user = QStringLiteral("sa");
    s.password = QStringLiteral("p'w\\d");
    ASSERT_TRUE(saveLinkSettings(ini, s));
    qv::common::IniFile file(ini.path());
    EXPECT_EQ(file.readInt(u"Connection", u"Auto Translate", 1), 0);
    EXPECT_NE(file.readString(u"Connection", u"Password"), s.password) << "kept scrambled";
    const LinkSettings back = readLinkSettings(file);
    EXPECT_EQ(back.password, s.password);
    EXPECT_FALSE(back.autoTranslate);
    EXPECT_EQ(back.conninfo(), QStringLiteral("host='/tmp/pg' port='5433' user='sa' password='p\\'w\\\\d' "
                                              "dbname='帐套A' client_encoding='UTF8' connect_timeout='10'"));
    EXPECT_EQ(back.description(), QStringLiteral("Data Source=/tmp/pg:5433;User ID=sa;Initial Catalog=帐套A;Auto Translate=False"));
    LinkSettings noName = s;
    noName.database.clear();
    EXPECT_FALSE(saveLinkSettings(file, noName));
}
