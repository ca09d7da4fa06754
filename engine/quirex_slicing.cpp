// Page slicing of the engine object: the scans of the laid-out document and
// the pass that turns their points into slice boundaries.
#include "quirex.h"
#include "quirex_p.h"

#include "breakstyleprobe.h"
#include "documentscan.h"
#include "documenttree.h"
#include "enginetrace.h"
#include "linefinder.h"
#include "pageslicer.h"

#include <QWebElement>
#include <QWebFrame>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace quirex::engine;

void QUIREXPrivate::m_FindCSSPageBreaks()
{
    QWebFrame *frame = document.m_mainFrame;
    slicing.m_CSSPageBreaksList.clear();
    slicing.m_avoidedBlocks.clear();
    // Reading cascaded values matches every rule against every element; a
    // document that declares no break property anywhere is not scanned.
    if (!slicing.m_resolveCssPageBreaks || !documentMayDeclareBreaks(frame))
        return;
    findCssPageBreaks(frame->documentElement(), slicing.m_CSSPageBreaksList,
                      slicing.m_AvoidPointsList, &slicing.m_avoidedBlocks);
    QUIREX_TRACE() << "m_CSSPageBreaksList.size(): " << slicing.m_CSSPageBreaksList.size();
}

void QUIREXPrivate::m_FindPoints(const QWebElement &parentElement)
{
    PointScanOptions options;
    options.keepImagesWhole = slicing.m_postEntireImages;
    options.keepTablesWhole = slicing.m_postEntireTables;
    options.pageHeight = slicing.m_pageHeight;
    findPoints(parentElement, options, slicing.m_PointsList, slicing.m_ImagePointsList,
               slicing.m_TablePointsList, slicing.m_documentTree.get(), &slicing.m_tables);
}

void QUIREXPrivate::m_SliceOnPages()
{
    if (!slicing.m_slicingMode)
        return;
    QWebFrame *frame = document.m_mainFrame;
    slicing.m_AvoidPointsList.clear();
    slicing.m_SlicesList.clear();
    m_FindCSSPageBreaks();

    slicing.m_PointsList.clear();
    slicing.m_ImagePointsList.clear();
    slicing.m_TablePointsList.clear();
    slicing.m_tables = TableScan();
    const int pageHeight = pageHeightInDocumentPixels();
    slicing.m_pageHeight = pageHeight;
    const int contentsHeight = document.m_contentsSize.height();
    // The elements are kept for finding lines of text only when a page may
    // have to end inside a block.
    slicing.m_documentTree.reset(contentsHeight > pageHeight ? new DocumentTree : nullptr);
    m_FindPoints(frame->documentElement());
    for (const int point : slicing.m_CSSPageBreaksList.values())
        slicing.m_PointsList.addUnlessPresent(point);
    slicing.m_PointsList.sort();
    slicing.m_ImagePointsList.sort();
    slicing.m_TablePointsList.sort();

    QUIREX_TRACE() << "contents_height: " << contentsHeight;
    QUIREX_TRACE() << "page_height: " << pageHeight;
    QUIREX_TRACE() << "m_PointsList size: " << slicing.m_PointsList.size();

    SlicingInput input{slicing.m_PointsList.values(),
                       slicing.m_CSSPageBreaksList,
                       slicing.m_AvoidPointsList,
                       slicing.m_ImagePointsList,
                       slicing.m_TablePointsList,
                       pageHeight,
                       contentsHeight};
    input.avoidedBlocks = slicing.m_avoidedBlocks;
    input.avoidedBlocks.insert(input.avoidedBlocks.end(), slicing.m_tables.wholeBlocks.begin(),
                               slicing.m_tables.wholeBlocks.end());
    input.rowPoints = &slicing.m_tables.rowPoints;
    input.tableGroups = &slicing.m_tables.groups;
    std::unique_ptr<LineFinder> lines;
    std::vector<std::pair<int, int>> &overhangs = slicing.m_lineCutOverhangs;
    overhangs.clear();
    if (slicing.m_documentTree) {
        input.placeCut = [this, frame, &lines, &overhangs](int pageEnd, int lowest) {
            if (!lines)
                lines = std::make_unique<LineFinder>(frame, frame->documentElement(),
                                                     *slicing.m_documentTree);
            const int cut = lines->cutAtOrAbove(pageEnd, lowest);
            if (const int reach = lines->overhangAt(cut))
                overhangs.emplace_back(cut, reach);
            return cut;
        };
    }
    slicing.m_SlicesList = slicePages(input, &slicing.m_lineCuts);
    std::sort(overhangs.begin(), overhangs.end());
    slicing.m_numberOfPages = static_cast<int>(slicing.m_SlicesList.size()) - 1;
    lines.reset();
    slicing.m_documentTree.reset();
    // Painting needs the groups only.
    slicing.m_tables.wholeBlocks = {};
    slicing.m_tables.rowPoints.clear();
}

int QUIREXPrivate::sliceBoundary(int index) const
{
    const std::vector<int> &slices = slicing.m_SlicesList;
    return index >= 0 && index < static_cast<int>(slices.size()) ? slices[index] : 0;
}

QUIREXPrivate::RepeatedRows QUIREXPrivate::repeatedRows(int from, int to) const
{
    RepeatedRows rows;
    const TableGroups &groups = slicing.m_tables.groups;
    if (!slicing.m_slicingMode || groups.isEmpty())
        return rows;
    const int pageHeight = slicing.m_pageHeight;
    long long used = static_cast<long long>(to) - from;
    if (const TableGroups::Table *table = groups.continuedAt(from)) {
        if (TableGroups::repeatsOn(*table, pageHeight) &&
            used + table->head.height() <= pageHeight) {
            rows.head = QRect(table->left, table->head.top, table->width, table->head.height());
            used += table->head.height();
        }
    }
    if (const TableGroups::Table *table = groups.continuedPast(to)) {
        if (TableGroups::repeatsOn(*table, pageHeight) && used + table->foot.height() <= pageHeight)
            rows.foot = QRect(table->left, table->foot.top, table->width, table->foot.height());
    }
    return rows;
}

int QUIREXPrivate::insetAt(int boundary) const
{
    const std::vector<int> &cuts = slicing.m_lineCuts;
    if (!std::binary_search(cuts.begin(), cuts.end(), boundary))
        return 0;
    // A third of a CSS pixel (below anything visible, above the rounding of
    // the glyph boxes), and as far as the glyphs of the lines beside the
    // boundary reach across it: the web engine draws every line whose glyph
    // box meets the painted region, so painting stops short of the lines of
    // the other page.
    const int margin = std::max(2, static_cast<int>(std::ceil(documentZoom() / 3)));
    const std::vector<std::pair<int, int>> &overhangs = slicing.m_lineCutOverhangs;
    const auto found =
        std::lower_bound(overhangs.begin(), overhangs.end(), std::make_pair(boundary, 0));
    const int reach = found != overhangs.end() && found->first == boundary ? found->second : 0;
    return margin + reach;
}
