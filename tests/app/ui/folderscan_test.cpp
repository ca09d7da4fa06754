#include "folderscan.h"

#include "testenvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace quirex::app::ui;
using quirex::test::makeFolder;
using quirex::test::writeFile;

namespace
{

QStringList scanAll(const QString &folder, bool recursive, int stopAfter = -1)
{
    QStringList found;
    scanFolderAllMasks(folder, recursive, [&](const QString &path) {
        if (found.size() == stopAfter)
            return false;
        found << path;
        return true;
    });
    return found;
}

TEST(FolderScan, WalksEachMaskInTurnAndIntoSubfoldersWhenAsked)
{
    const QString root = makeFolder(QStringLiteral("tree"));
    writeFile(QStringLiteral("tree/b.html"), "x");
    writeFile(QStringLiteral("tree/a.htm"), "x");
    writeFile(QStringLiteral("tree/a.html"), "x");
    writeFile(QStringLiteral("tree/NOTES.TXT"), "x");
    writeFile(QStringLiteral("tree/page.mht"), "x");
    writeFile(QStringLiteral("tree/image.png"), "x");
    writeFile(QStringLiteral("tree/sub/c.shtml"), "x");
    writeFile(QStringLiteral("tree/sub/deeper/d.htm"), "x");
    QDir(root).mkdir(QStringLiteral("folder.htm")); // a folder is never an input

    EXPECT_EQ(scanAll(root, false),
              QStringList({root + "/NOTES.TXT", root + "/a.htm", root + "/a.html", root + "/b.html",
                           root + "/page.mht"}));
    EXPECT_EQ(scanAll(root, true),
              QStringList({root + "/NOTES.TXT", root + "/a.htm", root + "/sub/deeper/d.htm",
                           root + "/a.html", root + "/b.html", root + "/sub/c.shtml",
                           root + "/page.mht"}));
    // A trailing slash on the folder gives no doubled separator.
    EXPECT_EQ(scanAll(root + "/", false).constFirst(), root + "/NOTES.TXT");
    // The receiver ends the whole scan, every mask included.
    EXPECT_EQ(scanAll(root, true, 2).size(), 2);
}

TEST(FolderScan, ALinkBackToAnUpperFolderIsNotFollowedForever)
{
    const QString root = makeFolder(QStringLiteral("loop"));
    writeFile(QStringLiteral("loop/a.htm"), "x");
    ASSERT_TRUE(QFile::link(root, root + QStringLiteral("/again")));
    const QStringList found = scanAll(root, true);
    EXPECT_EQ(found, QStringList{root + "/a.htm"});
}

TEST(FolderScan, SupportedNamesAreTheAddFileFilters)
{
    for (const char *name : {"a.htm", "a.HTML", "a.shtml", "a.txt"})
        EXPECT_TRUE(isSupportedInputName(QString::fromLatin1(name))) << name;
    for (const char *name : {"a.pdf", "a", "a.mht", "htm"})
        EXPECT_FALSE(isSupportedInputName(QString::fromLatin1(name))) << name;
}

} // namespace
