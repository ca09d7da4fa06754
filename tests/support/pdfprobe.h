#pragma once

#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class QPDFObjectHandle;

namespace quirex::test
{

struct LinkAnnotation {
    QRectF rect; // PDF user space, points, origin at the bottom-left
    QString uri;
    // A jump inside the document: the page (0-based) and the top of the
    // place it opens (PDF user space); -1 for other links.
    int targetPage = -1;
    double targetTop = 0;
};

// One outline item (bookmark), in document order; level 1 is the top level.
struct OutlineEntry {
    QString title;
    int level = 1;
    int page = -1;  // 0-based
    double top = 0; // PDF user space
};

// Reads a PDF with a real parser (libqpdf) so tests check structure, not
// pixels. Text comes from poppler's pdftotext.
struct PdfWord {
    QString text;
    QRectF box; // points, origin at the top-left of the page
};

class PdfProbe final
{
public:
    explicit PdfProbe(const QString &path);
    ~PdfProbe();

    // False when the file is missing or does not parse as a PDF.
    bool isValid() const;
    QString error() const { return m_error; }

    int pageCount() const;
    // Media box of page `index` (0-based), in points.
    QSizeF pageSizePoints(int index) const;
    QVector<LinkAnnotation> links(int index) const;
    // The outline, depth first.
    QVector<OutlineEntry> outline() const;
    // A string of the document information dictionary ("/Title", …).
    QString info(const char *key) const;
    // The text of page `index` (0-based), or of the whole file when -1.
    QString text(int index = -1) const;
    // The words of page `index` (0-based) with their boxes.
    QVector<PdfWord> words(int index) const;
    // The base names of the fonts the document uses, subset prefix removed
    // ("LiberationMono"), from poppler's pdffonts.
    QStringList fontNames() const;
    // The pixel sizes of the images page `index` (0-based) holds, or the whole file when -1.
    QVector<QSize> imageSizes(int index = -1) const;
    // The content streams of page `index` (0-based), decoded and joined.
    QByteArray contents(int index) const;
    // True when no content stream or image uses an RGB or CMYK colour.
    bool usesOnlyGray() const;

private:
    struct Parsed;
    void readDestination(QPDFObjectHandle destination, int *page, double *top) const;
    QString m_path;
    QString m_error;
    std::unique_ptr<Parsed> m_parsed;
};

} // namespace quirex::test
