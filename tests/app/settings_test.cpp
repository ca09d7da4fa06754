#include "conversionsettings.h"
#include "encodingtable.h"
#include "papertable.h"
#include "settingsio.h"
#include "settingsstore.h"

#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quirex::app;

namespace
{

QString configHome()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME");
}

QString settingsPath()
{
    return configHome() + QStringLiteral("/Ardenwyke/Quirex Desk/settings.ini");
}

void writeSettingsFile(const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(settingsPath()).path());
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

TEST(Tables, PaperAndEncodingNames)
{
    EXPECT_EQ(paperNames().size(), PaperSizeCount);
    EXPECT_EQ(paperName(4), QStringLiteral("A4"));
    EXPECT_EQ(paperName(20), QStringLiteral("B10"));
    EXPECT_EQ(paperName(29), QStringLiteral("Tabloid"));
    EXPECT_EQ(paperName(30), QString());
    EXPECT_EQ(paperName(CustomPaperSize), QString());
    EXPECT_EQ(paperName(-1), QString());

    EXPECT_EQ(encodingNames().size(), EncodingCount);
    EXPECT_EQ(encodingName(0), QStringLiteral("Apple Roman"));
    EXPECT_EQ(encodingName(DefaultEncoding), QStringLiteral("ISO-8859-1"));
    EXPECT_EQ(encodingName(133), QStringLiteral("WS2"));
    EXPECT_EQ(encodingName(134), QString());
    EXPECT_EQ(encodingIndex(QStringLiteral("UTF-8")), 120);
    EXPECT_EQ(encodingIndex(QStringLiteral("utf-8")), -1);
    EXPECT_EQ(encodingIndex(QStringLiteral("ISO-8859-10:1992")), 65);
    QStringList unique = encodingNames();
    EXPECT_EQ(unique.removeDuplicates(), 0);
}

TEST(ConversionSettingsDefaults, AreTheBuiltInValues)
{
    ConversionSettings s;
    EXPECT_EQ(s.PaperSize, 4);
    EXPECT_EQ(s.Encoding, 63);
    EXPECT_EQ(s.MarginLeft, 113);
    EXPECT_EQ(s.MarginRight, 57);
    EXPECT_EQ(s.MarginTop, 76);
    EXPECT_EQ(s.MarginBottom, 76);
    EXPECT_EQ(s.Zoom, 100);
    EXPECT_EQ(s.PageNumberAlign, 1);
    EXPECT_TRUE(s.PreserveLinks);
    EXPECT_TRUE(s.ExcludeOrphanPages);
    EXPECT_FALSE(s.PageNumbers);
    s.Title = QStringLiteral("changed");
    s.Zoom = 5;
    s.setDefaults();
    EXPECT_EQ(s, ConversionSettings());
}

