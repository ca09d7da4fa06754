// The files the engine writes.
#include "pdfprobe.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QVariant>

#include <gtest/gtest.h>

using quirex::test::PdfProbe;
using quirex::test::scratchFolder;

namespace {

constexpr double kPointsPerPixel = 72.0 / 96.0;

QString paragraphs(int count)
{
    QString html;
    for (int i = 1; i <= count; ++i)
        html += QStringLiteral("<p>Paragraph %1</p>").arg(i);
    return html;
}

} // namespace

TEST(DocumentOutput, OnePageModeGivesEveryDocumentAPageOfItsOwnHeight)
{
    const QString output = scratchFolder() + QStringLiteral("/onepage.pdf");
    QUIREX engine;
    engine.setProperty("OutputFileName", output);
    engine.setProperty("SlicingMode", false);
    engine.BeginDoc();

    engine.LoadHTMLString(QStringLiteral("<p>Short</p>"));
    const int shortHeight = engine.property("PaperHeight").toInt();
    EXPECT_LT(shortHeight, 300) << "one line of text is not a page of A4";
    engine.ConvertAll();
    engine.LoadHTMLString(paragraphs(80));
    const int tallHeight = engine.property("PaperHeight").toInt();
    EXPECT_GT(tallHeight, 1123);
    engine.ConvertAll();
    engine.LoadHTMLString(QStringLiteral("<p>Short again</p>"));
    EXPECT_EQ(engine.property("PaperHeight").toInt(), shortHeight)
        << "a document after a long one is laid out afresh";
    engine.ConvertAll();
    engine.EndDoc();

    const PdfProbe pdf(output);
    ASSERT_EQ(pdf.pageCount(), 3) << pdf.error().toStdString();
    const int heights[] = {shortHeight, tallHeight, shortHeight};
    for (int page = 0; page < 3; ++page) {
        EXPECT_NEAR(pdf.pageSizePoints(page).height(), heights[page] * kPointsPerPixel, 1)
            << "page " << page + 1;
        EXPECT_NEAR(pdf.pageSizePoints(page).width(), 793 * kPointsPerPixel, 1);
    }
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("Short")));
    EXPECT_TRUE(pdf.text(1).contains(QStringLiteral("Paragraph 80")));
    EXPECT_TRUE(pdf.text(2).contains(QStringLiteral("Short again")));
}
