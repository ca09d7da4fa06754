#pragma once

#include <QString>

namespace quirex::app
{

class EngineClient;
struct ConversionSettings;

// The text stamped on a page: with an empty `format`, the default pattern
// (string 2005 of the interface language, "Page %d" in English) filled with
// `current`; otherwise `format` with every "%c" replaced by `current` and
// then every "%t" by `total`, in decimal. Nothing else in `format` is read:
// "%d" or a lone "%" stays as written.
QString pageNumberText(const QString &format, int current, int total);

// The engine's layout word for `align`: 0 "AlignLeft", 1 "AlignHCenter",
// 2 "AlignRight"; any other value the empty text (the engine's default,
// left-aligned).
QString pageNumberLayout(int align);

// The bottom margin the converter gives the engine: the settings' bottom
// margin and below the content a quarter inch at `resolution` (dots per
// inch) kept free for page numbers, unless `pageNumberReserve` is off.
int engineBottomMargin(const ConversionSettings &settings, int resolution,
                       bool pageNumberReserve = true);

// Stamps the page number on the engine's current page: font Arial, normal
// style and weight, 8 points; the text height t measured on "Page 1" (in
// tenths of a device pixel, times 96/720, truncated); a box from x 0 across
// the printable width (paper width less the settings' left and right
// margins), t high, whose lower edge lies on the settings' bottom margin
// (y = paper height - MarginTop - MarginBottom - t), so it sits in the
// reserve the converter adds below the printed content. Throws
// automation::ComError when an engine call fails; the font set so far stays.
void stampPageNumber(EngineClient &engine, const ConversionSettings &settings, int current,
                     int total);

} // namespace quirex::app
