// The pages of the engine object's output: page starts and backgrounds, the
// page converters, and painting slices of the rendered document onto pages.
#include "quirex.h"
#include "quirex_p.h"

#include <QPrinter>
#include <QWebFrame>
#include <QWebPage>

#include <algorithm>
#include <cmath>

using quirex::engine::PageGeometry;

void QUIREXPrivate::m_FillPageBackground(const QString &color_str)
{
    QPainter &painter = output.m_painter;
    if (!painter.isActive())
        return;
    QColor color(color_str);
    if (!color.isValid())
        color = Qt::white;
    const QSize paper = geometry.paperPixels();
    const QMargins &margins = geometry.margins();
    const bool transparent = painter.backgroundMode() == Qt::TransparentMode;
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setPen(QPen(color, 0));
    // The whole paper, grown by two pixels on every side, in painter
    // coordinates (origin at the printable area).
    painter.fillRect(
        QRect(QPoint(-margins.left() - 2, -margins.top() - 2),
              QPoint(paper.width() - margins.left() + 2, paper.height() - margins.top() + 2)),
        color);
    painter.setPen(drawing.m_pen);
    if (transparent)
        painter.setBackgroundMode(Qt::TransparentMode);
}

QString QUIREXPrivate::outputTitle() const
{
    if (!output.m_documentTitle.isEmpty())
        return output.m_documentTitle;
    return document.m_mainFrame->title().simplified();
}

void QUIREXPrivate::newPrinterPage()
{
    output.m_printer->newPage();
    ++output.m_outputPage;
}

void QUIREX::NewPage()
{
    if (!d->output.m_painter.isActive())
        return;
    d->newPrinterPage();
    d->m_FillPageBackground(d->output.m_pageBackgroundColor);
    d->output.m_firstPage = false;
}

bool QUIREXPrivate::startPage(bool onePageMode)
{
    if (!output.m_painter.isActive())
        return false;
    const bool custom = geometry.paperKind() == PageGeometry::PaperKind::Custom;
    const QSize &contents = document.m_contentsSize;
    if (!output.m_firstPage) {
        // In one-page mode every document gets a page of its own size; the
        // printer takes a new size at the next page.
        if (onePageMode && !custom) {
            geometry.setPaperPixels(paperForContents(contents));
            output.m_printer->setPageOrientation(QPageLayout::Portrait);
            output.m_printer->setPageSize(geometry.pageSize());
        }
        newPrinterPage();
        m_FillPageBackground(output.m_pageBackgroundColor);
        return true;
    }
    // The first page restarts the output, so the paper and margins chosen
    // after the load are those of every page.
    output.m_firstPage = false;
    output.m_painter.end();
    // The file is written again from its start, with the title of the
    // document now loaded.
    output.m_printer->setDocName(outputTitle());
    if (onePageMode) {
        if (!custom)
            geometry.setPaperPixels(paperForContents(contents));
        setViewportSize(contents);
    } else {
        const QRect printable = geometry.printableRect();
        const int scale = static_cast<int>(std::floor(document.m_documentScale));
        setViewportSize(QSize(scale * printable.width(), scale * printable.height()));
        if (!custom)
            geometry.restoreNamedPaper();
    }
    if (!beginPainting())
        return false;
    m_FillPageBackground(output.m_pageBackgroundColor);
    return true;
}

void QUIREX::ConvertPage(int lPage)
{
    if (!d->startPage(false))
        return;
    if (lPage < 1 || lPage > d->slicing.m_numberOfPages)
        return;
    d->m_ConvertPage(d->sliceBoundary(lPage - 1), d->sliceBoundary(lPage));
}

void QUIREX::ConvertAll()
{
    if (d->slicing.m_slicingMode)
        d->m_MultiplePageConverter();
    else
        d->m_OnePageConverter();
}

void QUIREXPrivate::m_MultiplePageConverter()
{
    if (startPage(false)) {
        for (int i = 1;; ++i) {
            m_ConvertPage(sliceBoundary(i - 1), sliceBoundary(i));
            if (i >= slicing.m_numberOfPages)
                break;
            newPrinterPage();
            m_FillPageBackground(output.m_pageBackgroundColor);
        }
    }
    slicing.m_SlicesList.clear();
    slicing.m_tables.groups.clear();
}

void QUIREXPrivate::m_OnePageConverter()
{
    if (startPage(true))
        m_ConvertPage(0, document.m_contentsSize.height());
    output.m_firstPage = false;
}

void QUIREXPrivate::m_ConvertPage(int from_pos, int to_pos)
{
    if (!output.m_painter.isActive())
        return;
    // Where a table continues across the page, its header rows open the
    // page and its footer rows close it, as on the table's first and last
    // page; the slice lies between them.
    const RepeatedRows repeated = repeatedRows(from_pos, to_pos);
    const int shift = repeated.head.height();
    recordSliceOnPage(from_pos, to_pos, shift);
    m_DrawHyperlinksOnPage(links.m_preserveLinks, from_pos, to_pos, shift);
    if (!repeated.head.isEmpty())
        paintSlice(repeated.head.top(), repeated.head.bottom() + 1, 0, false, repeated.head.left(),
                   repeated.head.width());
    paintSlice(from_pos, to_pos, shift);
    if (!repeated.foot.isEmpty())
        paintSlice(repeated.foot.top(), repeated.foot.bottom() + 1, shift + to_pos - from_pos,
                   false, repeated.foot.left(), repeated.foot.width());
}

void QUIREXPrivate::paintSlice(int from, int to, int at, bool inset, int left, int columns)
{
    QWebFrame *frame = document.m_mainFrame;
    QPainter &painter = output.m_painter;
    const double documentScale = document.m_documentScale;
    // The viewport keeps the size the document was laid out and sliced at:
    // a new size would lay out the whole document again, on every page. The
    // slice is painted through a clip instead, in viewport-high pieces when
    // it is taller than the viewport.
    const QSize viewport = document.m_webPage->viewportSize();
    int width = std::min(viewport.width(), static_cast<int>(std::floor(documentScale)) *
                                               geometry.printableRect().width());
    if (columns >= 0) {
        left = std::clamp(left, 0, width);
        width = std::min(columns, width - left);
    } else {
        left = 0;
    }
    // Where the slice ends between two lines, the web engine would still
    // draw a line whose glyph box reaches across (fonts whose glyph boxes
    // are taller than their line height), clipped but whole in the file's
    // text; painting stops short of such a boundary by that reach (see
    // insetAt()). Repeated table rows are painted whole.
    const int end = inset ? to - insetAt(to) : to;
    groupBodyForPainting();
    for (int y = inset ? from + insetAt(from) : from; y < end;) {
        frame->setScrollPosition(QPoint(0, y));
        // Near the end of the document the scroll position stops short of
        // y; the piece then starts lower in the viewport.
        const int offset = y - frame->scrollPosition().y();
        const int height = std::min(end - y, viewport.height() - offset);
        if (offset < 0 || height <= 0)
            break;
        painter.scale(1 / documentScale, 1 / documentScale);
        painter.translate(0, at + y - from - offset);
        frame->render(&painter, QWebFrame::ContentsLayer, QRegion(left, offset, width, height));
        resetPainterTransform();
        y += height;
    }
}
