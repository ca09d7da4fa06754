#pragma once

#include "conversionsettings.h"
#include "engineclient.h"
#include "messagereport.h"
#include "pagedecorations.h"

#include <QString>

#include <functional>
#include <memory>

namespace quirex::automation
{
class ComError;
}

namespace quirex::app
{

class ConversionProgress;

// Result codes of the converter's operations. Callers pass them on unchanged;
// the command line turns them into the process exit code.
namespace ConvertResult
{
enum : int {
    Success = 0,
    Cancelled = 1,              // the progress window's Cancel
    TempFileNotDeleted = -1,    // the video step's temporary copy could not be deleted
    InputMissing = -6,          // the input does not exist or cannot be read
    NoExtension = -7,           // the input's name has no extension
    WrongExtension = -8,        // not html, htm, shtml, shtm or txt (any letter case)
    EngineNotCreated = -9,      // the engine's ProgID did not resolve or it made no object
    EngineFailed = -10,         // an engine call or a load failed, or no PDF was written
    InitFailed = -17,           // the engine refused its output file name
    PageNumberFailed = -18,     // a page-number stamp failed (the page loop goes on)
    OpenFailed = -29,           // the desktop could not open the finished PDF
    OutputPathNotCorrect = -30, // the output path climbs above "/"
    OutputIsInput = -31,        // the output is an input of the run (or its video copy)
    SameOutput = -32,           // two inputs of a batch would write the same output
    WorkerDied = -33,           // the worker process converting the input died
    TimedOut = -34,             // the input was not converted within the time limit
    TempFileFailed = 2034,      // the video step could not read the input or make its copy
};
}

// Turns one HTML, SHTML or plain-text file, or one URL, into a PDF by driving
// the rendering engine through the automation layer (EngineClient). It applies
// the live Conversion settings, loads the input, converts it page by page,
// stamps page numbers, writes the document information with the PDF document
// component, advances the progress window, honours its Cancel, and can join
// several inputs into one PDF ("all to one").
//
// One object serves the whole program: main() creates the application object
// first, then one CConverter, and hands it to the command-line modes and the
// main window, which set its switches before each call. The constructor
// writes the application log's start record. Everything runs on the thread
// that created the application object; a conversion call runs nested event
// loops (engine loads, progress updates), so a call made while another one
// runs is refused with EngineFailed and changes nothing. The converter alone
// knows whether a conversion is under way (isBusy()): during a call, and
// through a whole run of calls that a front end marks with beginRun() and
// endRun() (the window's list), so that others wait for its end.
//
// Paths: "/" is the only separator. A relative input path is completed
// against the current folder, a relative output path against the completed
// input's folder (completePath). Output files belong to the caller: a failed
// or cancelled conversion abandons the engine's document, so a file that was
// at the output path stays as it was; a PDF that this run did not put in
// place fails with EngineFailed. An output that is the input fails with
// OutputIsInput before anything is written. failureReason() says why the
// last call failed. A SIGINT or SIGTERM (interruption.h) reads as Cancel.
//
// Messages: error boxes are shown only while messagesEnabled() (window mode);
// the command-line modes switch them off and report through result codes and
// the log. The progress window is advanced and its Cancel read only while
// messages are enabled and a progress object is set.
class CConverter final
{
public:
    using MessageBoxFunction = app::MessageBoxFunction;

    // `factory` creates one engine object per PDF (default: EngineClient::create,
    // by the ProgID "quirex.QUIREX" through the per-user registry); `messages`
    // shows the error boxes (default: reportWithoutDisplay; the program passes
    // its message box); `progress` is the progress window of a running window
    // conversion, or null.
    explicit CConverter(EngineFactory factory = {}, MessageBoxFunction messages = {},
                        ConversionProgress *progress = nullptr);
    ~CConverter();

    // --- Entries ---------------------------------------------------------

    // Converts the file `input` into the PDF `output` (both may be relative):
    // checks that the input can be opened (InputMissing, box 2034; a folder
    // passes this test), that the output path does not climb above "/"
    // (OutputPathNotCorrect, box 153), the extension (NoExtension,
    // WrongExtension; no box), and that the output is neither the input nor
    // the video step's copy of it (OutputIsInput; same path once cleaned, or
    // same device and inode), then runs ConvertQuirex. With openAfter() set,
    // the PDF written (the completed output; with all-to-one the joined PDF)
    // is opened with the desktop after the last input of a run (after every
    // input without all-to-one) when the conversion succeeded; a failure to
    // open gives OpenFailed. Cancelled when Cancel was pressed before; an all-to-one PDF
    // under way is then abandoned.
    int Convert(const QString &input, const QString &output);

