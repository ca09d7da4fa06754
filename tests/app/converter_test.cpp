// The converter driving the real engine component, created by ProgID from the
// test's own registry; PDFs are checked by their structure.
#include "applog.h"
#include "automationobject.h"
#include "conversionprogress.h"
#include "converter.h"
#include "pdfprobe.h"
#include "registry.h"
#include "stringids.h"
#include "stringtable.h"
#include "testenvironment.h"
#include "toolrunner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <unistd.h>

using namespace quirex::app;
using quirex::test::PdfProbe;
using quirex::test::PdfWord;

namespace
{

const QString kBin = QStringLiteral(QUIREX_BIN_DIR);

// The progress window's stand-in: counts units, and reports Cancel from the
// `cancelAt`-th question on (0: never). `onStep` runs inside step().
class TestProgress final : public ConversionProgress
{
public:
    void step(int units) override
    {
        total += units;
        if (onStep)
            onStep(units);
    }
    bool cancelled() const override { return cancelAt > 0 && ++asked >= cancelAt; }

    int total = 0;
    int cancelAt = 0;
    mutable int asked = 0;
    std::function<void(int)> onStep;
};

// An engine object whose members named in `failing` fail with E_FAIL; every
// other call goes to the real engine.
class FailingEngine final : public quirex::automation::IDispatch
{
public:
    FailingEngine(IDispatch *inner, const QStringList &failing)
        : m_inner(inner)
    {
        for (const QString &name : failing) {
            QVector<quirex::automation::DISPID> ids;
            m_inner->GetIDsOfNames({name}, &ids);
            m_failing.append(ids.value(0));
        }
    }
    quirex::automation::HRESULT QueryInterface(const quirex::automation::Guid &iid,
                                               void **object) override
    {
        return m_inner->QueryInterface(iid, object);
    }
    std::uint32_t AddRef() override { return ++m_references; }
    std::uint32_t Release() override
    {
        const std::uint32_t left = --m_references;
        if (left == 0) {
            m_inner->Release();
            delete this;
        }
        return left;
    }
    quirex::automation::HRESULT GetIDsOfNames(const QStringList &names,
                                              QVector<quirex::automation::DISPID> *ids) override
    {
        return m_inner->GetIDsOfNames(names, ids);
    }
    quirex::automation::HRESULT Invoke(quirex::automation::DISPID id, std::uint16_t flags,
                                       const quirex::automation::VariantList &args,
                                       quirex::automation::Variant *result,
                                       quirex::automation::ExceptionInfo *exception,
                                       std::uint32_t *argError) override
    {
        if (m_failing.contains(id))
            return quirex::automation::E_FAIL;
        return m_inner->Invoke(id, flags, args, result, exception, argError);
    }

private:
    IDispatch *m_inner;
    QVector<quirex::automation::DISPID> m_failing;
    std::uint32_t m_references = 1;
};

EngineFactory failingFactory(const QStringList &failing)
{
    return [failing](EngineCreationFailure *) -> std::unique_ptr<EngineClient> {
        quirex::automation::IDispatch *inner = nullptr;
        if (quirex::automation::FAILED(
                quirex::automation::createDispatchObject(EngineClient::progId(), &inner)))
            return nullptr;
        return std::make_unique<EngineClient>(
            quirex::automation::AutomationObject(new FailingEngine(inner, failing)));
    };
}

// Marks the box of a COM error that escaped an engine call (E_FAIL here).
constexpr int kEngineException = -1;

// What a box with text `id` starts with (up to its first "%s").
QString boxText(int id)
{
    if (id == kEngineException)
        return QStringLiteral("com error: -2147467259 - ");
    return loadText(id).section(QStringLiteral("%s"), 0, 0);
}

// `count` paragraphs: about 45 fill an A4 page.
QByteArray paragraphs(const QByteArray &label, int count)
{
    QByteArray html = "<html><body>";
    for (int i = 1; i <= count; ++i)
        html += "<p>" + label + " line " + QByteArray::number(i) + "</p>";
    return html + "</body></html>";
}

// Exactly `pages` pages, each ending with a forced break.
QByteArray pagesHtml(const QByteArray &label, int pages)
{
    QByteArray html = "<html><body>";
    for (int i = 1; i <= pages; ++i)
        html += "<div style='page-break-after:" + QByteArray(i < pages ? "always" : "auto") + "'>" +
                label + " page " + QByteArray::number(i) + "</div>";
    return html + "</body></html>";
}

QString readAll(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

// The word of page `index` whose text is `text`.
PdfWord findWord(const PdfProbe &pdf, int index, const QString &text)
{
    for (const PdfWord &word : pdf.words(index))
        if (word.text == text)
            return word;
    return {};
}

// The words of page `index`, one blank between them.
QString wordsText(const PdfProbe &pdf, int index)
{
    QStringList texts;
    for (const PdfWord &word : pdf.words(index))
        texts << word.text;
    return texts.join(QLatin1Char(' '));
}

class Converter : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(quirex::test::registerComponent(kBin + QStringLiteral("/quirex.so")));
        ASSERT_TRUE(quirex::test::registerComponent(kBin + QStringLiteral("/pdfdocument.so")));
        folder = quirex::test::makeFolder(QStringLiteral("files"));
        makeConverter();
    }

