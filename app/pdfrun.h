#pragma once

#include <QString>

namespace quirex::app
{

class CConverter;
struct PdfCommandLine;

// Exit codes of quirexpdf, those scripts expect of the program it stands in
// for.
namespace PdfExit
{
enum : int {
    Success = 0,
    Failed = 1,     // a wrong command line, or the conversion failed
    LoadFailed = 2, // an input did not load (--load-error-handling abort)
};
}

// The --version text: the program, the version of the option set it
// follows, and the engine.
QString pdfVersionText();

// Runs a parsed quirexpdf command line with `converter` (messages off, one
// PDF for all inputs) and returns the exit code. Standard input ("-") is read
// whole into a file of a private temporary folder; a PDF for standard output
// ("-") is written there first and copied out only once it is complete, so
// stdout holds the PDF's bytes and nothing else. Messages go to stderr: errors
// always, one line each; the result line unless --quiet; under --verbose the
// options that have no effect. A failed run leaves the output file as it was.
int runPdfCommandLine(const PdfCommandLine &line, CConverter &converter);

} // namespace quirex::app
