#pragma once

class QWebFrame;

namespace quirex::engine
{

// The web engine lays documents out for the screen media type and offers no
// way to choose another. This makes `frame` and its child frames style as for
// print instead: in every media list the document's style sheets hold (the
// media attributes of <link> and <style>, @media and @import rules, also in
// imported sheets) the type "print" becomes "all" and "screen" a type that
// never matches, so print rules apply and screen rules do not, "not print"
// and "not screen" included. Safe to run again on the same document. Sheets
// the document may not read (from another origin) keep their rules; their
// media attribute is still rewritten. Returns the number of media lists
// rewritten, or -1 when the script could not run.
int applyPrintMedia(QWebFrame *frame);

} // namespace quirex::engine
