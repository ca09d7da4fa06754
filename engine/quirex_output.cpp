// Page output of the engine object: printer set-up, the output document and
// its pages, and painting slices of the rendered document onto them.
#include "quirex.h"

#include "bodygrouping.h"
#include "enginetrace.h"
#include "outputfile.h"
#include "postscriptconverter.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QWebFrame>
#include <QWebPage>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

using quirex::engine::PageGeometry;

namespace {

const QString kCreator = QStringLiteral("Quirex Engine " QUIREX_ENGINE_VERSION);

// The largest page a PDF reader is sure to show is 200 inches square.
constexpr double kLargestPaperMillimetres = 5080.0;

} // namespace

// ---- the output document --------------------------------------------------

void QUIREX::m_SetUpPrinter()
{
    m_geometry.setResolution(m_resolution);
    if (m_landscapePageOrientation)
        m_geometry.setLandscape(true);
    if (m_grayScaleMode)
        m_printer->setColorMode(QPrinter::GrayScale);
    m_finalOutput = m_outputFileName;
    m_printingPostScript = quirex::engine::writesPostScript(m_outputFileName, m_postScriptFormat);
    m_printer->setCreator(kCreator);
    m_printer->setDocName(m_documentTitle);
    applyGeometryToPrinter();
}

void QUIREX::BeginDoc()
{
    readUntrustedMode();
    if (m_painter.isActive())
        EndDoc();
    m_SetUpPrinter();
    // Every document starts with its first page, also the second document
    // of an object: the first page output restarts it with the final paper.
    m_firstPage = true;
    if (!createTemporaryOutput())
        return;
    if (!beginPainting()) {
        reportOutputFailure(QStringLiteral("cannot start writing %1").arg(m_finalOutput));
        discardTemporaryOutput();
        return;
    }
    m_FillPageBackground(m_pageBackgroundColor);
}

void QUIREX::EndDoc()
{
    if (m_painter.isActive())
        endPainting();
    addNavigationToOutput();
    finishOutput();
}

