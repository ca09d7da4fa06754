#pragma once

#include "pdfnavigation.h"

#include <QHash>
#include <QPoint>
#include <QPointF>
#include <QString>

#include <vector>

namespace quirex::engine
{

struct DocumentHeading {
    int level = 1; // 1 to 6
    QString title;
    QPoint position; // top-left, document pixels
};

// What one loaded document offers to jumps and bookmarks.
struct LoadedDocument {
    QString address;                       // see documentAddress()
    QHash<QString, QPoint> targets;        // fragment name -> top-left, document pixels
    std::vector<DocumentHeading> headings; // in document order
};

// The address a link area opens: `href` as the document has it, or resolved
// against `base` when `resolve` is set. Kept as the pieces, which the link's
// document shares, and resolved only when the PDF is written, so a manual's
// tens of thousands of links cost no string of their own while printing.
struct LinkAddress {
    QString href;
    QString base;
    bool resolve = false;

    QString text() const;
};

// Follows one output document as it is printed: which slice of which loaded
// document went onto which page, and which link areas jump to places of
// loaded documents. At the end it turns them into the PDF's jumps and
// outline; a jump whose place was not printed keeps its address.
class NavigationRecorder final
{
public:
    // Registers a loaded document and returns its number.
    int addDocument(LoadedDocument document);
    // Slice [from, to) of `document` is printed on page `page` (0-based);
    // document position (0, from) lands at `origin` (points from the paper's
    // top-left corner), and one document pixel is `scale` points.
    void addPrintedSlice(int document, int page, int from, int to, const QPointF &origin,
                         double scale);
    // A link area of `source` on page `page` (box in points) that goes to the
    // document at `address`, at the element named `fragment` (empty: the
    // document's start); when that place is not printed it opens `fallback`.
    void addJump(int source, int page, const QRectF &box, const QString &address,
                 const QString &fragment, const LinkAddress &fallback);
    // A link area on page `page` (box in points) that opens `uri`.
    void addUri(int page, const QRectF &box, const LinkAddress &uri);
    // The output file starts again: the pages printed so far are gone.
    void forgetPages();
    // Forgets everything, for the next output document.
    void clear();

    // Jumps and bookmarks, with places of the printed pages.
    PdfNavigation navigation() const;

private:
    struct Slice {
        int from = 0;
        int to = 0;
        int page = 0;
        QPointF origin;
        double scale = 1;
    };
    struct Document {
        LoadedDocument content;
        std::vector<Slice> slices;
    };
    struct Jump {
        int source = -1; // -1: an address, never a jump
        PdfLink link;    // its uri is filled in from `uri` at the end
        LinkAddress uri;
        QString address;
        QString fragment;
    };

    // Slices sorted by their start, the first print of a slice first.
    static std::vector<Slice> sortedSlices(const Document &document);
    static PdfPlace place(const std::vector<Slice> &slices, const QPoint &position);
    // Documents by address, in load order: a jump looks only at those of its address.
    using DocumentsByAddress = QHash<QString, std::vector<int>>;
    PdfPlace resolve(const Jump &jump, const std::vector<std::vector<Slice>> &slices,
                     const DocumentsByAddress &documents) const;

    std::vector<Document> m_documents;
    std::vector<Jump> m_jumps;
};

} // namespace quirex::engine
