// The command-line batch against one process per file: 100 HTML files of two
// pages, converted once by `quirexdesk /inlist LIST /outdir DIR` and once by
// 100 runs of `quirexdesk FILE OUTPUT`. Prints both times; fails when the
// batch is not at least 3 times faster.
//
// Runs with a registry, config and log folder of its own, so the user's are
// untouched.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace
{

constexpr int kFiles = 100;
constexpr double kRequiredSpeedUp = 3.0;
const QString kBin = QStringLiteral(QUIREX_BIN_DIR);

QByteArray twoPages(int index)
{
    QByteArray html = "<html><body>";
    for (int page = 1; page <= 2; ++page) {
        html += "<div style='page-break-after:" + QByteArray(page == 1 ? "always" : "auto") +
                "'><h1>Document " + QByteArray::number(index) + ", page " +
                QByteArray::number(page) + "</h1>";
        for (int p = 0; p < 6; ++p)
            html += "<p>" +
                    QByteArray("Lorem ipsum dolor sit amet, consectetur adipiscing. ").repeated(6) +
                    "</p>";
        html += "</div>";
    }
    return html + "</body></html>";
}

// Runs quirexdesk; false (with what it said) when it fails.
bool quirexdesk(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(kBin + QStringLiteral("/quirexdesk"), arguments);
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::fprintf(stderr, "commandline_bench: quirexdesk %s failed (exit %d)\n",
                     qPrintable(arguments.join(QLatin1Char(' '))), process.exitCode());
        return false;
    }
    return true;
}

int pdfCount(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files).size();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    qputenv("QUIREX_REGISTRY", QFile::encodeName(folder.filePath(QStringLiteral("registry.ini"))));
    qputenv("QUIREX_LOG_DIR", QFile::encodeName(folder.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath(QStringLiteral("config"))));
    if (QProcess::execute(kBin + QStringLiteral("/regsvr"),
                          {QStringLiteral("-s"), kBin + QStringLiteral("/quirex.so")}) != 0) {
        std::fprintf(stderr, "commandline_bench: cannot register the engine component\n");
        return 1;
    }
    const QString inputs = folder.filePath(QStringLiteral("in"));
    const QString batchOut = folder.filePath(QStringLiteral("batch"));
    const QString singleOut = folder.filePath(QStringLiteral("single"));
    for (const QString &path : {inputs, batchOut, singleOut})
        QDir().mkpath(path);
    QByteArray list;
    QStringList files;
    for (int i = 0; i < kFiles; ++i) {
        const QString path = inputs + QStringLiteral("/doc%1.html").arg(i, 3, 10, QLatin1Char('0'));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(twoPages(i)) < 0)
            return 1;
        files.append(path);
        list += QFile::encodeName(path) + '\n';
    }
    const QString listPath = folder.filePath(QStringLiteral("list.txt"));
    QFile listFile(listPath);
    if (!listFile.open(QIODevice::WriteOnly) || listFile.write(list) < 0)
        return 1;
    listFile.close();

    QElapsedTimer timer;
    timer.start();
    if (!quirexdesk({QStringLiteral("/inlist"), listPath, QStringLiteral("/outdir"), batchOut}))
        return 1;
    const double batch = timer.nsecsElapsed() / 1e9;

    timer.restart();
    for (const QString &path : qAsConst(files))
        if (!quirexdesk({path, singleOut + path.mid(path.lastIndexOf(QLatin1Char('/'))) +
                                   QStringLiteral(".pdf")}))
            return 1;
    const double single = timer.nsecsElapsed() / 1e9;

    if (pdfCount(batchOut) != kFiles || pdfCount(singleOut) != kFiles) {
        std::fprintf(stderr, "commandline_bench: PDFs missing (%d batch, %d single)\n",
                     pdfCount(batchOut), pdfCount(singleOut));
        return 1;
    }
    const double speedUp = single / batch;
    std::printf("files: %d (2 pages each)\n", kFiles);
    std::printf("batch, one process (/inlist LIST /outdir DIR): %.2f s\n", batch);
    std::printf("one process per file:                          %.2f s\n", single);
    std::printf("batch is %.1f times faster (required: %.0f)\n", speedUp, kRequiredSpeedUp);
    return speedUp >= kRequiredSpeedUp ? 0 : 1;
}
