#pragma once

#include <vector>

namespace quirex::engine {

class PointList;

// Everything the slicing loop reads. Positions are document pixels.
struct SlicingInput
{
    const std::vector<int> &points;  // candidate points, ascending, forced breaks included
    const PointList &forcedBreaks;   // cut here unconditionally
    const PointList &avoidedPoints;  // bottom edges of blocks that may not be split
    const PointList &imagePoints;    // bottom edges of images kept whole
    const PointList &tablePoints;    // bottom edges of tables kept whole
    int pageHeight;                  // printable page height in document pixels
    int contentsHeight;              // height of the laid-out document
};

// Cuts the document into page slices. Returns the ascending slice
// boundaries: at least two entries, the last one contentsHeight; slice k runs
// from entry k-1 to entry k. A pageHeight below 1 (margins larger than the
// paper) gives a single slice rather than a page per pixel.
std::vector<int> slicePages(const SlicingInput &input);

} // namespace quirex::engine
