// What a converted document may reach: local files by folder, the network by mode. Every
// test converts a real document and reads the PDF back.
#include "pdfprobe.h"
#include "quirex.h"
#include "recordingserver.h"
#include "testenvironment.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>

using quirex::test::PdfProbe;
using quirex::test::RecordingServer;
using quirex::test::scratchFolder;
using quirex::test::writeFile;

namespace
{

QByteArray png(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Loads `path` into a new engine object and prints every page into `output`.
void convertFile(const QString &path, const QString &output)
{
    QUIREX engine;
    engine.setProperty("OutputFileName", output);
    engine.BeginDoc();
    engine.LoadHTMLFile(path);
    engine.ConvertAll();
    engine.EndDoc();
}

// Turns untrusted mode on for the engine objects of this test, and off again after it.
class UntrustedMode
{
public:
    UntrustedMode() { qputenv("QUIREX_UNTRUSTED", "1"); }
    ~UntrustedMode() { qunsetenv("QUIREX_UNTRUSTED"); }
};

} // namespace

TEST(DocumentAccess, ScriptsReadFilesOnlyFromTheDocumentsFolderAndBelow)
{
    writeFile(QStringLiteral("secret.txt"), "PARENT-SECRET");
    writeFile(QStringLiteral("secret.png"), png(8, 8, qRgb(200, 0, 0)));
    writeFile(QStringLiteral("doc/beside.txt"), "BESIDE-DATA");
    writeFile(QStringLiteral("doc/sub/below.txt"), "BELOW-DATA");
    const QString folder = scratchFolder() + QStringLiteral("/doc");
    ASSERT_TRUE(QFile::link(scratchFolder() + QStringLiteral("/secret.txt"),
                            folder + QStringLiteral("/escape.txt")));
    // Opening a pipe would wait for a writer that never comes.
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("/pipe.png")).constData(), 0600),
              0);
    const QString page = writeFile(QStringLiteral("doc/page.html"), R"(<html><body>
<img id="pic" src="../secret.png"><img src="pipe.png">
<p id="xhr"></p><p id="frame"></p><p id="canvas"></p>
<script>
alert('nobody answers'); confirm('nobody'); prompt('nobody', 'x');
function read(address) {
  try { var x = new XMLHttpRequest(); x.open('GET', address, false); x.send();
        return x.responseText || 'EMPTY'; } catch (e) { return 'REFUSED'; }
}
document.getElementById('xhr').textContent = ['beside=' + read('beside.txt'),
  'below=' + read('sub/below.txt'), 'parent=' + read('../secret.txt'),
  'passwd=' + read('/etc/passwd'), 'absolute=' + read('file:///etc/passwd'),
  'link=' + read('escape.txt')].join(' ');
var frame = document.createElement('iframe');
frame.style.display = 'none';
frame.src = '../secret.txt';
frame.onload = function() {
  var text; try { text = frame.contentDocument.body.textContent; } catch (e) { text = 'REFUSED'; }
  document.getElementById('frame').textContent = 'frame=' + text;
};
document.body.appendChild(frame);
window.onload = function() {
  var canvas = document.createElement('canvas');
  var context = canvas.getContext('2d');
  context.drawImage(document.getElementById('pic'), 0, 0);
  var result; try { context.getImageData(0, 0, 1, 1); result = 'READ'; } catch (e) { result = 'REFUSED'; }
  document.getElementById('canvas').textContent = 'canvas=' + result;
};
</script></body></html>)");

    const QString output = scratchFolder() + QStringLiteral("/out.pdf");
    convertFile(page, output);

    PdfProbe pdf(output);
    ASSERT_TRUE(pdf.isValid()) << pdf.error().toStdString();
    const QString text = pdf.text().simplified();
    EXPECT_TRUE(text.contains(QStringLiteral("beside=BESIDE-DATA below=BELOW-DATA")))
        << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("parent=REFUSED passwd=REFUSED absolute=REFUSED "
                                             "link=REFUSED")))
        << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("frame=REFUSED"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("canvas=REFUSED"))) << qPrintable(text);
    EXPECT_FALSE(text.contains(QStringLiteral("PARENT-SECRET")));
    EXPECT_FALSE(text.contains(QStringLiteral("root:")));
    // The image above the folder is still shown; scripts only cannot read it.
    EXPECT_TRUE(pdf.imageSizes().contains(QSize(8, 8)));
}