    void makeConverter(EngineFactory factory = {})
    {
        converter = std::make_unique<CConverter>(
            std::move(factory),
            [this](const QString &text, const QString &title, MessageIcon, MessageButtons) {
                boxes << title + QStringLiteral(": ") + text;
                return MessageAnswer::Ok;
            },
            &progress);
    }

    QString file(const QString &name, const QByteArray &bytes)
    {
        return quirex::test::writeFile(QStringLiteral("files/") + name, bytes);
    }
    QString path(const QString &name) const { return folder + QLatin1Char('/') + name; }
    // The files of the test folder, to see that nothing was left behind.
    QStringList leftovers() const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    // Makes every open of a finished PDF append its argument to opened.txt.
    QString recordOpens(const char *exitCode = "0")
    {
        const QString script = quirex::test::writeFile(
            QStringLiteral("opener.sh"),
            QByteArray("#!/bin/sh\necho \"$1\" >> \"$(dirname \"$0\")/opened.txt\"\nexit ") +
                exitCode + "\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("QUIREX_OPEN_COMMAND", QFile::encodeName(script));
        return quirex::test::scratchFolder() + QStringLiteral("/opened.txt");
    }

    QString folder;
    QStringList boxes;
    TestProgress progress;
    std::unique_ptr<CConverter> converter;
};

} // namespace

TEST_F(Converter, ConvertsARelativeInputWithNumbersReserveAndInformation)
{
    file(QStringLiteral("report.html"), paragraphs("Body", 70));
    ASSERT_TRUE(QDir::setCurrent(folder));
    ConversionSettings &settings = converter->settings();
    settings.PageNumbers = true;
    settings.PageNumberAlign = 2;
    settings.PageNumberFormat = QStringLiteral("%c / %t");
    settings.Author = QStringLiteral("Ann Author");
    settings.Title = QString::fromUtf8("Отчёт");

    ASSERT_EQ(converter->Convert(QStringLiteral("report.html"), QStringLiteral("report.pdf")), 0);
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join('\n'));
    EXPECT_EQ(progress.total, 4);

    PdfProbe pdf(path(QStringLiteral("report.pdf")));
    ASSERT_TRUE(pdf.isValid()) << qPrintable(pdf.error());
    const int pages = pdf.pageCount();
    ASSERT_GE(pages, 2);
    EXPECT_EQ(pdf.info("/Author"), QStringLiteral("Ann Author"));
    EXPECT_EQ(pdf.info("/Title"), QString::fromUtf8("Отчёт"));
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("Body line 1\n")));
    EXPECT_TRUE(pdf.text(pages - 1).contains(QStringLiteral("Body line 70")));

    // Points: the settings' margins are 96-dpi pixels; the engine keeps a
    // quarter inch (24 px) more free at the bottom for the numbers.
    const QSizeF size = pdf.pageSizePoints(0);
    const double marginBottom = 76 * 0.75;
    const double contentBottom = size.height() - marginBottom - 24 * 0.75;
    for (int page = 0; page < pages; ++page) {
        const QString number = QStringLiteral("%1").arg(page + 1);
        const QVector<PdfWord> words = pdf.words(page);
        double lowestBody = 0;
        PdfWord stamp;
        for (int i = 0; i + 2 < words.size(); ++i)
            if (words[i].text == number && words[i + 1].text == QLatin1String("/") &&
                words[i + 2].text == QString::number(pages))
                stamp = words[i + 2];
        for (const PdfWord &word : words)
            if (word.text == QLatin1String("Body"))
                lowestBody = std::max(lowestBody, word.box.bottom());
        ASSERT_FALSE(stamp.text.isEmpty()) << "no number on page " << page + 1;
        EXPECT_GT(stamp.box.right(), size.width() - 57 * 0.75 - 6) << page; // right-aligned
        EXPECT_GT(stamp.box.top(), contentBottom - 2) << page;
        EXPECT_LT(stamp.box.bottom(), size.height() - marginBottom + 2) << page;
        EXPECT_LT(lowestBody, contentBottom + 1) << page;
    }

    const QString log =
        readAll(qEnvironmentVariable("QUIREX_LOG_DIR") + QStringLiteral("/log.txt"));
    EXPECT_TRUE(log.contains(QStringLiteral("\r\nStart application\r\n\r\n"
                                            "CConverter::Convert\n\n"
                                            "strInFilePath : report.html\n\n"
                                            "strInFileName : ") +
                             path(QStringLiteral("report.html")) +
                             QStringLiteral("\n\nConvertQuirex\nInitPDF Begin\nInitPDF End\n"
                                            "FinishConverting 0\n")))
        << qPrintable(log);
    EXPECT_EQ(leftovers(),
              QStringList({QStringLiteral("report.html"), QStringLiteral("report.pdf")}));
}

