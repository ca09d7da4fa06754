// The engine as the desktop converter and scripts reach it: created by
// ProgID from the registry and driven through its dispatch interface.
#include "automationobject.h"
#include "hresult.h"
#include "pdfprobe.h"
#include "testenvironment.h"
#include "toolrunner.h"

#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

using namespace quirex::automation;
using quirex::test::PdfProbe;

namespace
{

const QString kEngineLibrary = QStringLiteral(QUIREX_BIN_DIR "/quirex.so");

class EngineComponent : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(quirex::test::registerComponent(kEngineLibrary));
        ASSERT_EQ(engine.create(QStringLiteral("quirex.QUIREX")), S_OK);
        output = quirex::test::scratchFolder() + QStringLiteral("/component.pdf");
        put("OutputFileName", Variant(output));
    }

    void put(const char *name, const Variant &value)
    {
        ASSERT_EQ(engine.setProperty(QString::fromLatin1(name), value), S_OK) << name;
    }
    Variant get(const char *name)
    {
        Variant value;
        EXPECT_EQ(engine.property(QString::fromLatin1(name), &value), S_OK) << name;
        return value;
    }
    Variant call(const char *name, const VariantList &args = {})
    {
        Variant result;
        EXPECT_EQ(engine.call(QString::fromLatin1(name), args, &result), S_OK) << name;
        return result;
    }
    QString log()
    {
        QFile file(qEnvironmentVariable("QUIREX_LOG_DIR") + QStringLiteral("/quirex.log"));
        file.open(QIODevice::ReadOnly);
        return QString::fromLatin1(file.readAll());
    }

    AutomationObject engine;
    QString output;
};

Variant text(const QString &value)
{
    return Variant(value);
}

} // namespace

TEST_F(EngineComponent, MembersKeepTheirOrderAndNamesIgnoreCase)
{
    DISPID first = 0, last = 0, upper = 0, lower = 0, loadString = 0, timer = 0;
    ASSERT_EQ(engine.dispatchId(QStringLiteral("NumberOfPages"), &first), S_OK);
    ASSERT_EQ(engine.dispatchId(QStringLiteral("Resolution"), &last), S_OK);
    EXPECT_EQ(last - first, 44);
    ASSERT_EQ(engine.dispatchId(QStringLiteral("LoadHTMLString"), &loadString), S_OK);
    ASSERT_EQ(engine.dispatchId(QStringLiteral("Timer"), &timer), S_OK);
    EXPECT_EQ(timer - loadString, 23);
    EXPECT_GT(loadString, last);
    // Members added later come after all of these.
    DISPID media = 0;
    ASSERT_EQ(engine.dispatchId(QStringLiteral("SetMediaType"), &media), S_OK);
    EXPECT_GT(media, timer);
    ASSERT_EQ(engine.dispatchId(QStringLiteral("PAGETIMEOUT"), &upper), S_OK);
    ASSERT_EQ(engine.dispatchId(QStringLiteral("pagetimeout"), &lower), S_OK);
    EXPECT_EQ(upper, lower);
    DISPID hidden = 0;
    EXPECT_EQ(engine.dispatchId(QStringLiteral("m_SliceOnPages"), &hidden), DISP_E_UNKNOWNNAME);
}

TEST_F(EngineComponent, PropertiesReadAndWriteAcrossTheInterface)
{
    EXPECT_EQ(get("NumberOfPages").toInt(), 1);
    EXPECT_EQ(get("OutputFileName").toString(), output);
    put("PageTimeout", Variant(std::int32_t(7)));
    EXPECT_EQ(get("PageTimeout").toInt(), 7);
    put("PaperSize", text(QStringLiteral("Letter")));
    EXPECT_EQ(get("PaperSize").toString(), QStringLiteral("letter"));
    put("FontLetterSpacing", Variant(125.5));
    EXPECT_DOUBLE_EQ(get("FontLetterSpacing").toDouble(), 125.5);
    put("GrayScaleMode", Variant(true));
    EXPECT_TRUE(get("GrayScaleMode").toBool());
    EXPECT_EQ(engine.setProperty(QStringLiteral("PaperWidth"), Variant(std::int32_t(5))),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(engine.setProperty(QStringLiteral("MarginLeft"), text(QStringLiteral("wide"))),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(engine.call(QStringLiteral("ConvertPage"), {}), DISP_E_BADPARAMCOUNT);
}

TEST_F(EngineComponent, ConvertsAFileAsTheDesktopConverterDoes)
{
    QString body;
    for (int i = 1; i <= 120; ++i)
        body += QStringLiteral("<p>Paragraph %1</p>").arg(i);
    const QString input =
        quirex::test::writeFile(QStringLiteral("input.html"),
                                QStringLiteral("<html><body>%1</body></html>").arg(body).toUtf8());
    call("BeginDoc");
    call("LoadHTMLFile", {text(input)});
    const int pages = get("NumberOfPages").toInt();
    ASSERT_GE(pages, 2);
    for (int page = 1; page <= pages; ++page)
        call("ConvertPage", {Variant(std::int32_t(page))});
    call("EndDoc");
    PdfProbe pdf(output);
    EXPECT_EQ(pdf.pageCount(), pages);
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("Paragraph 1\n")));
    EXPECT_TRUE(pdf.text(pages - 1).contains(QStringLiteral("Paragraph 120")));
}

