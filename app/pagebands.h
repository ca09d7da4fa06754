#pragma once

#include "pagedecorations.h"

namespace quirex::app
{

class EngineClient;
struct ConversionSettings;

// Draws the header and footer of `decorations` on the engine's current page,
// with the placeholders filled from `facts`. Each band's three texts are
// aligned left, centred and right across the printable width (inside the
// left and right margins), in the band's font (normal style and weight;
// a fractional size is drawn scaled), on one line each:
// - the header's lower edge lies `spacingMm` above the content's top edge;
// - the footer's upper edge lies `spacingMm` below the content's lower edge,
//   or below the reserve the page numbers use when `settings.PageNumbers` is
//   on, so both stay readable;
// - a band that does not fit in its margin is moved towards the content so
//   that it stays on the paper.
// The rule, when asked for, runs across the printable width halfway between
// the band and the content. A band with an empty text draws nothing for it.
// Throws automation::ComError when an engine call fails.
// Without `pageNumberReserve` the content reaches down to the bottom margin.
void drawPageBands(EngineClient &engine, const ConversionSettings &settings,
                   const PageDecorations &decorations, const PageFacts &facts,
                   bool pageNumberReserve = true);

} // namespace quirex::app
