#include "profilefile.h"

#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace quirex::platform;
using quirex::test::scratchFolder;
using quirex::test::writeFile;

namespace
{

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ProfileFile, MissingFileGivesDefaults)
{
    const QString path = scratchFolder() + QStringLiteral("/absent.ini");
    EXPECT_EQ(
        readProfileString(path, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("dflt")),
        QStringLiteral("dflt"));
    EXPECT_EQ(readProfileInt(path, QStringLiteral("S"), QStringLiteral("k"), 76), 76);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(ProfileFile, ReadsKeysAndIntegers)
{
    const QString path =
        writeFile(QStringLiteral("a.ini"), "[Settings]\nZoom=150%\nBad=abc\nEmpty=\nText=\"x\"\n");
    const QString s = QStringLiteral("settings");
    EXPECT_EQ(readProfileInt(path, s, QStringLiteral("zoom"), 100), 150);
    EXPECT_EQ(readProfileInt(path, s, QStringLiteral("Bad"), 100), 0);
    EXPECT_EQ(readProfileInt(path, s, QStringLiteral("Empty"), 100), 100);
    EXPECT_EQ(readProfileInt(path, s, QStringLiteral("Missing"), 100), 100);
    EXPECT_EQ(readProfileString(path, s, QStringLiteral("Text"), QString()), QStringLiteral("x"));
    EXPECT_EQ(readProfileString(path, s, QStringLiteral("Missing"), QString()), QString());
}

TEST(ProfileFile, ReadIsCutToTheBuffer)
{
    const QString path =
        writeFile(QStringLiteral("long.ini"), "[S]\nk=" + QByteArray(5000, 'a') + "\n");
    EXPECT_EQ(readProfileString(path, QStringLiteral("S"), QStringLiteral("k"), QString()).size(),
              4095);
}

TEST(ProfileFile, WriteCreatesTheFileButNotTheFolder)
{
    const QString path = scratchFolder() + QStringLiteral("/new.ini");
    EXPECT_TRUE(writeProfileString(path, QStringLiteral("Main"), QStringLiteral("MakeOne"),
                                   QStringLiteral("true")));
    EXPECT_EQ(contentsOf(path), QByteArray("[Main]\nMakeOne=true\n"));

    const QString deep = scratchFolder() + QStringLiteral("/no/such/folder/x.ini");
    EXPECT_FALSE(
        writeProfileString(deep, QStringLiteral("Main"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_FALSE(QFileInfo::exists(scratchFolder() + QStringLiteral("/no")));
}

TEST(ProfileFile, WriteKeepsEveryOtherLineAndLeavesNoTemporaryFile)
{
    const QByteArray before = "; made by hand\n[Settings]\nMarginLeft=113\n; note\n"
                              "MarginRight=57\n\n[Main]\nSaveFolder=/tmp\n";
    const QString path = writeFile(QStringLiteral("cfg/settings.ini"), before);
    ASSERT_TRUE(writeProfileString(path, QStringLiteral("Settings"), QStringLiteral("marginleft"),
                                   QStringLiteral("20")));
    QByteArray expected = before;
    expected.replace("MarginLeft=113", "marginleft=20");
    EXPECT_EQ(contentsOf(path), expected);
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("settings.ini")});
}

TEST(ProfileFile, RefusedWriteLeavesTheFileUntouched)
{
    const QByteArray before = "[Main]\nSaveFolder=/tmp\n";
    const QString path = writeFile(QStringLiteral("b.ini"), before);
    EXPECT_FALSE(writeProfileString(path, QStringLiteral("Main"), QStringLiteral("SaveFolder"),
                                    QStringLiteral("/x\n[Settings]\nZoom=1")));
    EXPECT_EQ(contentsOf(path), before);
}

TEST(ProfileFile, WriteKeepsThePermissionsOfAnExistingFile)
{
    const QString path = writeFile(QStringLiteral("c.ini"), "[Main]\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(
        writeProfileString(path, QStringLiteral("Main"), QStringLiteral("k"), QStringLiteral("v")));
    const QFileDevice::Permissions permissions = QFileInfo(path).permissions();
    EXPECT_TRUE(permissions & QFileDevice::WriteOwner);
    EXPECT_FALSE(permissions & (QFileDevice::ReadGroup | QFileDevice::ReadOther));
}

} // namespace
