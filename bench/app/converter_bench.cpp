// Converts 100 HTML files of two pages each, one after another, through one
// converter object in one process, as a batch run does: the engine component
// is created by ProgID for every file. Prints files per second and the time
// of the first file (which also pays for starting the web engine).
//
// Runs in a registry and log folder of its own, so the user's are untouched.
#include "converter.h"
#include "headlessapplication.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace
{

constexpr int kFiles = 100;

QByteArray twoPages(int index)
{
    QByteArray html =
        "<html><head><title>File " + QByteArray::number(index) + "</title></head><body>";
    for (int page = 1; page <= 2; ++page) {
        html += "<div style='page-break-after:" + QByteArray(page == 1 ? "always" : "auto") +
                "'><h1>File " + QByteArray::number(index) + ", page " + QByteArray::number(page) +
                "</h1>";
        for (int p = 0; p < 8; ++p) {
            html += "<p>";
            for (int w = 0; w < 40; ++w)
                html += "word" + QByteArray::number(w) + ' ';
            html += "<a href='https://example.org/" + QByteArray::number(p) + "'>link</a></p>";
        }
        html += "</div>";
    }
    return html + "</body></html>";
}

bool registerComponent(const QString &library)
{
    return QProcess::execute(
               QStringLiteral(QUIREX_BIN_DIR "/regsvr"),
               {QStringLiteral("-s"), QStringLiteral(QUIREX_BIN_DIR "/") + library}) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir folder;
    qputenv("QUIREX_REGISTRY", QFile::encodeName(folder.filePath(QStringLiteral("registry.ini"))));
    qputenv("QUIREX_LOG_DIR", QFile::encodeName(folder.path()));
    quirex::platform::chooseHeadlessPlatformIfNoDisplay();
    QApplication app(argc, argv);
    if (!registerComponent(QStringLiteral("quirex.so"))) {
        std::fprintf(stderr, "converter_bench: cannot register the engine component\n");
        return 1;
    }
    for (int i = 0; i < kFiles; ++i) {
        QFile file(folder.filePath(QStringLiteral("file%1.html").arg(i)));
        if (!file.open(QIODevice::WriteOnly) || file.write(twoPages(i)) < 0)
            return 1;
    }

    quirex::app::CConverter converter;
    converter.setMessagesEnabled(false);
    converter.settings().PageNumbers = true;
    QElapsedTimer timer;
    timer.start();
    double firstSeconds = 0;
    int failed = 0;
    for (int i = 0; i < kFiles; ++i) {
        const QString input = folder.filePath(QStringLiteral("file%1.html").arg(i));
        failed += converter.Convert(input, input + QStringLiteral(".pdf")) != 0;
        if (i == 0)
            firstSeconds = timer.nsecsElapsed() / 1e9;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("files: %d (2 pages each), failed: %d\n", kFiles, failed);
    std::printf("first file: %.3f s\n", firstSeconds);
    std::printf("total: %.2f s, %.2f files per second\n", seconds, kFiles / seconds);
    return failed == 0 ? 0 : 1;
}