TEST(DocumentAccess, AFileDocumentFetchesFromTheNetworkButSendsNothing)
{
    RecordingServer server;
    ASSERT_TRUE(server.isListening());
    server.serve(QStringLiteral("/static.png"), "image/png", png(12, 6, qRgb(0, 0, 200)));
    writeFile(QStringLiteral("doc/beside.txt"), "BESIDE-DATA");
    const QString page = writeFile(
        QStringLiteral("doc/page.html"),
        QStringLiteral(R"(<p>Posting document</p><img src="%1">
<script>
var x = new XMLHttpRequest(); x.open('GET', 'beside.txt', false); x.send();
var post = new XMLHttpRequest(); post.open('POST', '%2'); post.send(x.responseText);
var put = new XMLHttpRequest(); put.open('PUT', '%2'); put.send(x.responseText);
</script>)")
            .arg(server.url(QStringLiteral("/static.png")), server.url(QStringLiteral("/collect")))
            .toUtf8());

    const QString output = scratchFolder() + QStringLiteral("/out.pdf");
    {
        QUIREX engine;
        engine.setProperty("OutputFileName", output);
        engine.BeginDoc();
        engine.LoadHTMLFile(page);
        // Time for anything the script sent to arrive.
        engine.Timer(1);
        engine.ConvertAll();
        engine.EndDoc();
    }

    EXPECT_EQ(server.requests(), QStringList{QStringLiteral("GET /static.png HTTP/1.1")});
    PdfProbe pdf(output);
    EXPECT_TRUE(pdf.imageSizes().contains(QSize(12, 6)));
    EXPECT_TRUE(pdf.text().contains(QStringLiteral("Posting document")));
}

TEST(DocumentAccess, ManualWithStyleSheetsAndImagesAboveItsFolderRendersAsBefore)
{
    writeFile(QStringLiteral("manual/_static/style.css"),
              "h1 { page-break-before: always; }\n"
              "h1:before { content: url(mark.png); }\n"
              "img.figure { width: 300px; height: 150px; }\n");
    writeFile(QStringLiteral("manual/_static/mark.png"), png(6, 6, qRgb(0, 120, 0)));
    writeFile(QStringLiteral("manual/_images/figure.png"), png(60, 30, qRgb(200, 0, 0)));
    const QString body = QStringLiteral(
        "<h1>Installing</h1><p>First chapter.</p><img class='figure' src='%1_images/figure.png'>"
        "<h1>Using</h1><p>Second chapter.</p><img class='figure' src='%1_images/figure.png'>"
        "<h1>Removing</h1><p>Third chapter.</p>");
    const QString head = QStringLiteral("<link rel='stylesheet' href='%1_static/style.css'>");
    // The same manual twice: its pages one folder below the resources, as generated manuals
    // lay them out, and beside them.
    const QString nested = writeFile(QStringLiteral("manual/html/index.html"),
                                     (head + body).arg(QStringLiteral("../")).toUtf8());
    const QString flat =
        writeFile(QStringLiteral("manual/index.html"), (head + body).arg(QString()).toUtf8());

    const QString nestedPdf = scratchFolder() + QStringLiteral("/nested.pdf");
    const QString flatPdf = scratchFolder() + QStringLiteral("/flat.pdf");
    convertFile(nested, nestedPdf);
    convertFile(flat, flatPdf);

    PdfProbe nestedProbe(nestedPdf);
    PdfProbe flatProbe(flatPdf);
    // The style sheet's breaks give a page per chapter, with the figure and the style
    // sheet's own image.
    ASSERT_GE(flatProbe.pageCount(), 3);
    EXPECT_EQ(nestedProbe.pageCount(), flatProbe.pageCount());
    EXPECT_TRUE(flatProbe.imageSizes().contains(QSize(60, 30)));
    EXPECT_TRUE(flatProbe.imageSizes().contains(QSize(6, 6)));
    for (int page = 0; page < flatProbe.pageCount(); ++page)
        EXPECT_EQ(nestedProbe.imageSizes(page), flatProbe.imageSizes(page)) << page;
    EXPECT_EQ(nestedProbe.text(), flatProbe.text());
}