TEST_F(Converter, AllToOneJoinsInputsUnderOneCounterAndOpensTheJoinedPdf)
{
    const QString opened = recordOpens();
    const QString first = file(QStringLiteral("first.html"), pagesHtml("First", 3));
    const QString second = file(QStringLiteral("second.html"), pagesHtml("Second", 2));
    ConversionSettings &settings = converter->settings();
    settings.PageNumbers = true;
    settings.PageNumberFormat = QStringLiteral("%c / %t");
    settings.Subject = QStringLiteral("Joined");
    converter->setAllToOne(true);
    converter->setOpenAfter(true);

    converter->setFirstFile(true);
    converter->setLastFile(false);
    ASSERT_EQ(converter->Convert(first, path(QStringLiteral("first.pdf"))), 0);
    EXPECT_TRUE(converter->hasEngine());
    EXPECT_FALSE(QFile::exists(opened));
    converter->setFirstFile(false);
    converter->setLastFile(true);
    ASSERT_EQ(converter->Convert(second, path(QStringLiteral("second.pdf"))), 0);
    EXPECT_FALSE(converter->hasEngine());
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join('\n'));
    EXPECT_EQ(progress.total, 5 + 4);

    EXPECT_FALSE(QFile::exists(path(QStringLiteral("second.pdf"))));
    EXPECT_EQ(readAll(opened), path(QStringLiteral("first.pdf")) + QLatin1Char('\n'));
    PdfProbe pdf(path(QStringLiteral("first.pdf")));
    ASSERT_EQ(pdf.pageCount(), 5);
    EXPECT_EQ(pdf.info("/Subject"), QStringLiteral("Joined"));
    const int totals[] = {3, 3, 3, 2, 2};
    const double centre = (113 + pdf.pageSizePoints(0).width() / 0.75 - 57) / 2 * 0.75;
    for (int page = 0; page < 5; ++page) {
        const QString text = wordsText(pdf, page);
        EXPECT_TRUE(text.contains(QStringLiteral("%1 / %2").arg(page + 1).arg(totals[page])))
            << qPrintable(text);
        EXPECT_TRUE(text.contains(page < 3 ? QStringLiteral("First page %1").arg(page + 1)
                                           : QStringLiteral("Second page %1").arg(page - 2)));
        const PdfWord slash = findWord(pdf, page, QStringLiteral("/"));
        EXPECT_NEAR(slash.box.center().x(), centre, 8) << page; // centred on the printable width
    }
}

TEST_F(Converter, LeftAlignedNumbersForAlignZeroAndUnknownValues)
{
    file(QStringLiteral("a.html"), pagesHtml("A", 1));
    converter->settings().PageNumbers = true;
    for (int align : {0, 7}) {
        converter->settings().PageNumberAlign = align;
        const QString output = path(QStringLiteral("a%1.pdf").arg(align));
        ASSERT_EQ(converter->Convert(path(QStringLiteral("a.html")), output), 0);
        PdfProbe pdf(output);
        // Empty format: the interface language's "Страница %d".
        EXPECT_TRUE(pdf.text(0).contains(QString::fromUtf8("Страница 1")));
        const PdfWord word = findWord(pdf, 0, QString::fromUtf8("Страница"));
        EXPECT_GT(word.box.left(), 113 * 0.75 - 1) << align;
        EXPECT_LT(word.box.left(), 113 * 0.75 + 4) << align;
    }
}

