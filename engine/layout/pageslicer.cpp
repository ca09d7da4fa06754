#include "pageslicer.h"

#include "pointlist.h"
#include "tablegroups.h"

#include <algorithm>
#include <climits>

namespace quirex::engine
{

namespace
{

int clampToInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The candidate points without those strictly inside an element that may not
// be split and fits on a page: such an element is one block, whose bottom
// edge is the only point it gives. Forced breaks stay.
std::vector<int> pointsOutsideAvoidedBlocks(const SlicingInput &input)
{
    std::vector<Extent> blocks;
    for (const Extent &block : input.avoidedBlocks)
        if (block.bottom > block.top &&
            static_cast<long long>(block.bottom) - block.top + 1 <= input.pageHeight)
            blocks.push_back(block);
    if (blocks.empty())
        return input.points;
    std::sort(blocks.begin(), blocks.end(),
              [](const Extent &a, const Extent &b) { return a.top < b.top; });
    // Nested and overlapping blocks become one interval; intervals that only
    // touch stay apart, so the edge they share remains a point.
    std::vector<Extent> merged;
    for (const Extent &block : blocks) {
        if (!merged.empty() && block.top < merged.back().bottom)
            merged.back().bottom = std::max(merged.back().bottom, block.bottom);
        else
            merged.push_back(block);
    }
    std::vector<int> kept;
    kept.reserve(input.points.size());
    auto block = merged.cbegin();
    for (const int point : input.points) {
        while (block != merged.cend() && block->bottom <= point)
            ++block;
        const bool inside = block != merged.cend() && block->top < point;
        if (!inside || input.forcedBreaks.contains(point))
            kept.push_back(point);
    }
    return kept;
}

// The loop keeps, besides the boundaries, the candidate point it last
// accepted (previous) and the height proposed for the current page, which
// always equals previous minus the most recent boundary.
class Slicer final
{
public:
    explicit Slicer(const SlicingInput &input)
        : m_in(input)
        , m_pageHeight(input.pageHeight)
    {
    }

    // The height of the document a page of `start` holds: the page height,
    // less the table rows the page repeats.
    long long roomAt(long long start) const
    {
        if (!m_in.tableGroups || start < INT_MIN || start > INT_MAX)
            return m_in.pageHeight;
        return m_in.tableGroups->roomOnPage(static_cast<int>(start), m_in.pageHeight);
    }

    // Boundaries placed between two lines of text, ascending.
    std::vector<int> lineCuts()
    {
        std::sort(m_lineCuts.begin(), m_lineCuts.end());
        return std::move(m_lineCuts);
    }

    std::vector<int> run(const std::vector<int> &points)
    {
        append(0);
        for (const int point : points)
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
        m_pageHeight = roomAt(boundary);
    }

    void visit(long long point)
    {
        m_pending = true;
        const long long freeSpace = m_pageHeight - m_proposed;
        const long long blockHeight = point - m_previous;
        const bool forced = m_in.forcedBreaks.contains(static_cast<int>(point));
        const bool avoided = m_in.avoidedPoints.contains(static_cast<int>(point)) ||
                             (m_in.rowPoints && m_in.rowPoints->contains(static_cast<int>(point)));
        m_proposed += blockHeight;
        if (m_proposed <= m_pageHeight) {
            if (forced)
                startPageAt(point);
            else
                accept(point, avoided);
            return;
        }
        const bool tall = blockHeight > m_pageHeight;
        if (avoided && tall)
            cutTallAvoidedBlock(point);
        else if (avoided)
            moveAvoidedBlockToNextPage(point);
        else if (tall && !forced)
            cutTallBlock(point, freeSpace);
        else if (tall)
            cutTallAvoidedBlock(point); // whole pages down to the break, no overshoot
        else
            cutAtPageEnd(point, freeSpace);
        if (forced)
            startPageAt(point);
    }

    // A block that fits on the current page. One that must stay whole
    // (avoided, or an image or table kept whole) may not be cut into when
    // the end of this page moves up between lines.
    void accept(long long point, bool avoided)
    {
        m_previous = point;
        if (avoided || m_in.imagePoints.contains(static_cast<int>(point)) ||
            m_in.tablePoints.contains(static_cast<int>(point)))
            m_keptWhole = point + 1;
    }

