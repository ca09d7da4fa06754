#include "pdfprobe.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

using quirex::test::PdfProbe;
using quirex::test::scratchFolder;
using quirex::test::writeFile;

namespace
{

// Runs one load and prints the first page; the output must be a valid PDF.
class BadInput : public ::testing::Test
{
protected:
    template <typename Load> void convert(Load load)
    {
        output = scratchFolder() + QStringLiteral("/bad.pdf");
        engine->setProperty("OutputFileName", output);
        engine->BeginDoc();
        load();
        engine->ConvertPage(1);
        engine->EndDoc();
    }

    void expectValidPdf()
    {
        PdfProbe pdf(output);
        ASSERT_TRUE(pdf.isValid()) << pdf.error().toStdString();
        EXPECT_EQ(pdf.pageCount(), 1);
        EXPECT_FALSE(pdf.text().contains(QStringLiteral("Failed to load")));
    }

    std::unique_ptr<QUIREX> engine = std::make_unique<QUIREX>();
    QString output;
};

// A local server that accepts connections, sends `reply` (maybe nothing),
// and never finishes the answer.
class StallingServer : public QTcpServer
{
public:
    explicit StallingServer(QByteArray reply)
        : m_reply(std::move(reply))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket, this] {
                    socket->readAll();
                    if (!m_reply.isEmpty())
                        socket->write(m_reply);
                });
            }
        });
        listen(QHostAddress::LocalHost);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(serverPort()); }

private:
    QByteArray m_reply;
};

} // namespace

TEST_F(BadInput, MissingFilePrintsAnEmptyPage)
{
    convert([&] { engine->LoadHTMLFile(scratchFolder() + QStringLiteral("/missing.html")); });
    expectValidPdf();
}

TEST_F(BadInput, EmptyFile)
{
    const QString path = writeFile(QStringLiteral("empty.html"), QByteArray());
    convert([&] { engine->LoadHTMLFile(path); });
    expectValidPdf();
}

TEST_F(BadInput, BinaryFileNamedHtml)
{
    QByteArray bytes(256 * 1024, '\0');
    QRandomGenerator random(42);
    for (char &byte : bytes)
        byte = static_cast<char>(random.bounded(256));
    const QString path = writeFile(QStringLiteral("binary.html"), bytes);
    convert([&] { engine->LoadHTMLFile(path); });
    expectValidPdf();
}

TEST_F(BadInput, MalformedMarkup)
{
    convert([&] {
        engine->LoadHTMLString(QStringLiteral("<table><tr><td><p><b>unclosed <i>tags</table></div>"
                                              "</span><<<>>><!-- no end"));
    });
    expectValidPdf();
}

TEST_F(BadInput, DocumentOfTwentyMegabytes)
{
    QByteArray html = "<html><body>";
    const QByteArray paragraph = "<p>" + QByteArray(990, 'x') + "</p>\n";
    while (html.size() < 20 * 1024 * 1024)
        html += paragraph;
    const QString path = writeFile(QStringLiteral("huge.html"), html + "</body></html>");
    convert([&] { engine->LoadHTMLFile(path); });
    EXPECT_GT(engine->numberOfPages(), 100);
    expectValidPdf();
}

TEST_F(BadInput, UnresolvableUrl)
{
    convert([&] { engine->LoadURL(QStringLiteral("http://no-such-host.invalid/")); });
    expectValidPdf();
}

TEST_F(BadInput, ServerThatNeverAnswersIsGivenUpAfterThePageTimeout)
{
    StallingServer server{QByteArray()};
    engine->setProperty("PageTimeout", 2);
    QElapsedTimer timer;
    timer.start();
    convert([&] { engine->LoadURL(server.url()); });
    EXPECT_GE(timer.elapsed(), 1500);
    EXPECT_LT(timer.elapsed(), 15000);
    expectValidPdf();
}

TEST_F(BadInput, PartOfAStalledPageThatLoadedIsPrinted)
{
    // Enough text for the web engine to start parsing before the end.
    StallingServer server{QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n"
                                     "<html><body><p>Partial text arrived</p>") +
                          QByteArray(4096, ' ') + "<p>more</p>"};
    engine->setProperty("PageTimeout", 2);
    convert([&] { engine->LoadURL(server.url()); });
    expectValidPdf();
    EXPECT_TRUE(PdfProbe(output).text().contains(QStringLiteral("Partial text arrived")));
}

TEST_F(BadInput, ZeroPageTimeoutGivesTheLoadNoTime)
{
    StallingServer server{QByteArray()};
    engine->setProperty("PageTimeout", 0);
    QElapsedTimer timer;
    timer.start();
    convert([&] { engine->LoadURL(server.url()); });
    EXPECT_LT(timer.elapsed(), 5000);
    expectValidPdf();
}

TEST_F(BadInput, NegativeTimerWaitsNoTime)
{
    QElapsedTimer timer;
    timer.start();
    engine->Timer(-5);
    engine->Timer(0);
    EXPECT_LT(timer.elapsed(), 1000);
}

TEST_F(BadInput, AbsurdOptionValuesStillGiveAPdf)
{
    engine->setProperty("ContentZoomFactor", 0);
    engine->setProperty("MarginLeft", 5000);
    engine->setProperty("MarginTop", -300);
    engine->SetCustomPaperSize(-1, 1e12);
    convert([&] { engine->LoadHTMLString(QStringLiteral("<p>Still here</p>")); });
    expectValidPdf();
}
