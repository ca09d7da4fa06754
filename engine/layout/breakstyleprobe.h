#pragma once

class QWebFrame;

namespace quirex::engine
{

// False only when every style sheet of the document in `frame` could be read
// and neither they nor any inline style declare page-break-before/after/
// inside or break-before/after/inside. The cascaded values the page-break
// scan reads come from exactly these declarations, so when this is false
// the scan would find nothing and can be skipped. True whenever it cannot
// tell (a sheet from another origin, scripts switched off).
bool documentMayDeclareBreaks(QWebFrame *frame);

} // namespace quirex::engine