TEST(DocumentAccess, UntrustedModeMakesNoNetworkRequestAndRunsNoScript)
{
    RecordingServer server;
    ASSERT_TRUE(server.isListening());
    writeFile(QStringLiteral("doc/beside.png"), png(30, 10, qRgb(0, 0, 200)));
    writeFile(QStringLiteral("outside.png"), png(20, 20, qRgb(200, 0, 0)));
    const QString inlineImage =
        QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png(5, 5, 0).toBase64());
    const QString page =
        writeFile(QStringLiteral("doc/page.html"), QStringLiteral(R"(<html><head>
<link rel="stylesheet" href="%1/link.css">
<style>@import url(%1/import.css);
@font-face { font-family: Remote; src: url(%1/font.ttf); }
p { font-family: Remote, serif; background: url(%1/background.png); }</style>
<script src="%1/script.js"></script>
</head><body>
<p>Untrusted text stays</p>
<img src="%1/image.png"><img src="beside.png"><img src="../outside.png"><img src="%2">
<iframe src="%1/frame.html"></iframe><object data="%1/object.html"></object>
<video poster="%1/poster.png" src="%1/video.mp4"></video>
<script>document.write('SCRIPT RAN'); new Image().src = '%1/from-script.png';</script>
</body></html>)")
                                                       .arg(server.url(QString()), inlineImage)
                                                       .toUtf8());

    const QString output = scratchFolder() + QStringLiteral("/out.pdf");
    auto engine = std::make_unique<QUIREX>();
    engine->setProperty("OutputFileName", output);
    UntrustedMode untrusted; // read at BeginDoc, after the object was made
    engine->BeginDoc();
    engine->LoadHTMLFile(page);
    engine->ConvertAll();
    engine->EndDoc();

    EXPECT_EQ(server.requests(), QStringList());
    PdfProbe pdf(output);
    const QString text = pdf.text();
    EXPECT_TRUE(text.contains(QStringLiteral("Untrusted text stays"))) << qPrintable(text);
    EXPECT_FALSE(text.contains(QStringLiteral("SCRIPT RAN")));
    // The image beside the document and the inline one; not the one above its folder.
    const QVector<QSize> images = pdf.imageSizes();
    EXPECT_TRUE(images.contains(QSize(30, 10)));
    EXPECT_TRUE(images.contains(QSize(5, 5)));
    EXPECT_FALSE(images.contains(QSize(20, 20)));

    // A web address the caller loads is fetched, also where it moved to, and nothing the
    // page names; the caller's own script does not run either.
    server.redirect(QStringLiteral("/moved.html"), "/page.html");
    server.serve(QStringLiteral("/page.html"), "text/html",
                 "<p>Web page text</p><img src='/image.png'><script src='/script.js'></script>");
    const QString webOutput = scratchFolder() + QStringLiteral("/web.pdf");
    auto web = std::make_unique<QUIREX>();
    web->setProperty("OutputFileName", webOutput);
    web->BeginDoc();
    web->LoadURL(server.url(QStringLiteral("/moved.html")));
    web->RunJavaScript(QStringLiteral("document.body.textContent = 'CALLER SCRIPT RAN'"));
    web->ConvertAll();
    web->EndDoc();
    EXPECT_EQ(server.requests(), QStringList({QStringLiteral("GET /moved.html HTTP/1.1"),
                                              QStringLiteral("GET /page.html HTTP/1.1")}));
    const QString webText = PdfProbe(webOutput).text();
    EXPECT_TRUE(webText.contains(QStringLiteral("Web page text"))) << qPrintable(webText);
    EXPECT_FALSE(webText.contains(QStringLiteral("CALLER SCRIPT RAN")));
}

