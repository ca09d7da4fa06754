// A document's scripts finish what they left for after its load (timeouts,
// chained ones, intervals, string code, a file read) within JavaScriptDelay,
// and the wait ends with that work rather than at the delay.
#include "pdfprobe.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

using quirex::test::PdfProbe;

namespace
{

const char kLateWork[] = R"(<html><body>
<p id=a>A0</p><p id=b>B0</p><p id=c>C0</p><p id=d>D0</p><p id=e>E0</p><p id=f>F0</p>
<script>
setTimeout(function () {
  a.textContent = 'TIMEOUTDONE';
  setTimeout(function (word) { b.textContent = word; }, 50, 'CHAINDONE');
}, 100);
var ticks = 0, ticking = setInterval(function () {
  if (++ticks === 3) { clearInterval(ticking); c.textContent = 'INTERVALDONE'; }
}, 30);
setTimeout("d.textContent = 'STRINGDONE'", 60);
clearTimeout(setTimeout(function () { e.textContent = 'CLEAREDRAN'; }, 100000));
setTimeout(function () {
  var request = new XMLHttpRequest();
  request.onload = function () { f.textContent = request.responseText; };
  request.open('GET', 'late.txt');
  request.send();
}, 20);
</script></body></html>)";

QString convert(const QString &page, int delayMs, const QString &name)
{
    QUIREX engine;
    const QString output = quirex::test::scratchFolder() + QLatin1Char('/') + name;
    engine.setJavaScriptDelay(delayMs);
    engine.setOutputFileName(output);
    engine.BeginDoc();
    engine.LoadHTMLFile(page);
    for (int number = 1; number <= engine.numberOfPages(); ++number)
        engine.ConvertPage(number);
    engine.EndDoc();
    return PdfProbe(output).text();
}

} // namespace

TEST(ScriptDelay, LateWorkIsPrintedAndTheWaitEndsWithIt)
{
    QDir().mkpath(qEnvironmentVariable("QUIREX_LOG_DIR"));
    const QString folder = quirex::test::scratchFolder();
    const QString page = folder + QStringLiteral("/late.html");
    QFile html(page);
    ASSERT_TRUE(html.open(QIODevice::WriteOnly));
    html.write(kLateWork);
    html.close();
    QFile text(folder + QStringLiteral("/late.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("READDONE");
    text.close();

    // A minute allowed: the work is over after about 150 ms, and so is the wait.
    QElapsedTimer clock;
    clock.start();
    const QString waited = convert(page, 60000, QStringLiteral("waited.pdf"));
    EXPECT_LT(clock.elapsed(), 30000);
    for (const char *word :
         {"TIMEOUTDONE", "CHAINDONE", "INTERVALDONE", "STRINGDONE", "READDONE", "E0"})
        EXPECT_TRUE(waited.contains(QLatin1String(word))) << word << "\n" << qPrintable(waited);
    EXPECT_FALSE(waited.contains(QStringLiteral("CLEAREDRAN")));

    // Without a delay the document is printed as its load left it.
    const QString at = convert(page, 0, QStringLiteral("atonce.pdf"));
    EXPECT_TRUE(at.contains(QStringLiteral("A0")) && at.contains(QStringLiteral("C0")))
        << qPrintable(at);
}
