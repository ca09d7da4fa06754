#include "helppages.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace quirex::app;

namespace
{

const QString kHelpFile = QStringLiteral(QUIREX_BIN_DIR "/help/index.html");

TEST(HelpPages, ShippedHelpHasItsPages)
{
    for (const char *page : {"index.html", "Quirex/_Settings.html", "Quirex/_CMDLine.html"})
        EXPECT_TRUE(
            QFileInfo::exists(QStringLiteral(QUIREX_BIN_DIR "/help/") + QLatin1String(page)))
            << page;
}

TEST(HelpPages, CommandLineTopicExists)
{
    EXPECT_EQ(helpPagePath(kHelpFile, QLatin1String(HelpTopicCommandLine)),
              QStringLiteral(QUIREX_BIN_DIR "/help/Quirex/_CMDLine.html"));
    // An unknown topic falls back to the start page.
    EXPECT_EQ(helpPagePath(kHelpFile, QStringLiteral("_Nothing.html")), kHelpFile);
}

} // namespace
