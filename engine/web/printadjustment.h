#pragma once

#include <QString>
#include <QUrl>

class QWebFrame;

namespace quirex::engine
{

// Adjustments of a loaded document for paper, run before it is measured
// and sliced. Each is safe to run again on the same document.
//
// - An inline <svg> whose font size comes from the HTML around it gets that
//   size written on its root in CSS pixels: the web engine scales text inside
//   SVG by the page zoom once more, so inherited text would print at the
//   zoom squared. `pageZoom` is the frame's zoom factor.
// - A box that scrolls sideways (overflow-x auto or scroll, content wider
//   than the box) gets its text wrapped inside it: on paper nothing scrolls,
//   and the hidden part would be cut at the box's edge.
//
// - An element of fixed position is placed once, where it stands at the
//   top of the document, as on paper: pinned to the view, it would be
//   painted on every page, over the text there.
//
// Returns the number of elements changed, or -1 when the script could not run.
int adjustForPrint(QWebFrame *frame, double pageZoom);

// The style sheet every document is printed with, on top of its own: no
// scroll bars, and form controls (check boxes, radio buttons, text fields,
// buttons, lists) drawn with CSS at their size on screen: the platform's
// drawing does not follow the page zoom.
QString printStyleSheet();

// fontSubstitutionStyleSheet() and printStyleSheet() as one "data:text/css"
// URL, the user style sheet of the engine's page.
QUrl documentStyleSheetUrl();

} // namespace quirex::engine
