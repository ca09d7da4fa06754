// Painting pages keeps the layout the document was sliced at.
#include "pdfprobe.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

using quirex::test::PdfProbe;

// Blocks sized by the viewport height (40vh, kept whole): two fit a page, so
// every slice is shorter than a page. Painting must not lay the document out
// again for each slice, or the blocks would move under the cuts.
TEST(Painting, ViewportSizedBlocksLandOnTheirSlicedPages)
{
    QString html = QStringLiteral("<style>div{height:40vh;page-break-inside:avoid}</style>");
    for (int i = 1; i <= 9; ++i)
        html += QStringLiteral("<div>Block%1</div>").arg(i);
    const QString output = quirex::test::scratchFolder() + QStringLiteral("/blocks.pdf");
    auto engine = std::make_unique<QUIREX>();
    engine->setProperty("OutputFileName", output);
    engine->BeginDoc();
    engine->LoadHTMLString(html);
    ASSERT_EQ(engine->numberOfPages(), 5);
    for (int page = 1; page <= engine->numberOfPages(); ++page)
        engine->ConvertPage(page);
    engine->EndDoc();

    PdfProbe pdf(output);
    ASSERT_EQ(pdf.pageCount(), 5);
    for (int i = 1; i <= 9; ++i) {
        const QString label = QStringLiteral("Block%1").arg(i);
        EXPECT_EQ(pdf.text().count(label), 1) << i;
        EXPECT_TRUE(pdf.text((i - 1) / 2).contains(label)) << i;
    }
}