TEST_F(EngineComponent, DrawsTextOnThePage)
{
    put("FontPointSize", Variant(std::int32_t(14)));
    put("FillingColor", text(QStringLiteral("red"))); // before BeginDoc: lost
    call("BeginDoc");
    EXPECT_EQ(get("FillingColor").toString(), QStringLiteral("#000000"));
    const Variant height = call("GetTextHeight", {text(QStringLiteral("Page\\n1"))});
    EXPECT_EQ(height.type(), VarType::I4);
    EXPECT_EQ(height.toInt(), call("GetTextHeight", {text(QStringLiteral("Page 1"))}).toInt());
    call("DrawText",
         {Variant(std::int32_t(0)), Variant(std::int32_t(0)), Variant(std::int32_t(700)),
          Variant(std::int32_t(300)), text(QStringLiteral("alignhcenter aligntop")),
          text(QStringLiteral("Stamped\\nfooter")), Variant(1.0), Variant(1.0), Variant(0.0)});
    call("EndDoc");
    const QString written = PdfProbe(output).text(0);
    EXPECT_TRUE(written.contains(QStringLiteral("Stamped\nfooter"))) << written.toStdString();
}

TEST_F(EngineComponent, ImagesAreDrawnOrLogged)
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const QString png = quirex::test::scratchFolder() + QStringLiteral("/dot.png");
    ASSERT_TRUE(picture.save(png));
    call("BeginDoc");
    for (const QString &location : {png, QStringLiteral("/nonexistent/picture.png")})
        call("DrawImage", {Variant(std::int32_t(10)), Variant(std::int32_t(10)), text(location),
                           Variant(1.0), Variant(1.0), Variant(0.0)});
    call("EndDoc");
    EXPECT_TRUE(log().contains(QStringLiteral("Image %1 loaded.").arg(png)));
    EXPECT_TRUE(log().contains(QStringLiteral("Image /nonexistent/picture.png was not loaded.")));
}

TEST(EngineInterfaceDescription, NamesTheLibraryInterfaceAndParameters)
{
    const QString idl = quirex::test::scratchFolder() + QStringLiteral("/quirex.idl");
    ASSERT_EQ(quirex::test::runTool(QStringLiteral("regsvr"),
                                    {QStringLiteral("--idl"), idl, kEngineLibrary})
                  .exitCode,
              0);
    QFile file(idl);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const char *expected : {"quirexLib", "IQUIREX", "coclass QUIREX", "p_sHTML",
                                 "p_time_interval", "840DD696-FE7C-4E64-B054-066F945F2E48"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(expected), Qt::CaseInsensitive)) << expected;
    EXPECT_FALSE(text.contains(QStringLiteral("m_SliceOnPages")));
    EXPECT_LT(text.indexOf(QStringLiteral("NumberOfPages")),
              text.indexOf(QStringLiteral("Resolution")));
}

TEST(EngineHeadless, RunsWithoutADisplayAtNinetySixDpi)
{
    ASSERT_TRUE(quirex::test::registerComponent(kEngineLibrary));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess script;
    script.setProcessEnvironment(environment);
    script.start(QStringLiteral(QUIREX_BIN_DIR "/quirexscript"), QStringList());
    script.write("create quirex.QUIREX\nget Resolution\nget PaperWidth\n");
    script.closeWriteChannel();
    ASSERT_TRUE(script.waitForFinished(60000));
    EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().constData();
    EXPECT_EQ(QString::fromUtf8(script.readAllStandardOutput()),
              QStringLiteral("Resolution = 96\nPaperWidth = 793\n"));
}