    // The per-file step on completed paths: the video step when a temporary
    // file name is set, a new engine and PDF unless an all-to-one run is under
    // way, the load (a ".txt" path, compared case-sensitively, as text; any
    // other as an HTML file; an "http://", "https://" or "file://" address as
    // a URL), the pages with their numbers, the finishing step
    // and the document information (written once the PDF is closed). An input
    // that is not a regular file fails the load (EngineFailed, box 2016; as a
    // ".txt" input InputMissing, box 2034). Cancel is also read before every
    // page. On a failure or Cancel the engine document is abandoned (the
    // output path keeps what it had) and the video step's copy is removed.
    int ConvertQuirex(const QString &input, const QString &output);

    // Converts the document at `url` into the PDF `output`: no zoom, no page
    // numbers, no document information. A load that fails is EngineFailed
    // (box 2016).
    int ConvertURL(const QString &url, const QString &output);

    // Sets up the engine for a new PDF at `output` (no-op without an engine
    // in use): output file name, page counter back to 1, then ApplySettings.
    // InitFailed (box 2047) when the engine refuses.
    int InitPDF(const QString &output);

    // Hands the Conversion settings to the engine: margins (the bottom one
    // with a quarter-inch reserve for page numbers), encoding, paper,
    // images, tables, orientation, links and base URL. Stops silently at the
    // first engine failure. No-op without an engine in use.
    void ApplySettings();

    // Ends the current input: advances the progress by `steps` and, unless
    // more inputs of an all-to-one run follow, ends the PDF and releases the
    // engine (CloseEngine(false)). Returns 0, or EngineFailed when this run
    // put no PDF in place (nothing new at the output path, or not a PDF or
    // PostScript file).
    int FinishConverting(int steps);

    // Ends the engine document and releases the engine. With `abandon` the
    // engine is released without EndDoc, which discards its document and
    // leaves the output path as it was (a failed or cancelled conversion);
    // without it, a failure to end the document or a PDF that was not put in
    // place shows box 2046. No-op without an engine.
    void CloseEngine(bool abandon);

    // Creates the engine object for a new PDF. False, with box 2029 (ProgID
    // not resolved) or 2030 (no object created) while messages are enabled,
    // when the factory fails.
    bool CreateEngine();

    // --- Switches and state (set by callers before each call) ------------

    // Join successive inputs into one PDF, the first output path's.
    bool allToOne() const { return m_allToOne; }
    void setAllToOne(bool on) { m_allToOne = on; }
    // This input is the first of the run / the last of the run.
    bool isFirstFile() const { return m_firstFile; }
    void setFirstFile(bool first) { m_firstFile = first; }
    bool isLastFile() const { return m_lastFile; }
    void setLastFile(bool last) { m_lastFile = last; }
    // Open each finished PDF with the desktop ("/autolaunch").
    bool openAfter() const { return m_openAfter; }
    void setOpenAfter(bool on) { m_openAfter = on; }
    // "/swapext": kept for the batch modes, which read it.
    bool swapExtension() const { return m_swapExtension; }
    void setSwapExtension(bool on) { m_swapExtension = on; }

    // The live Conversion settings, shared by the command line, the main
    // window and the converter; built-in defaults at construction.
    const ConversionSettings &settings() const { return m_settings; }
    ConversionSettings &settings() { return m_settings; }
    void setSettings(const ConversionSettings &settings) { m_settings = settings; }

    // Error boxes and progress on (window mode, the default) or off.
    bool messagesEnabled() const { return m_messagesEnabled; }
    void setMessagesEnabled(bool on) { m_messagesEnabled = on; }
    // The progress window of the running conversion; null for none. Not owned.
    ConversionProgress *progress() const { return m_progress; }
    void setProgress(ConversionProgress *progress) { m_progress = progress; }

    // "/tempfile": when not empty, every input first passes the video step,
    // which writes a copy of this name in the input's folder and converts it.
    QString tempFileName() const { return m_tempFileName; }
    void setTempFileName(const QString &name) { m_tempFileName = name; }
    // Extension of derived output names ("pdf"; "/swapext").
    QString outputExtension() const { return m_outputExtension; }
    void setOutputExtension(const QString &extension) { m_outputExtension = extension; }
    // The header and footer drawn on every page. While they are empty, the
    // "/header" and "/footer" texts below are drawn instead: centred, Arial
    // 12 points, with the page-number placeholders "%c" and "%t".
    const PageDecorations &pageDecorations() const { return m_decorations; }
    void setPageDecorations(const PageDecorations &decorations) { m_decorations = decorations; }
    // "/header", "/footer": a centred header and footer text ("%c", "%t").
    QString headerText() const { return m_headerText; }
    void setHeaderText(const QString &text) { m_headerText = text; }
    QString footerText() const { return m_footerText; }
    void setFooterText(const QString &text) { m_footerText = text; }

