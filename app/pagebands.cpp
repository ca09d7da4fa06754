#include "pagebands.h"

#include "conversionsettings.h"
#include "engineclient.h"
#include "pagenumbers.h"

#include <algorithm>
#include <cmath>

namespace quirex::app
{

namespace
{

// The engine's drawing area, in device pixels from the top-left corner of
// the printable area: the content runs from y 0 to `contentBottom`.
struct PageFrame {
    int resolution = 96;
    int width = 0;         // the printable width
    int paperTop = 0;      // the paper's top edge (minus the top margin)
    int paperBottom = 0;   // the paper's lower edge
    int contentBottom = 0; // the content's lower edge
    int footerTop = 0;     // where the footer may begin
};

PageFrame pageFrame(EngineClient &engine, const ConversionSettings &settings, bool reserve)
{
    PageFrame frame;
    frame.resolution = engine.resolution();
    const int paperHeight = engine.paperHeight();
    frame.width = engine.paperWidth() - settings.MarginLeft - settings.MarginRight;
    frame.paperTop = -settings.MarginTop;
    frame.paperBottom = paperHeight - settings.MarginTop;
    frame.contentBottom =
        frame.paperBottom - engineBottomMargin(settings, frame.resolution, reserve);
    frame.footerTop =
        settings.PageNumbers ? frame.paperBottom - settings.MarginBottom : frame.contentBottom;
    return frame;
}

// A size the drawing can use: positive, finite and not absurd.
double usableFontSize(double points)
{
    return std::isfinite(points) && points > 0 ? std::clamp(points, 1.0, 500.0) : 12.0;
}

int devicePixels(double millimetres, int resolution)
{
    if (!std::isfinite(millimetres) || millimetres <= 0)
        return 0;
    return int(std::lround(std::min(millimetres, 1000.0) * resolution / 25.4));
}

void drawBand(EngineClient &engine, const PageFrame &frame, const PageBand &band, bool isHeader,
              const PageFacts &facts, PlaceholderSyntax syntax)
{
    if (band.isEmpty())
        return;
    // The engine takes whole points; the rest of a fractional size is a
    // scale of the drawing.
    const double size = usableFontSize(band.fontSize);
    const int points = std::max(1, int(std::floor(size)));
    const double scale = size / points;
    engine.setFontFamily(band.fontName.isEmpty() ? QStringLiteral("Arial") : band.fontName);
    engine.setFontStyle(QStringLiteral("Normal"));
    engine.setFontWeight(QStringLiteral("Normal"));
    engine.setFontPointSize(points);
    // The line height, measured in tenths of a device pixel at `points`.
    const int height =
        int(std::ceil(engine.getTextHeight(QStringLiteral("Ag")) * scale / 10.0)) + 1;
    const int spacing = devicePixels(band.spacingMm, frame.resolution);

    int top = 0;
    int ruleY = 0;
    if (isHeader) {
        top = std::max(-spacing - height, frame.paperTop);
        ruleY = top + height + std::max(0, -top - height) / 2;
    } else {
        top = std::min(frame.footerTop + spacing, frame.paperBottom - height);
        ruleY = top - std::max(0, top - frame.footerTop) / 2;
    }

    struct Part {
        const QString &text;
        const char *layout;
    };
    const Part parts[] = {{band.left, "AlignLeft AlignTop TextSingleLine"},
                          {band.center, "AlignHCenter AlignTop TextSingleLine"},
                          {band.right, "AlignRight AlignTop TextSingleLine"}};
    for (const Part &part : parts) {
        if (part.text.isEmpty())
            continue;
        const QString text = expandPlaceholders(part.text, facts, syntax);
        if (text.isEmpty())
            continue;
        // The box is given before the scale is applied.
        engine.drawText(0, top, int(frame.width / scale), int(std::ceil(height / scale)),
                        QLatin1String(part.layout), text, scale, scale, 0.0);
    }
    if (band.line) {
        engine.setPenWidth(std::max(1, frame.resolution / 96));
        engine.drawLine(0, ruleY, frame.width, ruleY);
    }
}

} // namespace

void drawPageBands(EngineClient &engine, const ConversionSettings &settings,
                   const PageDecorations &decorations, const PageFacts &facts,
                   bool pageNumberReserve)
{
    if (decorations.isEmpty())
        return;
    const PageFrame frame = pageFrame(engine, settings, pageNumberReserve);
    drawBand(engine, frame, decorations.header, true, facts, decorations.syntax);
    drawBand(engine, frame, decorations.footer, false, facts, decorations.syntax);
}

} // namespace quirex::app
