// The drawing interface of the engine object: shapes, text, HTML fragments
// and images on the current output page, in device pixels from the top-left
// of the printable area. Nothing is drawn while painting is not active.
#include "quirex.h"
#include "quirex_p.h"

#include "drawingwords.h"

#include <QImage>
#include <QPrinter>
#include <QTextDocument>

#include <cmath>

namespace
{

// The toolkit measures arc angles in sixteenths of a degree.
constexpr int kSixteenthsPerDegree = 16;

constexpr double kRenderScale = QUIREXPrivate::m_renderScale;

// Values that no page can use; a transform with them would poison the
// painter (NaN) or overflow.
double finiteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

} // namespace

// ---- shapes ---------------------------------------------------------------

void QUIREX::DrawArc(int x, int y, int w, int h, int startAngle, int spanAngle)
{
    QPainter &painter = d->output.m_painter;
    if (painter.isActive())
        painter.drawArc(x, y, w, h, startAngle * kSixteenthsPerDegree,
                        spanAngle * kSixteenthsPerDegree);
}

void QUIREX::DrawChord(int x, int y, int w, int h, int startAngle, int spanAngle)
{
    QPainter &painter = d->output.m_painter;
    if (painter.isActive())
        painter.drawChord(x, y, w, h, startAngle * kSixteenthsPerDegree,
                          spanAngle * kSixteenthsPerDegree);
}

void QUIREX::DrawPie(int x, int y, int width, int height, int startAngle, int spanAngle)
{
    QPainter &painter = d->output.m_painter;
    if (painter.isActive())
        painter.drawPie(x, y, width, height, startAngle * kSixteenthsPerDegree,
                        spanAngle * kSixteenthsPerDegree);
}

void QUIREX::DrawEllipse(int x, int y, int width, int height, double angle)
{
    QPainter &painter = d->output.m_painter;
    if (!painter.isActive())
        return;
    painter.translate(x, y);
    painter.rotate(finiteOr(angle, 0));
    painter.drawEllipse(0, 0, width, height);
    d->resetPainterTransform();
}

void QUIREX::DrawRect(int x, int y, int width, int height, double angle)
{
    QPainter &painter = d->output.m_painter;
    if (!painter.isActive())
        return;
    painter.translate(x, y);
    painter.rotate(finiteOr(angle, 0));
    painter.drawRect(0, 0, width, height);
    d->resetPainterTransform();
}

void QUIREX::DrawRoundedRect(int x, int y, int w, int h, int xR, int yR, double angle)
{
    QPainter &painter = d->output.m_painter;
    if (!painter.isActive())
        return;
    painter.translate(x, y);
    painter.rotate(finiteOr(angle, 0));
    painter.drawRoundedRect(0, 0, w, h, xR, yR, Qt::AbsoluteSize);
    d->resetPainterTransform();
}

void QUIREX::DrawLine(int x1, int y1, int x2, int y2)
{
    QPainter &painter = d->output.m_painter;
    if (painter.isActive())
        painter.drawLine(x1, y1, x2, y2);
}

void QUIREX::DrawPoint(int x, int y)
{
    QPainter &painter = d->output.m_painter;
    if (painter.isActive())
        painter.drawPoint(x, y);
}

// ---- text, HTML and images ------------------------------------------------

void QUIREX::DrawText(int x, int y, int width, int height, const QString &text_layout,
                      const QString &text, double sx, double sy, double angle)
{
    QPainter &painter = d->output.m_painter;
    if (!painter.isActive())
        return;
    QString lines = text;
    lines.replace(QLatin1String("\\n"), QLatin1String("\n"));
    const int flags = quirex::engine::textLayoutFlags(text_layout);

    painter.translate(x, y);
    painter.scale(1 / kRenderScale, 1 / kRenderScale);
    painter.scale(finiteOr(sx, 1), finiteOr(sy, 1));
    painter.rotate(finiteOr(angle, 0));
    d->applyStoredFontAttributes();
    const int scale = static_cast<int>(kRenderScale);
    painter.drawText(QRect(QPoint(0, 0), QPoint(width * scale - 1, height * scale - 1)), flags,
                     lines);
    d->resetPainterTransform();
}

void QUIREX::DrawHTML(int left, int top, int width, const QString &HTMLText, double sx, double sy,
                      double angle)
{
    QPainter &painter = d->output.m_painter;
    if (!painter.isActive())
        return;
    painter.translate(left, top);
    painter.scale(finiteOr(sx, 1), finiteOr(sy, 1));
    painter.rotate(finiteOr(angle, 0));
    d->applyStoredFontAttributes();
    QFont font = d->drawing.m_font;
    font.setPointSize(
        std::max(1, static_cast<int>(std::lround(d->drawing.m_font.pointSizeF() / kRenderScale))));
    QTextDocument *textDocument = d->drawing.m_textDocument.get();
    textDocument->setDefaultFont(font);
    textDocument->setUseDesignMetrics(true);
    textDocument->setHtml(HTMLText);
    if (width > 0)
        textDocument->setTextWidth(width);
    else if (width == 0)
        textDocument->adjustSize();
    else if (width == -1)
        textDocument->setTextWidth(-1);
    else if (width == -2)
        textDocument->setTextWidth(d->geometry.printableRect().width());
    textDocument->drawContents(&painter);
    d->resetPainterTransform();
}

int QUIREX::GetTextHeight(const QString &text)
{
    // Measured at ten times the point size, as DrawText draws, so the height
    // comes in tenths of a device pixel.
    QPainter &painter = d->output.m_painter;
    d->applyStoredFontAttributes();
    QRect bounds;
    if (painter.isActive()) {
        painter.scale(1 / kRenderScale, 1 / kRenderScale);
        bounds = painter.boundingRect(QRect(0, 0, 0, 0), Qt::AlignLeft, text);
        d->resetPainterTransform();
    } else {
        bounds = QFontMetrics(d->drawing.m_font, d->output.m_printer.get())
                     .boundingRect(QRect(0, 0, 0, 0), Qt::AlignLeft, text);
    }
    return bounds.height();
}

void QUIREX::DrawImage(int x, int y, const QString &image_location, double sx, double sy,
                       double angle)
{
    const QImage image(image_location);
    if (image.isNull()) {
        d->m_writeLog(QStringLiteral("Image %1 was not loaded.").arg(image_location));
        return;
    }
    QPainter &painter = d->output.m_painter;
    if (painter.isActive()) {
        painter.translate(x, y);
        painter.scale(finiteOr(sx, 1), finiteOr(sy, 1));
        painter.rotate(finiteOr(angle, 0));
        painter.drawImage(QPoint(0, 0), image);
        d->resetPainterTransform();
    }
    d->m_writeLog(QStringLiteral("Image %1 loaded.").arg(image_location));
}