TEST_F(Converter, TextInputsAreReadOnlyCourierAndCarryTheirMarkup)
{
    const QString text = file(QStringLiteral("notes.txt"), "first line\r\n<b>bold</b> line\n");
    ASSERT_TRUE(QFile::setPermissions(text, QFile::ReadOwner));
    ASSERT_EQ(converter->Convert(text, path(QStringLiteral("notes.pdf"))), 0);
    PdfProbe pdf(path(QStringLiteral("notes.pdf")));
    EXPECT_TRUE(pdf.fontNames().contains(QStringLiteral("LiberationMono")))
        << qPrintable(pdf.fontNames().join(' '));
    EXPECT_TRUE(pdf.fontNames().contains(QStringLiteral("LiberationMono-Bold")));
    const QString written = pdf.text(0);
    EXPECT_TRUE(written.contains(QStringLiteral("first line\nbold line"))) << qPrintable(written);
    EXPECT_FALSE(written.contains(QLatin1Char('<')));

    // ".TXT" is not the text rule's ".txt": the web engine reads the file
    // itself and shows its markup as text.
    const QString upper = file(QStringLiteral("UPPER.TXT"), "<b>bold</b> line\n");
    ASSERT_EQ(converter->Convert(upper, path(QStringLiteral("upper.pdf"))), 0);
    EXPECT_TRUE(PdfProbe(path(QStringLiteral("upper.pdf")))
                    .text(0)
                    .contains(QStringLiteral("<b>bold</b> line")));

    // UTF-16 text, with or without a byte-order mark.
    const QString words = QString::fromUtf8("Grüße Привет");
    QByteArray utf16("\xff\xfe", 2);
    utf16.append(reinterpret_cast<const char *>(words.utf16()), words.size() * 2);
    file(QStringLiteral("wide.txt"), utf16);
    file(QStringLiteral("bare.txt"), utf16.mid(2) + QByteArray("<\0b\0>\0", 6));
    for (const QString &name : {QStringLiteral("wide"), QStringLiteral("bare")}) {
        ASSERT_EQ(converter->Convert(path(name + QStringLiteral(".txt")),
                                     path(name + QStringLiteral(".pdf"))),
                  0);
        EXPECT_TRUE(PdfProbe(path(name + QStringLiteral(".pdf"))).text(0).contains(words))
            << qPrintable(name);
    }
    EXPECT_TRUE(PdfProbe(path(QStringLiteral("bare.pdf"))).text(0).contains(QStringLiteral("<b>")));
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join('\n'));
}

TEST_F(Converter, TheVideoStepConvertsARewrittenCopyAndRemovesIt)
{
    const QByteArray html = "<html><body><p>Before</p><video src=clip.mp4 width=320>No "
                            "player</video><p>After</p></body></html>";
    const QString input = file(QStringLiteral("clip.html"), html);
    converter->setTempFileName(QStringLiteral("~copy.html"));
    QByteArray copied;
    progress.onStep = [&](int units) {
        if (units == 2)
            copied = readAll(path(QStringLiteral("~copy.html"))).toUtf8();
    };
    ASSERT_EQ(converter->Convert(input, path(QStringLiteral("clip.pdf"))), 0);
    EXPECT_EQ(copied, QByteArray("<html><body><p>Before</p>VIDEO<p>After</p></body></html>"));
    EXPECT_TRUE(
        PdfProbe(path(QStringLiteral("clip.pdf"))).text(0).contains(QStringLiteral("VIDEO")));
    EXPECT_EQ(readAll(input).toUtf8(), html);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("~copy.html"))));

    // A copy that is gone when the step wants to delete it: -1.
    progress.onStep = [&](int units) {
        if (units == 2)
            QFile::remove(path(QStringLiteral("~copy.html")));
    };
    EXPECT_EQ(converter->Convert(input, path(QStringLiteral("clip2.pdf"))), -1);
    progress.onStep = nullptr;

    // A link planted under the copy's name is never followed: 2034, no PDF.
    const QString victim = quirex::test::writeFile(QStringLiteral("victim"), "keep");
    ASSERT_EQ(::symlink(QFile::encodeName(victim).constData(),
                        QFile::encodeName(path(QStringLiteral("~copy.html"))).constData()),
              0);
    EXPECT_EQ(converter->Convert(input, path(QStringLiteral("clip3.pdf"))), 2034);
    EXPECT_EQ(readAll(victim), QStringLiteral("keep"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("clip3.pdf"))));
}

