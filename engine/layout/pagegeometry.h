#pragma once

#include <QMargins>
#include <QPageSize>
#include <QRect>
#include <QSize>

namespace quirex::engine {

// The engine's own record of paper, orientation, margins and resolution, in
// device pixels. Qt keeps margins in whole points and so rounds them (10 px
// at 96 dpi becomes 11); the engine computes the printable area itself, to
// the device pixel, and prints on the whole paper.
class PageGeometry final
{
public:
    enum class PaperKind {
        Named,   // a size of the paper table, chosen by name
        Custom,  // set in millimetres by SetCustomPaperSize
        Pixels,  // sized to a document's content, in device pixels
    };

    void setNamedPaper(QPageSize::PageSizeId id);
    void setCustomPaperMillimetres(double width, double height);
    void setPaperPixels(const QSize &size);
    void setLandscape(bool landscape) { m_landscape = landscape; }
    void setMargins(const QMargins &margins) { m_margins = margins; }
    void setResolution(int dotsPerInch) { m_resolution = dotsPerInch; }

    PaperKind paperKind() const { return m_kind; }
    QPageSize::PageSizeId namedPaper() const { return m_namedPaper; }
    bool isLandscape() const { return m_landscape; }
    const QMargins &margins() const { return m_margins; }
    int resolution() const { return m_resolution; }

    // Paper size in device pixels, orientation applied (truncated for sizes
    // given in millimetres).
    QSize paperPixels() const;
    // The printable area inside the margins, in paper device pixels. Empty
    // (never negative) when the margins are larger than the paper.
    QRect printableRect() const;
    // The paper as a Qt page size, portrait, for the printer.
    QPageSize pageSize() const;

    bool operator==(const PageGeometry &other) const;
    bool operator!=(const PageGeometry &other) const { return !(*this == other); }

private:
    QSize portraitPixels() const;

    PaperKind m_kind = PaperKind::Named;
    QPageSize::PageSizeId m_namedPaper = QPageSize::A4;
    QSizeF m_customMillimetres;
    QSize m_pixels;
    bool m_landscape = false;
    QMargins m_margins{10, 40, 10, 40};
    int m_resolution = 96;
};

} // namespace quirex::engine
