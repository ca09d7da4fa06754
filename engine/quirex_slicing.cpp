// Page slicing of the engine object: the scans of the laid-out document and
// the pass that turns their points into slice boundaries.
#include "quirex.h"

#include "breakstyleprobe.h"
#include "documentscan.h"
#include "enginetrace.h"
#include "pageslicer.h"

#include <QWebElement>
#include <QWebFrame>

using namespace quirex::engine;

void QUIREX::m_FindCSSPageBreaks()
{
    m_CSSPageBreaksList.clear();
    // Reading cascaded values matches every rule against every element; a
    // document that declares no break property anywhere is not scanned.
    if (!m_resolveCssPageBreaks || !documentMayDeclareBreaks(m_mainFrame))
        return;
    findCssPageBreaks(m_mainFrame->documentElement(), m_CSSPageBreaksList, m_AvoidPointsList);
    QUIREX_TRACE() << "m_CSSPageBreaksList.size(): " << m_CSSPageBreaksList.size();
}

void QUIREX::m_FindPoints(const QWebElement &parentElement)
{
    PointScanOptions options;
    options.keepImagesWhole = m_postEntireImages;
    options.keepTablesWhole = m_postEntireTables;
    findPoints(parentElement, options, m_PointsList, m_ImagePointsList, m_TablePointsList);
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
    m_FindPoints(m_mainFrame->documentElement());
    for (const int point : m_CSSPageBreaksList.values())
        m_PointsList.addUnlessPresent(point);
    m_PointsList.sort();
    m_ImagePointsList.sort();
    m_TablePointsList.sort();

    const int pageHeight = pageHeightInDocumentPixels();
    const int contentsHeight = m_contentsSize.height();
    QUIREX_TRACE() << "contents_height: " << contentsHeight;
    QUIREX_TRACE() << "page_height: " << pageHeight;
    QUIREX_TRACE() << "m_PointsList size: " << m_PointsList.size();

    const SlicingInput input{m_PointsList.values(), m_CSSPageBreaksList, m_AvoidPointsList,
                             m_ImagePointsList,     m_TablePointsList,   pageHeight,
                             contentsHeight};
    m_SlicesList = slicePages(input);
    m_numberOfPages = static_cast<int>(m_SlicesList.size()) - 1;
}
