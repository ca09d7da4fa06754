// Page slicing of the engine object: the scans of the laid-out document and
// the pass that turns their points into slice boundaries.
#include "quirex.h"

#include "breakstyleprobe.h"
#include "documentscan.h"
#include "documenttree.h"
#include "enginetrace.h"
#include "linefinder.h"
#include "pageslicer.h"

#include <QWebElement>
#include <QWebFrame>

#include <memory>

using namespace quirex::engine;

void QUIREX::m_FindCSSPageBreaks()
{
    m_CSSPageBreaksList.clear();
    m_avoidedBlocks.clear();
    // Reading cascaded values matches every rule against every element; a
    // document that declares no break property anywhere is not scanned.
    if (!m_resolveCssPageBreaks || !documentMayDeclareBreaks(m_mainFrame))
        return;
    findCssPageBreaks(m_mainFrame->documentElement(), m_CSSPageBreaksList, m_AvoidPointsList,
                      &m_avoidedBlocks);
    QUIREX_TRACE() << "m_CSSPageBreaksList.size(): " << m_CSSPageBreaksList.size();
}

void QUIREX::m_FindPoints(const QWebElement &parentElement)
{
    PointScanOptions options;
    options.keepImagesWhole = m_postEntireImages;
    options.keepTablesWhole = m_postEntireTables;
    findPoints(parentElement, options, m_PointsList, m_ImagePointsList, m_TablePointsList,
               m_documentTree.get());
}

void QUIREX::m_SliceOnPages()
{
    if (!m_slicingMode)
        return;
    m_AvoidPointsList.clear();
    m_SlicesList.clear();
    m_FindCSSPageBreaks();

    m_PointsList.clear();
    m_ImagePointsList.clear();
    m_TablePointsList.clear();
    const int pageHeight = pageHeightInDocumentPixels();
    const int contentsHeight = m_contentsSize.height();
    // The elements are kept for finding lines of text only when a page may
    // have to end inside a block.
    m_documentTree.reset(contentsHeight > pageHeight ? new DocumentTree : nullptr);
    m_FindPoints(m_mainFrame->documentElement());
    for (const int point : m_CSSPageBreaksList.values())
        m_PointsList.addUnlessPresent(point);
    m_PointsList.sort();
    m_ImagePointsList.sort();
    m_TablePointsList.sort();

    QUIREX_TRACE() << "contents_height: " << contentsHeight;
    QUIREX_TRACE() << "page_height: " << pageHeight;
    QUIREX_TRACE() << "m_PointsList size: " << m_PointsList.size();

    SlicingInput input{m_PointsList.values(), m_CSSPageBreaksList, m_AvoidPointsList,
                       m_ImagePointsList,     m_TablePointsList,   pageHeight,
                       contentsHeight};
    input.avoidedBlocks = m_avoidedBlocks;
    std::unique_ptr<LineFinder> lines;
    if (m_documentTree) {
        input.placeCut = [this, &lines](int pageEnd, int lowest) {
            if (!lines)
                lines = std::make_unique<LineFinder>(m_mainFrame, m_mainFrame->documentElement(),
                                                     *m_documentTree);
            return lines->cutAtOrAbove(pageEnd, lowest);
        };
    }
    m_SlicesList = slicePages(input, &m_lineCuts);
    m_numberOfPages = static_cast<int>(m_SlicesList.size()) - 1;
    lines.reset();
    m_documentTree.reset();
}
