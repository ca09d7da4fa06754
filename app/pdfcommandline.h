#pragma once

#include "conversionsettings.h"
#include "pagedecorations.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

namespace quirex::app
{

// What to do with an input that does not load.
enum class LoadErrorHandling {
    Abort,  // the run fails with exit code 2, nothing is written
    Ignore, // the input is left out of the PDF, with a warning (no error page is printed)
    Skip,   // the input is left out of the PDF, with a warning
};

// Everything the options of a quirexpdf command line set. Lengths are
// already converted: margins to the engine's pixels at 96 per inch, the
// custom paper to millimetres.
struct PdfOptions {
    ConversionSettings settings;
    PageDecorations decorations;
    bool quiet = false;
    bool verbose = false;
    bool grayscale = false;
    bool outline = true;
    int outlineDepth = 4;
    bool javascript = true;
    int javascriptDelayMs = 200;
    bool loadImages = true;
    // Local files beyond the input's own: on with --enable-local-file-access;
    // off (the engine's untrusted mode) with --disable-local-file-access.
    bool untrusted = false;
    QStringList allowedPaths; // --allow, kept for the untrusted mode's warning
    LoadErrorHandling loadErrors = LoadErrorHandling::Abort;
    QVector<QPair<QString, QString>> customHeaders;
    QVector<QPair<QString, QString>> cookies;
    // Options accepted without effect, as given, for the --verbose notes.
    QStringList ignored;
};

enum class PdfCommandMode {
    Convert,
    Help,
    Version,
    Wrong, // exit code 1, nothing converted
};

struct PdfCommandLine {
    PdfCommandMode mode = PdfCommandMode::Wrong;
    QStringList inputs; // files, URLs or "-" (standard input), in order
    QString output;     // a file or "-" (standard output)
    PdfOptions options;
    QString error; // Wrong: one sentence naming the word that could not be used
};

// A length as the options take it: a number with the unit mm, cm, in, px
// (96 per inch) or pt, or without a unit millimetres ("10mm", "0.75in",
// "2cm", "96px", "12"). False for anything else or a negative length.
bool parseLength(const QString &text, double *millimetres);

// Takes a quirexpdf command line apart (the arguments without the program
// name): long options "--name", their short forms ("-s A5"), then at least
// one input and the output. "--" ends the options. Every option is known or
// the line is wrong, naming it. Margins that leave no printable area on the
// paper make the line wrong too. Pure: reads no file and prints nothing.
PdfCommandLine parsePdfCommandLine(const QStringList &arguments);

// The help text: the synopsis and every option with its value.
QString pdfUsageText();

} // namespace quirex::app
