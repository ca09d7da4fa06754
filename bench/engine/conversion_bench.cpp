// Converts generated documents of about 10, 100, 1,000 and 5,000 pages
// through the engine (load, every page, end) and prints pages, wall time,
// time per page and peak memory, then the time per page of the largest
// document against that of 100 pages. Each size runs in a child process of
// its own, so its peak memory is its own; documents under 1,000 pages run
// three times and the fastest run counts. Cost must grow linearly with the
// document: a page may cost at most 1.2 times as much at 5,000 pages.
#include "headlessapplication.h"
#include "quirex.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/resource.h>

namespace
{

// About two and three quarter sections fill an A4 page.
QByteArray generateDocument(int pages)
{
    QByteArray html = "<html><head><style>table{border-collapse:collapse}"
                      "td{border:1px solid #888;padding:2px}</style></head><body>";
    const int sections = pages * 11 / 4;
    for (int s = 0; s < sections; ++s) {
        html += "<h2 id='section" + QByteArray::number(s) + "'>Section " + QByteArray::number(s) +
                "</h2>";
        for (int p = 0; p < 2; ++p) {
            html += "<p>";
            for (int w = 0; w < 60; ++w)
                html += "word" + QByteArray::number(w) + " ";
            html += "<a href='#section" + QByteArray::number(s + 1) +
                    "'>next</a> and "
                    "<a href='https://example.org/" +
                    QByteArray::number(s) + "'>more</a></p>";
        }
        html += "<table><tr><td>a</td><td>b</td><td>c</td></tr><tr><td>1</td><td>2</td>"
                "<td>3</td></tr></table><img src='picture.png' width=120 height=40>";
    }
    return html + "</body></html>";
}

struct Result {
    int pages = 0;
    double seconds = 0;
    double cpuSeconds = 0;
    long peakKilobytes = 0;
};

// Writes the document of `pages` pages as `name` into `folder`, with the
// picture it shows beside it.
QString writeDocument(const QDir &folder, const QString &name, int pages)
{
    QImage picture(120, 40, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 160));
    picture.save(folder.filePath(QStringLiteral("picture.png")));
    QFile file(folder.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(generateDocument(pages));
    return file.fileName();
}

Result convert(int pages)
{
    QTemporaryDir folder;
    QFile file(writeDocument(QDir(folder.path()), QStringLiteral("document.html"), pages));

    QElapsedTimer timer;
    timer.start();
    Result result;
    {
        QUIREX engine;
        engine.setProperty("OutputFileName", folder.filePath(QStringLiteral("document.pdf")));
        engine.BeginDoc();
        engine.LoadHTMLFile(file.fileName());
        result.pages = engine.numberOfPages();
        for (int page = 1; page <= result.pages; ++page)
            engine.ConvertPage(page);
        engine.EndDoc();
    }
    result.seconds = timer.nsecsElapsed() / 1e9;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    result.peakKilobytes = usage.ru_maxrss;
    result.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                        (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    quirex::platform::chooseHeadlessPlatformIfNoDisplay();
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
        const Result r = convert(std::atoi(argv[2]));
        std::printf("%d %.3f %.3f %ld\n", r.pages, r.seconds, r.cpuSeconds, r.peakKilobytes);
        return 0;
    }
    // --write-documents FOLDER [PAGES ...]: only writes the documents, for
    // bench/compare-builds.sh.
    const bool writeOnly = argc >= 3 && std::strcmp(argv[1], "--write-documents") == 0;
    std::vector<int> sizes;
    for (int i = writeOnly ? 3 : 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {10, 100, 1000, 5000};
    if (writeOnly) {
        const QDir folder(QFile::decodeName(argv[2]));
        for (const int size : sizes)
            writeDocument(folder, QStringLiteral("conversion-%1.html").arg(size), size);
        return 0;
    }
    // CPU time beside wall time: on a shared machine the wall clock also
    // counts other programs.
    std::printf("%8s %10s %14s %18s %12s\n", "pages", "wall s", "ms per page", "CPU ms per page",
                "peak MiB");
    double perPageAt100 = 0, perPageLargest = 0, cpuAt100 = 0, cpuLargest = 0;
    for (const int size : sizes) {
        // A short document takes well under a second, where other programs
        // on the machine weigh most: the fastest of three runs counts.
        const int runs = size < 1000 ? 3 : 1;
        Result r;
        for (int run = 0; run < runs; ++run) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--child"), QString::number(size)});
            child.waitForFinished(-1);
            Result one;
            std::sscanf(child.readAllStandardOutput().constData(), "%d %lf %lf %ld", &one.pages,
                        &one.seconds, &one.cpuSeconds, &one.peakKilobytes);
            if (run == 0 || one.seconds < r.seconds)
                r = one;
        }
        const double perPage = r.pages ? 1000 * r.seconds / r.pages : 0.0;
        const double cpuPerPage = r.pages ? 1000 * r.cpuSeconds / r.pages : 0.0;
        std::printf("%8d %10.2f %14.2f %18.2f %12.1f\n", r.pages, r.seconds, perPage, cpuPerPage,
                    r.peakKilobytes / 1024.0);
        std::fflush(stdout);
        if (size == 100) {
            perPageAt100 = perPage;
            cpuAt100 = cpuPerPage;
        }
        perPageLargest = perPage;
        cpuLargest = cpuPerPage;
    }
    if (perPageAt100 > 0 && sizes.back() != 100)
        std::printf("time per page at %d against 100 pages: %.2f (CPU time: %.2f)\n", sizes.back(),
                    perPageLargest / perPageAt100, cpuLargest / cpuAt100);
    return 0;
}