TEST_F(Converter, BadInputsGetTheirResultAndBoxAndLeaveNothingBehind)
{
    file(QStringLiteral("ok.html"), pagesHtml("Ok", 1));
    file(QStringLiteral("noext"), "<p>x</p>");
    file(QStringLiteral("a.pdf"), "<p>x</p>");
    file(QStringLiteral("empty.txt"), QByteArray());
    file(QStringLiteral("plain"), "a file, not a folder");
    QDir(folder).mkdir(QStringLiteral("dir"));
    QDir(folder).mkdir(QStringLiteral("dir.html"));
    const QString ok = path(QStringLiteral("ok.html"));
    const struct {
        QString input;
        QString output;
        int result;
        int box; // the box text's id, or 0 for none
    } cases[] = {
        {path(QStringLiteral("missing.html")), QStringLiteral("x.pdf"), -6,
         strings::CannotOpenFile},
        {path(QStringLiteral("dir")), QStringLiteral("x.pdf"), -7, 0},
        {path(QStringLiteral("dir.html")), QStringLiteral("x.pdf"), -10, strings::CannotLoadHtml},
        {path(QStringLiteral("noext")), QStringLiteral("x.pdf"), -7, 0},
        {path(QStringLiteral("a.pdf")), QStringLiteral("x.pdf"), -8, 0},
        {path(QStringLiteral("empty.txt")), QStringLiteral("x.pdf"), -6, strings::CannotOpenFile},
        {ok, QStringLiteral("nowhere/x.pdf"), -10, strings::FinishingFailed},
        {ok, QStringLiteral("plain/x.pdf"), -10, strings::FinishingFailed},
        {ok, QStringLiteral("../../../../../../../../../../../../x.pdf"), -30,
         strings::OutputPathNotCorrect},
    };
    const QStringList before = leftovers();
    for (bool messages : {true, false}) {
        converter->setMessagesEnabled(messages);
        for (const auto &c : cases) {
            boxes.clear();
            EXPECT_EQ(converter->Convert(c.input, c.output), c.result) << qPrintable(c.input);
            if (messages && c.box) {
                ASSERT_EQ(boxes.size(), 1) << qPrintable(c.input);
                EXPECT_TRUE(boxes[0].contains(boxText(c.box))) << qPrintable(boxes[0]);
            } else {
                EXPECT_TRUE(boxes.isEmpty()) << qPrintable(c.input + ": " + boxes.join('\n'));
            }
            EXPECT_EQ(leftovers(), before) << qPrintable(c.input);
        }
    }
}

TEST_F(Converter, OddContentConvertsWithoutHarm)
{
    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary += char((i * 7919) % 256);
    file(QStringLiteral("binary.html"), binary);
    EXPECT_EQ(
        converter->Convert(path(QStringLiteral("binary.html")), path(QStringLiteral("b.pdf"))), 0);
    EXPECT_TRUE(PdfProbe(path(QStringLiteral("b.pdf"))).isValid());

    // 20 MB through the video step and the engine, in bounded time.
    QByteArray big = "<html><body><p>Big start</p><!--";
    big += QByteArray(20 * 1024 * 1024, 'x');
    big +=
        "--><video poster=\"p.png\" width=\"1\" height=\"1\"></video><p>Big end</p></body></html>";
    file(QStringLiteral("big.html"), big);
    converter->setTempFileName(QStringLiteral("big-copy.html"));
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(converter->Convert(path(QStringLiteral("big.html")), path(QStringLiteral("big.pdf"))),
              0);
    EXPECT_LT(timer.elapsed(), 120000);
    EXPECT_TRUE(
        PdfProbe(path(QStringLiteral("big.pdf"))).text(0).contains(QStringLiteral("Big end")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("big-copy.html"))));
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join('\n'));
}