TEST(DocumentAccess, LinksAndEncodedDotsLeadNoWhereOutsideTheFolder)
{
    writeFile(QStringLiteral("outside/secret.txt"), "OUTSIDE-SECRET");
    writeFile(QStringLiteral("up-secret.txt"), "UP-SECRET");
    writeFile(QStringLiteral("doc/images/pic.txt"), "INSIDE-DATA");
    const QString root = scratchFolder();
    const QString folder = root + QStringLiteral("/doc");
    ASSERT_TRUE(QFile::link(QStringLiteral("/"), folder + QStringLiteral("/root")));
    ASSERT_TRUE(QFile::link(QStringLiteral("../outside"), folder + QStringLiteral("/linkdir")));
    QDir(folder).mkpath(QStringLiteral("sub"));
    ASSERT_TRUE(QFile::link(QStringLiteral("../images"), folder + QStringLiteral("/sub/images")));
    // A pipe reached the same way would block open() for good.
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + QStringLiteral("/outside/pipe")).constData(), 0600),
              0);
    const QString secretByRoot = QStringLiteral("root/%2e%2e") + root + "/outside/secret.txt";
    const QString page = writeFile(QStringLiteral("doc/leak.html"),
                                   QStringLiteral(R"(<p>Leak page</p><p id="xhr">no script</p>
<img src="linkdir/%2e%2e/outside/pipe"><img src="root/%2e%2e%1">
<iframe src="linkdir/%2e%2e/outside/secret.txt"></iframe>
<iframe src="%2">
</iframe><iframe src="sub/images/%2e%2e/%2e%2e/up-secret.txt"></iframe>
<script>
function read(address) {
  try { var x = new XMLHttpRequest(); x.open('GET', address, false); x.send();
        return x.responseText || 'EMPTY'; } catch (e) { return 'REFUSED'; }
}
document.getElementById('xhr').textContent = ['root=' + read('%2'),
  'linkdir=' + read('linkdir/%2e%2e/outside/secret.txt'),
  'images=' + read('sub/images/%2e%2e/%2e%2e/up-secret.txt'),
  'inside=' + read('sub/images/pic.txt')].join(' ');
</script>)")
                                       .arg(root + QStringLiteral("/outside/pipe"), secretByRoot)
                                       .toUtf8());

    const QString output = scratchFolder() + QStringLiteral("/out.pdf");
    convertFile(page, output);
    const QString text = PdfProbe(output).text().simplified();
    // Scripts read the file inside, nothing outside (refused, or the empty answer of another
    // origin). Frames may still show an outside file: opaquely, as any frame from outside.
    EXPECT_TRUE(text.contains(QStringLiteral("inside=INSIDE-DATA"))) << qPrintable(text);
    const QString reads =
        text.section(QStringLiteral("root="), 1).section(QStringLiteral("inside="), 0, 0);
    EXPECT_FALSE(reads.isEmpty()) << qPrintable(text);
    EXPECT_FALSE(reads.contains(QStringLiteral("SECRET"))) << qPrintable(text);

    // Untrusted: no script, and none of the frames shows a file outside the folder.
    const QString strictOutput = scratchFolder() + QStringLiteral("/strict.pdf");
    {
        UntrustedMode untrusted;
        convertFile(page, strictOutput);
    }
    PdfProbe strict(strictOutput);
    ASSERT_TRUE(strict.isValid()) << strict.error().toStdString();
    const QString strictText = strict.text();
    EXPECT_TRUE(strictText.contains(QStringLiteral("Leak page"))) << qPrintable(strictText);
    EXPECT_FALSE(strictText.contains(QStringLiteral("SECRET"))) << qPrintable(strictText);
    EXPECT_TRUE(
        QDir(scratchFolder()).entryList({QStringLiteral("*.part")}, QDir::Hidden).isEmpty());
}

