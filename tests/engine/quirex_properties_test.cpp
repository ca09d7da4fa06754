#include "quirex.h"

#include "testenvironment.h"

#include <QMetaProperty>

#include <gtest/gtest.h>

#include <memory>

namespace
{

QVariant read(const QUIREX &engine, const char *name)
{
    return engine.property(name);
}

} // namespace

TEST(QuirexProperties, AreDeclaredInInterfaceOrder)
{
    const QStringList expected = {"NumberOfPages",
                                  "MarginLeft",
                                  "MarginRight",
                                  "MarginTop",
                                  "MarginBottom",
                                  "BaseURL",
                                  "PreserveLinks",
                                  "PageTimeout",
                                  "PostEntireImages",
                                  "PostEntireTables",
                                  "OutputFileName",
                                  "SlicingMode",
                                  "ResolveRelativeHyperlinks",
                                  "ContentZoomFactor",
                                  "GrayScaleMode",
                                  "ResolveCSSPageBreaks",
                                  "PostScriptFormat",
                                  "DocumentTitle",
                                  "Encoding",
                                  "FontFamily",
                                  "FontFixedPitch",
                                  "FontKerning",
                                  "FontLetterSpacing",
                                  "FontOverline",
                                  "FontPointSize",
                                  "FontStretch",
                                  "FontStrikeOut",
                                  "FontStyle",
                                  "FontUnderline",
                                  "FontWeight",
                                  "FontWordSpacing",
                                  "PenStyle",
                                  "PenCapStyle",
                                  "PenWidth",
                                  "PenJoinStyle",
                                  "PenColor",
                                  "FillingColor",
                                  "BackgroundMode",
                                  "BackgroundColor",
                                  "PaperSize",
                                  "PaperWidth",
                                  "PaperHeight",
                                  "LandscapePageOrientation",
                                  "PageBackgroundColor",
                                  "Resolution",
                                  "JavaScriptEnabled",
                                  "JavaScriptDelay",
                                  "LoadImages",
                                  "RequestHeaders",
                                  "OutlineDepth"};
    const QMetaObject &meta = QUIREX::staticMetaObject;
    QStringList declared;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        declared << QString::fromLatin1(meta.property(i).name());
    EXPECT_EQ(declared, expected);
    for (const char *readOnly : {"NumberOfPages", "PaperWidth", "PaperHeight"})
        EXPECT_FALSE(meta.property(meta.indexOfProperty(readOnly)).isWritable()) << readOnly;
}

TEST(QuirexProperties, NewObjectHasDocumentedDefaults)
{
    QUIREX engine;
    const std::vector<std::pair<const char *, QVariant>> defaults = {
        {"NumberOfPages", 1},
        {"MarginLeft", 10},
        {"MarginRight", 10},
        {"MarginTop", 40},
        {"MarginBottom", 40},
        {"BaseURL", QString()},
        {"PreserveLinks", true},
        {"PageTimeout", 60},
        {"PostEntireImages", false},
        {"PostEntireTables", false},
        {"OutputFileName", QStringLiteral("document.pdf")},
        {"SlicingMode", true},
        {"ResolveRelativeHyperlinks", true},
        {"ContentZoomFactor", 10},
        {"GrayScaleMode", false},
        {"ResolveCSSPageBreaks", true},
        {"PostScriptFormat", false},
        {"DocumentTitle", QString()},
        {"FontFamily", QStringLiteral("Arial")},
        {"FontLetterSpacing", 100.0},
        {"FontStretch", 100},
        {"FontStyle", QStringLiteral("normal")},
        {"FontWeight", QStringLiteral("normal")},
        {"FontWordSpacing", 0.0},
        {"PenStyle", QStringLiteral("solidline")},
        {"PenCapStyle", QStringLiteral("squarecap")},
        {"PenWidth", 0},
        {"PenJoinStyle", QStringLiteral("beveljoin")},
        {"PenColor", QStringLiteral("#000000")},
        {"FillingColor", QStringLiteral("#000000")},
        {"BackgroundMode", QStringLiteral("transparent")},
        {"BackgroundColor", QStringLiteral("#ffffff")},
        {"PaperSize", QStringLiteral("a4")},
        {"PaperWidth", 793},
        {"PaperHeight", 1123},
        {"LandscapePageOrientation", false},
        {"PageBackgroundColor", QStringLiteral("white")},
        {"Resolution", 96},
        {"JavaScriptEnabled", true},
        {"JavaScriptDelay", 0},
        {"LoadImages", true},
        {"RequestHeaders", QString()},
        {"OutlineDepth", 6},
    };
    for (const auto &[name, value] : defaults)
        EXPECT_EQ(read(engine, name), value) << name;
}