TEST_F(Converter, ImagesNoTallerThanAPageStayWholeWithTheBuiltInSettings)
{
    // Images of sizes of their own, each on a page of its own below text
    // that leaves less room than the image needs (but more than half the
    // page), so that the page's natural end falls through the image.
    QByteArray html = "<html><body>";
    QVector<QSize> sizes;
    for (int i = 0; i < 4; ++i) {
        const QSize size(60 + i, 700 + 20 * i);
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(40 * i, 90, 200 - 20 * i));
        const QString name = QStringLiteral("image%1.png").arg(i);
        ASSERT_TRUE(image.save(path(name)));
        sizes << size;
        html += "<div style='page-break-before:always'><p style='height:" +
                QByteArray::number(250 + 30 * i) + "px'>Text</p><img src='" + name.toUtf8() +
                "'></div>";
    }
    file(QStringLiteral("images.html"), html + "</body></html>");
    // Pages holding each image, with the built-in settings and with both
    // switches off.
    const auto pagesOfImages = [&](const QString &output) {
        EXPECT_EQ(converter->Convert(path(QStringLiteral("images.html")), path(output)), 0);
        const PdfProbe pdf(path(output));
        QVector<int> pages(sizes.size(), 0);
        for (int page = 0; page < pdf.pageCount(); ++page)
            for (const QSize &size : pdf.imageSizes(page))
                if (sizes.contains(size))
                    ++pages[sizes.indexOf(size)];
        return pages;
    };
    EXPECT_EQ(pagesOfImages(QStringLiteral("whole.pdf")), QVector<int>(sizes.size(), 1));
    converter->settings().PostEntireImages = false;
    converter->settings().PostEntireTables = false;
    const QVector<int> cut = pagesOfImages(QStringLiteral("cut.pdf"));
    EXPECT_TRUE(std::any_of(cut.begin(), cut.end(), [](int pages) { return pages > 1; }))
        << "no page end falls through an image";
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join('\n'));
}

TEST_F(Converter, CancelRemovesThePartialPdfInsideAnInputAndBetweenInputs)
{
    file(QStringLiteral("three.html"), pagesHtml("Three", 3));
    // A PDF already at the output path stays as it was.
    const QByteArray old = "%PDF-1.4 kept\n";
    const QString kept = file(QStringLiteral("kept.pdf"), old);
    // Questions: Convert, before BeginDoc, after the load, before page 1,
    // before page 2 (Cancel).
    progress.cancelAt = 5;
    EXPECT_EQ(converter->Convert(path(QStringLiteral("three.html")), kept), 1);
    EXPECT_FALSE(converter->hasEngine());
    EXPECT_EQ(readAll(kept).toUtf8(), old);
    QFile::remove(kept);

    progress.cancelAt = 0;
    progress.asked = 0;
    converter->setAllToOne(true);
    converter->setFirstFile(true);
    ASSERT_EQ(converter->Convert(path(QStringLiteral("three.html")), path(QStringLiteral("j.pdf"))),
              0);
    progress.cancelAt = 1;
    converter->setFirstFile(false);
    converter->setLastFile(true);
    EXPECT_EQ(converter->Convert(path(QStringLiteral("three.html")), path(QStringLiteral("j.pdf"))),
              1);
    EXPECT_FALSE(converter->hasEngine());
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("three.html")});
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(Converter, EngineFailuresBecomeResultCodesAndBoxes)
{
    const QString input = file(QStringLiteral("in.html"), pagesHtml("In", 2));
    const QString output = path(QStringLiteral("out.pdf"));
    const struct {
        QStringList failing;
        int result;
        int box;
        int boxes;
    } cases[] = {
        {{QStringLiteral("OutputFileName")}, -17, strings::EngineFailed, 1},
        {{QStringLiteral("LoadHTMLFile")}, -10, strings::CannotLoadHtml, 1},
        {{QStringLiteral("ConvertPage")}, -10, strings::CannotLoadHtml, 1},
        {{QStringLiteral("NumberOfPages")}, -10, kEngineException, 1},
        {{QStringLiteral("DrawText")}, 0, strings::DocumentComponentFailed, 2}, // once per page
        {{QStringLiteral("MarginTop"), QStringLiteral("PaperSize")}, 0, 0, 0},
    };
    for (const auto &c : cases) {
        makeConverter(failingFactory(c.failing));
        converter->settings().PageNumbers = true;
        EXPECT_EQ(converter->Convert(input, output), c.result) << qPrintable(c.failing.join(' '));
        EXPECT_EQ(boxes.size(), c.boxes) << qPrintable(boxes.join('\n'));
        for (const QString &box : boxes)
            EXPECT_TRUE(box.contains(boxText(c.box))) << qPrintable(box);
        EXPECT_EQ(QFile::exists(output), c.result == 0);
        QFile::remove(output);
        boxes.clear();
    }

    // No class for the ProgID, then a class whose library is gone.
    QFile::remove(quirex::platform::Registry::defaultPath());
    makeConverter();
    EXPECT_EQ(converter->Convert(input, output), -9);
    EXPECT_TRUE(converter->ConvertURL(QStringLiteral("about:blank"), output) == -9);
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("\"QUIREX\""))) << qPrintable(boxes[0]);
    EXPECT_TRUE(boxes[0].contains(boxText(strings::ComponentNotFound))) << qPrintable(boxes[0]);
    quirex::platform::Registry registry;
    const QString clsid = QStringLiteral("{840DD696-FE7C-4E64-B054-066F945F2E48}");
    registry.setString(QStringLiteral("Software\\Classes\\quirex.QUIREX\\CLSID"), QString(), clsid);
    registry.setString(QStringLiteral("Software\\Classes\\CLSID\\") + clsid +
                           QStringLiteral("\\InprocServer32"),
                       QString(), folder + QStringLiteral("/gone.so"));
    boxes.clear();
    EXPECT_EQ(converter->Convert(input, output), -9);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(boxText(strings::ComponentNotCreated))) << qPrintable(boxes[0]);
}

