// The engine's reader of its own PDF output, through the update it writes:
// files shaped unlike the engine's usual output still get their links and
// outline, and broken ones are refused and left as they were.
#include "pdfnavigation.h"
#include "pdfobjectreader.h"
#include "pdfprobe.h"
#include "testenvironment.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>

using quirex::engine::PdfNavigation;
using quirex::test::PdfProbe;
using quirex::test::writeFile;

namespace
{

// Builds a PDF from object bodies: one classic cross-reference table, or a
// second one appended as an update of `base` (whose last table is at
// `baseXref`).
QByteArray buildPdf(const std::map<int, QByteArray> &objects, const QByteArray &trailerEntries,
                    const QByteArray &base = "%PDF-1.4\n%\xE2\xE3\n", qint64 baseXref = -1)
{
    QByteArray file = base;
    std::map<int, qint64> offsets;
    for (const auto &[number, body] : objects) {
        offsets[number] = file.size();
        file += QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n";
    }
    const qint64 xref = file.size();
    file += "xref\n";
    if (baseXref < 0)
        file += "0 1\n0000000000 65535 f \n";
    for (const auto &[number, offset] : offsets)
        file += QByteArray::number(number) + " 1\n" +
                QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    file += "trailer\n<< " + trailerEntries +
            (baseXref >= 0 ? " /Prev " + QByteArray::number(baseXref) : QByteArray()) +
            " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return file;
}

PdfNavigation oneLinkAndHeading(int page)
{
    PdfNavigation navigation;
    navigation.links.push_back(
        {page, QRectF(10, 20, 100, 12), {}, QStringLiteral("https://a.b/(c)")});
    navigation.outline.push_back({QStringLiteral("Heading"), 1, {page, 0, 30}});
    return navigation;
}

} // namespace

TEST(PdfObjectReader, NestedTreesInheritedBoxesAndEarlierUpdatesAreRead)
{
    // Page 2 sits in a second-level /Pages node and inherits the root's
    // box; page 1 already has a link; an earlier update replaced page 1.
    const std::map<int, QByteArray> objects{
        {1, "<< /Title (T) >>"},
        {2, "<< /Type /Catalog /Pages 3 0 R >>"},
        {3, "<< /Type /Pages /Kids [4 0 R 5 0 R] /Count 2 /MediaBox [0 0 612 792] >>"},
        {4, "<< /Type /Page /Parent 3 0 R /MediaBox [0 0 100 100] >>"},
        {5, "<< /Type /Pages /Parent 3 0 R /Kids [6 0 R] /Count 1 >>"},
        {6, "% a comment\n<< /Type /Page /Parent 5 0 R /Contents 8 0 R /X <48 69> >>"},
        {7, "<< /Type /Annot /Subtype /Link /Rect [1 1 5 5] /A << /S /URI /URI (old) >> >>"},
        {8, "<< /Length 0 >>\nstream\n\nendstream"}};
    const QByteArray first = buildPdf(objects, "/Size 9 /Root 2 0 R /Info 1 0 R");
    const qint64 firstXref = first.lastIndexOf("\nxref\n") + 1;
    const QByteArray updated =
        buildPdf({{4, "<< /Type /Page /Parent 3 0 R /Annots [7 0 R] /MediaBox [0 0 595 842] >>"}},
                 "/Size 9 /Root 2 0 R /Info 1 0 R", first, firstXref);
    const QString path = writeFile(QStringLiteral("nested.pdf"), updated);

    PdfNavigation navigation = oneLinkAndHeading(1);
    navigation.links.push_back({0, QRectF(0, 0, 50, 50), {1, 0, 0}, QString()});
    QString error;
    ASSERT_TRUE(quirex::engine::addNavigation(path, navigation, &error)) << qPrintable(error);

    PdfProbe pdf(path);
    ASSERT_EQ(pdf.pageCount(), 2);
    // Page 1 keeps its link and gets the jump; page 2's box comes from the root.
    const auto firstPage = pdf.links(0);
    ASSERT_EQ(firstPage.size(), 2);
    EXPECT_EQ(firstPage[0].uri, QStringLiteral("old"));
    EXPECT_EQ(firstPage[1].targetPage, 1);
    const auto second = pdf.links(1);
    ASSERT_EQ(second.size(), 1);
    EXPECT_EQ(second[0].uri, QStringLiteral("https://a.b/(c)"));
    EXPECT_DOUBLE_EQ(second[0].rect.top(), 792 - 32);
    ASSERT_EQ(pdf.outline().size(), 1);
    EXPECT_EQ(pdf.outline()[0].page, 1);
    EXPECT_EQ(pdf.info("/Title"), QStringLiteral("T"));
}

