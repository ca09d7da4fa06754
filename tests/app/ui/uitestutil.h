#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QMimeData;

#include <functional>
#include <ostream>

// Readable QStrings in test failures.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '{';
    for (const QString &text : list)
        *os << "\n  \"" << text.toStdString() << '"';
    *os << '}';
}

// Helpers of the window tests: find controls by their id, answer modal
// dialogs and message boxes, record what the desktop was asked to open.
namespace quirex::test
{

// The child of `parent` whose object name is `id` (a control id), or null.
template <typename T> T *control(const QWidget *parent, const char *id)
{
    return parent->findChild<T *>(QString::fromLatin1(id));
}

// Runs `answer` on the next modal dialog once it is shown (polled from the
// event loop the dialog runs). `answer` must end the dialog.
void answerNextModal(std::function<void(QWidget *dialog)> answer);

// Drops `data` at `at` on `target` as a drag from outside would: Qt hands a
// drop only to the widget that accepted the drag's entry.
void dropOn(QWidget *target, const QPoint &at, const QMimeData *data, Qt::DropAction action);

// Collects the one-line form of the message boxes shown while it lives
// (windows tests run on the offscreen platform, where boxes never block).
class BoxRecorder final
{
public:
    BoxRecorder();
    ~BoxRecorder();
    QStringList lines;
};

// Replaces the desktop's opener with a script that appends each path it is
// asked to open to a file; restores nothing (each test is its own process).
class OpenRecorder final
{
public:
    OpenRecorder();
    // The paths opened so far, waiting up to `expected` entries or 10 s.
    QStringList opened(int expected = 1) const;

private:
    QString m_record;
};

// Texts of the labels, check boxes, buttons and group boxes of `window` that
// do not fit their widget at the widget's font, each as "ID: TEXT".
QStringList cutOffCaptions(const QWidget *window);

} // namespace quirex::test
