#pragma once

#include <QSet>
#include <QString>

namespace quirex::app
{

// The files one conversion in a worker may leave when the worker is ended
// in the middle of it, and the step that puts a staged PDF in place.
//
// The engine writes a PDF to a hidden temporary beside it,
// ".NAME.RANDOM.part" (".atomic.RANDOM.part" for a very long NAME), and
// renames it at the end; the video step writes its copy of the input beside
// the input. A killed worker leaves them. JobFiles notes which of these names
// exist before the conversion starts, so that afterwards it removes only
// those that the conversion made.
class JobFiles final
{
public:
    JobFiles() = default;
    // `written`: the path the worker writes (a staging name or the PDF
    // itself); `videoCopy`: the video step's copy of the input, or empty.
    // A staging name (`staged`) is new and short, so every temporary of it
    // is this conversion's: the folder is not listed before it starts, which
    // would cost a run the square of its length in one output folder.
    JobFiles(const QString &written, const QString &videoCopy, bool staged);

    // Removes the temporaries made since construction, the staged PDF when
    // `staged` is set, and the video copy when it is new.
    void removeLeftovers(bool staged) const;

private:
    QSet<QString> partFiles() const;

    bool m_staged = false;
    QString m_written;
    QString m_videoCopy;
    bool m_videoCopyExisted = false;
    QSet<QString> m_partsBefore;
};

// The staging name for the PDF `target` of input `index` of this process's
// run `run`: hidden, beside the target (so that putting it in place is a
// rename in one folder), with the target's extension (the engine chooses
// PostScript by it) and short enough for any folder.
QString stagingPath(const QString &target, int run, int index);

// Puts the finished `staged` file in place at `target` as the engine would
// have: a folder at the target fails, an existing file's permission bits
// (without set-id bits) pass to the new one. False with `error` saying why,
// the staged file removed and the target left as it was.
bool commitStaged(const QString &staged, const QString &target, QString *error);

} // namespace quirex::app
