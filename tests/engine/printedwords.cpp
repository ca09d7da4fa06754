#include "printedwords.h"

#include "pdfprobe.h"

#include <QRectF>

namespace quirex::test
{

QString Words::run(int count)
{
    QStringList words;
    for (int i = 0; i < count; ++i)
        words << next();
    return words.join(QLatin1Char(' '));
}

QString Words::word(int number)
{
    return QStringLiteral("w%1").arg(number, 5, 10, QLatin1Char('0'));
}

QMarginsF defaultMarginsInPoints()
{
    constexpr double pointsPerPixel = 72.0 / 96.0;
    return QMarginsF(10 * pointsPerPixel, 40 * pointsPerPixel, 10 * pointsPerPixel,
                     40 * pointsPerPixel);
}

PrintedWords readWords(const QString &pdf, const QMarginsF &margins)
{
    PrintedWords result;
    const PdfProbe probe(pdf);
    constexpr double tolerance = 2.0;
    for (int page = 0; page < probe.pageCount(); ++page) {
        const QSizeF size = probe.pageSizePoints(page);
        const QRectF printable = QRectF(QPointF(0, 0), size)
                                     .marginsRemoved(margins)
                                     .adjusted(-tolerance, -tolerance, tolerance, tolerance);
        for (const PdfWord &word : probe.words(page)) {
            result.pages[word.text].append(page + 1);
            if (!printable.contains(word.box))
                result.outside << QStringLiteral("%1 on page %2 at y %3-%4")
                                      .arg(word.text)
                                      .arg(page + 1)
                                      .arg(word.box.top())
                                      .arg(word.box.bottom());
        }
    }
    return result;
}

QStringList wordsNotPrintedOnce(const PrintedWords &printed, int count)
{
    QStringList problems;
    for (int i = 1; i <= count; ++i) {
        const QString word = Words::word(i);
        const QVector<int> pages = printed.pages.value(word);
        if (pages.size() != 1)
            problems << QStringLiteral("%1 printed %2 times").arg(word).arg(pages.size());
    }
    return problems;
}

std::string firstOf(const QStringList &problems)
{
    return QStringList(problems.mid(0, 8)).join(QStringLiteral("; ")).toStdString();
}

} // namespace quirex::test