    // The end of the current page, a full page below its top, moved up to
    // pass between two lines of text.
    long long pageEndCut() { return betweenLines(m_lastBoundary + m_pageHeight); }

    // `position`, where the current page would end, moved up to pass between
    // two lines of text: not above the middle of the page, nor into a block
    // above that must stay whole. Bottom edges of inline elements lie inside
    // lines too, so even a page that ends just below an element may move.
    long long betweenLines(long long position)
    {
        if (!m_in.placeCut)
            return position;
        const long long lowest =
            std::max(m_lastBoundary + std::max<long long>(1, m_pageHeight / 2), m_keptWhole);
        if (lowest >= position || position > INT_MAX || lowest < INT_MIN)
            return position;
        const long long cut = std::clamp<long long>(
            m_in.placeCut(static_cast<int>(position), static_cast<int>(lowest)), lowest, position);
        m_lineCuts.push_back(static_cast<int>(cut));
        return cut;
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
        long long cut;
        if (freeSpace < m_pageHeight / 10 || m_in.imagePoints.contains(static_cast<int>(point)) ||
            m_in.tablePoints.contains(static_cast<int>(point)))
            cut = movedWholeCut();
        else
            cut = pageEndCut(); // previous + freeSpace, the page's natural end
        append(cut);
        m_previous = cut;
        m_proposed = 0;
    }

    // The cut that moves the block ending at the next point to the next page:
    // one pixel below the previous point, but never past the page's end when
    // the page is exactly full.
    long long movedWholeCut()
    {
        return betweenLines(std::min(m_previous + 1, m_lastBoundary + m_pageHeight));
    }

    // The current page ends just above the block, which opens the next page
    // (moved up between lines only when the block still fits that page).
    void moveAvoidedBlockToNextPage(long long point)
    {
        long long cut = betweenLines(m_previous);
        if (point - cut > m_pageHeight)
            cut = m_previous;
        append(cut);
        m_proposed = point - m_lastBoundary;
        m_previous = point;
    }

    // A block taller than a page that may be split is cut a page height at
    // a time from the top of the page it begins on, each cut moved up to
    // pass between two lines; its remainder, no taller than a page, opens
    // the next page, which the points that follow fill as usual.
    //
    // When content lies above the block on its page, the block first fills
    // that page (or, when less than a tenth of the page is left, starts on a
    // fresh page one pixel below that content).
    void cutTallBlock(long long point, long long freeSpace)
    {
        if (m_previous > m_lastBoundary)
            append(freeSpace < m_pageHeight / 10 ? movedWholeCut() : pageEndCut());
        while (point - m_lastBoundary > m_pageHeight)
            append(pageEndCut());
        m_previous = point;
        m_proposed = point - m_lastBoundary;
    }

    // A block taller than a page that may not be split is cut a page height
    // at a time (moved up between lines) from the top of its first page, and
    // its bottom edge is a boundary too. When content lies above it, that
    // page ends just above the block first. A cut that would fall on the
    // bottom edge itself is not repeated, so no empty page appears.
    void cutTallAvoidedBlock(long long point)
    {
        if (m_previous > m_lastBoundary)
            append(betweenLines(m_previous));
        while (point - m_lastBoundary > m_pageHeight)
            append(pageEndCut());
        if (m_lastBoundary != point)
            append(point);
        m_previous = point;
        m_proposed = 0;
        m_pending = false;
    }

    const SlicingInput &m_in;
    // The room of the current page (see roomAt()).
    long long m_pageHeight;
    std::vector<int> m_boundaries;
    long long m_lastBoundary = 0;
    long long m_previous = 0;
    long long m_proposed = 0;
    // The lowest position the end of the current page may move up to: just
    // below the last block on it that must stay whole.
    long long m_keptWhole = 0;
    bool m_pending = true;
    std::vector<int> m_lineCuts;
};

} // namespace

std::vector<int> slicePages(const SlicingInput &input, std::vector<int> *lineCuts)
{
    if (lineCuts)
        lineCuts->clear();
    if (input.pageHeight < 1)
        return {0, input.contentsHeight};
    Slicer slicer(input);
    std::vector<int> boundaries = slicer.run(pointsOutsideAvoidedBlocks(input));
    if (lineCuts)
        *lineCuts = slicer.lineCuts();
    return boundaries;
}

} // namespace quirex::engine