TEST(DocumentAccess, NoDocumentSendsAnythingButGetAndHead)
{
    RecordingServer server;
    RecordingServer other;
    ASSERT_TRUE(server.isListening() && other.isListening());
    const QString script =
        QStringLiteral(R"(<p>Sending page</p><script>
function attempt(f) { try { f(); } catch (e) {} }
attempt(function () { var x = new XMLHttpRequest(); x.open('POST', '%1/post'); x.send('data'); });
attempt(function () { var x = new XMLHttpRequest(); x.open('DELETE', '%1/delete'); x.send(); });
attempt(function () {
  var x = new XMLHttpRequest(); x.open('PUT', '%2/preflight');
  x.setRequestHeader('X-Custom', '1'); x.send('data'); });
attempt(function () { new WebSocket('%3/socket'); });
attempt(function () {
  var frame = document.createElement('iframe'); document.body.appendChild(frame);
  new frame.contentWindow.WebSocket('%3/framesocket'); });
attempt(function () { navigator.sendBeacon('%1/beacon', 'data'); });
</script>)")
            .arg(server.url(QString()), other.url(QString()),
                 server.url(QString()).replace(QStringLiteral("http:"), QStringLiteral("ws:")));
    server.serve(QStringLiteral("/page.html"), "text/html", script.toUtf8());
    const QString page = writeFile(QStringLiteral("doc/page.html"), script.toUtf8());

    for (const QString &address : {page, server.url(QStringLiteral("/page.html"))}) {
        const QString output = scratchFolder() + QStringLiteral("/out.pdf");
        QUIREX engine;
        engine.setProperty("OutputFileName", output);
        engine.BeginDoc();
        if (address.startsWith(QLatin1String("http")))
            engine.LoadURL(address);
        else
            engine.LoadHTMLFile(address);
        // Time for anything the page sent to arrive.
        engine.Timer(1);
        engine.ConvertAll();
        engine.EndDoc();
        EXPECT_TRUE(PdfProbe(output).text().contains(QStringLiteral("Sending page")));
    }
    EXPECT_EQ(server.requests(), QStringList{QStringLiteral("GET /page.html HTTP/1.1")});
    EXPECT_EQ(other.requests(), QStringList());
}

TEST(DocumentAccess, AnUntrustedLoadFollowsRedirectsOnlyWithinItsOrigin)
{
    RecordingServer server;
    RecordingServer other;
    ASSERT_TRUE(server.isListening() && other.isListening());
    writeFile(QStringLiteral("secret.txt"), "FILE-SECRET");
    other.serve(QStringLiteral("/page.html"), "text/html", "<p>OTHER PORT</p>");
    server.redirect(QStringLiteral("/to-port"), other.url(QStringLiteral("/page.html")).toUtf8());
    server.redirect(
        QStringLiteral("/to-file"),
        QUrl::fromLocalFile(scratchFolder() + QStringLiteral("/secret.txt")).toEncoded());
    UntrustedMode untrusted;
    for (const char *path : {"/to-port", "/to-file"}) {
        const QString output = scratchFolder() + QStringLiteral("/out.pdf");
        QUIREX engine;
        engine.setProperty("OutputFileName", output);
        engine.BeginDoc();
        engine.LoadURL(server.url(QString::fromLatin1(path)));
        engine.ConvertAll();
        engine.EndDoc();
        const QString text = PdfProbe(output).text();
        EXPECT_FALSE(text.contains(QStringLiteral("OTHER PORT"))) << path;
        EXPECT_FALSE(text.contains(QStringLiteral("FILE-SECRET"))) << path;
    }
    EXPECT_EQ(other.requests(), QStringList());
}
