// Converts generated documents shaped like real manuals (a table of
// contents, thousands of internal and external links, long code blocks,
// nested and definition lists, tables with wrapped cells; 10 to 200 pages)
// through the engine, driven by quirexscript as any client drives it, and
// through a peer converter given on the command line, one document at a time
// and alternating between the two. Prints per-document times, peak memory
// and the geometric mean of the time ratios (engine / peer).
//
//   manual_bench QUIREXSCRIPT [PEER [PEER-ARGUMENT ...]]
//
// Without a peer only the engine runs. The peer is called as
// PEER PEER-ARGUMENT... INPUT.html OUTPUT.pdf.
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace
{

// A small deterministic generator, so every run converts the same bytes.
class Random
{
public:
    unsigned next(unsigned bound)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>(m_state >> 33) % bound;
    }

private:
    unsigned long long m_state = 42;
};

const char *const kWords[] = {"engine",  "page",    "document", "option", "value",  "setting",
                              "returns", "file",    "printer",  "margin", "output", "layout",
                              "table",   "element", "the",      "a",      "of",     "when",
                              "with",    "for",     "every",    "is",     "and",    "to"};

QByteArray words(Random &random, int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        text += kWords[random.next(sizeof kWords / sizeof kWords[0])];
        text += ' ';
    }
    return text;
}

// A section fills about 0.6 of a page: prose with links, then one of a code
// block, a table, nested lists or a definition list.
QByteArray generateManual(int pages, Random &random)
{
    const int sections = pages;
    QByteArray html = "<!DOCTYPE html><html><head><meta charset='utf-8'><title>Manual</title>"
                      "<style>body{font-family:sans-serif;font-size:14px}"
                      "pre{background:#f4f4f4;font-size:12px}"
                      "table{border-collapse:collapse;width:100%}"
                      "td,th{border:1px solid #999;padding:3px;vertical-align:top}</style>"
                      "</head><body><h1 id='top'>Reference manual</h1><h2>Contents</h2><ul>";
    for (int s = 0; s < sections; ++s)
        html += "<li><a href='#sec" + QByteArray::number(s) + "'>" + QByteArray::number(s + 1) +
                ". Section " + QByteArray::number(s + 1) + "</a></li>";
    html += "</ul>";
    for (int s = 0; s < sections; ++s) {
        if (s % 10 == 0)
            html += "<h1>Chapter " + QByteArray::number(s / 10 + 1) + "</h1>";
        html += "<a name='anchor" + QByteArray::number(s) + "'></a><h2 id='sec" +
                QByteArray::number(s) + "'>" + QByteArray::number(s + 1) + ". Section " +
                QByteArray::number(s + 1) + "</h2>";
        for (int p = 0; p < 3; ++p) {
            html += "<p>" + words(random, 25);
            for (int l = 0; l < 4; ++l) {
                const int to = static_cast<int>(random.next(sections));
                html += l % 2 ? "<a href='#sec" + QByteArray::number(to) + "'>see section " +
                                    QByteArray::number(to + 1) + "</a> "
                              : "<a href='#anchor" + QByteArray::number(to) + "'>anchor " +
                                    QByteArray::number(to) + "</a> ";
                html += words(random, 6);
            }
            html += "<a href='https://example.org/api/" + QByteArray::number(s) + "/" +
                    QByteArray::number(p) + "'>external reference</a> " + words(random, 10) +
                    "</p>";
        }
        switch (s % 4) {
        case 0:
            html += "<pre>";
            for (int line = 0; line < 24; ++line)
                html += "    call(" + QByteArray::number(line) + ", \"" + words(random, 5) +
                        "\");  // " + words(random, 4) + "\n";
            html += "</pre>";
            break;
        case 1:
            html += "<table><tr><th>Name</th><th>Type</th><th>Description</th></tr>";
            for (int row = 0; row < 6; ++row)
                html += "<tr><td>Option" + QByteArray::number(row) + "</td><td>int</td><td>" +
                        words(random, 30) + "<a href='#sec" + QByteArray::number(s) +
                        "'>here</a></td></tr>";
            html += "</table>";
            break;
        case 2:
            html += "<ul>";
            for (int item = 0; item < 4; ++item) {
                html += "<li>" + words(random, 8) + "<ol>";
                for (int sub = 0; sub < 3; ++sub)
                    html += "<li>" + words(random, 6) + "<a href='#sec" +
                            QByteArray::number(random.next(sections)) + "'>link</a></li>";
                html += "</ol></li>";
            }
            html += "</ul>";
            break;
        default:
            html += "<dl>";
            for (int term = 0; term < 6; ++term)
                html += "<dt>Term " + QByteArray::number(term) + "</dt><dd>" + words(random, 20) +
                        "<a href='https://example.org/terms/" + QByteArray::number(term) +
                        "'>more</a></dd>";
            html += "</dl>";
            break;
        }
    }
    return html + "<p><a href='#top'>Back to the top</a></p></body></html>";
}

