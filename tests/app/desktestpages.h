#pragma once

// Helpers shared by the tests that run the quirexdesk program.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QVector>

#include <algorithm>

namespace quirex::test
{

// A negative exit code as the shell shows it (-6 reads 250).
inline int shell(int code)
{
    return code & 0xFF;
}

// An HTML document of `pages` pages, each a paragraph "LABEL page N".
inline QByteArray pagesHtml(const QByteArray &label, int pages)
{
    QByteArray html = "<html><body>";
    for (int page = 1; page <= pages; ++page)
        html += "<div style='page-break-after:" + QByteArray(page < pages ? "always" : "auto") +
                "'><p>" + label + " page " + QByteArray::number(page) + "</p></div>";
    return html + "</body></html>";
}

// A page whose scripts keep its conversion busy for about nine seconds, in
// stretches short enough that the engine lets each of them run: time for a
// test to do something to the process converting it.
inline QByteArray slowHtml(const QByteArray &label)
{
    QByteArray html = "<html><body><p>" + label + "</p>";
    for (int i = 0; i < 6; ++i)
        html += "<script>var t = Date.now(); while (Date.now() - t < 1500) {}</script>";
    return html + "</body></html>";
}

// A page whose script never ends and that the engine does not stop.
// The web engine's own run limit stops such a loop only some of the time (its timer may fire
// early and then never again); without it the page is endless for sure, and the run's time
// limit is what ends it. Call before the programs that convert it start.
inline void letScriptsRunWithoutLimit()
{
    qputenv("JSC_watchdog", "0");
}

inline QByteArray endlessHtml()
{
    return "<html><body><p>endless</p><script>var s = ''; while (true) { s = s + 'a'; "
           "if (s.length > 100) s = ''; }</script></body></html>";
}

// The processes whose parent is `parent`, from /proc, in the order of their ids.
inline QVector<qint64> childProcesses(qint64 parent)
{
    QVector<qint64> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "PID (NAME) STATE PPID ...": the name may hold blanks and parentheses.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toLongLong() == parent)
            children.append(pid);
    }
    std::sort(children.begin(), children.end());
    return children;
}

// Whether process `pid` still exists (and is not a zombie).
inline bool processAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    return text.mid(text.lastIndexOf(')') + 2, 1) != "Z";
}

// The hidden files of `folder` (temporaries and staging files a run may leave).
inline QStringList hiddenFiles(const QString &folder)
{
    QStringList hidden;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (name.startsWith(QLatin1Char('.')))
            hidden.append(name);
    return hidden;
}

} // namespace quirex::test
