#include "converter.h"

#include "applog.h"
#include "comerror.h"
#include "comerrortext.h"
#include "conversionprogress.h"
#include "documentinfo.h"
#include "encodingtable.h"
#include "interruption.h"
#include "outputclash.h"
#include "pagebands.h"
#include "pagenumbers.h"
#include "papertable.h"
#include "pathcompletion.h"
#include "shellopen.h"
#include "stringids.h"
#include "stringtable.h"
#include "textformat.h"
#include "textinput.h"
#include "videoreplacement.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <climits>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quirex::app
{

using automation::ComError;

namespace
{

bool hasHtmlOrTextExtension(const QString &extension)
{
    return extension == QLatin1String("html") || extension == QLatin1String("htm") ||
           extension == QLatin1String("shtml") || extension == QLatin1String("shtm") ||
           extension == QLatin1String("txt");
}

// An address the engine loads as a URL rather than a file path.
bool isWebAddress(const QString &path)
{
    return path.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           path.startsWith(QLatin1String("https://"), Qt::CaseInsensitive) ||
           path.startsWith(QLatin1String("file://"), Qt::CaseInsensitive);
}

// Whether `path` can be opened for reading; a folder can. Never blocks on a
// named pipe.
bool canOpenForReading(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// A text input mapped read-only; empty (isMapped() false) when the path is
// not a regular file, is empty or cannot be read.
class MappedFile
{
public:
    explicit MappedFile(const QString &path)
    {
        const int fd =
            ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return;
        struct stat info {
        };
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
            info.st_size <= INT_MAX) {
            void *address = ::mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (address != MAP_FAILED) {
                m_address = address;
                m_size = size_t(info.st_size);
            }
        }
        ::close(fd);
    }
    ~MappedFile()
    {
        if (m_address)
            ::munmap(m_address, m_size);
    }
    bool isMapped() const { return m_address != nullptr; }
    // The bytes, valid while this object lives.
    QByteArray bytes() const
    {
        return QByteArray::fromRawData(static_cast<const char *>(m_address), int(m_size));
    }

private:
    Q_DISABLE_COPY(MappedFile)
    void *m_address = nullptr;
    size_t m_size = 0;
};

// The identity of the file at `path` (device, inode, change time), to tell
// whether a conversion put a new file there; empty when there is none.
QString fileStamp(const QString &path)
{
    struct stat info {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QString();
    return QStringLiteral("%1:%2:%3.%4")
        .arg(quint64(info.st_dev))
        .arg(quint64(info.st_ino))
        .arg(qint64(info.st_ctim.tv_sec))
        .arg(qint64(info.st_ctim.tv_nsec));
}

// Why nothing could be written at `path`, as far as the file system tells.
QString outputProblem(const QString &path)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("the output folder %1 does not exist").arg(folder.filePath());
    if (target.isDir())
        return QStringLiteral("the output %1 is a folder").arg(path);
    if (::access(QFile::encodeName(folder.filePath()).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("the output folder %1 cannot be written").arg(folder.filePath());
    return QStringLiteral("no PDF was written to %1").arg(path);
}

} // namespace

// Removes the video step's copy on every way out of the per-file step that
// does not remove it itself: the copy is the converter's own file.
class CConverter::CopyRemover
{
public:
    explicit CopyRemover(QString path)
        : m_path(std::move(path))
    {
    }
    ~CopyRemover()
    {
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }
    // The normal end removes the copy itself, to report a copy it cannot
    // delete.
    QString release() { return std::exchange(m_path, QString()); }

private:
    Q_DISABLE_COPY(CopyRemover)
    QString m_path;
};

// Marks a conversion call as running for as long as it lasts; a run that
// made the call is under way again afterwards.
class CConverter::CallScope
{
public:
    explicit CallScope(State &state)
        : m_state(state)
        , m_before(state)
    {
        m_state = State::Call;
    }
    ~CallScope() { m_state = m_before; }

private:
    Q_DISABLE_COPY(CallScope)
    State &m_state;
    const State m_before;
};

CConverter::CConverter(EngineFactory factory, MessageBoxFunction messages,
                       ConversionProgress *progress)
    : m_progress(progress)
    , m_factory(factory ? std::move(factory) : EngineFactory(&EngineClient::create))
    , m_messages(messages ? std::move(messages) : MessageBoxFunction(&reportWithoutDisplay))
{
    logStart();
}

// An engine document still open here (an all-to-one run whose last input
// never came) is abandoned when the engine is released without EndDoc: the
// file at its output path stays as it was.
CConverter::~CConverter() = default;

// --- Entries ----------------------------------------------------------------

int CConverter::Convert(const QString &input, const QString &output)
{
    if (m_state == State::Call)
        return ConvertResult::EngineFailed;
    CallScope call(m_state);
    m_failureReason.clear();
    logLine(QStringLiteral("CConverter::Convert\n"));
    if (cancelled()) {
        // A joined PDF cancelled between its inputs is abandoned, not left open.
        CloseEngine(true);
        return ConvertResult::Cancelled;
    }
    logLine(QStringLiteral("strInFilePath : %1\n").arg(input));
    const QString inputPath = completePath(input);
    const QString outputPath = completePath(output, inputPath);
    logLine(QStringLiteral("strInFileName : %1\n").arg(inputPath));
    if (!m_allToOne || m_firstFile)
        m_pdfPath.clear();

    if (!canOpenForReading(inputPath)) {
        formattedErrorBox(strings::CannotOpenFile, inputPath);
        return ConvertResult::InputMissing;
    }
    if (outputPath.isEmpty()) {
        errorBox(strings::OutputPathNotCorrect);
        return ConvertResult::OutputPathNotCorrect;
    }
    const int dot = inputPath.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return ConvertResult::NoExtension;
    if (!hasHtmlOrTextExtension(inputPath.mid(dot + 1).toLower()))
        return ConvertResult::WrongExtension;
    // The PDF would take the place of its own input (or of the video step's
    // copy of it, which is deleted afterwards).
    if (isSameFile(inputPath, outputPath) ||
        (!m_tempFileName.isEmpty() &&
         isSameFile(videoCopyPath(inputPath, m_tempFileName), outputPath))) {
        m_failureReason =
            QStringLiteral("the output %1 is the input %2").arg(outputPath, inputPath);
        logLine(m_failureReason);
        return ConvertResult::OutputIsInput;
    }

    int result = convertFile(inputPath, outputPath);

    // Only a PDF this run finished is opened: a failure keeps its own result.
    if (result == ConvertResult::Success && m_openAfter && (!m_allToOne || m_lastFile)) {
        // The PDF that was written: the completed output, and in an
        // all-to-one run the joined PDF at the first input's output.
        const QString written = m_allToOne && !m_pdfPath.isEmpty() ? m_pdfPath : outputPath;
        if (platform::shellOpen(written) <= 32)
            result = ConvertResult::OpenFailed;
    }
    return result;
}

int CConverter::ConvertQuirex(const QString &input, const QString &output)
{
    if (m_state == State::Call)
        return ConvertResult::EngineFailed;
    CallScope call(m_state);
    m_failureReason.clear();
    if (!m_allToOne || m_firstFile)
        m_pdfPath.clear();
    return convertFile(input, output);
}

int CConverter::convertFile(const QString &input, const QString &output)
{
    logLine(QStringLiteral("ConvertQuirex"));
    m_engineInUse = true;

    QString loadPath = input;
    if (!m_tempFileName.isEmpty()) {
        const int replaced = ReplaceToTempFile(loadPath, m_tempFileName);
        if (replaced != 0) {
            m_failureReason = QStringLiteral("no copy %1 could be made of %2 (it must be a new "
                                             "file name without a folder)")
                                  .arg(m_tempFileName, input);
            return replaced;
        }
    }
    CopyRemover copy(m_tempFileName.isEmpty() ? QString() : loadPath);

    const bool startsPdf = !m_allToOne || m_firstFile;
    if (startsPdf) {
        if (!CreateEngine())
            return ConvertResult::EngineNotCreated;
        const int initialised = InitPDF(output);
        if (initialised != 0)
            return initialised;
    }
    if (cancelled()) {
        CloseEngine(true);
        return ConvertResult::Cancelled;
    }
    if (!m_engine) {
        // A later input of an all-to-one run whose joined PDF was abandoned
        // (or never started): there is no document to append to.
        errorBox(strings::CannotLoadHtml);
        return ConvertResult::EngineFailed;
    }

    try {
        if (startsPdf)
            m_engine->beginDoc();
        if (m_settings.Zoom > 0)
            m_engine->setContentZoomFactor(m_settings.Zoom);
        const int loaded = loadInput(loadPath);
        if (loaded != 0)
            return loaded;
        if (m_messagesEnabled) {
            advance(2);
            if (cancelled()) {
                CloseEngine(true);
                return ConvertResult::Cancelled;
            }
        }
        const int converted = convertPages(m_settings.PageNumbers, input);
        if (converted != 0)
            return converted;
        const int finished = FinishConverting(1);
        if (finished != 0)
            return finished;
        // Document information goes into a closed PDF only: a joined PDF is
        // still being written by the engine until its last input.
        if (!m_engine && hasDocumentInformation(m_settings))
            writeDocumentInformation(m_pdfPath.isEmpty() ? output : m_pdfPath, m_settings);
    } catch (const ComError &error) {
        return engineException(error);
    } catch (const std::exception &exception) {
        // Anything else (memory for a huge text input, ...) is a failed load.
        CloseEngine(true);
        m_failureReason = QStringLiteral("%1 could not be loaded: %2")
                              .arg(input, QString::fromLocal8Bit(exception.what()));
        errorBox(strings::CannotLoadHtml);
        return ConvertResult::EngineFailed;
    }

    const QString copyPath = copy.release();
    if (!copyPath.isEmpty() && !QFile::remove(copyPath)) {
        m_failureReason = QStringLiteral("the copy %1 could not be deleted").arg(copyPath);
        return ConvertResult::TempFileNotDeleted;
    }
    advance(1);
    return ConvertResult::Success;
}

int CConverter::loadInput(const QString &path)
{
    if (isWebAddress(path)) {
        try {
            m_engine->loadUrl(path);
        } catch (const ComError &error) {
            return failLoad(
                QStringLiteral("%1 could not be loaded: %2").arg(path, comErrorText(error.code())));
        }
        return checkLoad();
    }
    // The text rule compares the name's end case-sensitively: "a.TXT" loads
    // as an HTML file.
    if (path.endsWith(QLatin1String(".txt")))
        return loadTextInput(path);
    // Only a regular file is a document: a folder or a named pipe would give
    // an empty page, or never finish loading.
    if (!QFileInfo(path).isFile())
        return failLoad(QStringLiteral("%1 is not a regular file").arg(path));
    try {
        m_engine->loadHtmlFile(path);
    } catch (const ComError &error) {
        return failLoad(
            QStringLiteral("%1 could not be loaded: %2").arg(path, comErrorText(error.code())));
    }
    return checkLoad();
}

int CConverter::loadTextInput(const QString &path)
{
    // Read-only: a text file the user may not write still converts.
    const MappedFile file(path);
    if (!file.isMapped()) {
        m_failureReason = QStringLiteral("%1 is not a readable, non-empty regular file").arg(path);
        formattedErrorBox(strings::CannotOpenFile, path);
        CloseEngine(true);
        return ConvertResult::InputMissing;
    }
    const QByteArray bytes = file.bytes();
    try {
        const TextEncoding encoding = detectTextEncoding(bytes);
        if (encoding == TextEncoding::Narrow)
            m_engine->loadHtmlString(textInputHtml(bytes));
        else if (hasUtf16ByteOrderMark(bytes))
            m_engine->loadHtmlFile(path);
        else
            m_engine->loadHtmlString(utf16TextHtml(bytes, encoding));
    } catch (const ComError &error) {
        return failLoad(
            QStringLiteral("%1 could not be loaded: %2").arg(path, comErrorText(error.code())));
    }
    return checkLoad();
}

int CConverter::checkLoad()
{
    // The engine prints whatever a failed load left; only it knows why the
    // load failed (a network error, an HTTP error status, PageTimeout).
    const QString failure = m_engine->lastFailure();
    return failure.isEmpty() ? 0 : failLoad(failure);
}

int CConverter::failLoad(const QString &reason)
{
    CloseEngine(true);
    m_failureReason = reason;
    logLine(reason);
    errorBox(strings::CannotLoadHtml);
    return ConvertResult::EngineFailed;
}

int CConverter::engineException(const ComError &error)
{
    CloseEngine(true);
    const QString text = comErrorText(error.code());
    m_failureReason = QStringLiteral("an engine call failed: %1 - %2").arg(error.code()).arg(text);
    logLine(m_failureReason);
    engineExceptionBox(error.code(), text);
    return ConvertResult::EngineFailed;
}

int CConverter::convertPages(bool stampNumbers, const QString &webpage)
{
    const PageDecorations decorations = effectiveDecorations();
    PageFacts facts;
    if (!decorations.isEmpty()) {
        // One date and time for the whole input, as its pages show them.
        const QDateTime now = QDateTime::currentDateTime();
        facts.date = QLocale::system().toString(now.date(), QLocale::ShortFormat);
        facts.time = QLocale::system().toString(now.time(), QLocale::ShortFormat);
        facts.webpage = webpage;
        facts.title = m_settings.Title;
    }
    // The pages the PDF holds before this input's.
    const int earlierPages = m_pageCounter - 1;
    int page = 0;
    while (page < m_engine->numberOfPages()) {
        if (cancelled()) {
            CloseEngine(true);
            return ConvertResult::Cancelled;
        }
        ++page;
        try {
            m_engine->convertPage(page);
        } catch (const ComError &error) {
            return failLoad(QStringLiteral("page %1 could not be converted: %2")
                                .arg(page)
                                .arg(comErrorText(error.code())));
        }
        if (stampNumbers)
            stampPageNumber(m_pageCounter, m_engine->numberOfPages());
        if (!decorations.isEmpty()) {
            facts.page = m_pageCounter;
            facts.sitePage = page;
            facts.sitePages = m_engine->numberOfPages();
            facts.toPage = m_totalPages > 0 ? m_totalPages : earlierPages + facts.sitePages;
            try {
                // The engine knows the PDF's title once its first page is printed.
                if (page == 1 && facts.title.isEmpty())
                    facts.title = m_engine->documentTitle();
                drawPageBands(*m_engine, m_settings, decorations, facts, m_pageNumberReserve);
            } catch (const ComError &error) {
                // Unlike a page number, a band is content the caller asked for:
                // a PDF without it is no success.
                CloseEngine(true);
                const QString text = comErrorText(error.code());
                m_failureReason =
                    QStringLiteral("the header or footer of page %1 could not be drawn: %2")
                        .arg(m_pageCounter)
                        .arg(text);
                logLine(m_failureReason);
                engineExceptionBox(error.code(), text);
                return ConvertResult::EngineFailed;
            }
        }
        ++m_pageCounter;
    }
    return 0;
}

PageDecorations CConverter::effectiveDecorations() const
{
    if (!m_decorations.isEmpty() || (m_headerText.isEmpty() && m_footerText.isEmpty()))
        return m_decorations;
    PageDecorations texts;
    texts.syntax = PlaceholderSyntax::Percent;
    texts.header.center = m_headerText;
    texts.footer.center = m_footerText;
    return texts;
}

int CConverter::stampPageNumber(int current, int total)
{
    if (!m_engineInUse || !m_engine)
        return 0;
    try {
        quirex::app::stampPageNumber(*m_engine, m_settings, current, total);
    } catch (const ComError &) {
        errorBox(strings::DocumentComponentFailed);
        return ConvertResult::PageNumberFailed;
    }
    return 0;
}

int CConverter::ConvertURL(const QString &url, const QString &output)
{
    if (m_state == State::Call)
        return ConvertResult::EngineFailed;
    CallScope call(m_state);
    m_failureReason.clear();
    m_engineInUse = true;
    m_pdfPath.clear();
    if (!CreateEngine())
        return ConvertResult::EngineNotCreated;
    const int initialised = InitPDF(output);
    if (initialised != 0)
        return initialised;
    try {
        m_engine->beginDoc();
        try {
            m_engine->loadUrl(url);
        } catch (const ComError &error) {
            return failLoad(
                QStringLiteral("%1 could not be loaded: %2").arg(url, comErrorText(error.code())));
        }
        const int loaded = checkLoad();
        if (loaded != 0)
            return loaded;
        if (m_messagesEnabled) {
            advance(2);
            if (cancelled()) {
                CloseEngine(true);
                return ConvertResult::Cancelled;
            }
        }
        const int converted = convertPages(false, url);
        if (converted != 0)
            return converted;
        const int finished = FinishConverting(1);
        if (finished != 0)
            return finished;
    } catch (const ComError &error) {
        return engineException(error);
    }
    advance(1);
    return ConvertResult::Success;
}

int CConverter::InitPDF(const QString &output)
{
    logLine(QStringLiteral("InitPDF Begin"));
    if (!m_engineInUse) {
        logLine(QStringLiteral("InitPDF End"));
        return 0;
    }
    try {
        if (!m_engine)
            throw ComError(automation::E_POINTER);
        m_engine->setOutputFileName(output);
        m_pageCounter = 1;
    } catch (const ComError &error) {
        m_failureReason = QStringLiteral("the engine refused the output %1: %2")
                              .arg(output, comErrorText(error.code()));
        errorBox(strings::EngineFailed);
        // Nothing was begun: the next PDF creates a new engine.
        m_engine.reset();
        return ConvertResult::InitFailed;
    }
    m_pdfPath = output;
    m_pdfStamp = fileStamp(output);
    ApplySettings();
    logLine(QStringLiteral("InitPDF End"));
    return 0;
}

void CConverter::ApplySettings()
{
    if (!m_engineInUse || !m_engine)
        return;
    EngineClient &engine = *m_engine;
    const ConversionSettings &s = m_settings;
    try {
        engine.setMarginTop(s.MarginTop);
        engine.setMarginLeft(s.MarginLeft);
        engine.setMarginRight(s.MarginRight);
        // A quarter inch below the bottom margin stays free for page numbers.
        engine.setMarginBottom(engineBottomMargin(s, engine.resolution(), m_pageNumberReserve));
        engine.setEncoding(encodingName(s.Encoding));
        if (s.PaperSize == CustomPaperSize)
            engine.setCustomPaperSize(s.CustomPaperWidth, s.CustomPaperHeight);
        else
            engine.setPaperSize(paperName(s.PaperSize));
        engine.setPostEntireImages(s.PostEntireImages);
        engine.setPostEntireTables(s.PostEntireTables);
        engine.setLandscapePageOrientation(s.Orientation != 0);
        engine.setPreserveLinks(s.PreserveLinks);
        if (s.PreserveLinks) {
            // Without a base address the engine resolves relative links
            // against the document's own address.
            QString base = s.BaseURL;
            if (!base.isEmpty() && !base.endsWith(QLatin1Char('/')))
                base += QLatin1Char('/');
            engine.setBaseUrl(base);
        }
    } catch (const ComError &) {
        // The engine keeps its own values for what it refused; the
        // conversion goes on with them.
    }
    try {
        engine.setMediaType(s.ScreenMedia ? QStringLiteral("screen") : QStringLiteral("print"));
    } catch (const ComError &) {
        // An engine without the member prints as it always does.
    }
    if (m_engineSetup) {
        try {
            m_engineSetup(engine);
        } catch (const ComError &) {
            // As above: the engine keeps its own values for what it refused.
        }
    }
}

int CConverter::FinishConverting(int steps)
{
    logLine(QStringLiteral("FinishConverting 0"));
    if (!m_engineInUse)
        return 0;
    if (m_allToOne && !m_lastFile) {
        advance(steps);
        advance(steps);
        return 0;
    }
    advance(steps);
    return closeEngine(false) ? 0 : ConvertResult::EngineFailed;
}

void CConverter::CloseEngine(bool abandon)
{
    closeEngine(abandon);
}

bool CConverter::closeEngine(bool abandon)
{
    if (!m_engineInUse || !m_engine)
        return true;
    if (abandon) {
        // Released without EndDoc, the engine discards its unfinished
        // document: the file at the output path, if any, stays as it was.
        m_engine.reset();
        return true;
    }
    QString file;
    QString failure;
    try {
        file = m_engine->outputFileName();
        m_engine->endDoc();
        // Whether the engine put its document in place, and why not.
        failure = m_engine->lastFailure();
    } catch (const ComError &error) {
        failure = QStringLiteral("the engine could not finish %1: %2")
                      .arg(file, comErrorText(error.code()));
    }
    m_engine.reset();
    // Success means this run put a new PDF in place: an older file of the
    // same name, left where the new one could not be written, is not one.
    if (failure.isEmpty() && (!outputWritten(file) || fileStamp(file) == m_pdfStamp))
        failure = outputProblem(file);
    if (!failure.isEmpty()) {
        m_failureReason = failure;
        logLine(failure);
        errorBox(strings::FinishingFailed);
        return false;
    }
    return true;
}

bool CConverter::CreateEngine()
{
    // An engine still held (an all-to-one run that never got its last
    // input) finishes its PDF before a new one starts.
    if (m_engine)
        closeEngine(false);
    EngineCreationFailure failure = EngineCreationFailure::ObjectNotCreated;
    m_engine = m_factory(&failure);
    if (m_engine)
        return true;
    formattedErrorBox(failure == EngineCreationFailure::ClassNotFound
                          ? strings::ComponentNotFound
                          : strings::ComponentNotCreated,
                      QStringLiteral("QUIREX"));
    return false;
}

// --- Helpers -----------------------------------------------------------------

bool CConverter::outputWritten(const QString &path) const
{
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4);
    return head == "%PDF" || head == "%!PS";
}

bool CConverter::cancelled() const
{
    // A SIGINT or SIGTERM cancels in every mode.
    return interruptionSignal() != 0 ||
           (m_messagesEnabled && m_progress && m_progress->cancelled());
}

void CConverter::advance(int units)
{
    if (m_messagesEnabled && m_progress)
        m_progress->step(units);
}

bool CConverter::beginRun()
{
    if (m_state != State::Idle)
        return false;
    m_state = State::Run;
    return true;
}

void CConverter::endRun()
{
    if (m_state == State::Run)
        m_state = State::Idle;
}

MessageAnswer CConverter::showMessage(const QString &text, const QString &title, MessageIcon icon,
                                      MessageButtons buttons) const
{
    return m_messages(text, title, icon, buttons);
}

void CConverter::errorBox(int textId)
{
    if (m_messagesEnabled)
        m_messages(loadText(textId), loadText(strings::ErrorTitle), MessageIcon::Error,
                   MessageButtons::Ok);
}

void CConverter::formattedErrorBox(int formatId, const QString &argument)
{
    if (m_messagesEnabled)
        m_messages(fillFormat(loadText(formatId), {argument}), loadText(strings::ErrorTitle),
                   MessageIcon::Error, MessageButtons::Ok);
}

void CConverter::engineExceptionBox(int code, const QString &text)
{
    if (m_messagesEnabled)
        m_messages(engineExceptionText(code, text), QStringLiteral("Error"), MessageIcon::Error,
                   MessageButtons::Ok);
}

} // namespace quirex::app
