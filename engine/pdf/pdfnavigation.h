#pragma once

#include <QRectF>
#include <QString>

#include <vector>

namespace quirex::engine
{

// A place on a page of a PDF: the page (0-based) and a point on it, in
// points from the top-left corner of the paper.
struct PdfPlace {
    int page = -1;
    double left = 0;
    double top = 0;

    bool isValid() const { return page >= 0; }
};

// A clickable area: a jump to `target` when that is valid, otherwise a link
// to the address `uri`.
struct PdfLink {
    int page = 0;
    QRectF box; // points from the top-left corner of the paper
    PdfPlace target;
    QString uri;
};

// One bookmark; `level` 1 to 6 nests it below the nearest earlier item of
// a lower level.
struct PdfOutlineItem {
    QString title;
    int level = 1;
    PdfPlace target;
};

struct PdfNavigation {
    std::vector<PdfLink> links;
    std::vector<PdfOutlineItem> outline;

    bool isEmpty() const { return links.empty() && outline.empty(); }
};

// Adds the links and the outline to the PDF file at `path` (a file with a
// classic cross-reference table, as the engine's PDF output writes) by
// appending an incremental update, so the cost follows what is added, not
// the size of the document. Links and items whose page is not in the file
// are left out. Returns false, with the reason in `error`, when the file
// cannot be read or written; `path` then holds the document it held.
bool addNavigation(const QString &path, const PdfNavigation &navigation, QString *error);

} // namespace quirex::engine
