#pragma once

#include <QMargins>
#include <QPageSize>
#include <QRect>
#include <QSize>

namespace quirex::engine
{

// The engine's own record of paper, orientation, margins and resolution, in
// device pixels, and its only one. Qt keeps margins in whole points and so
// rounds them (10 px at 96 dpi becomes 11); the engine computes the printable
// area itself, to the device pixel, and prints on the whole paper.
class PageGeometry final
{
public:
    enum class PaperKind {
        Named,  // a size of the paper table, chosen by name
        Custom, // set in millimetres by SetCustomPaperSize
        Pixels, // sized to a document's content, in device pixels
    };

    // Chooses paper `id` of the table; it stays the paper size code while a
    // custom or a content-sized paper is in force.
    void setNamedPaper(QPageSize::PageSizeId id);
    // Goes back to the paper of the paper size code (A4 until one is chosen).
    void restoreNamedPaper() { m_kind = PaperKind::Named; }
    void setCustomPaperMillimetres(double width, double height);
    void setPaperPixels(const QSize &size);
    void setLandscape(bool landscape) { m_landscape = landscape; }
    void setMargins(const QMargins &margins) { m_margins = margins; }
    // The resolution of the next output document: it takes effect, for the
    // layout and everything else, only at applyRequestedResolution().
    void requestResolution(int dotsPerInch) { m_requestedResolution = dotsPerInch; }
    void applyRequestedResolution() { m_resolution = m_requestedResolution; }

    PaperKind paperKind() const { return m_kind; }
    QPageSize::PageSizeId paperSizeCode() const { return m_paperSizeCode; }
    bool isLandscape() const { return m_landscape; }
    const QMargins &margins() const { return m_margins; }
    // The resolution in force.
    int resolution() const { return m_resolution; }
    int requestedResolution() const { return m_requestedResolution; }

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
    QPageSize::PageSizeId m_paperSizeCode = QPageSize::A4;
    QSizeF m_customMillimetres;
    QSize m_pixels;
    bool m_landscape = false;
    QMargins m_margins{10, 40, 10, 40};
    int m_resolution = 96;
    int m_requestedResolution = 96;
};

} // namespace quirex::engine
