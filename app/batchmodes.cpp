#include "batchmodes.h"

#include "applog.h"
#include "commandline.h"
#include "converter.h"
#include "filemask.h"
#include "listfile.h"
#include "listshard.h"
#include "messagereport.h"
#include "outputclash.h"
#include "outputname.h"
#include "pathcompletion.h"
#include "settingsio.h"
#include "shellopen.h"
#include "stringids.h"
#include "stringtable.h"
#include "textformat.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace quirex::app
{

namespace
{

BatchRunner *g_runner = nullptr;

} // namespace

int checkRun(CConverter &converter, const QStringList &inputs,
             const std::function<QString(int)> &outputOf)
{
    QStringList completedInputs;
    QStringList completedOutputs;
    completedInputs.reserve(inputs.size());
    completedOutputs.reserve(inputs.size());
    for (int i = 0; i < inputs.size(); ++i) {
        completedInputs.append(completePath(trimmedToken(inputs[i])));
        completedOutputs.append(completePath(trimmedToken(outputOf(i))));
    }
    const OutputClash clash =
        findOutputClash(completedInputs, completedOutputs, converter.allToOne());
    switch (clash.kind) {
    case OutputClash::Kind::None:
        return 0;
    case OutputClash::Kind::OutputIsInput:
        converter.setFailureReason(
            QStringLiteral("the output %1 is the input %2").arg(clash.second, clash.first));
        logLine(converter.failureReason());
        return ConvertResult::OutputIsInput;
    case OutputClash::Kind::SameOutput:
        converter.setFailureReason(QStringLiteral("%1 and %2 would both be written to %3")
                                       .arg(clash.first, clash.second, clash.output));
        logLine(converter.failureReason());
        return ConvertResult::SameOutput;
    }
    return 0;
}

namespace
{

// Converts the shard's inputs[i] into outputOf(i), in order, stopping at the
// first failure. The whole list is checked for clashes first, so every shard
// of a run refuses alike and no two shards write one file.
int convertInOrder(CConverter &converter, const QStringList &inputs,
                   const std::function<QString(int)> &outputOf, const BatchObserver &observer,
                   const ListShard &shard)
{
    converter.setMessagesEnabled(false);
    const int refused = checkRun(converter, inputs, outputOf);
    if (refused != 0)
        return refused;
    if (!shard.isWhole())
        logLine(QStringLiteral("shard %1/%2").arg(shard.index).arg(shard.count));
    const QVector<int> positions = shardPositions(inputs.size(), shard);
    const int count = positions.size();
    if (g_runner) {
        QVector<BatchJob> jobs;
        jobs.reserve(count);
        for (const int i : positions)
            jobs.append({trimmedToken(inputs[i]), completePath(trimmedToken(outputOf(i)))});
        return g_runner->convertJobs(converter, jobs, observer);
    }
    for (int n = 0; n < count; ++n) {
        const int i = positions[n];
        const bool first = n == 0;
        converter.setFirstFile(first);
        converter.setLastFile(n == count - 1);
        const int pagesBefore = converter.pageCounter();
        QElapsedTimer timer;
        timer.start();
        const QString input = trimmedToken(inputs[i]);
        const QString output = trimmedToken(outputOf(i));
        const int result = convertCommandLineFile(converter, input, output);
        if (observer) {
            BatchStep step;
            step.number = n + 1;
            step.count = count;
            step.input = input;
            step.output = output;
            step.result = result;
            if (result == 0) {
                // A new PDF starts its page counter at 1; a joined input adds to it.
                const bool newPdf = !converter.allToOne() || first;
                step.pages = converter.pageCounter() - (newPdf ? 1 : pagesBefore);
            }
            step.seconds = timer.nsecsElapsed() / 1e9;
            if (result != 0)
                step.reason = converter.failureReason();
            observer(step);
        }
        if (result != 0)
            return result;
    }
    return 0;
}

// The output folder made absolute against the current folder, or an empty
// string with box 2028 (naming it as the user wrote it) when it does not exist.
QString existingFolder(const CConverter &converter, const QString &folder)
{
    const QString absolute = completePath(folder);
    if (absolute.isEmpty() || !QFileInfo(absolute).isDir()) {
        // Shown although messages are off: the user has to know why nothing happened.
        converter.showMessage(fillFormat(loadText(strings::FolderMissing), {folder}),
                              loadText(strings::ErrorTitle), MessageIcon::Error);
        return QString();
    }
    return absolute;
}

int convertIntoFolder(CConverter &converter, const QStringList &inputs, const QString &folder,
                      const BatchObserver &observer, const ListShard &shard)
{
    converter.setAllToOne(false);
    const bool swap = converter.swapExtension();
    const QString extension = converter.outputExtension();
    return convertInOrder(
        converter, inputs,
        [&](int i) { return outputPathInFolder(trimmedToken(inputs[i]), folder, swap, extension); },
        observer, shard);
}

} // namespace

void setBatchRunner(BatchRunner *runner)
{
    g_runner = runner;
}

BatchRunner *batchRunner()
{
    return g_runner;
}

int convertCommandLineFile(CConverter &converter, const QString &input, const QString &output)
{
    const QString completed = completePath(output);
    if (completed.isEmpty())
        return ConvertResult::OutputPathNotCorrect;
    return converter.Convert(input, completed);
}

int ConvertFileMask2Dir(CConverter &converter, const QString &mask, const QString &folder,
                        const BatchObserver &observer, const ListShard &shard)
{
    logLine(QStringLiteral("ConvertFileMask2Dir"));
    const MaskMatches matches = expandFileMask(mask);
    if (!matches.found)
        return ModeResult::InputListUnreadable;
    QString target = folder;
    if (target.isEmpty()) {
        const int slash = mask.lastIndexOf(QLatin1Char('/'));
        target = slash == 0 ? QStringLiteral("/") : mask.left(qMax(0, slash));
    }
    const QString absolute = existingFolder(converter, target);
    if (absolute.isEmpty())
        return ModeResult::FolderMissing;
    return convertIntoFolder(converter, matches.paths, absolute, observer, shard);
}

int ConvertFileList2Dir(CConverter &converter, const QString &list, const QString &folder,
                        const BatchObserver &observer, const ListShard &shard)
{
    logLine(QStringLiteral("ConvertFileList2Dir"));
    QStringList inputs;
    if (!readListInput(list, &inputs))
        return ModeResult::InputListUnreadable;
    const QString absolute = existingFolder(converter, folder);
    if (absolute.isEmpty())
        return ModeResult::FolderMissing;
    return convertIntoFolder(converter, inputs, absolute, observer, shard);
}

int ConvertFileList2FileList(CConverter &converter, const QString &list, const QString &outputList,
                             const BatchObserver &observer, const ListShard &shard)
{
    logLine(QStringLiteral("ConvertFileList2FileList"));
    QStringList inputs;
    if (!readListInput(list, &inputs))
        return ModeResult::InputListUnreadable;
    QStringList outputs;
    if (!readListInput(outputList, &outputs))
        return ModeResult::OutputListUnreadable;
    if (inputs.size() != outputs.size())
        return ModeResult::ListLengthsDiffer;
    converter.setAllToOne(false);
    return convertInOrder(
        converter, inputs, [&](int i) { return outputs[i]; }, observer, shard);
}

int ConvertFileList2One(CConverter &converter, const QString &list, const QString &output,
                        const BatchObserver &observer, const ListShard &shard)
{
    logLine(QStringLiteral("ConvertFileList2One"));
    QStringList inputs;
    if (!readListInput(list, &inputs))
        return ModeResult::InputListUnreadable;
    converter.setAllToOne(true);
    return convertInOrder(
        converter, inputs, [&](int) { return output; }, observer, shard);
}

int ConvertUrlToDocument(CConverter &converter, const QString &url, const SettingsStore &store)
{
    const QString folder = ReadFolderSetting(store, QStringLiteral("SaveFolder"));
    const QString output =
        numberedDocumentPath(folder, [](const QString &path) { return QFileInfo::exists(path); });
    converter.setAllToOne(false);
    const int result =
        g_runner ? g_runner->convertUrl(converter, url, output) : converter.ConvertURL(url, output);
    const QString title = QStringLiteral("Quirex Desk");
    if (result != 0) {
        converter.showMessage(fillFormat(loadText(strings::UrlNotConverted), {url, qint64(result)}),
                              title, MessageIcon::Error);
        return result;
    }
    const MessageAnswer answer =
        converter.showMessage(fillFormat(loadText(strings::UrlConverted), {url, output}), title,
                              MessageIcon::Information, MessageButtons::YesNo);
    if (answer == MessageAnswer::Yes)
        platform::shellOpen(output);
    return result;
}

} // namespace quirex::app
