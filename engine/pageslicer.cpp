#include "pageslicer.h"

#include "pointlist.h"

#include <algorithm>
#include <climits>

namespace quirex::engine {

namespace {

int clampToInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The loop keeps, besides the boundaries, the candidate point it last
// accepted (previous) and the height proposed for the current page, which
// always equals previous minus the most recent boundary.
class Slicer final
{
public:
    explicit Slicer(const SlicingInput &input) : m_in(input), m_pageHeight(input.pageHeight) {}

    std::vector<int> run()
    {
        append(0);
        for (const int point : m_in.points)
            visit(point);
        if (m_pending)
            append(m_previous);
        std::sort(m_boundaries.begin(), m_boundaries.end());
        m_boundaries.back() = m_in.contentsHeight;
        return m_boundaries;
    }

private:
    void append(long long boundary)
    {
        m_lastBoundary = boundary;
        m_boundaries.push_back(clampToInt(boundary));
    }

    void visit(long long point)
    {
        m_pending = true;
        const long long freeSpace = m_pageHeight - m_proposed;
        const long long blockHeight = point - m_previous;
        const bool forced = m_in.forcedBreaks.contains(static_cast<int>(point));
        m_proposed += blockHeight;
        if (m_proposed <= m_pageHeight) {
            if (forced)
                startPageAt(point);
            else
                m_previous = point;
            return;
        }
        const bool tall = blockHeight > m_pageHeight;
        const bool avoided = m_in.avoidedPoints.contains(static_cast<int>(point));
        if (avoided && tall)
            cutTallAvoidedBlock(point);
        else if (avoided)
            moveAvoidedBlockToNextPage(point, blockHeight);
        else if (tall && !forced)
            cutTallBlock(point, freeSpace);
        else if (tall)
            cutTallAvoidedBlock(point);  // whole pages down to the break, no overshoot
        else
            cutAtPageEnd(point, freeSpace);
        if (forced)
            startPageAt(point);
    }

    // A forced break: the next page starts at `point`. The content above it
    // has already been fitted onto pages, so no page grows past its height
    // for the sake of a break; and a break where a page starts anyway (an
    // element at the very top that asks for a new page) adds no empty page.
    void startPageAt(long long point)
    {
        if (m_lastBoundary != point)
            append(point);
        m_previous = point;
        m_proposed = 0;
        m_pending = true;
    }

    // A block no taller than a page that does not fit: split at the natural
    // end of the page, or moved whole when only a sliver of the page is left
    // or the block is an image or table kept whole.
    void cutAtPageEnd(long long point, long long freeSpace)
    {
        long long cut = m_previous + freeSpace;
        if (freeSpace < m_pageHeight / 10 || m_in.imagePoints.contains(static_cast<int>(point))
            || m_in.tablePoints.contains(static_cast<int>(point)))
            cut = movedWholeCut();
        append(cut);
        m_previous = cut;
        m_proposed = 0;
    }

    // The cut that moves the block ending at the next point to the next page:
    // one pixel below the previous point, but never past the page's end when
    // the page is exactly full.
    long long movedWholeCut() const
    {
        return std::min(m_previous + 1, m_lastBoundary + m_pageHeight);
    }

    // The current page ends just above the block, which opens the next page.
    void moveAvoidedBlockToNextPage(long long point, long long blockHeight)
    {
        append(m_previous);
        m_proposed = blockHeight;
        m_previous = point;
    }

    // A block taller than a page that may be split is cut at whole page
    // heights from the top of the page it begins on. The last cut lies below
    // the block, so the page holding its remainder is filled to its natural
    // end with what follows.
    //
    // When content lies above the block on its page, the block first fills
    // that page (or, when less than a tenth of the page is left, starts on a
    // fresh page one pixel below that content); when the current page began
    // below the block's top (after an earlier tall block), the cuts run on
    // from that page's top. Either way no slice is higher than a page.
    void cutTallBlock(long long point, long long freeSpace)
    {
        long long top = m_previous;
        if (m_previous > m_lastBoundary) {
            top = freeSpace < m_pageHeight / 10 ? movedWholeCut() : m_lastBoundary + m_pageHeight;
            append(top);
        } else if (m_previous < m_lastBoundary) {
            top = m_lastBoundary;
        }
        const long long wholePages = (point - top) / m_pageHeight;
        for (long long k = 1; k <= wholePages + 1; ++k)
            append(top + k * m_pageHeight);
        m_previous = m_lastBoundary;
        m_proposed = 0;
        m_pending = false;
    }

    // A block taller than a page that may not be split is cut at whole page
    // heights from the top of its first page, and its bottom edge is a
    // boundary too. When content lies above it, that page ends just above the
    // block first. A cut that would fall on the bottom edge itself is not
    // repeated, so no empty page appears.
    void cutTallAvoidedBlock(long long point)
    {
        long long top = m_previous;
        if (m_previous > m_lastBoundary)
            append(m_previous);
        else if (m_previous < m_lastBoundary)
            top = m_lastBoundary;
        for (long long cut = top + m_pageHeight; cut < point; cut += m_pageHeight)
            append(cut);
        append(point);
        m_previous = point;
        m_proposed = 0;
        m_pending = false;
    }

    const SlicingInput &m_in;
    const long long m_pageHeight;
    std::vector<int> m_boundaries;
    long long m_lastBoundary = 0;
    long long m_previous = 0;
    long long m_proposed = 0;
    bool m_pending = true;
};

} // namespace

std::vector<int> slicePages(const SlicingInput &input)
{
    if (input.pageHeight < 1)
        return {0, input.contentsHeight};
    return Slicer(input).run();
}

} // namespace quirex::engine
