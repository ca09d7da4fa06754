// Page geometry of the engine object: paper, orientation, margins and
// resolution, kept in one record and handed to the printer.
#include "quirex.h"
#include "quirex_p.h"

#include "papernames.h"

#include <QPrinter>

#include <cmath>

using quirex::engine::PageGeometry;

namespace
{

// The largest page a PDF reader is sure to show is 200 inches square.
constexpr double kLargestPaperMillimetres = 5080.0;

} // namespace

void QUIREXPrivate::applyGeometryToPrinter()
{
    // While painting, the printer would take changes at its next page; they
    // wait for the first-page restart or the next document instead.
    if (output.m_painter.isActive())
        return;
    QPrinter *printer = output.m_printer.get();
    // The engine places the printable area itself, so the printer prints on
    // the whole paper with no margins of its own.
    printer->setFullPage(true);
    printer->setResolution(geometry.resolution());
    printer->setPageSize(geometry.pageSize());
    const bool rotate =
        geometry.isLandscape() && geometry.paperKind() != PageGeometry::PaperKind::Pixels;
    printer->setPageOrientation(rotate ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

void QUIREXPrivate::setMargins(const QMargins &margins)
{
    geometry.setMargins(margins);
    applyGeometryToPrinter();
}

int QUIREXPrivate::pageHeightInDocumentPixels() const
{
    return geometry.printableRect().height() * static_cast<int>(document.m_documentScale);
}

QSize QUIREXPrivate::paperForContents(const QSize &contents) const
{
    const QMargins &margins = geometry.margins();
    const double scale = document.m_documentScale;
    return QSize(
        static_cast<int>(std::ceil(contents.width() / scale)) + margins.right() + margins.left(),
        static_cast<int>(std::ceil(contents.height() / scale)) + margins.top() + margins.bottom());
}

int QUIREX::marginLeft() const
{
    return d->geometry.margins().left();
}

void QUIREX::setMarginLeft(int value)
{
    QMargins margins = d->geometry.margins();
    margins.setLeft(value);
    d->setMargins(margins);
}

int QUIREX::marginRight() const
{
    return d->geometry.margins().right();
}

void QUIREX::setMarginRight(int value)
{
    QMargins margins = d->geometry.margins();
    margins.setRight(value);
    d->setMargins(margins);
}

int QUIREX::marginTop() const
{
    return d->geometry.margins().top();
}

void QUIREX::setMarginTop(int value)
{
    QMargins margins = d->geometry.margins();
    margins.setTop(value);
    d->setMargins(margins);
}

int QUIREX::marginBottom() const
{
    return d->geometry.margins().bottom();
}

void QUIREX::setMarginBottom(int value)
{
    QMargins margins = d->geometry.margins();
    margins.setBottom(value);
    d->setMargins(margins);
}

QString QUIREX::paperSize() const
{
    switch (d->geometry.paperKind()) {
    case PageGeometry::PaperKind::Named:
        return quirex::engine::paperSizeName(d->geometry.paperSizeCode());
    case PageGeometry::PaperKind::Custom:
        return QStringLiteral("custom");
    case PageGeometry::PaperKind::Pixels:
        break;
    }
    return {};
}

void QUIREX::setPaperSize(const QString &name)
{
    d->geometry.setNamedPaper(quirex::engine::paperSizeFromName(name));
    d->applyGeometryToPrinter();
}

int QUIREX::paperWidth() const
{
    return d->geometry.paperPixels().width();
}

int QUIREX::paperHeight() const
{
    return d->geometry.paperPixels().height();
}

bool QUIREX::landscapePageOrientation() const
{
    return d->geometry.isLandscape();
}

void QUIREX::setLandscapePageOrientation(bool value)
{
    // A landscape orientation is kept for the object's life.
    if (value) {
        d->geometry.setLandscape(true);
        d->applyGeometryToPrinter();
    }
}

int QUIREX::resolution() const
{
    return d->geometry.resolution();
}

void QUIREX::setResolution(int dotsPerInch)
{
    // Taken at the next BeginDoc.
    if (dotsPerInch > 0)
        d->geometry.requestResolution(dotsPerInch);
}

void QUIREX::SetCustomPaperSize(double w, double h)
{
    if (!(w > 0 && h > 0 && w <= kLargestPaperMillimetres && h <= kLargestPaperMillimetres))
        return;
    d->geometry.setCustomPaperMillimetres(w, h);
    d->applyGeometryToPrinter();
}