bool QUIREX::createTemporaryOutput()
{
    discardTemporaryOutput();
    // An empty name would send the document to a system printer: write
    // nothing instead.
    if (m_finalOutput.isEmpty())
        return false;
    // Created as a plain open() would create the output, so the finished
    // file gets the permissions the umask allows.
    m_temporaryOutput = quirex::engine::createFileBeside(m_finalOutput, QStringLiteral(".part"));
    if (m_temporaryOutput.isEmpty()) {
        reportOutputFailure(QStringLiteral("cannot create a file beside %1: %2")
                                .arg(m_finalOutput, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    return true;
}

void QUIREX::reportOutputFailure(const QString &reason)
{
    const QString line = QStringLiteral("output failed: ") + reason;
    m_writeLog(line);
    QUIREX_TRACE() << line;
}

void QUIREX::discardTemporaryOutput()
{
    if (!m_temporaryOutput.isEmpty())
        QFile::remove(m_temporaryOutput);
    m_temporaryOutput.clear();
}

void QUIREX::finishOutput()
{
    if (m_temporaryOutput.isEmpty())
        return;
    if (m_printingPostScript) {
        // On failure the target is left as it was (absent, or the previous
        // file), which is what callers that check the output see.
        quirex::engine::PostScriptConverter converter;
        if (!converter.convert(m_temporaryOutput, m_finalOutput))
            reportOutputFailure(QStringLiteral("no PostScript written to %1: %2")
                                    .arg(m_finalOutput, converter.errorString()));
    } else {
        // A file replaced keeps its permissions; rename() replaces it in one
        // step, so the target is never missing or half written.
        quirex::engine::keepPermissionsOf(m_finalOutput, m_temporaryOutput);
        if (std::rename(QFile::encodeName(m_temporaryOutput).constData(),
                        QFile::encodeName(m_finalOutput).constData()) == 0)
            m_temporaryOutput.clear();
        else
            reportOutputFailure(
                QStringLiteral("cannot put %1 in place: %2")
                    .arg(m_finalOutput, QString::fromLocal8Bit(std::strerror(errno))));
    }
    discardTemporaryOutput();
}

bool QUIREX::beginPainting()
{
    if (m_temporaryOutput.isEmpty())
        return false;
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setOutputFileName(m_temporaryOutput);
    applyGeometryToPrinter();
    if (!m_painter.begin(m_printer.get()))
        return false;
    // A new file: whatever was printed before is gone.
    m_outputPage = 0;
    m_navigation.forgetPages();
    m_painter.setPen(m_pen);
    resetPainterTransform();
    return true;
}

void QUIREX::endPainting()
{
    m_painter.end();
    // Paper, orientation and margins changed while painting reach the
    // printer now, for the next document or the first-page restart.
    applyGeometryToPrinter();
}

void QUIREX::resetPainterTransform()
{
    // The painter's origin is the top-left corner of the printable area.
    m_painter.resetTransform();
    m_painter.translate(m_geometry.margins().left(), m_geometry.margins().top());
}

void QUIREX::SetCustomPaperSize(double w, double h)
{
    if (!(w > 0 && h > 0 && w <= kLargestPaperMillimetres && h <= kLargestPaperMillimetres))
        return;
    m_geometry.setCustomPaperMillimetres(w, h);
    applyGeometryToPrinter();
}

// ---- pages ----------------------------------------------------------------

void QUIREX::m_FillPageBackground(const QString &color_str)
{
    if (!m_painter.isActive())
        return;
    QColor color(color_str);
    if (!color.isValid())
        color = Qt::white;
    const QSize paper = m_geometry.paperPixels();
    const QMargins &margins = m_geometry.margins();
    const bool transparent = m_painter.backgroundMode() == Qt::TransparentMode;
    m_painter.setBackgroundMode(Qt::OpaqueMode);
    m_painter.setPen(QPen(color, 0));
    // The whole paper, grown by two pixels on every side, in painter
    // coordinates (origin at the printable area).
    m_painter.fillRect(QRect(QPoint(-margins.left() - 2, -margins.top() - 2),
                             QPoint(paper.width() - margins.left() + 2,
                                    paper.height() - margins.top() + 2)),
                       color);
    m_painter.setPen(m_pen);
    if (transparent)
        m_painter.setBackgroundMode(Qt::TransparentMode);
}

void QUIREX::newPrinterPage()
{
    m_printer->newPage();
    ++m_outputPage;
}

void QUIREX::NewPage()
{
    if (!m_painter.isActive())
        return;
    newPrinterPage();
    m_FillPageBackground(m_pageBackgroundColor);
    m_firstPage = false;
}

bool QUIREX::startPage(bool onePageMode)
{
    if (!m_painter.isActive())
        return false;
    const bool custom = m_geometry.paperKind() == PageGeometry::PaperKind::Custom;
    if (!m_firstPage) {
        // In one-page mode every document gets a page of its own size; the
        // printer takes a new size at the next page.
        if (onePageMode && !custom) {
            m_geometry.setPaperPixels(paperForContents(m_contentsSize));
            m_printer->setPageOrientation(QPageLayout::Portrait);
            m_printer->setPageSize(m_geometry.pageSize());
        }
        newPrinterPage();
        m_FillPageBackground(m_pageBackgroundColor);
        return true;
    }
    // The first page restarts the output, so the paper and margins chosen
    // after the load are those of every page.
    m_firstPage = false;
    m_painter.end();
    if (onePageMode) {
        if (!custom)
            m_geometry.setPaperPixels(paperForContents(m_contentsSize));
        setViewportSize(m_contentsSize);
    } else {
        const QRect printable = m_geometry.printableRect();
        setViewportSize(QSize(static_cast<int>(std::floor(m_documentScale)) * printable.width(),
                              static_cast<int>(std::floor(m_documentScale)) * printable.height()));
        if (!custom)
            m_geometry.setNamedPaper(m_paperSizeCode);
    }
    if (!beginPainting())
        return false;
    m_FillPageBackground(m_pageBackgroundColor);
    return true;
}

QSize QUIREX::paperForContents(const QSize &contents) const
{
    const QMargins &margins = m_geometry.margins();
    return QSize(static_cast<int>(std::ceil(contents.width() / m_documentScale)) + margins.right() +
                     margins.left(),
                 static_cast<int>(std::ceil(contents.height() / m_documentScale)) + margins.top() +
                     margins.bottom());
}

int QUIREX::sliceBoundary(int index) const
{
    return index >= 0 && index < static_cast<int>(m_SlicesList.size()) ? m_SlicesList[index] : 0;
}

void QUIREX::ConvertPage(int lPage)
{
    if (!startPage(false))
        return;
    if (lPage < 1 || lPage > m_numberOfPages)
        return;
    m_ConvertPage(sliceBoundary(lPage - 1), sliceBoundary(lPage));
}

void QUIREX::ConvertAll()
{
    if (m_slicingMode)
        m_MultiplePageConverter();
    else
        m_OnePageConverter();
}

void QUIREX::m_MultiplePageConverter()
{
    if (startPage(false)) {
        for (int i = 1;; ++i) {
            m_ConvertPage(sliceBoundary(i - 1), sliceBoundary(i));
            if (i >= m_numberOfPages)
                break;
            newPrinterPage();
            m_FillPageBackground(m_pageBackgroundColor);
        }
    }
    m_SlicesList.clear();
}

void QUIREX::m_OnePageConverter()
{
    if (startPage(true))
        m_ConvertPage(0, m_contentsSize.height());
    m_firstPage = false;
}

void QUIREX::m_ConvertPage(int from_pos, int to_pos)
{
    if (!m_painter.isActive())
        return;
    recordSliceOnPage(from_pos, to_pos);
    m_DrawHyperlinksOnPage(m_preserveLinks, from_pos, to_pos);
    paintSlice(from_pos, to_pos);
}

void QUIREX::paintSlice(int from, int to)
{
    // The viewport keeps the size the document was laid out and sliced at:
    // a new size would lay out the whole document again, on every page. The
    // slice is painted through a clip instead, in viewport-high pieces when
    // it is taller than the viewport.
    const QSize viewport = m_webPage->viewportSize();
    const int width = std::min(viewport.width(), static_cast<int>(std::floor(m_documentScale)) *
                                                     m_geometry.printableRect().width());
    // Where the slice ends between two lines, the web engine would still
    // draw a line whose box reaches a pixel or two across (fonts whose glyph
    // boxes are taller than their line height), clipped but whole in the
    // file's text; painting stops just short of such a boundary.
    const int end = to - insetAt(to);
    groupBodyForPainting();
    for (int y = from + insetAt(from); y < end;) {
        m_mainFrame->setScrollPosition(QPoint(0, y));
        // Near the end of the document the scroll position stops short of
        // y; the piece then starts lower in the viewport.
        const int offset = y - m_mainFrame->scrollPosition().y();
        const int height = std::min(end - y, viewport.height() - offset);
        if (offset < 0 || height <= 0)
            break;
        m_painter.scale(1 / m_documentScale, 1 / m_documentScale);
        m_painter.translate(0, y - from - offset);
        m_mainFrame->render(&m_painter, QWebFrame::ContentsLayer,
                            QRegion(0, offset, width, height));
        resetPainterTransform();
        y += height;
    }
}

void QUIREX::groupBodyForPainting()
{
    // Only pages of a sliced document gain: one-page mode paints once.
    if (m_bodyGroupingTried || !m_slicingMode || m_numberOfPages < 2)
        return;
    m_bodyGroupingTried = true;
    const int groups = quirex::engine::groupLongBody(m_mainFrame);
    m_bodyGrouped = groups > 0;
    QUIREX_TRACE() << "body children grouped for painting:" << groups << "groups";
}

void QUIREX::restoreLoadedBody()
{
    if (m_bodyGrouped)
        quirex::engine::ungroupBody(m_mainFrame);
    m_bodyGrouped = false;
    m_bodyGroupingTried = false;
}

int QUIREX::insetAt(int boundary) const
{
    if (!std::binary_search(m_lineCuts.begin(), m_lineCuts.end(), boundary))
        return 0;
    // A third of a CSS pixel: below anything visible, above the overhang.
    return std::max(2, static_cast<int>(std::ceil(documentZoom() / 3)));
}
