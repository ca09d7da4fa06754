#include "pdfprobe.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

using quirex::test::PdfProbe;
using quirex::test::PdfWord;

namespace
{

constexpr double kPointsPerPixel = 72.0 / 96.0;

// Draws on the first page of a fresh document; finish() ends it and opens
// the result.
class Drawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        output = quirex::test::scratchFolder() + QStringLiteral("/drawing.pdf");
        engine->setProperty("OutputFileName", output);
        engine->setProperty("FontPointSize", 12);
    }
    void begin() { engine->BeginDoc(); }
    PdfProbe finish()
    {
        engine->EndDoc();
        return PdfProbe(output);
    }
    PdfWord find(const PdfProbe &pdf, const QString &text)
    {
        for (const PdfWord &word : pdf.words(0))
            if (word.text == text)
                return word;
        return {};
    }
    QString log()
    {
        QFile file(qEnvironmentVariable("QUIREX_LOG_DIR") + QStringLiteral("/quirex.log"));
        file.open(QIODevice::ReadOnly);
        return QString::fromLatin1(file.readAll());
    }

    std::unique_ptr<QUIREX> engine = std::make_unique<QUIREX>();
    QString output;
};

} // namespace

TEST_F(Drawing, TextGoesToTheTopLeftOfItsBoxUnlessLaidOutOtherwise)
{
    begin();
    engine->DrawText(100, 100, 400, 200, QString(), QStringLiteral("Topleft"), 1, 1, 0);
    engine->DrawText(100, 400, 400, 200, QStringLiteral("  AlignCenter   textwordwrap "),
                     QStringLiteral("Centred"), 1, 1, 0);
    const PdfProbe pdf = finish();
    const PdfWord topLeft = find(pdf, QStringLiteral("Topleft"));
    EXPECT_NEAR(topLeft.box.left(), (10 + 100) * kPointsPerPixel, 2);
    EXPECT_NEAR(topLeft.box.top(), (40 + 100) * kPointsPerPixel, 4);
    const PdfWord centred = find(pdf, QStringLiteral("Centred"));
    EXPECT_NEAR(centred.box.center().x(), (10 + 300) * kPointsPerPixel, 3);
    EXPECT_NEAR(centred.box.center().y(), (40 + 500) * kPointsPerPixel, 4);
}

TEST_F(Drawing, BackslashNBreaksLinesInDrawTextButNotInGetTextHeight)
{
    begin();
    const int one = engine->GetTextHeight(QStringLiteral("Page 1"));
    EXPECT_GT(one, 0);
    EXPECT_EQ(engine->GetTextHeight(QStringLiteral("Page\\n1")), one);
    EXPECT_GT(engine->GetTextHeight(QStringLiteral("Page\n1")), one);
    engine->DrawText(50, 50, 500, 300, QString(), QStringLiteral("First\\nSecond"), 1, 1, 0);
    const PdfProbe pdf = finish();
    const PdfWord first = find(pdf, QStringLiteral("First"));
    const PdfWord second = find(pdf, QStringLiteral("Second"));
    EXPECT_GT(second.box.top(), first.box.bottom() - 1) << "on a line of its own";
}

TEST_F(Drawing, GetTextHeightIsInTenthsOfADevicePixel)
{
    // 12 points at 96 dpi is 16 device pixels; a line is a little more.
    const int height = engine->GetTextHeight(QStringLiteral("Page 1"));
    EXPECT_GT(height, 150);
    EXPECT_LT(height, 250);
}

TEST_F(Drawing, HtmlFragmentAcrossThePrintableWidth)
{
    begin();
    QString words;
    for (int i = 0; i < 200; ++i)
        words += QStringLiteral("w%1 ").arg(i);
    engine->DrawHTML(0, 0, -2, QStringLiteral("<p>%1</p>").arg(words), 1, 1, 0);
    const PdfProbe pdf = finish();
    double right = 0;
    for (const PdfWord &word : pdf.words(0))
        right = std::max(right, word.box.right());
    EXPECT_LE(right, (10 + 773) * kPointsPerPixel + 1);
    EXPECT_GT(right, (10 + 600) * kPointsPerPixel);
}

TEST_F(Drawing, ImagesAreDrawnOrLoggedAsNotLoaded)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QString png = quirex::test::scratchFolder() + QStringLiteral("/picture.png");
    ASSERT_TRUE(picture.save(png));
    const QString missing = quirex::test::scratchFolder() + QStringLiteral("/missing.png");
    begin();
    engine->DrawImage(10, 10, png, 2, 2, 0);
    engine->DrawImage(10, 10, missing, 1, 1, 0);
    finish();
    EXPECT_TRUE(log().contains(QStringLiteral("Image %1 loaded.\n").arg(png)));
    EXPECT_TRUE(log().contains(QStringLiteral("Image %1 was not loaded.\n").arg(missing)));
}

TEST_F(Drawing, FillColourWrittenBeforeBeginDocIsLost)
{
    engine->setProperty("FillingColor", QStringLiteral("red"));
    begin();
    EXPECT_EQ(engine->property("FillingColor").toString(), QStringLiteral("#000000"));
    engine->setProperty("FillingColor", QStringLiteral("#00ff00"));
    EXPECT_EQ(engine->property("FillingColor").toString(), QStringLiteral("#00ff00"));
    engine->setProperty("BackgroundMode", QStringLiteral("OPAQUE"));
    EXPECT_EQ(engine->property("BackgroundMode").toString(), QStringLiteral("opaque"));
    engine->DrawRect(10, 10, 100, 100, 15);
    engine->DrawEllipse(200, 10, 100, 50, 0);
    engine->DrawRoundedRect(10, 200, 100, 50, 5, 5, 0);
    engine->DrawArc(10, 300, 100, 100, 0, 90);
    engine->DrawChord(10, 400, 100, 100, 0, 90);
    engine->DrawPie(10, 500, 100, 100, 0, 90);
    engine->DrawLine(0, 0, 300, 300);
    engine->DrawPoint(5, 5);
    const PdfProbe pdf = finish();
    EXPECT_TRUE(pdf.isValid());
    EXPECT_EQ(pdf.pageCount(), 1);
}

TEST_F(Drawing, NothingIsDrawnBeforeBeginDocOrAfterEndDoc)
{
    engine->DrawText(0, 0, 100, 100, QString(), QStringLiteral("Early"), 1, 1, 0);
    engine->DrawRect(0, 0, 10, 10, 0);
    begin();
    engine->NewPage();
    engine->DrawText(0, 0, 100, 100, QString(), QStringLiteral("Second"), 1, 1, 0);
    const PdfProbe pdf = finish();
    engine->DrawText(0, 0, 100, 100, QString(), QStringLiteral("Late"), 1, 1, 0);
    ASSERT_EQ(pdf.pageCount(), 2);
    EXPECT_FALSE(pdf.text().contains(QStringLiteral("Early")));
    EXPECT_TRUE(pdf.text(1).contains(QStringLiteral("Second")));
}