    // Called at the end of ApplySettings for every new PDF, for the engine
    // settings a front end sets beyond the Conversion settings (quirexpdf's
    // scripts, headers, outline). May throw automation::ComError; the
    // conversion goes on with what the engine took.
    using EngineSetup = std::function<void(EngineClient &engine)>;
    void setEngineSetup(EngineSetup setup) { m_engineSetup = std::move(setup); }
    // Whether the quarter inch below the bottom margin stays free for page
    // numbers (on by default); off, the bottom margin is the settings' own.
    // The pages of the whole PDF, for "[topage]" on every page of a joined
    // PDF when the caller counted them first; 0 (the default): the pages up
    // to the end of the current input.
    void setTotalPages(int pages) { m_totalPages = pages; }
    // The pages the current (or last) PDF holds so far.
    int pageCount() const { return m_pageCounter - 1; }
    bool reservesPageNumberSpace() const { return m_pageNumberReserve; }
    void setReservesPageNumberSpace(bool on) { m_pageNumberReserve = on; }

    // Shows a message through the converter's message function whether
    // messages are enabled or not: for the boxes a mode shows although it
    // has switched the converter's own off.
    MessageAnswer showMessage(const QString &text, const QString &title, MessageIcon icon,
                              MessageButtons buttons = MessageButtons::Ok) const;

    // True while a conversion call or a run lasts (their nested event loops
    // may deliver window input and hand-off messages meanwhile).
    bool isBusy() const { return m_state != State::Idle; }
    // Marks the start of a run: conversion calls that belong together, made
    // by one front end, during which the converter stays busy between the
    // calls too. False, and nothing changes, when the converter is busy.
    bool beginRun();
    // Ends the run begun last; no-op without one.
    void endRun();
    // True while an engine document is open (an all-to-one run between its
    // first and last input, or inside a call).
    bool hasEngine() const { return m_engine != nullptr; }
    // The number the next output page of the current PDF gets.
    int pageCounter() const { return m_pageCounter; }
    // Why the last conversion call failed, for the log and stderr: the
    // engine's or the file system's reason; empty after a success.
    QString failureReason() const { return m_failureReason; }
    void setFailureReason(const QString &reason) { m_failureReason = reason; }

private:
    Q_DISABLE_COPY(CConverter)

    int convertFile(const QString &input, const QString &output);
    int loadInput(const QString &path);
    int loadTextInput(const QString &path);
    int checkLoad();
    int failLoad(const QString &reason);
    int engineException(const automation::ComError &error);
    int convertPages(bool stampNumbers, const QString &webpage);
    PageDecorations effectiveDecorations() const;
    int stampPageNumber(int current, int total);
    bool closeEngine(bool abandon);
    bool outputWritten(const QString &path) const;
    bool cancelled() const;
    void advance(int units);
    void errorBox(int textId);
    void formattedErrorBox(int formatId, const QString &argument);
    void engineExceptionBox(int code, const QString &text);

    bool m_allToOne = false;
    bool m_firstFile = false;
    bool m_lastFile = false;
    bool m_openAfter = false;
    bool m_swapExtension = false;
    ConversionSettings m_settings;
    bool m_messagesEnabled = true;
    ConversionProgress *m_progress = nullptr;
    QString m_tempFileName;
    QString m_outputExtension = QStringLiteral("pdf");
    QString m_headerText;
    QString m_footerText;
    PageDecorations m_decorations;
    EngineSetup m_engineSetup;
    bool m_pageNumberReserve = true;
    int m_totalPages = 0;
    std::unique_ptr<EngineClient> m_engine;
    bool m_engineInUse = false;
    int m_pageCounter = 1;

    EngineFactory m_factory;
    MessageBoxFunction m_messages;
    // Idle; in a run between its calls; inside a conversion call.
    enum class State { Idle, Run, Call };
    class CallScope;
    class CopyRemover;
    State m_state = State::Idle;
    // The file the current PDF is written to (an all-to-one run's first
    // output), for the document information and the open-after flag.
    QString m_pdfPath;
    // The identity of the file at m_pdfPath before the PDF was begun.
    QString m_pdfStamp;
    QString m_failureReason;
};

} // namespace quirex::app
