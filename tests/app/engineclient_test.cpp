// The application's typed engine client against the live engine component,
// and the engine's interface against its checked-in description: a renamed
// or renumbered engine member fails here, not in a user's conversion.
#include "automationobject.h"
#include "engineclient.h"
#include "pdfprobe.h"
#include "testenvironment.h"
#include "toolrunner.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace quirex::app;
using quirex::automation::AutomationObject;

namespace
{

const QString kEngineLibrary = QStringLiteral(QUIREX_BIN_DIR "/quirex.so");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

TEST(EngineClient, EveryMemberReachesTheLiveEngineWithItsArguments)
{
    ASSERT_TRUE(quirex::test::registerComponent(kEngineLibrary));
    AutomationObject names;
    ASSERT_EQ(names.create(EngineClient::progId()), quirex::automation::S_OK);
    for (const QString &name : EngineClient::memberNames()) {
        quirex::automation::DISPID id = 0;
        EXPECT_EQ(names.dispatchId(name, &id), quirex::automation::S_OK) << qPrintable(name);
    }

    EngineCreationFailure failure = EngineCreationFailure::ClassNotFound;
    const std::unique_ptr<EngineClient> engine = EngineClient::create(&failure);
    ASSERT_TRUE(engine);
    const QString output = quirex::test::scratchFolder() + QStringLiteral("/client.pdf");
    const QString input =
        quirex::test::writeFile(QStringLiteral("client.html"), "<p>From a file</p>");
    engine->setOutputFileName(output);
    EXPECT_EQ(engine->outputFileName(), output);
    engine->setMarginTop(40);
    engine->setMarginLeft(40);
    engine->setMarginRight(40);
    EXPECT_EQ(engine->resolution(), 96);
    engine->setMarginBottom(64);
    engine->setEncoding(QStringLiteral("UTF-8"));
    engine->setCustomPaperSize(600.0, 800.0);
    engine->setPaperSize(QStringLiteral("A5"));
    engine->setPostEntireImages(true);
    engine->setPostEntireTables(true);
    engine->setLandscapePageOrientation(false);
    engine->setPreserveLinks(true);
    engine->setBaseUrl(QStringLiteral("http://example.org/"));
    engine->beginDoc();
    engine->setContentZoomFactor(100);
    engine->loadHtmlString(QStringLiteral("<p>From a string</p>"));
    ASSERT_EQ(engine->numberOfPages(), 1);
    engine->convertPage(1);
    engine->setFontFamily(QStringLiteral("Arial"));
    engine->setFontStyle(QStringLiteral("Normal"));
    engine->setFontWeight(QStringLiteral("Normal"));
    engine->setFontPointSize(8);
    EXPECT_GT(engine->getTextHeight(QStringLiteral("Page 1")), 0);
    engine->drawText(0, engine->paperHeight() - 150, engine->paperWidth() - 80, 20,
                     QStringLiteral("AlignRight"), QStringLiteral("Stamp"), 1.0, 1.0, 0.0);
    engine->loadHtmlFile(input);
    engine->convertPage(1);
    engine->loadUrl(QStringLiteral("file://") + input);
    engine->convertPage(1);
    engine->endDoc();

    quirex::test::PdfProbe pdf(output);
    ASSERT_EQ(pdf.pageCount(), 3);
    EXPECT_NEAR(pdf.pageSizePoints(0).width(), 420, 1); // A5
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("From a string")));
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("Stamp")));
    EXPECT_TRUE(pdf.text(2).contains(QStringLiteral("From a file")));
}

TEST(EngineInterface, MatchesTheCheckedInDescription)
{
    // Regenerate with the build target update_engine_idl after a reviewed
    // change of the engine's members (or of the widget members it inherits).
    const QString written = quirex::test::scratchFolder() + QStringLiteral("/quirex.idl");
    ASSERT_EQ(quirex::test::runTool(
                  QStringLiteral("regsvr"),
                  {QStringLiteral("-s"), QStringLiteral("--idl"), written, kEngineLibrary})
                  .exitCode,
              0);
    const QByteArray checkedIn = readFile(QStringLiteral(QUIREX_ENGINE_IDL));
    ASSERT_FALSE(checkedIn.isEmpty());
    EXPECT_EQ(readFile(written), checkedIn) << "the engine's dispatch interface changed";

    // The client asks for the interface described there, by names it has.
    const QString idl = QString::fromUtf8(checkedIn);
    EXPECT_TRUE(idl.contains(QStringLiteral("uuid(%1),\n\t\thelpstring(\"QUIREX Interface\")")
                                 .arg(EngineClient::interfaceId().mid(1, 36))));
    for (const QString &name : EngineClient::memberNames())
        EXPECT_TRUE(idl.contains(QRegularExpression(QStringLiteral("\\] \\w+ %1[;(]").arg(name))))
            << qPrintable(name);
}
