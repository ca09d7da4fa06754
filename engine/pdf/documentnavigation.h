#pragma once

#include "navigationrecorder.h"

#include <QString>

class QUrl;
class QWebElement;

namespace quirex::engine
{

// The address that names a whole document: the URL without its fragment,
// with "." and ".." segments resolved, fully encoded. Two links reach the
// same document exactly when their addresses are equal.
QString documentAddress(const QUrl &url);

// Reads what the laid-out document below `root` offers to jumps and
// bookmarks: every element with an id and every `a` with a name (an id wins
// over a name, the first element over later ones, as a browser resolves a
// fragment), and the h1 to h6 headings that are rendered and have text.
// Positions are document pixels; an element without a box of its own (an
// empty `<a name>`) takes the place of the next element that has one.
LoadedDocument readDocumentNavigation(const QWebElement &root, const QUrl &documentUrl);

} // namespace quirex::engine