TEST(PdfObjectReader, BrokenFilesAreRefusedAndLeftAsTheyWere)
{
    const QByteArray page = "<< /Type /Page /Parent 3 0 R /MediaBox [0 0 10 10] >>";
    const QByteArray good = buildPdf({{2, "<< /Type /Catalog /Pages 3 0 R >>"},
                                      {3, "<< /Type /Pages /Kids [4 0 R] /Count 1 >>"},
                                      {4, page}},
                                     "/Size 5 /Root 2 0 R");
    QByteArray deep(100000, '[');
    std::map<QString, QByteArray> broken{
        {QStringLiteral("truncated"), good.left(good.size() - 60)},
        {QStringLiteral("no-root"),
         buildPdf({{3, "<< /Type /Pages /Kids [4 0 R] >>"}, {4, page}}, "/Size 5")},
        {QStringLiteral("cycle"), buildPdf({{2, "<< /Type /Catalog /Pages 3 0 R >>"},
                                            {3, "<< /Type /Pages /Kids [3 0 R] >>"}},
                                           "/Size 4 /Root 2 0 R")},
        {QStringLiteral("deep"),
         buildPdf({{2, "<< /Type /Catalog /Pages 3 0 R >>"}, {3, deep}}, "/Size 4 /Root 2 0 R")},
        {QStringLiteral("unterminated"),
         buildPdf({{2, "<< /Type /Catalog /Pages 3 0 R >>"},
                   {3, "<< /Type /Pages /Kids [4 0 R] /T (open ( string >>"}},
                  "/Size 4 /Root 2 0 R")},
        {QStringLiteral("missing-page"), buildPdf({{2, "<< /Type /Catalog /Pages 3 0 R >>"},
                                                   {3, "<< /Type /Pages /Kids [9 0 R] >>"}},
                                                  "/Size 4 /Root 2 0 R")},
    };
    // The catalogue's entry points past the end of the file.
    QByteArray badOffset = good;
    badOffset.replace("0000000013 00000 n", "0000099999 00000 n");
    ASSERT_NE(badOffset, good);
    broken[QStringLiteral("bad-offset")] = badOffset;
    for (const auto &[name, contents] : broken) {
        const QString path = writeFile(name + QStringLiteral(".pdf"), contents);
        QString error;
        EXPECT_FALSE(quirex::engine::addNavigation(path, oneLinkAndHeading(0), &error))
            << qPrintable(name);
        EXPECT_FALSE(error.isEmpty()) << qPrintable(name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), contents) << qPrintable(name);
    }
    // The good one is updated.
    const QString path = writeFile(QStringLiteral("good.pdf"), good);
    EXPECT_TRUE(quirex::engine::addNavigation(path, oneLinkAndHeading(0), nullptr));
    EXPECT_EQ(PdfProbe(path).links(0).size(), 1);
}

TEST(PdfObjectReader, StringsAreWrittenSoReadersGetThemBack)
{
    EXPECT_EQ(quirex::engine::pdfLiteralString("a(b)\\c\n\xC3\xBC"),
              QByteArray("(a\\(b\\)\\\\c\\012\\303\\274)"));
    EXPECT_EQ(quirex::engine::pdfTextString(QStringLiteral("Plain (1)")),
              QByteArray("(Plain \\(1\\))"));
    EXPECT_EQ(quirex::engine::pdfTextString(QStringLiteral("\u00DC")), QByteArray("<FEFF00DC>"));
}