TEST(QuirexProperties, ScriptImageHeaderAndOutlineValuesAreBounded)
{
    QUIREX engine;
    engine.setProperty("JavaScriptDelay", -1);
    EXPECT_EQ(read(engine, "JavaScriptDelay"), 0);
    engine.setProperty("JavaScriptDelay", 2147483647);
    EXPECT_EQ(read(engine, "JavaScriptDelay"), 600000);
    engine.setProperty("OutlineDepth", -3);
    EXPECT_EQ(read(engine, "OutlineDepth"), 0);
    engine.setProperty("OutlineDepth", 99);
    EXPECT_EQ(read(engine, "OutlineDepth"), 6);
    engine.setProperty("JavaScriptEnabled", false);
    engine.setProperty("LoadImages", false);
    EXPECT_EQ(read(engine, "JavaScriptEnabled"), false);
    EXPECT_EQ(read(engine, "LoadImages"), false);
    // Lines without a name, or a name that is not one word, are left out;
    // a carriage return never reaches a header value.
    engine.setProperty("RequestHeaders",
                       QStringLiteral("X-One: 1\r\nno colon\n: empty\nBad Name: x\nCookie: a=b"));
    EXPECT_EQ(read(engine, "RequestHeaders"), QStringLiteral("X-One: 1\nCookie: a=b"));
}

TEST(QuirexProperties, PageTimeoutIsKeptInMilliseconds)
{
    QUIREX engine;
    engine.setProperty("PageTimeout", 7);
    EXPECT_EQ(read(engine, "PageTimeout"), 7);
    engine.setProperty("PageTimeout", 0);
    EXPECT_EQ(read(engine, "PageTimeout"), 0);
    // An absurd value neither overflows nor turns negative.
    engine.setProperty("PageTimeout", 2147483647);
    EXPECT_EQ(read(engine, "PageTimeout"), 2147483);
}

TEST(QuirexProperties, ResolutionOfZeroOrLessIsIgnored)
{
    QUIREX engine;
    engine.setProperty("Resolution", 0);
    engine.setProperty("Resolution", -5);
    EXPECT_EQ(read(engine, "Resolution"), 96);
}

// The page geometry keeps the resolution written until BeginDoc, and the paper
// chosen by name while a document sizes the page to itself.
TEST(QuirexProperties, ResolutionReachesThePageOnlyAtBeginDoc)
{
    QUIREX engine;
    engine.setProperty("OutputFileName", quirex::test::scratchFolder() + "/resolution.pdf");
    engine.setProperty("Resolution", 150);
    EXPECT_EQ(read(engine, "Resolution"), 96);
    EXPECT_EQ(read(engine, "PaperWidth"), 793);
    engine.BeginDoc();
    EXPECT_EQ(read(engine, "Resolution"), 150);
    EXPECT_EQ(read(engine, "PaperWidth"), 1240);
    engine.EndDoc();
}

TEST(QuirexProperties, NamedPaperReturnsAfterAPageSizedToItsDocument)
{
    QUIREX engine;
    engine.setProperty("PaperSize", QStringLiteral("a5"));
    engine.setProperty("SlicingMode", false);
    engine.LoadHTMLString(QStringLiteral("<p>one line</p>"));
    EXPECT_EQ(read(engine, "PaperSize"), QString());
    engine.setProperty("SlicingMode", true);
    engine.LoadHTMLString(QStringLiteral("<p>one line</p>"));
    EXPECT_EQ(read(engine, "PaperSize"), QStringLiteral("a5"));
    EXPECT_EQ(read(engine, "PaperWidth"), 560);
}

TEST(QuirexProperties, LandscapeCannotBeTurnedBackOff)
{
    QUIREX engine;
    engine.setProperty("LandscapePageOrientation", true);
    engine.setProperty("LandscapePageOrientation", false);
    EXPECT_EQ(read(engine, "LandscapePageOrientation"), true);
    EXPECT_EQ(read(engine, "PaperWidth"), 1123);
    EXPECT_EQ(read(engine, "PaperHeight"), 793);
}

TEST(QuirexProperties, TitleAndPostScriptReadThePrinterBeforeBeginDoc)
{
    QUIREX engine;
    engine.setProperty("DocumentTitle", QStringLiteral("Annual report"));
    engine.setProperty("PostScriptFormat", true);
    EXPECT_EQ(read(engine, "DocumentTitle"), QString());
    EXPECT_EQ(read(engine, "PostScriptFormat"), false);
}

