#pragma once

class QWebFrame;

namespace quirex::engine
{

// Puts the children of a long, flat document body into groups (elements of
// their own that are plain blocks without margin, padding or border) for
// painting, and returns the number of groups made, or 0 when the body was
// left as it was.
//
// The web engine paints a slice by testing every child of a block against
// the slice, in every paint phase, so a body of tens of thousands of
// children costs each page time in proportion to the document. Grouped in
// about the square root of their number, a page tests the groups and the
// children of the one or two groups it shows.
//
// Grouping lays the whole document out again, which costs about as much as
// the children's tests save on the pages of a body of a few thousand
// children: shorter bodies are left alone.
//
// The layout must stay exactly the same, so the body is left alone unless
// it is a block of more than `minimumChildren` children in normal flow,
// none of them floated, absolutely positioned or a list item; every style
// sheet can be read and neither they nor any inline style have a rule that
// could select or size a group, or depend on where an element stands among
// its siblings (child, sibling and universal selectors, structural and
// other pseudo-classes but those of links and user actions, [style]
// selectors, "inherit", floats, counters, percentage heights and
// top/bottom offsets); the document has no script element or event handler
// attribute (a script could see the elements move), no frame or embedded
// object (moving would reload it), no style element in its body and no image
// still loading. A group only starts before a block that follows a block,
// so no run of inline content is split. After grouping, the box of every
// element of the body and the document's size are compared with those
// before; when anything differs the grouping is undone and 0 returned.
// Needs scripts to be enabled in the frame (returns 0 otherwise).
int groupLongBody(QWebFrame *frame, int minimumChildren = 5000);

// Takes the children of every group back into the body in their order and
// removes the groups; the document is then the one that was loaded.
void ungroupBody(QWebFrame *frame);

} // namespace quirex::engine
