// Page output of the engine object: printer set-up, the output document and
// its pages, and painting slices of the rendered document onto them.
#include "quirex.h"

#include "enginetrace.h"
#include "postscriptconverter.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>
#include <QWebFrame>
#include <QWebPage>

#include <cmath>
#include <cstdio>

using quirex::engine::PageGeometry;

namespace {

const QString kCreator = QStringLiteral("Quirex Engine 5.9.3");

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
    if (!createTemporaryOutput())
        return;
    if (beginPainting())
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
    const QFileInfo target(m_finalOutput);
    QTemporaryFile file(target.absolutePath() + QLatin1String("/.") + target.fileName()
                        + QStringLiteral(".XXXXXX.part"));
    file.setAutoRemove(false);
    if (!file.open())
        return false;
    m_temporaryOutput = file.fileName();
    return true;
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
    bool done = false;
    if (m_printingPostScript) {
        done = quirex::engine::PostScriptConverter().convert(m_temporaryOutput, m_finalOutput);
    } else {
        // rename() replaces an existing file in one step, so the target is
        // never missing or half written.
        done = std::rename(QFile::encodeName(m_temporaryOutput).constData(),
                           QFile::encodeName(m_finalOutput).constData())
            == 0;
        if (done)
            m_temporaryOutput.clear();
    }
    Q_UNUSED(done);
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
    if (!m_firstPage) {
        newPrinterPage();
        m_FillPageBackground(m_pageBackgroundColor);
        return true;
    }
    // The first page restarts the output, so the paper and margins chosen
    // after the load are those of every page.
    m_firstPage = false;
    m_painter.end();
    const bool custom = m_geometry.paperKind() == PageGeometry::PaperKind::Custom;
    if (onePageMode) {
        if (!custom) {
            const QMargins &margins = m_geometry.margins();
            m_geometry.setPaperPixels(QSize(
                static_cast<int>(std::ceil(m_contentsSize.width() / m_renderScale))
                    + margins.right() + margins.left(),
                static_cast<int>(std::ceil(m_contentsSize.height() / m_renderScale))
                    + margins.top() + margins.bottom()));
        }
        setViewportSize(m_contentsSize);
    } else {
        const QRect printable = m_geometry.printableRect();
        setViewportSize(QSize(static_cast<int>(std::floor(m_renderScale)) * printable.width(),
                              static_cast<int>(std::floor(m_renderScale)) * printable.height()));
        if (!custom)
            m_geometry.setNamedPaper(m_paperSizeCode);
    }
    if (!beginPainting())
        return false;
    m_FillPageBackground(m_pageBackgroundColor);
    return true;
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
    const int width =
        std::min(viewport.width(), static_cast<int>(std::floor(m_renderScale))
                                       * m_geometry.printableRect().width());
    for (int y = from; y < to;) {
        m_mainFrame->setScrollPosition(QPoint(0, y));
        // Near the end of the document the scroll position stops short of
        // y; the piece then starts lower in the viewport.
        const int offset = y - m_mainFrame->scrollPosition().y();
        const int height = std::min(to - y, viewport.height() - offset);
        if (offset < 0 || height <= 0)
            break;
        m_painter.scale(1 / m_renderScale, 1 / m_renderScale);
        m_painter.translate(0, y - from - offset);
        m_mainFrame->render(&m_painter, QWebFrame::ContentsLayer,
                            QRegion(0, offset, width, height));
        resetPainterTransform();
        y += height;
    }
}
