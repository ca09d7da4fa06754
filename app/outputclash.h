#pragma once

#include <QString>
#include <QStringList>

namespace quirex::app
{

// Whether two paths name the same file: the same path once cleaned ("a/./b"
// and "a/b"), or, when both exist, the same device and inode (links, hard
// links, folders reached two ways).
bool isSameFile(const QString &first, const QString &second);

// What stops a run of conversions before it starts.
struct OutputClash {
    enum class Kind {
        None,
        OutputIsInput, // an output would overwrite an input of the run
        SameOutput,    // two inputs would write the same output
    };
    Kind kind = Kind::None;
    QString first;  // OutputIsInput: the input; SameOutput: the first input
    QString second; // OutputIsInput: the output; SameOutput: the second input
    QString output; // the output path concerned
};

// Checks a run on completed paths: inputs[i] is converted into outputs[i].
// With `joined` every output is the one PDF of an all-to-one run, so equal
// outputs are expected there. Linear in the run: each path is looked at once.
OutputClash findOutputClash(const QStringList &inputs, const QStringList &outputs, bool joined);

} // namespace quirex::app