TEST_F(Converter, OpenAfterAndUrls)
{
    const QString opened = recordOpens("1");
    const QString input = file(QStringLiteral("in.html"), pagesHtml("Url", 2));
    converter->setOpenAfter(true);
    EXPECT_EQ(converter->Convert(input, path(QStringLiteral("in.pdf"))), -29);
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("in.pdf"))));
    EXPECT_EQ(readAll(opened), path(QStringLiteral("in.pdf")) + QLatin1Char('\n'));

    // URLs: no document information, no numbers; an address that does not
    // resolve fails within the page time-out, with the load's box.
    converter->settings().Title = QStringLiteral("Not for URLs");
    converter->settings().PageNumbers = true;
    const QString output = path(QStringLiteral("url.pdf"));
    ASSERT_EQ(converter->ConvertURL(QStringLiteral("file://") + input, output), 0);
    PdfProbe pdf(output);
    EXPECT_EQ(pdf.pageCount(), 2);
    EXPECT_TRUE(pdf.info("/Title").isEmpty());
    EXPECT_FALSE(pdf.text().contains(QString::fromUtf8("Страница")));
    EXPECT_EQ(progress.total, 4 + 4);

    QElapsedTimer timer;
    timer.start();
    const int unresolved =
        converter->ConvertURL(QStringLiteral("http://no-such-host.invalid/"), path("none.pdf"));
    EXPECT_LT(timer.elapsed(), 70000);
    EXPECT_EQ(unresolved, -10);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(boxText(strings::CannotLoadHtml))) << qPrintable(boxes[0]);
    EXPECT_TRUE(converter->failureReason().contains(QStringLiteral("no-such-host.invalid")))
        << qPrintable(converter->failureReason());
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("none.pdf"))));
}

namespace
{

// The stroked straight segments ("x y m x y l S") of page `index`.
int strokedSegments(const PdfProbe &pdf, int index)
{
    static const QRegularExpression segment(
        QStringLiteral("[-\\d.]+ [-\\d.]+ m\\s+[-\\d.]+ [-\\d.]+ l\\s+S\\b"));
    const QString contents = QString::fromLatin1(pdf.contents(index));
    int count = 0;
    for (auto match = segment.globalMatch(contents); match.hasNext(); match.next())
        ++count;
    return count;
}

} // namespace

