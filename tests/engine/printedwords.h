#pragma once

// Words that occur once in a generated document, and where a printed file
// shows them: for tests that check that no line is cut between pages and that
// the text layer holds every word once.

#include <QHash>
#include <QMarginsF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <string>

namespace quirex::test
{

// Hands out words that occur once in a document ("w00001", "w00002", ...),
// so that each can be found on exactly one page.
class Words final
{
public:
    QString next() { return word(++m_count); }
    QString run(int count);
    int count() const { return m_count; }
    static QString word(int number);

private:
    int m_count = 0;
};

// The pages each word of a PDF lies on (1-based, once per occurrence), and
// every word box that reaches outside the printable area of its page.
struct PrintedWords {
    QHash<QString, QVector<int>> pages;
    QStringList outside;
};

// The engine's default margins (10, 40, 10, 40 pixels) in points.
QMarginsF defaultMarginsInPoints();

// Reads the words of `pdf`; boxes may reach two points past `margins`
// (word boxes are the font's full height).
PrintedWords readWords(const QString &pdf, const QMarginsF &margins = defaultMarginsInPoints());

// Words 1 to `count` of Words missing from `printed`, or printed more than once.
QStringList wordsNotPrintedOnce(const PrintedWords &printed, int count);

// The first few problems, for a failure message.
std::string firstOf(const QStringList &problems);

} // namespace quirex::test