TEST(SettingsStore, MakesPrivateFoldersBelowTheConfigHome)
{
    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    EXPECT_EQ(store.path(), settingsPath());
    for (const QString &folder : {configHome() + QStringLiteral("/Ardenwyke"),
                                  configHome() + QStringLiteral("/Ardenwyke/Quirex Desk")}) {
        struct stat info {
        };
        ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
    EXPECT_FALSE(QFile::exists(settingsPath())); // no file until a write
    EXPECT_EQ(makeApplicationSettingsStore().path(), settingsPath());
}

TEST(SettingsStore, WithoutAFolderReadsDefaultAndWritesFail)
{
    // A plain file where the maker folder should be.
    QDir().mkpath(configHome());
    QFile blocker(configHome() + QStringLiteral("/Ardenwyke"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    EXPECT_EQ(store.path(), QString());
    int zoom = 100;
    store.ReadInt(QStringLiteral("Settings"), QStringLiteral("Zoom"), zoom);
    EXPECT_EQ(zoom, 100);
    EXPECT_FALSE(store.WriteInt(QStringLiteral("Settings"), QStringLiteral("Zoom"), 5));
}

struct BoolCase {
    const char *line; // nullptr: key missing
    bool expected;
};

class ReadBool : public testing::TestWithParam<BoolCase>
{
};

TEST_P(ReadBool, OnlyTrueAndOneAreTrue)
{
    const BoolCase c = GetParam();
    writeSettingsFile(c.line ? QByteArray("[Settings]\nPageNumbers=") + c.line + "\n"
                             : QByteArray("[Settings]\n"));
    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    for (const bool initial : {false, true}) {
        bool value = initial;
        EXPECT_TRUE(
            store.ReadBool(QStringLiteral("Settings"), QStringLiteral("PageNumbers"), value));
        EXPECT_EQ(value, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ReadBool,
                         testing::Values(BoolCase{"true", true}, BoolCase{"TRUE", true},
                                         BoolCase{"True", true}, BoolCase{"1", true},
                                         BoolCase{"\"true\"", true}, BoolCase{"yes", false},
                                         BoolCase{"false", false}, BoolCase{"0", false},
                                         BoolCase{"10", false}, BoolCase{"", false},
                                         BoolCase{nullptr, false}));

TEST(LoadSettings, FirstStartKeepsIntegersAndClearsBooleans)
{
    ConversionSettings s;
    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    EXPECT_TRUE(LoadSettings(s, store));
    ConversionSettings expected;
    expected.PreserveLinks = false;
    expected.ExcludeOrphanPages = false;
    EXPECT_EQ(s, expected);
    // Images and tables stay whole until the user stores otherwise.
    EXPECT_TRUE(s.PostEntireImages);
    EXPECT_TRUE(s.PostEntireTables);
    EXPECT_FALSE(QFile::exists(settingsPath()));
}

TEST(LoadSettings, StoredWholeImageAndTableSwitchesAreReadAsStored)
{
    writeSettingsFile("[Settings]\nPostEntireImages=false\nPostEntireTables=\n");
    ConversionSettings s;
    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    LoadSettings(s, store);
    EXPECT_FALSE(s.PostEntireImages);
    EXPECT_TRUE(s.PostEntireTables); // empty: not stored
    writeSettingsFile("[Settings]\nPostEntireImages=0\nPostEntireTables=no\n");
    LoadSettings(s, store);
    EXPECT_FALSE(s.PostEntireImages);
    EXPECT_FALSE(s.PostEntireTables);
}

TEST(LoadSettings, ReadsIntegersFromLeadingDigitsWithoutRangeChecks)
{
    writeSettingsFile("[settings]\nmarginleft=20mm\nZoom=abc\nPaperSize=100\nEncoding=500\n"
                      "PreserveLinks=TRUE\n");
    ConversionSettings s;
    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    LoadSettings(s, store);
    EXPECT_EQ(s.MarginLeft, 20);
    EXPECT_EQ(s.Zoom, 0);
    EXPECT_EQ(s.PaperSize, CustomPaperSize);
    EXPECT_EQ(s.CustomPaperWidth, 0);
    EXPECT_EQ(s.Encoding, 500);
    EXPECT_EQ(encodingName(s.Encoding), QString()); // out of the table: no name, no crash
    EXPECT_EQ(s.MarginRight, 57);
    EXPECT_TRUE(s.PreserveLinks);
    EXPECT_FALSE(s.ExcludeOrphanPages);
}

TEST(SaveSettings, WritesTheKeysInOrderAndRoundTrips)
{
    ConversionSettings saved;
    saved.Version = 3;
    saved.MarginLeft = 0;
    saved.MarginRight = 999;
    saved.MarginTop = -5;
    saved.MarginBottom = 12;
    saved.PostEntireImages = true;
    saved.PostEntireTables = true;
    saved.Encoding = 120;
    saved.PreserveLinks = false;
    saved.ExcludeOrphanPages = true;
    saved.PageNumbers = true;
    saved.PaperSize = 28;
    saved.Orientation = 1;
    saved.Zoom = 0;
    saved.ScreenMedia = true;
    saved.Title = QStringLiteral("not persisted");

    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    ASSERT_TRUE(store.WriteString(QStringLiteral("Main"), QStringLiteral("SaveFolder"),
                                  QStringLiteral("/home/u/Документы")));
    EXPECT_TRUE(SaveSettings(saved, store));

    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Main]\nSaveFolder=/home/u/Документы\n[Settings]\n"
                                         "Version=3\nMarginLeft=0\nMarginRight=999\n"
                                         "MarginTop=-5\nMarginBottom=12\nPostEntireImages=true\n"
                                         "PostEntireTables=true\nEncoding=120\n"
                                         "PreserveLinks=false\nExcludeOrphanPages=true\n"
                                         "PageNumbers=true\nPaperSize=28\nOrientation=1\n"
                                         "Zoom=0\nScreenMedia=true\n"));

    ConversionSettings loaded;
    LoadSettings(loaded, store);
    ConversionSettings expected = saved;
    expected.Title.clear();
    EXPECT_EQ(loaded, expected);

    // A second save rewrites the keys in place.
    SaveSettings(loaded, store);
    file.seek(0);
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), 18);
}

TEST(SaveSettings, WritesVersionZeroForANewFile)
{
    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    ConversionSettings s;
    LoadSettings(s, store);
    SaveSettings(s, store);
    int version = -1;
    store.ReadInt(QStringLiteral("Settings"), QStringLiteral("Version"), version);
    EXPECT_EQ(version, 0);
}

TEST(SettingsStrings, ReadStringReportsEmptinessAndWriteRefusesLineBreaks)
{
    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    QString value = QStringLiteral("old");
    EXPECT_FALSE(store.ReadString(QStringLiteral("Main"), QStringLiteral("SaveFolder"), value));
    EXPECT_EQ(value, QString());
    EXPECT_FALSE(store.WriteString(QStringLiteral("Main"), QStringLiteral("SaveFolder"),
                                   QStringLiteral("/a\n[Settings]\nZoom=1")));
    EXPECT_TRUE(store.WriteString(QStringLiteral("Main"), QStringLiteral("SaveFolder"),
                                  QStringLiteral(" /padded ")));
    EXPECT_TRUE(store.ReadString(QStringLiteral("Main"), QStringLiteral("SaveFolder"), value));
    EXPECT_EQ(value, QStringLiteral(" /padded "));
}

TEST(ReadFolderSetting, FallsBackToDocumentsForMissingFolders)
{
    SettingsStore store(QStringLiteral("settings.ini"), QStringLiteral("Quirex Desk"));
    const QString home = QDir::homePath();
    EXPECT_EQ(ReadFolderSetting(store, QStringLiteral("SaveFolder")), home);
    store.WriteString(QStringLiteral("Main"), QStringLiteral("SaveFolder"),
                      QStringLiteral("/no/such/folder"));
    EXPECT_EQ(ReadFolderSetting(store, QStringLiteral("SaveFolder")), home);
    const QString out = quirex::test::makeFolder(QStringLiteral("out"));
    store.WriteString(QStringLiteral("Main"), QStringLiteral("SaveFolder"), out);
    EXPECT_EQ(ReadFolderSetting(store, QStringLiteral("SaveFolder")), out);
}

} // namespace