TEST_F(Converter, HeadersAndFootersSitInTheMarginsOfEveryPage)
{
    const QString input =
        file(QStringLiteral("doc.html"),
             "<html><head><title>Quarterly</title></head>" + pagesHtml("Body", 3).mid(6));
    ConversionSettings &settings = converter->settings();
    settings.PageNumbers = true;
    settings.PageNumberFormat = QStringLiteral("N%c");
    PageDecorations decorations;
    decorations.header.left = QStringLiteral("HL[page]");
    decorations.header.center = QStringLiteral("HC[page]of[topage]");
    decorations.header.right = QStringLiteral("HR[title]");
    decorations.header.spacingMm = 5;
    decorations.header.line = true;
    decorations.footer.left = QStringLiteral("FL[sitepage]/[sitepages]");
    decorations.footer.right = QStringLiteral("[webpage]");
    decorations.footer.fontName = QStringLiteral("Courier New");
    decorations.footer.fontSize = 9.5;
    converter->setPageDecorations(decorations);
    const QString output = path(QStringLiteral("doc.pdf"));
    ASSERT_EQ(converter->Convert(input, output), 0) << qPrintable(converter->failureReason());
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join('\n'));

    PdfProbe pdf(output);
    ASSERT_EQ(pdf.pageCount(), 3);
    const QSizeF size = pdf.pageSizePoints(0);
    const double left = 113 * 0.75, right = size.width() - 57 * 0.75;
    const double contentTop = 76 * 0.75, numbersTop = size.height() - 76 * 0.75 - 24 * 0.75;
    const double numbersBottom = size.height() - 76 * 0.75;
    const double spacing = 5 / 25.4 * 72;
    for (int page = 0; page < 3; ++page) {
        const QString n = QString::number(page + 1);
        const PdfWord headLeft = findWord(pdf, page, QStringLiteral("HL") + n);
        const PdfWord headCentre = findWord(pdf, page, QStringLiteral("HC%1of3").arg(n));
        const PdfWord headRight = findWord(pdf, page, QStringLiteral("HRQuarterly"));
        const PdfWord footLeft = findWord(pdf, page, QStringLiteral("FL%1/3").arg(n));
        const PdfWord footRight = findWord(pdf, page, input);
        const PdfWord number = findWord(pdf, page, QStringLiteral("N") + n);
        const PdfWord body = findWord(pdf, page, n);
        ASSERT_FALSE(headLeft.text.isEmpty()) << qPrintable(wordsText(pdf, page));
        ASSERT_FALSE(headCentre.text.isEmpty()) << qPrintable(wordsText(pdf, page));
        ASSERT_FALSE(headRight.text.isEmpty()) << qPrintable(wordsText(pdf, page));
        ASSERT_FALSE(footLeft.text.isEmpty()) << qPrintable(wordsText(pdf, page));
        ASSERT_FALSE(footRight.text.isEmpty()) << qPrintable(wordsText(pdf, page));
        ASSERT_FALSE(number.text.isEmpty()) << qPrintable(wordsText(pdf, page));

        // Left, centre and right inside the side margins.
        EXPECT_NEAR(headLeft.box.left(), left, 3) << page;
        EXPECT_NEAR(headCentre.box.center().x(), (left + right) / 2, 3) << page;
        EXPECT_NEAR(headRight.box.right(), right, 3) << page;
        EXPECT_NEAR(footLeft.box.left(), left, 3) << page;
        EXPECT_NEAR(footRight.box.right(), right, 3) << page;
        // The header ends the spacing above the content, the footer starts
        // below the page number, and both stay on the paper.
        EXPECT_GT(headLeft.box.top(), 0) << page;
        EXPECT_NEAR(headLeft.box.bottom(), contentTop - spacing, 4) << page;
        EXPECT_GT(body.box.top(), contentTop - 1) << page;
        EXPECT_GT(number.box.top(), numbersTop - 2) << page;
        EXPECT_GT(footLeft.box.top(), numbersBottom - 1) << page;
        EXPECT_LT(footLeft.box.bottom(), size.height()) << page;
        // The fractional size: 9.5 points high, give or take the font's leading.
        EXPECT_NEAR(footLeft.box.height(), 9.5, 2.5) << page;
        EXPECT_EQ(strokedSegments(pdf, page), 1) << page; // the header's rule only
    }

    // "/header" and "/footer": centred, with the page-number placeholders.
    converter->setPageDecorations({});
    converter->settings().PageNumbers = false;
    converter->setHeaderText(QStringLiteral("Head%cof%t"));
    converter->setFooterText(QStringLiteral("Foot%c"));
    ASSERT_EQ(converter->Convert(input, output), 0) << qPrintable(converter->failureReason());
    PdfProbe plain(output);
    ASSERT_EQ(plain.pageCount(), 3);
    for (int page = 0; page < 3; ++page) {
        const PdfWord head = findWord(plain, page, QStringLiteral("Head%1of3").arg(page + 1));
        const PdfWord foot = findWord(plain, page, QStringLiteral("Foot%1").arg(page + 1));
        ASSERT_FALSE(head.text.isEmpty()) << qPrintable(wordsText(plain, page));
        ASSERT_FALSE(foot.text.isEmpty()) << qPrintable(wordsText(plain, page));
        EXPECT_NEAR(head.box.center().x(), (left + right) / 2, 3) << page;
        EXPECT_LT(head.box.bottom(), contentTop + 1) << page;
        EXPECT_GT(foot.box.top(), numbersTop - 1) << page;
        EXPECT_EQ(strokedSegments(plain, page), 0) << page;
    }

    // A band the engine cannot draw fails the conversion and leaves no PDF.
    QFile::remove(output);
    makeConverter(failingFactory({QStringLiteral("DrawLine")}));
    converter->setPageDecorations(decorations);
    EXPECT_EQ(converter->Convert(input, output), ConvertResult::EngineFailed);
    EXPECT_TRUE(converter->failureReason().contains(QStringLiteral("header or footer")))
        << qPrintable(converter->failureReason());
    EXPECT_FALSE(QFile::exists(output));
}
