#include "common/Paths.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace qv::common;

namespace {

TEST(Paths, JoinPath)
{
    const struct {
        const char *folder;
        const char *relative;
        const char *joined;
    } cases[] = {
        {"/opt/qv", "data/QvSys.mdb", "/opt/qv/data/QvSys.mdb"},
        {"/opt/qv/", "data\\Sample\\QvData.mdb", "/opt/qv/data/Sample/QvData.mdb"},
        {"/opt/qv//", "/data/QvSys.mdb", "/opt/qv/data/QvSys.mdb"},
        {"/", "data", "/data"},
        {"", "data", "data"},
        {"/opt/qv", "", "/opt/qv"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(joinPath(QString::fromLatin1(c.folder), QString::fromLatin1(c.relative)),
                  QString::fromLatin1(c.joined))
            << c.folder << " + " << c.relative;
    }
}

TEST(Paths, DatabaseFilesUnderTheProgramFolder)
{
    const Paths paths(QStringLiteral("/opt/qv/"));
    EXPECT_EQ(paths.registryDatabase(), QStringLiteral("/opt/qv/data/QvSys.mdb"));
    EXPECT_EQ(paths.templateDatabase(), QStringLiteral("/opt/qv/data/Sample/QvData.mdb"));
    EXPECT_EQ(paths.accountDatabase(u"001"), QStringLiteral("/opt/qv/data/001/QvData.mdb"));
    EXPECT_EQ(paths.accountDatabase(u"演示帐套"), QStringLiteral("/opt/qv/data/演示帐套/QvData.mdb"));
    EXPECT_EQ(paths.file(u"QvServer.ini"), QStringLiteral("/opt/qv/QvServer.ini"));
}

TEST(Paths, AccountCodesNeverLeaveTheDataFolder)
{
    const Paths paths(QStringLiteral("/opt/qv"));
    for (const char16_t *bad : {u"", u" ", u".", u"..", u"../etc", u"a/b", u"a\\b", u"C:x"}) {
        EXPECT_FALSE(isValidAccountFolder(bad)) << QStringView(bad).toString().toStdString();
        EXPECT_TRUE(paths.accountDatabase(bad).isEmpty()) << QStringView(bad).toString().toStdString();
    }
    EXPECT_TRUE(isValidAccountFolder(u"...x"));
}

TEST(Paths, WithoutAnApplicationTheCurrentFolderIsUsed)
{
    EXPECT_EQ(applicationFolder(), QDir::currentPath());
    EXPECT_EQ(Paths().programFolder(), QDir::currentPath());
}

} // namespace
