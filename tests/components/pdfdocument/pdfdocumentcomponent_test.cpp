// The PDF document component as the desktop converter and scripts reach it:
// by ProgID, through its dispatch interface.
#include "automationobject.h"
#include "hresult.h"
#include "pdfprobe.h"
#include "testenvironment.h"
#include "toolrunner.h"

#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

using namespace quirex::automation;
using quirex::test::PdfProbe;

namespace
{

const QString kLibrary = QStringLiteral(QUIREX_BIN_DIR "/pdfdocument.so");

QString makeTwoPagePdf()
{
    const QString path = quirex::test::scratchFolder() + QStringLiteral("/made.pdf");
    QPdfWriter writer(path);
    QPainter painter(&writer);
    painter.drawText(200, 400, QStringLiteral("First"));
    writer.newPage();
    painter.drawText(200, 400, QStringLiteral("Second"));
    painter.end();
    return path;
}

class PdfDocumentComponent : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(quirex::test::registerComponent(kLibrary));
        ASSERT_EQ(document.create(QStringLiteral("Leafcraft.PDFDocument4")), S_OK);
    }
    HRESULT call(const char *member, const QString &text, const Variant &second)
    {
        return document.call(QString::fromLatin1(member), {Variant(text), second});
    }
    AutomationObject document;
};

} // namespace

TEST_F(PdfDocumentComponent, SetsTheDocumentInformationInAnyScript)
{
    const QString path = makeTwoPagePdf();
    const Variant zero(std::int32_t(0));
    ASSERT_EQ(call("OpenDocument", path, Variant(QString())), S_OK);
    ASSERT_EQ(call("SetAuthor", QStringLiteral("Анна Петрова"), zero), S_OK);
    ASSERT_EQ(call("SetSubject", QStringLiteral("Quarterly report"), zero), S_OK);
    ASSERT_EQ(call("SetTitle", QStringLiteral("Отчёт за квартал"), zero), S_OK);
    ASSERT_EQ(call("SetKeywords", QStringLiteral("finance, 2026"), zero), S_OK);
    ASSERT_EQ(call("SaveDocument", path, zero), S_OK);
    document.release();

    PdfProbe pdf(path);
    EXPECT_EQ(pdf.pageCount(), 2);
    EXPECT_EQ(pdf.info("/Author"), QStringLiteral("Анна Петрова"));
    EXPECT_EQ(pdf.info("/Subject"), QStringLiteral("Quarterly report"));
    EXPECT_EQ(pdf.info("/Title"), QStringLiteral("Отчёт за квартал"));
    EXPECT_EQ(pdf.info("/Keywords"), QStringLiteral("finance, 2026"));
}

TEST_F(PdfDocumentComponent, MissingOrNonPdfFileIsACallFailure)
{
    const QString text = quirex::test::writeFile(QStringLiteral("notes.pdf"), "just text\n");
    for (const QString &path :
         {quirex::test::scratchFolder() + QStringLiteral("/missing.pdf"), text}) {
        EXPECT_EQ(call("OpenDocument", path, Variant(QString())), E_FAIL);
        EXPECT_EQ(document.exceptionInfo().code, E_FAIL);
        EXPECT_TRUE(document.exceptionInfo().description.contains(path));
    }
    EXPECT_EQ(call("SetTitle", QStringLiteral("x"), Variant(std::int32_t(0))), E_FAIL);
}

TEST(PdfDocumentScript, QuirexscriptDrivesTheComponent)
{
    ASSERT_TRUE(quirex::test::registerComponent(kLibrary));
    const QString path = makeTwoPagePdf();
    const auto run = quirex::test::runTool(QStringLiteral("quirexscript"), {},
                                           QStringLiteral("create Leafcraft.PDFDocument4\n"
                                                          "call OpenDocument \"%1\" \"\"\n"
                                                          "call SetTitle \"Scripted title\" 0\n"
                                                          "call SaveDocument \"%1\" 0\n"
                                                          "release\n")
                                               .arg(path)
                                               .toUtf8());
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(PdfProbe(path).info("/Title"), QStringLiteral("Scripted title"));
}
