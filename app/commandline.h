#pragma once

#include "conversionsettings.h"
#include "listshard.h"

#include <QString>
#include <QStringList>

namespace quirex::app
{

// What the options of a command line set: the conversion settings and the
// converter's switches that are not part of them.
struct ConversionOptions {
    ConversionSettings settings;
    QString headerText;   // "/header": kept, no conversion step uses it
    QString footerText;   // "/footer": kept, no conversion step uses it
    QString tempFileName; // "/tempfile": non-empty switches on the video rewriting
    bool swapExtension = false;
    QString outputExtension = QStringLiteral("pdf");
};

enum class CommandMode {
    Window,     // no arguments (after the global switches)
    Help,       // "/?", "/h", "/help"
    Version,    // "/version"
    SingleFile, // INPUT [OUTPUT]
    FileMask,   // "/filemask" MASK ["/outdir" FOLDER]
    ListToDir,  // "/inlist" LIST "/outdir" FOLDER
    ListToList, // "/inlist" LIST "/outlist" OUTLIST
    ListToOne,  // "/inlist" LIST "/all2one" OUTFILE
    Url,        // "/url" ADDRESS
    Wrong,      // a wrong command line: exit code -1, nothing converted
};

// A command line taken apart. `source` and `target` hold the mode's two
// values, already trimmed or unquoted as the mode asks:
//   SingleFile: INPUT, OUTPUT (INPUT + "." + the output extension when none
//               was given, derived before the options are read)
//   FileMask:   MASK (as given), FOLDER (empty without "/outdir")
//   ListToDir:  LIST, FOLDER     ListToList: LIST, OUTLIST
//   ListToOne:  LIST, OUTFILE    Url: the address with its scheme, empty
// A LIST or OUTLIST of "-" is standard input (not both in one command line).
struct CommandLine {
    CommandMode mode = CommandMode::Wrong;
    QString source;
    QString target;
    ConversionOptions options;
    // Global switches, taken out wherever they stand.
    bool autoLaunch = false; // "/autolaunch": open every finished PDF
    bool addLog = false;     // "/addlog": accepted, changes nothing
    bool invertAll = false;  // "/invertall": accepted, changes nothing
    bool quiet = false;      // "/quiet": no progress lines
    bool untrusted = false;  // "/untrusted": documents may not reach the network or other files
    // "/shard K/N", which may stand anywhere: the share of the mask's matches
    // or the list's entries this run converts (the batch modes only).
    ListShard shard;
    bool keepGoing = false; // "/keepgoing": go on past failing inputs
    // "/jobs N", "/timeout SECONDS", which may stand anywhere: worker processes at once (0: one
    // per usable processor; at most kMaxJobs) and the time limit per document.
    int jobs = 0;
    int timeoutSeconds = 300;
    // Wrong: what could not be used, naming the word ("\"/title\" needs a value").
    QString error;
};

// The largest "/jobs" and "/timeout" values; larger ones are taken as these.
inline constexpr int kMaxJobs = 64;
inline constexpr int kMaxTimeoutSeconds = 7 * 24 * 3600;

// The form of an option or mode word: "/name", "-name" and "--name" all give
// "/name" (letter case kept); any other token gives an empty string.
QString optionWord(const QString &token);

// True when `token` is one of the program's option, mode or switch words in
// any of its forms and any letter case. Only such tokens are options: an
// absolute path also begins with '/'.
bool isKnownWord(const QString &token);

// True for the words that take no value and may stand anywhere:
// "/autolaunch", "/addlog", "/invertall", "/quiet", "/untrusted" and "/keepgoing", in any
// form and letter case. Only whole arguments are switches, so a path that
// contains such a word is left alone.
bool isGlobalSwitch(const QString &token);

// Double-quote and blank characters removed from both ends.
QString trimmedToken(const QString &token);

// One pair of enclosing double quotes removed when the token both begins and
// ends with one.
QString unquotedToken(const QString &token);

// The decimal value of the leading digits (after blanks and a sign), as the C
// library reads it: no digits give 0; values beyond the int range are clamped.
int leadingNumber(const QString &text);

// Applies the options tokens[first..] in pairs (option, value) to `options`.
// Returns 0, or -1 at the first unknown option, missing value or value the
// option does not accept, with `error` (when given) naming the word;
// `options` may then be partly changed.
int parseOptions(const QStringList &tokens, int first, ConversionOptions &options,
                 QString *error = nullptr);

// Empty when the margins leave a printable area on the paper (with the
// quarter-inch reserve below the bottom margin, at the engine's 96 dots per
// inch); otherwise a sentence naming the margins that do not fit.
QString marginProblem(const ConversionSettings &settings);

// The address of the URL mode: "http://" put in front unless it is
// "about:blank" or begins with "http://", "https://" or "file://" (letter
// case counts).
QString completeUrl(const QString &address);

// Takes a command line (the program's arguments, without the program name)
// apart: global switches, mode selection and options, starting from `start`.
// Margins that leave no printable area make a wrong command line.
// Pure: reads no file and prints nothing.
CommandLine parseCommandLine(const QStringList &arguments,
                             const ConversionOptions &start = ConversionOptions());

} // namespace quirex::app
