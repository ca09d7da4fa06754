// The drawing interface of the engine object: shapes, text, HTML fragments
// and images on the current output page, in device pixels from the top-left
// of the printable area. Nothing is drawn while painting is not active.
#include "quirex.h"

#include "drawingwords.h"

#include <QImage>
#include <QPrinter>
#include <QTextDocument>

#include <cmath>

namespace {

// The toolkit measures arc angles in sixteenths of a degree.
constexpr int kSixteenthsPerDegree = 16;

// Values that no page can use; a transform with them would poison the
// painter (NaN) or overflow.
double finiteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

} // namespace

void QUIREX::applyStoredFontAttributes()
{
    m_font.setFixedPitch(m_storedFont.fixedPitch);
    m_font.setKerning(m_storedFont.kerning);
    m_font.setOverline(m_storedFont.overline);
    m_font.setStretch(std::clamp(m_storedFont.stretch, 1, 4000));
    m_font.setStrikeOut(m_storedFont.strikeOut);
    m_font.setUnderline(m_storedFont.underline);
    m_font.setLetterSpacing(QFont::PercentageSpacing, m_storedFont.letterSpacing);
    if (m_storedFont.pointSize > 0)
        m_font.setPointSizeF(m_storedFont.pointSize * m_renderScale);
    giveFontToPainter();
}

// ---- shapes ---------------------------------------------------------------

void QUIREX::DrawArc(int x, int y, int w, int h, int startAngle, int spanAngle)
{
    if (m_painter.isActive())
        m_painter.drawArc(x, y, w, h, startAngle * kSixteenthsPerDegree,
                          spanAngle * kSixteenthsPerDegree);
}

void QUIREX::DrawChord(int x, int y, int w, int h, int startAngle, int spanAngle)
{
    if (m_painter.isActive())
        m_painter.drawChord(x, y, w, h, startAngle * kSixteenthsPerDegree,
                            spanAngle * kSixteenthsPerDegree);
}

void QUIREX::DrawPie(int x, int y, int width, int height, int startAngle, int spanAngle)
{
    if (m_painter.isActive())
        m_painter.drawPie(x, y, width, height, startAngle * kSixteenthsPerDegree,
                          spanAngle * kSixteenthsPerDegree);
}

void QUIREX::DrawEllipse(int x, int y, int width, int height, double angle)
{
    if (!m_painter.isActive())
        return;
    m_painter.translate(x, y);
    m_painter.rotate(finiteOr(angle, 0));
    m_painter.drawEllipse(0, 0, width, height);
    resetPainterTransform();
}

void QUIREX::DrawRect(int x, int y, int width, int height, double angle)
{
    if (!m_painter.isActive())
        return;
    m_painter.translate(x, y);
    m_painter.rotate(finiteOr(angle, 0));
    m_painter.drawRect(0, 0, width, height);
    resetPainterTransform();
}

void QUIREX::DrawRoundedRect(int x, int y, int w, int h, int xR, int yR, double angle)
{
    if (!m_painter.isActive())
        return;
    m_painter.translate(x, y);
    m_painter.rotate(finiteOr(angle, 0));
    m_painter.drawRoundedRect(0, 0, w, h, xR, yR, Qt::AbsoluteSize);
    resetPainterTransform();
}

void QUIREX::DrawLine(int x1, int y1, int x2, int y2)
{
    if (m_painter.isActive())
        m_painter.drawLine(x1, y1, x2, y2);
}

void QUIREX::DrawPoint(int x, int y)
{
    if (m_painter.isActive())
        m_painter.drawPoint(x, y);
}

// ---- text, HTML and images ------------------------------------------------

void QUIREX::DrawText(int x, int y, int width, int height, const QString &text_layout,
                      const QString &text, double sx, double sy, double angle)
{
    if (!m_painter.isActive())
        return;
    QString lines = text;
    lines.replace(QLatin1String("\\n"), QLatin1String("\n"));
    const int flags = quirex::engine::textLayoutFlags(text_layout);

    m_painter.translate(x, y);
    m_painter.scale(1 / m_renderScale, 1 / m_renderScale);
    m_painter.scale(finiteOr(sx, 1), finiteOr(sy, 1));
    m_painter.rotate(finiteOr(angle, 0));
    applyStoredFontAttributes();
    const int scale = static_cast<int>(m_renderScale);
    m_painter.drawText(QRect(QPoint(0, 0), QPoint(width * scale - 1, height * scale - 1)), flags,
                       lines);
    resetPainterTransform();
}

void QUIREX::DrawHTML(int left, int top, int width, const QString &HTMLText, double sx,
                      double sy, double angle)
{
    if (!m_painter.isActive())
        return;
    m_painter.translate(left, top);
    m_painter.scale(finiteOr(sx, 1), finiteOr(sy, 1));
    m_painter.rotate(finiteOr(angle, 0));
    applyStoredFontAttributes();
    QFont font = m_font;
    font.setPointSize(std::max(1, static_cast<int>(std::lround(m_font.pointSizeF() / m_renderScale))));
    m_textDocument->setDefaultFont(font);
    m_textDocument->setUseDesignMetrics(true);
    m_textDocument->setHtml(HTMLText);
    if (width > 0)
        m_textDocument->setTextWidth(width);
    else if (width == 0)
        m_textDocument->adjustSize();
    else if (width == -1)
        m_textDocument->setTextWidth(-1);
    else if (width == -2)
        m_textDocument->setTextWidth(m_geometry.printableRect().width());
    m_textDocument->drawContents(&m_painter);
    resetPainterTransform();
}

int QUIREX::GetTextHeight(const QString &text)
{
    // Measured at ten times the point size, as DrawText draws, so the height
    // comes in tenths of a device pixel.
    applyStoredFontAttributes();
    QRect bounds;
    if (m_painter.isActive()) {
        m_painter.scale(1 / m_renderScale, 1 / m_renderScale);
        bounds = m_painter.boundingRect(QRect(0, 0, 0, 0), Qt::AlignLeft, text);
        resetPainterTransform();
    } else {
        bounds = QFontMetrics(m_font, m_printer.get()).boundingRect(QRect(0, 0, 0, 0),
                                                                     Qt::AlignLeft, text);
    }
    return bounds.height();
}

void QUIREX::DrawImage(int x, int y, const QString &image_location, double sx, double sy,
                       double angle)
{
    const QImage image(image_location);
    if (image.isNull()) {
        m_writeLog(QStringLiteral("Image %1 was not loaded.").arg(image_location));
        return;
    }
    if (m_painter.isActive()) {
        m_painter.translate(x, y);
        m_painter.scale(finiteOr(sx, 1), finiteOr(sy, 1));
        m_painter.rotate(finiteOr(angle, 0));
        m_painter.drawImage(QPoint(0, 0), image);
        resetPainterTransform();
    }
    m_writeLog(QStringLiteral("Image %1 loaded.").arg(image_location));
}