struct Run {
    double seconds = 0;
    double cpuSeconds = 0;
    long peakKilobytes = 0;
    long peakPrivateKilobytes = 0;
    bool ok = false;
};

// The child's private (anonymous) resident memory now, in KiB; 0 once it is
// gone. Its peak resident set also counts the pages of shared libraries it
// has touched, which other processes share and the system may drop.
long privateKilobytes(pid_t child)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(child));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("RssAnon:"))
            return line.mid(8).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Runs a program, feeding `input` on its standard input; wall time, the
// peak resident memory of the child and its peak private memory, sampled
// every millisecond.
Run runProgram(const QStringList &command, const QByteArray &input)
{
    Run run;
    std::vector<QByteArray> storage;
    std::vector<char *> argv;
    for (const QString &part : command)
        storage.push_back(QFile::encodeName(part));
    for (QByteArray &part : storage)
        argv.push_back(part.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[0]);
    if (spawned != 0) {
        close(pipeFds[1]);
        return run;
    }
    if (!input.isEmpty() && write(pipeFds[1], input.constData(), input.size()) < 0)
        std::perror("write");
    close(pipeFds[1]);
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, WNOHANG, &usage) == 0) {
        run.peakPrivateKilobytes = std::max(run.peakPrivateKilobytes, privateKilobytes(child));
        usleep(1000);
    }
    run.seconds = timer.nsecsElapsed() / 1e9;
    run.peakKilobytes = usage.ru_maxrss;
    run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                     (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

constexpr int kRounds = 3;

// The median time and CPU time of several runs of one program, the largest
// peaks; ok when all were.
Run median(std::vector<Run> runs)
{
    Run result;
    if (runs.empty())
        return result;
    const auto middle = [&runs](double Run::*field) {
        std::vector<double> values;
        for (const Run &run : runs)
            values.push_back(run.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    result.seconds = middle(&Run::seconds);
    result.cpuSeconds = middle(&Run::cpuSeconds);
    result.ok = true;
    for (const Run &run : runs) {
        result.peakKilobytes = std::max(result.peakKilobytes, run.peakKilobytes);
        result.peakPrivateKilobytes =
            std::max(result.peakPrivateKilobytes, run.peakPrivateKilobytes);
        result.ok = result.ok && run.ok;
    }
    return result;
}

int pageCount(const QString &pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(60000);
    for (const QByteArray &line : info.readAllStandardOutput().split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return 0;
}

QByteArray engineScript(const QString &input, const QString &output, bool links)
{
    return "create quirex.QUIREX\nput OutputFileName \"" + QFile::encodeName(output) + "\"\n" +
           (links ? "" : "put PreserveLinks false\n") + "call BeginDoc\ncall LoadHTMLFile \"" +
           QFile::encodeName(input) + "\"\ncall ConvertAll\ncall EndDoc\nrelease\n";
}

// Sections; about 0.6 of a page each, so 10 to 200 pages.
const int kSizes[] = {18, 45, 90, 175, 260, 345};

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s QUIREXSCRIPT [PEER [PEER-ARGUMENT ...]]\n"
                     "       %s --write-documents FOLDER\n",
                     argv[0], argv[0]);
        return 2;
    }
    // Only writes the documents, for bench/compare-builds.sh.
    if (argc == 3 && std::strcmp(argv[1], "--write-documents") == 0) {
        Random random;
        for (const int size : kSizes) {
            QFile file(QFile::decodeName(argv[2]) + QStringLiteral("/manual-%1.html").arg(size));
            if (!file.open(QIODevice::WriteOnly))
                return 1;
            file.write(generateManual(size, random));
        }
        return 0;
    }
    const QString script = QFile::decodeName(argv[1]);
    QStringList peer;
    for (int i = 2; i < argc; ++i)
        peer << QFile::decodeName(argv[i]);

    QTemporaryDir folder;
    Random random;
    // CPU time beside wall time: on a shared machine the wall clock also
    // counts other programs.
    std::printf("%-12s %6s %6s %9s %9s %6s %9s %9s %6s %10s %10s %9s %9s\n", "document", "pages",
                "peer", "engine s", "peer s", "ratio", "eng CPU s", "peer CPU", "ratio",
                "engine MiB", "peer MiB", "eng priv", "peer priv");
    double logSum = 0, cpuLogSum = 0, linkedCpu = 0, unlinkedCpu = 0;
    int compared = 0;
    long enginePeak = 0, peerPeak = 0, enginePrivate = 0, peerPrivate = 0;
    for (const int size : kSizes) {
        const QString name = QStringLiteral("manual-%1").arg(size);
        const QString input = folder.filePath(name + QStringLiteral(".html"));
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(generateManual(size, random));
        file.close();

        // Three rounds; each program goes first in every other one, so neither
        // always finds the caches warmed by the other.
        const QString engineOutput = folder.filePath(name + QStringLiteral("-engine.pdf"));
        const QString peerOutput = folder.filePath(name + QStringLiteral("-peer.pdf"));
        std::vector<Run> engineRuns, unlinkedRuns, peerRuns;
        for (int round = 0; round < kRounds; ++round) {
            const bool peerFirst = round % 2 == 1;
            if (peerFirst && !peer.isEmpty())
                peerRuns.push_back(runProgram(QStringList(peer) << input << peerOutput, {}));
            engineRuns.push_back(runProgram({script}, engineScript(input, engineOutput, true)));
            unlinkedRuns.push_back(runProgram({script}, engineScript(input, engineOutput, false)));
            if (!peerFirst && !peer.isEmpty())
                peerRuns.push_back(runProgram(QStringList(peer) << input << peerOutput, {}));
        }
        const Run engine = median(engineRuns);
        const Run unlinked = median(unlinkedRuns);
        const Run other = median(peerRuns);
        linkedCpu += engine.cpuSeconds;
        unlinkedCpu += unlinked.cpuSeconds;

        const int pages = engine.ok ? pageCount(engineOutput) : 0;
        const int peerPages = other.ok ? pageCount(peerOutput) : 0;
        double ratio = 0, cpuRatio = 0;
        if (engine.ok && other.ok && other.seconds > 0 && other.cpuSeconds > 0) {
            ratio = engine.seconds / other.seconds;
            cpuRatio = engine.cpuSeconds / other.cpuSeconds;
            logSum += std::log(ratio);
            cpuLogSum += std::log(cpuRatio);
            ++compared;
        }
        enginePeak = std::max(enginePeak, engine.peakKilobytes);
        peerPeak = std::max(peerPeak, other.peakKilobytes);
        enginePrivate = std::max(enginePrivate, engine.peakPrivateKilobytes);
        peerPrivate = std::max(peerPrivate, other.peakPrivateKilobytes);
        std::printf(
            "%-12s %6d %6d %9.2f %9.2f %6.2f %9.2f %9.2f %6.2f %10.1f %10.1f %9.1f %9.1f%s\n",
            qPrintable(name), pages, peerPages, engine.seconds, other.seconds, ratio,
            engine.cpuSeconds, other.cpuSeconds, cpuRatio, engine.peakKilobytes / 1024.0,
            other.peakKilobytes / 1024.0, engine.peakPrivateKilobytes / 1024.0,
            other.peakPrivateKilobytes / 1024.0, engine.ok ? "" : "  (engine failed)");
        std::fflush(stdout);
    }
    if (compared > 0)
        std::printf("geometric mean of the time ratios (engine / peer) over %d documents: "
                    "%.2f wall, %.2f CPU\n",
                    compared, std::exp(logSum / compared), std::exp(cpuLogSum / compared));
    // Each round also runs the engine with PreserveLinks off.
    if (linkedCpu > 0)
        std::printf("links (annotations and jumps): %.1f %% of the engine's CPU time\n",
                    100 * (linkedCpu - unlinkedCpu) / linkedCpu);
    std::printf("largest peak memory (resident): engine %.1f MiB, peer %.1f MiB\n",
                enginePeak / 1024.0, peerPeak / 1024.0);
    std::printf(
        "largest peak private memory (anonymous, sampled): engine %.1f MiB, peer %.1f MiB\n",
        enginePrivate / 1024.0, peerPrivate / 1024.0);
    return 0;
}