TEST(QuirexProperties, PaperNamesAreCaseInsensitiveWithA4Fallback)
{
    QUIREX engine;
    engine.setProperty("PaperSize", QStringLiteral("Letter"));
    EXPECT_EQ(read(engine, "PaperSize"), QStringLiteral("letter"));
    EXPECT_EQ(read(engine, "PaperWidth"), 816);
    EXPECT_EQ(read(engine, "PaperHeight"), 1056);
    engine.setProperty("PaperSize", QStringLiteral("B10"));
    EXPECT_EQ(read(engine, "PaperSize"), QStringLiteral("b10"));
    engine.setProperty("PaperSize", QStringLiteral("letterplus"));
    EXPECT_EQ(read(engine, "PaperSize"), QStringLiteral("a4"));
}

TEST(QuirexProperties, WordPropertiesFallBackAsTheirTablesSay)
{
    QUIREX engine;
    struct Case {
        const char *property;
        const char *written;
        const char *read;
    };
    const Case cases[] = {
        {"PenStyle", "DashDotLine", "dashdotline"},
        {"PenStyle", "wavy", "solidline"},
        {"PenCapStyle", "ROUNDCAP", "roundcap"},
        {"PenCapStyle", "pointed", "squarecap"},
        {"PenJoinStyle", "svgmiterjoin", "svgmiterjoin"},
        {"PenJoinStyle", "glued", "beveljoin"},
        {"FontWeight", "Bold", "bold"},
        {"FontWeight", "heavy", "normal"},
        {"FontStyle", "italic", "italic"},
        {"FontStyle", "slanted", "italic"}, // an unknown style keeps the previous one
        {"PenColor", "red", "#ff0000"},
        {"PenColor", "#ABCDEF", "#abcdef"},
    };
    for (const Case &c : cases) {
        engine.setProperty(c.property, QString::fromLatin1(c.written));
        EXPECT_EQ(read(engine, c.property), QString::fromLatin1(c.read))
            << c.property << " = " << c.written;
    }
}

TEST(QuirexProperties, FontSizesAreKeptAtTenTimesTheWrittenValue)
{
    QUIREX engine;
    engine.setProperty("FontPointSize", 12);
    EXPECT_EQ(read(engine, "FontPointSize"), 12);
    engine.setProperty("FontWordSpacing", 2.5);
    EXPECT_DOUBLE_EQ(read(engine, "FontWordSpacing").toDouble(), 2.5);
    engine.setProperty("FontLetterSpacing", 150.0);
    EXPECT_DOUBLE_EQ(read(engine, "FontLetterSpacing").toDouble(), 150.0);
}

TEST(QuirexProperties, FillColourWrittenBeforePaintingIsLost)
{
    QUIREX engine;
    engine.setProperty("FillingColor", QStringLiteral("red"));
    EXPECT_EQ(read(engine, "FillingColor"), QStringLiteral("#000000"));
}

TEST(QuirexProperties, EncodingIsSharedByAllEngineObjects)
{
    auto first = std::make_unique<QUIREX>();
    auto second = std::make_unique<QUIREX>();
    first->setProperty("Encoding", QStringLiteral("windows-1251"));
    EXPECT_EQ(read(*second, "Encoding"), QStringLiteral("windows-1251"));
}

TEST(QuirexProperties, SimpleValuesAreStoredAsWritten)
{
    QUIREX engine;
    engine.setProperty("MarginLeft", 25);
    engine.setProperty("MarginBottom", 0);
    engine.setProperty("BaseURL", QStringLiteral("https://example.org/docs/"));
    engine.setProperty("OutputFileName", QStringLiteral("/tmp/out.pdf"));
    engine.setProperty("SlicingMode", false);
    engine.setProperty("PageBackgroundColor", QStringLiteral("no such colour"));
    EXPECT_EQ(read(engine, "MarginLeft"), 25);
    EXPECT_EQ(read(engine, "MarginBottom"), 0);
    EXPECT_EQ(read(engine, "BaseURL"), QStringLiteral("https://example.org/docs/"));
    EXPECT_EQ(read(engine, "OutputFileName"), QStringLiteral("/tmp/out.pdf"));
    EXPECT_EQ(read(engine, "SlicingMode"), false);
    EXPECT_EQ(read(engine, "PageBackgroundColor"), QStringLiteral("no such colour"));
}
