#pragma once

#include "pointlist.h"
#include "tablegroups.h"

#include <vector>

class QWebElement;

namespace quirex::engine
{

class DocumentTree;
struct Extent;

// Reads page-break wishes from the style sheets and inline styles (the
// cascaded values, not the computed ones) of every element below and
// including `root`:
// - a forced break at the top edge of an element whose page-break-before is
//   "always" (or break-before "page"/"always"), and at the bottom edge of an
//   element whose page-break-after (or break-after) asks for one;
// - an avoided block at the bottom edge of an element whose page-break-inside
//   (or break-inside) is "avoid" (break-inside also "avoid-page").
// Appends to the lists unless present; `forcedBreaks` is sorted afterwards.
// When `avoidedBlocks` is given, the extent of every avoided element is
// appended to it too.
void findCssPageBreaks(const QWebElement &root, PointList &forcedBreaks, PointList &avoided,
                       std::vector<Extent> *avoidedBlocks = nullptr);

struct PointScanOptions {
    bool keepImagesWhole = false;
    bool keepTablesWhole = false;
    // With table notes (see findPoints()): the page height. A table kept
    // whole that is no taller is one block whose rows need no look.
    int pageHeight = 0;
};

// What the points scan notes about tables, when asked: the blocks that
// move whole to the next page when they do not fit the current one (table
// rows, and tables kept whole), and the header and footer groups a page
// repeats where a table continues across it.
struct TableScan {
    std::vector<Extent> wholeBlocks; // rows and tables kept whole
    PointList rowPoints;             // bottom edges of table rows
    TableGroups groups;
};

// Collects the bottom edge of every element below `parent`, in document
// order (0 for an element without layout). Images and tables are also noted
// when they are to be kept whole. A table kept whole is one block, so its
// rows and cells add no points; with `tables`, the scan goes into one that
// is taller than options.pageHeight all the same and notes the table's
// extent as a whole block instead, so that its rows stay whole. When `tree` is
// given, every element visited is recorded in it too, and the tree finished.
// Works without recursion, so deeply nested documents cannot exhaust the
// stack.
void findPoints(const QWebElement &parent, const PointScanOptions &options, PointList &points,
                PointList &imagePoints, PointList &tablePoints, DocumentTree *tree = nullptr,
                TableScan *tables = nullptr);

} // namespace quirex::engine
