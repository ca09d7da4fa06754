#include "commandlinerun.h"

#include "applog.h"
#include "batchmodes.h"
#include "commandline.h"
#include "componentregistry.h"
#include "converter.h"
#include "headlessplatform.h"
#include "helppages.h"
#include "interruption.h"
#include "messagereport.h"
#include "pathcompletion.h"
#include "stringids.h"
#include "stringtable.h"
#include "textformat.h"
#include "userfolders.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

namespace quirex::app
{

namespace
{

// The engine's component library: beside the program in a build, in ../lib/quirex when
// installed.
QString engineLibraryPath()
{
    const QString besideProgram = platform::programFolder() + QStringLiteral("/quirex.so");
    const QString installed =
        QDir::cleanPath(platform::programFolder() + QStringLiteral("/../lib/quirex/quirex.so"));
    return !QFileInfo::exists(besideProgram) && QFileInfo::exists(installed) ? installed
                                                                             : besideProgram;
}

QString fileName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

void handOptionsTo(CConverter &converter, const ConversionOptions &options)
{
    converter.setSettings(options.settings);
    converter.setHeaderText(options.headerText);
    converter.setFooterText(options.footerText);
    converter.setTempFileName(options.tempFileName);
    converter.setSwapExtension(options.swapExtension);
    converter.setOutputExtension(options.outputExtension);
}

int showHelp(const CConverter &converter, const HelpOpener &openHelp)
{
    const QString helpFile = defaultHelpFilePath();
    if (!platform::isHeadlessPlatform() && openHelp) {
        openHelp(helpFile, QLatin1String(HelpTopicCommandLine));
        return 0;
    }
    // Nobody could see a browser: say where the page is and how to call.
    if (QFileInfo(helpFile).isReadable())
        writeText(stdout, QStringLiteral("Help: %1\n\n")
                              .arg(helpPagePath(helpFile, QLatin1String(HelpTopicCommandLine))));
    else
        converter.showMessage(fillFormat(loadText(strings::HelpMissing), {helpFile}),
                              loadText(strings::ErrorTitle), MessageIcon::Error);
    writeText(stdout, usageText());
    return 0;
}

// Progress lines on a terminal, and the failed inputs for the summary of a
// run that goes on past failures.
BatchObserver progressPrinter(const CommandLine &line, QVector<BatchStep> *failed)
{
    const bool print = !line.quiet && ::isatty(STDERR_FILENO);
    return [print, failed](const BatchStep &step) {
        if (print)
            writeText(stderr, progressLine(step) + QLatin1Char('\n'));
        if (step.result != 0)
            failed->append(step);
    };
}

// The file modes; the result of the first failure, or 0.
int convertFiles(const CommandLine &line, CConverter &converter, QVector<BatchStep> *failed)
{
    const BatchObserver observer = progressPrinter(line, failed);
    switch (line.mode) {
    case CommandMode::SingleFile:
        converter.setAllToOne(false);
        if (BatchRunner *runner = batchRunner()) {
            const QString input = line.source;
            return runner->convertJobs(converter, {{input, completePath(line.target)}}, {});
        }
        return convertCommandLineFile(converter, line.source, line.target);
    case CommandMode::FileMask:
        return ConvertFileMask2Dir(converter, line.source, line.target, observer, line.shard);
    case CommandMode::ListToDir:
        return ConvertFileList2Dir(converter, line.source, line.target, observer, line.shard);
    case CommandMode::ListToList:
        return ConvertFileList2FileList(converter, line.source, line.target, observer, line.shard);
    case CommandMode::ListToOne:
        return ConvertFileList2One(converter, line.source, line.target, observer, line.shard);
    default:
        return ModeResult::WrongCommandLine;
    }
}

} // namespace

QString usageText()
{
    return QStringLiteral(
        "Usage: quirexdesk INPUT [OUTPUT] [options]\n"
        "       quirexdesk /filemask MASK [/outdir FOLDER] [options]\n"
        "       quirexdesk /inlist LIST /outdir FOLDER [options]\n"
        "       quirexdesk /inlist LIST /outlist OUTLIST [options]\n"
        "       quirexdesk /inlist LIST /all2one OUTFILE [options]\n"
        "       quirexdesk /url ADDRESS [options]\n"
        "       quirexdesk /help | /version\n"
        "Options (each with a value): /psize /porient /margin-left /margin-right /margin-top\n"
        "  /margin-bottom /zoom /encoding /preservelinks /baseurl /postentireimages\n"
        "  /postentiretables /pagenumbers /pagenumstr /author /subj /title /keywords /swapext\n"
        "  /tempfile /jpeg /header /footer\n"
        "Switches (anywhere): /autolaunch /quiet /untrusted /keepgoing /addlog /invertall\n"
        "Run options (anywhere): /jobs N (worker processes at once) /timeout SECONDS\n"
        "Shares (anywhere with /filemask or /inlist): /shard K/N converts entries K, K+N,\n"
        "  K+2N, ... only. A LIST or OUTLIST of - is standard input.\n"
        "Words may also be written -name or --name.\n");
}

QString progressLine(const BatchStep &step)
{
    const QString counter = QStringLiteral("[%1/%2] ").arg(step.number).arg(step.count);
    if (step.result != 0)
        return counter +
               QStringLiteral("%1: failed (%2)").arg(fileName(step.input)).arg(step.result);
    return counter + QStringLiteral("%1 -> %2 (%3 %4, %5 s)")
                         .arg(fileName(step.input), fileName(step.output))
                         .arg(step.pages)
                         .arg(step.pages == 1 ? QStringLiteral("page") : QStringLiteral("pages"))
                         .arg(step.seconds, 0, 'f', 1);
}

QString versionText()
{
    QString text = QStringLiteral("quirexdesk " QUIREXDESK_VERSION "\n");
    const QString progId = QStringLiteral("quirex.QUIREX");
    const automation::ComponentRegistry registry;
    automation::Guid clsid;
    QString library;
    if (registry.clsidFromProgId(progId, &clsid) == automation::S_OK &&
        registry.libraryPath(clsid, &library) == automation::S_OK)
        text += QStringLiteral("engine: Quirex Engine " QUIREX_ENGINE_VERSION ", %1 in %2\n")
                    .arg(progId, library);
    else
        text +=
            QStringLiteral("engine: Quirex Engine " QUIREX_ENGINE_VERSION ", %1 not registered\n")
                .arg(progId);
    return text;
}

void applyGlobalSwitches(const CommandLine &line, CConverter &converter)
{
    converter.setOpenAfter(line.autoLaunch);
    // The engine reads it when an object is made and at every BeginDoc.
    if (line.untrusted)
        qputenv("QUIREX_UNTRUSTED", "1");
}

void logArguments(const QStringList &arguments)
{
    for (const QString &argument : arguments)
        if (!isGlobalSwitch(argument))
            logLine(QStringLiteral("tmp %1\n").arg(argument));
}

int runCommandLine(const CommandLine &line, CConverter &converter, const SettingsStore &store,
                   const HelpOpener &openHelp)
{
    switch (line.mode) {
    case CommandMode::Window:
        return runWithoutWindow();
    case CommandMode::Help:
        return showHelp(converter, openHelp);
    case CommandMode::Version:
        writeText(stdout, versionText());
        return 0;
    case CommandMode::Wrong:
        writeText(stderr, QStringLiteral("quirexdesk: %1\n")
                                  .arg(line.error.isEmpty() ? QStringLiteral("wrong command line")
                                                            : line.error) +
                              usageText());
        return ModeResult::WrongCommandLine;
    default:
        break;
    }

    converter.setMessagesEnabled(false);
    handOptionsTo(converter, line.options);
    // The URL mode reports its own failure in a box, and its reason here.
    if (line.mode == CommandMode::Url) {
        const int result = ConvertUrlToDocument(converter, line.source, store);
        if (result != 0 && !converter.failureReason().isEmpty())
            writeText(
                stderr,
                QStringLiteral("quirexdesk: %1 (%2)\n").arg(converter.failureReason()).arg(result));
        return interruptionSignal() != 0 ? interruptedExitCode(interruptionSignal()) : result;
    }
    QVector<BatchStep> failed;
    const int result = convertFiles(line, converter, &failed);
    if (interruptionSignal() != 0) {
        writeText(stderr, QStringLiteral("quirexdesk: interrupted, nothing more converted\n"));
        return interruptedExitCode(interruptionSignal());
    }
    if (result != 0)
        writeText(stderr, failureLine(result, converter.failureReason()));
    if (line.keepGoing && !failed.isEmpty())
        writeText(stderr, failureSummary(failed));
    return result;
}

QString failureLine(int result, const QString &reason)
{
    if (reason.isEmpty())
        return QStringLiteral("quirexdesk: %1 (%2)\n").arg(failureText(result)).arg(result);
    return QStringLiteral("quirexdesk: %1: %2 (%3)\n").arg(failureText(result), reason).arg(result);
}

QString failureSummary(const QVector<BatchStep> &failed)
{
    QString text =
        QStringLiteral("quirexdesk: %1 %2 failed:\n")
            .arg(failed.size())
            .arg(failed.size() == 1 ? QStringLiteral("input") : QStringLiteral("inputs"));
    for (const BatchStep &step : failed) {
        const QString reason = step.reason.isEmpty() ? failureText(step.result) : step.reason;
        text += QStringLiteral("  [%1/%2] %3: %4 (%5)\n")
                    .arg(step.number)
                    .arg(step.count)
                    .arg(step.input, reason)
                    .arg(step.result);
    }
    return text;
}

QString failureText(int result)
{
    switch (result) {
    case ConvertResult::TempFileNotDeleted:
        return QStringLiteral("the temporary copy of an input could not be deleted");
    case ModeResult::FolderMissing:
        return QStringLiteral("the output folder does not exist");
    case ModeResult::ListLengthsDiffer:
        return QStringLiteral("the input and output lists differ in length");
    case ModeResult::InputListUnreadable:
        return QStringLiteral("the input list cannot be read, or the mask matches no file");
    case ModeResult::OutputListUnreadable:
        return QStringLiteral("the output list cannot be read");
    case ConvertResult::InputMissing:
        return QStringLiteral("an input is missing or cannot be read");
    case ConvertResult::NoExtension:
        return QStringLiteral("an input's name has no extension");
    case ConvertResult::WrongExtension:
        return QStringLiteral("an input is not an HTML, SHTML or text file");
    case ConvertResult::EngineNotCreated:
        return QStringLiteral("the engine component quirex.QUIREX is not registered or could not "
                              "be created; register it with: regsvr -s %1")
            .arg(engineLibraryPath());
    case ConvertResult::EngineFailed:
        return QStringLiteral("the conversion failed");
    case ConvertResult::InitFailed:
        return QStringLiteral("the engine refused the output file");
    case ConvertResult::PageNumberFailed:
        return QStringLiteral("page numbers could not be stamped");
    case ConvertResult::OpenFailed:
        return QStringLiteral("the finished PDF could not be opened");
    case ConvertResult::OutputPathNotCorrect:
        return QStringLiteral("the output path is not correct");
    case ConvertResult::OutputIsInput:
        return QStringLiteral("an output would overwrite an input");
    case ConvertResult::SameOutput:
        return QStringLiteral("two inputs would write the same output");
    case ConvertResult::WorkerDied:
        return QStringLiteral("the worker process converting an input died");
    case ConvertResult::TimedOut:
        return QStringLiteral("an input was not converted within the time limit");
    case ConvertResult::TempFileFailed:
        return QStringLiteral("an input could not be read or its temporary copy made");
    default:
        return QStringLiteral("the conversion failed");
    }
}

int runWithoutWindow()
{
    writeText(stderr, usageText());
    return ModeResult::WrongCommandLine;
}

} // namespace quirex::app
