#include "fontsubstitution.h"
#include "testenvironment.h"
#include "webpageloader.h"

#include <QPrinter>
#include <QProcess>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>

#include <gtest/gtest.h>

using namespace quirex::engine;

namespace
{

// The embedded font names pdffonts lists for `pdfPath`.
QStringList embeddedFonts(const QString &pdfPath)
{
    QProcess pdffonts;
    pdffonts.start(QStringLiteral("pdffonts"), {pdfPath});
    if (!pdffonts.waitForFinished(30000) || pdffonts.exitCode() != 0)
        return {};
    QStringList fonts;
    const QStringList lines = QString::fromUtf8(pdffonts.readAllStandardOutput()).split(u'\n');
    for (int i = 2; i < lines.size(); ++i) { // two header lines
        const QString name = lines[i].section(u' ', 0, 0, QString::SectionSkipEmpty);
        if (!name.isEmpty())
            fonts << name.section(u'+', -1); // drop a subset prefix
    }
    return fonts;
}

TEST(FontSubstitution, WindowsFamiliesRenderInLiberationFonts)
{
    installFontSubstitution();
    EXPECT_EQ(QWebSettings::globalSettings()->fontFamily(QWebSettings::FixedFont),
              QStringLiteral("Liberation Mono"));

    QWebPage page;
    ASSERT_TRUE(quirex::test::loadHtml(
        page, QStringLiteral("<html><body>"
                             "<p style=\"font-family: Arial\">Arial <b>bold</b> <i>italic</i></p>"
                             "<p style=\"font-family: 'Courier New'\">Courier New</p>"
                             "<p style=\"font-family: 'Times New Roman'\">Times New Roman</p>"
                             "<p style=\"font-family: 'MS Sans Serif'\">MS Sans Serif</p>"
                             "<p>standard font</p>"
                             "</body></html>")));
    const QString pdfPath = quirex::test::scratchFolder() + QStringLiteral("/fonts.pdf");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    page.mainFrame()->print(&printer);

    const QStringList fonts = embeddedFonts(pdfPath);
    ASSERT_FALSE(fonts.isEmpty()) << "pdffonts found no fonts";
    for (const char *expected : {"LiberationSans", "LiberationSans-Bold", "LiberationSans-Italic",
                                 "LiberationMono", "LiberationSerif"})
        EXPECT_TRUE(fonts.contains(QLatin1String(expected))) << expected;
    for (const QString &font : fonts)
        EXPECT_TRUE(font.startsWith(QLatin1String("Liberation"))) << font.toStdString();
}

} // namespace
