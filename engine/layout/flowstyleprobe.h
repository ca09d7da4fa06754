#pragma once

#include <cstdint>

class QString;
class QWebFrame;

namespace quirex::engine
{

// What the style sheets of a document may change about how its elements are
// laid out, beyond what the web engine's own style sheet gives each element.
// Inline styles (style attributes) are not looked at: they are the
// caller's to check, element by element. True means "may": whenever it
// cannot tell (a sheet from another origin, scripts switched off), both are
// true.
struct FlowDeclarations {
    // Some rule declares display.
    bool display = true;
    // Some rule may take an element out of the flow of its parent: float
    // other than none, position other than static, relative or sticky.
    bool outOfFlow = true;
    // Some rule sets a font, a line height, a padding or a border (or
    // something that changes them: zoom, writing mode, "all"). Without
    // such rules two elements of the same tag and without attributes, in
    // parents alike in the same way, get the same values for all of them.
    bool boxes = true;
    // Some selector tells elements apart by their siblings or their place
    // among them (+, ~, :first-child, :nth-child() and the like, :empty), or
    // some padding depends on the width of its element's container. Without
    // such rules, two elements of the same tag and class, in parents alike
    // in the same way, get the same computed values whatever the rules set.
    bool siblingRules = true;
};

// Reads every rule of every sheet of the document in `frame` (into @media,
// @supports and imported sheets) by the names and values of their parsed
// declarations; the cost grows with the number of rules, not with the
// number of elements.
FlowDeclarations probeFlowDeclarations(QWebFrame *frame);

// The display the web engine's own style sheet gives an HTML element with
// the tag name `tag` (as QWebElement::tagName() spells it), for the common
// blocks it never floats or positions: Flow for blocks whose lines start at
// the top of their content (block, list-item), TablePart for tables and their
// rows, cells and captions; Unknown for every other tag.
enum class DefaultDisplay : std::uint8_t { Unknown, Flow, TablePart };
DefaultDisplay defaultDisplay(const QString &tag);

} // namespace quirex::engine
