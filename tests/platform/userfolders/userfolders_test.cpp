#include "userfolders.h"

#include "testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quirex::platform;
using quirex::test::scratchFolder;

namespace
{

int modeOf(const QString &path)
{
    struct stat info {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

TEST(UserFolders, RoamingDataFollowsXdgConfigHome)
{
    const QString config = scratchFolder() + QStringLiteral("/fresh-config");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    EXPECT_EQ(roamingAppDataFolder(false), config);
    EXPECT_FALSE(QFileInfo::exists(config));
    EXPECT_EQ(roamingAppDataFolder(true), config);
    EXPECT_EQ(modeOf(config), 0700);
}

TEST(UserFolders, RoamingDataDefaultsToDotConfig)
{
    qputenv("XDG_CONFIG_HOME", "relative/is/ignored");
    EXPECT_EQ(roamingAppDataFolder(false), QDir::homePath() + QStringLiteral("/.config"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(roamingAppDataFolder(false), QDir::homePath() + QStringLiteral("/.config"));
}

TEST(UserFolders, DocumentsFallsBackToHome)
{
    // The test home has no Documents folder.
    EXPECT_EQ(documentsFolder(), QDir::homePath());
    ASSERT_TRUE(QDir().mkpath(QDir::homePath() + QStringLiteral("/Documents")));
    EXPECT_EQ(documentsFolder(), QDir::homePath() + QStringLiteral("/Documents"));
}

TEST(UserFolders, ProgramFolderIsTheFolderOfThisTest)
{
    EXPECT_EQ(programFolder(), QCoreApplication::applicationDirPath());
    EXPECT_TRUE(QFileInfo(programFolder()).isDir());
}

TEST(UserFolders, PrivateFoldersAreMadeWithMode0700)
{
    const QString top = scratchFolder() + QStringLiteral("/a");
    ASSERT_TRUE(makePrivateFolders(top + QStringLiteral("/b/c")));
    EXPECT_EQ(modeOf(top), 0700);
    EXPECT_EQ(modeOf(top + QStringLiteral("/b/c")), 0700);
    EXPECT_TRUE(makePrivateFolders(top)); // an existing folder is fine

    const QString file = quirex::test::writeFile(QStringLiteral("plain"), "x");
    EXPECT_FALSE(makePrivateFolders(file));
    EXPECT_FALSE(makePrivateFolders(file + QStringLiteral("/below")));
}

} // namespace
