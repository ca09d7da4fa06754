// quirexpdf's command line taken apart: lengths, options with their short
// forms, values and defaults, and the lines that are wrong. Pure functions,
// checked by tables.
#include "encodingtable.h"
#include "papertable.h"
#include "pdfcommandline.h"

#include <gtest/gtest.h>

using namespace quirex::app;

namespace
{

QStringList words(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

int paper(const char *name)
{
    return int(paperNames().indexOf(QString::fromLatin1(name)));
}

} // namespace

TEST(PdfCommandLine, LengthsTakeTheUnitsScriptsWrite)
{
    const struct {
        const char *text;
        bool ok;
        double mm;
    } cases[] = {
        {"10mm", true, 10},      {"0.75in", true, 19.05},   {"2cm", true, 20},
        {"96px", true, 25.4},    {"72pt", true, 25.4},      {"12", true, 12},
        {" 7.5 MM ", true, 7.5}, {".5in", true, 12.7},      {"0", true, 0},
        {"-1mm", false, 0},      {"10 furlongs", false, 0}, {"", false, 0},
        {"mm", false, 0},        {"1e400", false, 0},       {"10mm;", false, 0},
    };
    for (const auto &c : cases) {
        double mm = -1;
        EXPECT_EQ(parseLength(QString::fromUtf8(c.text), &mm), c.ok) << c.text;
        if (c.ok) {
            EXPECT_NEAR(mm, c.mm, 1e-9) << c.text;
        }
    }
}

TEST(PdfCommandLine, DefaultsAreThoseScriptsExpect)
{
    const PdfCommandLine line = parsePdfCommandLine(words("in.html|out.pdf"));
    ASSERT_EQ(line.mode, PdfCommandMode::Convert) << qPrintable(line.error);
    EXPECT_EQ(line.inputs, words("in.html"));
    EXPECT_EQ(line.output, QStringLiteral("out.pdf"));
    const PdfOptions &o = line.options;
    EXPECT_EQ(o.settings.PaperSize, paper("A4"));
    EXPECT_EQ(o.settings.Orientation, 0);
    // 10 mm at 96 pixels per inch.
    for (int margin : {o.settings.MarginTop, o.settings.MarginBottom, o.settings.MarginLeft,
                       o.settings.MarginRight})
        EXPECT_EQ(margin, 38);
    EXPECT_TRUE(o.settings.ScreenMedia);
    EXPECT_TRUE(o.outline);
    EXPECT_EQ(o.outlineDepth, 4);
    EXPECT_TRUE(o.javascript);
    EXPECT_EQ(o.javascriptDelayMs, 200);
    EXPECT_FALSE(o.untrusted);
    EXPECT_EQ(o.loadErrors, LoadErrorHandling::Abort);
    EXPECT_TRUE(o.decorations.header.left.isEmpty());
}

TEST(PdfCommandLine, OptionsAndShortFormsSetWhatTheyName)
{
    const PdfCommandLine line = parsePdfCommandLine(words(
        "-q|-s|letter|-O|Landscape|-T|1in|-B|20|-L|2cm|-R|96px|--title|Report 2026|-g|--zoom|"
        "1.25|--encoding|utf-8|--no-outline|--outline-depth|2|--print-media-type|-n|"
        "--javascript-delay|1000|--disable-local-file-access|--allow|/srv|--load-error-handling|"
        "skip|--custom-header|X-Token|abc|--cookie|session|42|--custom-header|Accept|*/*|"
        "--no-images|--header-left|[title]|--header-center|c|--header-right|[page]|"
        "--footer-left|[date]|--footer-center|[page] / [topage]|--footer-right|r|"
        "--header-font-name|DejaVu Sans|--header-font-size|9|--footer-font-name|Liberation Mono|"
        "--footer-font-size|7.5|--header-spacing|3|--footer-spacing|0.2in|--header-line|"
        "--footer-line|--no-footer-line|--dpi|300|--disable-smart-shrinking|page|a.html|-|"
        "http://example.org/b|-"));
    ASSERT_EQ(line.mode, PdfCommandMode::Convert) << qPrintable(line.error);
    EXPECT_EQ(line.inputs, words("a.html|-|http://example.org/b"));
    EXPECT_EQ(line.output, QStringLiteral("-"));
    const PdfOptions &o = line.options;
    EXPECT_TRUE(o.quiet);
    EXPECT_EQ(o.settings.PaperSize, paper("Letter"));
    EXPECT_EQ(o.settings.Orientation, 1);
    EXPECT_EQ(o.settings.MarginTop, 96);
    EXPECT_EQ(o.settings.MarginBottom, 76);
    EXPECT_EQ(o.settings.MarginLeft, 76);
    EXPECT_EQ(o.settings.MarginRight, 96);
    EXPECT_EQ(o.settings.Title, QStringLiteral("Report 2026"));
    EXPECT_TRUE(o.grayscale);
    EXPECT_EQ(o.settings.Zoom, 125);
    EXPECT_EQ(o.settings.Encoding, encodingIndex(QStringLiteral("UTF-8")));
    EXPECT_FALSE(o.outline);
    EXPECT_EQ(o.outlineDepth, 2);
    EXPECT_FALSE(o.settings.ScreenMedia);
    EXPECT_FALSE(o.javascript);
    EXPECT_EQ(o.javascriptDelayMs, 1000);
    EXPECT_TRUE(o.untrusted);
    EXPECT_EQ(o.allowedPaths, words("/srv"));
    EXPECT_EQ(o.loadErrors, LoadErrorHandling::Skip);
    ASSERT_EQ(o.customHeaders.size(), 2);
    EXPECT_EQ(o.customHeaders[1], qMakePair(QStringLiteral("Accept"), QStringLiteral("*/*")));
    ASSERT_EQ(o.cookies.size(), 1);
    EXPECT_EQ(o.cookies[0], qMakePair(QStringLiteral("session"), QStringLiteral("42")));
    EXPECT_FALSE(o.loadImages);
    const PageBand &h = o.decorations.header;
    const PageBand &f = o.decorations.footer;
    EXPECT_EQ(h.left, QStringLiteral("[title]"));
    EXPECT_EQ(h.center, QStringLiteral("c"));
    EXPECT_EQ(h.right, QStringLiteral("[page]"));
    EXPECT_EQ(f.left, QStringLiteral("[date]"));
    EXPECT_EQ(f.center, QStringLiteral("[page] / [topage]"));
    EXPECT_EQ(f.right, QStringLiteral("r"));
    EXPECT_EQ(h.fontName, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(h.fontSize, 9);
    EXPECT_EQ(f.fontName, QStringLiteral("Liberation Mono"));
    EXPECT_EQ(f.fontSize, 7.5);
    EXPECT_EQ(h.spacingMm, 3);
    EXPECT_NEAR(f.spacingMm, 5.08, 1e-9);
    EXPECT_TRUE(h.line);
    EXPECT_FALSE(f.line);
    EXPECT_EQ(o.decorations.syntax, PlaceholderSyntax::Brackets);
    EXPECT_EQ(o.ignored, words("--dpi 300|--disable-smart-shrinking"));
}

TEST(PdfCommandLine, EncodingsAndPapersAreMatchedInAnyLetterCase)
{
    const PdfCommandLine utf8 = parsePdfCommandLine(words("--encoding|utf8|a|b"));
    const PdfCommandLine upper = parsePdfCommandLine(words("--encoding|UTF-8|a|b"));
    ASSERT_EQ(utf8.mode, PdfCommandMode::Convert);
    EXPECT_EQ(utf8.options.settings.Encoding, upper.options.settings.Encoding);
    EXPECT_NE(utf8.options.settings.Encoding, ConversionSettings().Encoding);
    const PdfCommandLine custom =
        parsePdfCommandLine(words("--page-width|100mm|--page-height|4in|a|b"));
    ASSERT_EQ(custom.mode, PdfCommandMode::Convert) << qPrintable(custom.error);
    EXPECT_EQ(custom.options.settings.PaperSize, CustomPaperSize);
    EXPECT_EQ(custom.options.settings.CustomPaperWidth, 100);
    EXPECT_EQ(custom.options.settings.CustomPaperHeight, 102);
}

TEST(PdfCommandLine, HelpAndVersionWinWherever)
{
    for (const char *line : {"--help", "-h", "a.html|-H|b.pdf", "--extended-help"})
        EXPECT_EQ(parsePdfCommandLine(words(line)).mode, PdfCommandMode::Help) << line;
    for (const char *line : {"--version", "-V", "-q|--version"})
        EXPECT_EQ(parsePdfCommandLine(words(line)).mode, PdfCommandMode::Version) << line;
    EXPECT_TRUE(pdfUsageText().contains(QStringLiteral("--load-error-handling")));
}

TEST(PdfCommandLine, WrongLinesNameWhatCouldNotBeUsed)
{
    const struct {
        const char *line;
        const char *error; // a part of the error sentence
    } cases[] = {
        {"--bogus|a|b", "\"--bogus\""},
        {"-x|a|b", "\"-x\""},
        {"--margin-top", "\"--margin-top\" needs a value"},
        {"--custom-header|X", "needs 2 values"},
        {"-T|ten|a|b", "\"ten\""},
        {"-s|A42|a|b", "\"A42\""},
        {"-O|sideways|a|b", "\"sideways\""},
        {"--zoom|0|a|b", "\"--zoom\""},
        {"--encoding|klingon|a|b", "\"klingon\""},
        {"--load-error-handling|retry|a|b", "\"retry\""},
        {"--outline-depth|-1|a|b", "\"--outline-depth\""},
        {"--javascript-delay|soon|a|b", "\"--javascript-delay\""},
        {"--page-width|100mm|a|b", "go together"},
        {"-L|110mm|-R|110mm|a|b", "printable width"},
        {"-T|150mm|-B|150mm|a|b", "printable height"},
        {"a.html", "an output is needed after \"a.html\""},
        {"", "an input and an output"},
        {"-|-|out.pdf", "standard input"},
        {"toc|a|b", "\"toc\""},
    };
    for (const auto &c : cases) {
        const PdfCommandLine line = parsePdfCommandLine(words(c.line));
        EXPECT_EQ(line.mode, PdfCommandMode::Wrong) << c.line;
        EXPECT_TRUE(line.error.contains(QString::fromUtf8(c.error)))
            << c.line << " gave " << qPrintable(line.error);
    }
    // After "--" every word is an input or the output, a dash or not.
    const PdfCommandLine ended = parsePdfCommandLine(words("--|--odd.html|page|out.pdf"));
    ASSERT_EQ(ended.mode, PdfCommandMode::Convert);
    EXPECT_EQ(ended.inputs, words("--odd.html|page"));
}
