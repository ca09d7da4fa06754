#pragma once

#include <functional>
#include <vector>

namespace quirex::engine
{

class PointList;
class TableGroups;

// The vertical extent of an element in document pixels; the bottom edge is
// the element's last row (top + height - 1).
struct Extent {
    int top;
    int bottom;
};

// Everything the slicing loop reads. Positions are document pixels.
struct SlicingInput {
    const std::vector<int> &points; // candidate points, ascending, forced breaks included
    const PointList &forcedBreaks;  // cut here unconditionally
    const PointList &avoidedPoints; // bottom edges of blocks that may not be split
    const PointList &imagePoints;   // bottom edges of images kept whole
    const PointList &tablePoints;   // bottom edges of tables kept whole
    int pageHeight;                 // printable page height in document pixels
    int contentsHeight;             // height of the laid-out document
    // The elements that may not be split. Candidate points strictly inside
    // one that is no taller than a page are not used (forced breaks
    // excepted), so it moves to the next page whole.
    std::vector<Extent> avoidedBlocks = {};
    // Moves a cut that would fall inside a block (at the end of a page, or
    // at a page-height step through a tall block) up to where it passes
    // between two lines of text: given the page end and the lowest position
    // allowed, returns a position in between. Empty: cuts stay where they
    // fall.
    std::function<int(int pageEnd, int lowest)> placeCut = {};
    // Bottom edges of table rows: a row that does not fit moves to the next
    // page as an avoided block does (its extent is among avoidedBlocks).
    const PointList *rowPoints = nullptr;
    // The header and footer rows repeated where a table continues across a
    // page: they take their height from the page's room for the document.
    const TableGroups *tableGroups = nullptr;
};

// Cuts the document into page slices. Returns the ascending slice
// boundaries: at least two entries, the last one contentsHeight; slice k runs
// from entry k-1 to entry k. A pageHeight below 1 (margins larger than the
// paper) gives a single slice rather than a page per pixel. When `lineCuts`
// is given, it receives the boundaries placed by input.placeCut (between two
// lines of text), ascending.
std::vector<int> slicePages(const SlicingInput &input, std::vector<int> *lineCuts = nullptr);

} // namespace quirex::engine
