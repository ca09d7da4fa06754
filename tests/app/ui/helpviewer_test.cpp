#include "helpviewer.h"

#include "messagereport.h"
#include "testenvironment.h"
#include "waituntil.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace quirex::app;
using namespace quirex::app::ui;
using quirex::test::scratchFolder;
using quirex::test::writeFile;

namespace
{

const QString kHelpFile = QStringLiteral(QUIREX_BIN_DIR "/help/index.html");

// Records the opener's arguments; the opener is not waited for, so the test
// waits for the record.
class HelpViewerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        record = scratchFolder() + QStringLiteral("/opened.txt");
        const QString script = writeFile(
            QStringLiteral("opener.sh"),
            "#!/bin/sh\nprintf '%s|' \"$@\" > " + QFile::encodeName(record) + ".part\nmv " +
                QFile::encodeName(record) + ".part " + QFile::encodeName(record) + "\n");
        QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        qputenv("QUIREX_OPEN_COMMAND", QFile::encodeName(script));
        setHeadlessMessageSink([this](const QString &line) { boxes << line; });
    }
    void TearDown() override { setHeadlessMessageSink({}); }

    QString waitForRecord()
    {
        quirex::test::waitUntil([this] { return QFile::exists(record); });
        QFile file(record);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QString record;
    QStringList boxes;
};

TEST_F(HelpViewerTest, OpensATopicPage)
{
    ASSERT_TRUE(openHelp(kHelpFile, QLatin1String(HelpTopicSettings)));
    EXPECT_EQ(waitForRecord(), QStringLiteral(QUIREX_BIN_DIR "/help/Quirex/_Settings.html|"));
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(HelpViewerTest, OpensTheStartPageWithoutATopic)
{
    ASSERT_TRUE(openHelp(kHelpFile));
    EXPECT_EQ(waitForRecord(), kHelpFile + QLatin1Char('|'));
}

TEST_F(HelpViewerTest, MissingHelpShowsError3022WithTheFullPath)
{
    const QString missing = scratchFolder() + QStringLiteral("/help/index.html");
    EXPECT_FALSE(openHelp(missing, QLatin1String(HelpTopicSettings)));
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Ошибка: Файл помощи \"") + missing +
                                 QStringLiteral("\" не найден. Попробуйте переустановить "
                                                "приложение.")});
    // An opener started by the failed call would record before the one started now.
    ASSERT_TRUE(openHelp(kHelpFile));
    EXPECT_EQ(waitForRecord(), kHelpFile + QLatin1Char('|'));
}

} // namespace
