#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace quirex::app
{

class CConverter;
class SettingsStore;
struct BatchStep;
struct CommandLine;

// The command-line front end of quirexdesk: runs what parseCommandLine
// selected and turns it into the process exit code. The only part of the
// application besides message boxes that writes to stdout and stderr.

// The usage text: one line per form of the command line.
QString usageText();

// The progress line of one input of a batch run:
// "[3/40] report.html -> report.pdf (12 pages, 0.4 s)", or for a failed input
// "[4/40] bad.html: failed (-6)". File names only, not their folders.
QString progressLine(const BatchStep &step);

// The version lines: the program's, and the engine's with the component
// library registered for it (or that none is).
QString versionText();

// Writes each argument to the log ("tmp ARG" and an empty line), the global
// switches left out.
void logArguments(const QStringList &arguments);

// Applies the switches that hold for the whole run, in every mode:
// "/autolaunch" sets the converter's open-after flag; "/untrusted" puts every
// engine object of this process into its untrusted mode (QUIREX_UNTRUSTED:
// no scripts, no network request but the address converted, local files only
// from the document's folder).
void applyGlobalSwitches(const CommandLine &line, CConverter &converter);

// One line on what a conversion's failure result means, for stderr.
QString failureText(int result);

// The stderr line of a failed mode: "quirexdesk: TEXT: REASON (CODE)\n", the
// reason (the converter's failureReason()) left out when empty.
QString failureLine(int result, const QString &reason);

// The summary of a run that went on past failures ("/keepgoing"): a line
// with their number, then one line per failed input, "  [N/COUNT] INPUT:
// REASON (CODE)", the reason being failureText() when the step has none.
QString failureSummary(const QVector<BatchStep> &failed);

// Opens the help file at a topic: ui::openHelp in the program.
using HelpOpener = std::function<void(const QString &helpFile, const QString &topic)>;

// Runs a command line other than the window mode with the converter's
// messages switched off: help (the help page through `openHelp`; without a
// display or an opener its path and the usage on stdout, a missing help file
// reported through the converter's message function), the version, a wrong
// command line (-1, nothing converted), or a conversion mode with the options
// and switches handed to the converter. A wrong command line prints one line
// naming the word it could not use, then the usage, on stderr. Batch modes
// print a progress line per input on stderr when it is a terminal and
// "/quiet" was not given; a failed mode ends with one line on stderr saying
// why (failureLine). A run ended by SIGINT or SIGTERM (interruption.h)
// returns 128 + the signal's number. Returns the exit code.
int runCommandLine(const CommandLine &line, CConverter &converter, const SettingsStore &store,
                   const HelpOpener &openHelp = {});

// What an empty command line does without a display, where the main window
// could be neither seen nor closed: prints the usage on stderr and returns -1.
int runWithoutWindow();

} // namespace quirex::app
