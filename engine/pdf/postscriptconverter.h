#pragma once

#include <QString>

namespace quirex::engine
{

// The printer writes PDF only, so PostScript output is made from the
// finished PDF by poppler's pdftops, run as a separate process.

// True when output named `outputFileName` is PostScript: the suffix "ps" (any
// case) selects PostScript and "pdf" (any case) selects PDF whatever
// `postScriptFormat` says; any other name, an empty one included, follows
// `postScriptFormat`. The suffix is the text after the file name's last dot.
bool writesPostScript(const QString &outputFileName, bool postScriptFormat);

// Converts one PDF file into level 3 PostScript, page for page at each page's
// own size, keeping text and drawings as vectors.
class PostScriptConverter final
{
public:
    static constexpr int defaultTimeoutMs = 120000;

    PostScriptConverter() = default;

    // The converting program; "pdftops" (looked up in PATH) unless set.
    QString program() const { return m_program; }
    void setProgram(const QString &program) { m_program = program; }

    // How long one conversion may take before the program is killed.
    int timeoutMs() const { return m_timeoutMs; }
    void setTimeoutMs(int milliseconds) { m_timeoutMs = milliseconds; }

    // Writes the PostScript of `pdfPath` to `psPath`, replacing an existing
    // file only when the conversion succeeds: the program writes to a
    // temporary file beside `psPath`, which is renamed over it at the end
    // (platform::AtomicFile). A new file gets the permissions the umask
    // allows; a file replaced keeps its own, without set-id bits.
    // Returns false, leaving `psPath` as it was and no temporary file behind,
    // when the input is missing or not a PDF the program reads, the program
    // cannot be started, fails, crashes or outlives the time-out, or the
    // result cannot be put in place; errorString() then says why.
    // Blocks the calling thread for the conversion.
    bool convert(const QString &pdfPath, const QString &psPath);

    // The reason of the last failure; empty after a success.
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &reason);

    QString m_program = QStringLiteral("pdftops");
    int m_timeoutMs = defaultTimeoutMs;
    QString m_error;
};

} // namespace quirex::engine
