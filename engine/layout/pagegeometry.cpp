#include "pagegeometry.h"

#include <algorithm>

namespace quirex::engine
{

void PageGeometry::setNamedPaper(QPageSize::PageSizeId id)
{
    m_kind = PaperKind::Named;
    m_paperSizeCode = id;
}

void PageGeometry::setCustomPaperMillimetres(double width, double height)
{
    m_kind = PaperKind::Custom;
    m_customMillimetres = QSizeF(width, height);
}

void PageGeometry::setPaperPixels(const QSize &size)
{
    m_kind = PaperKind::Pixels;
    m_pixels = size;
}

QSize PageGeometry::portraitPixels() const
{
    switch (m_kind) {
    case PaperKind::Named:
        return QPageSize(m_paperSizeCode).sizePixels(m_resolution);
    case PaperKind::Custom:
        return QSize(static_cast<int>(m_customMillimetres.width() / 25.4 * m_resolution),
                     static_cast<int>(m_customMillimetres.height() / 25.4 * m_resolution));
    case PaperKind::Pixels:
        return m_pixels;
    }
    return {};
}

QSize PageGeometry::paperPixels() const
{
    const QSize portrait = portraitPixels();
    // A size set in pixels is the page as it is meant to come out.
    if (m_landscape && m_kind != PaperKind::Pixels)
        return portrait.transposed();
    return portrait;
}

QRect PageGeometry::printableRect() const
{
    const QSize paper = paperPixels();
    const int width = std::max(0, paper.width() - m_margins.left() - m_margins.right());
    const int height = std::max(0, paper.height() - m_margins.top() - m_margins.bottom());
    return QRect(m_margins.left(), m_margins.top(), width, height);
}

QPageSize PageGeometry::pageSize() const
{
    switch (m_kind) {
    case PaperKind::Named:
        return QPageSize(m_paperSizeCode);
    case PaperKind::Custom:
        return QPageSize(m_customMillimetres, QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    case PaperKind::Pixels:
        break;
    }
    const double pointsPerPixel = 72.0 / std::max(1, m_resolution);
    return QPageSize(QSizeF(m_pixels.width() * pointsPerPixel, m_pixels.height() * pointsPerPixel),
                     QPageSize::Point, QString(), QPageSize::ExactMatch);
}

bool PageGeometry::operator==(const PageGeometry &other) const
{
    return m_kind == other.m_kind && m_paperSizeCode == other.m_paperSizeCode &&
           m_customMillimetres == other.m_customMillimetres && m_pixels == other.m_pixels &&
           m_landscape == other.m_landscape && m_margins == other.m_margins &&
           m_resolution == other.m_resolution &&
           m_requestedResolution == other.m_requestedResolution;
}

} // namespace quirex::engine
