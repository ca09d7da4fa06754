#pragma once

#include <QString>

class QWebFrame;

namespace quirex::engine
{

// Run in every frame when its scripts' window is made, before any script of
// the document: keeps count of the work the document's scripts left for
// later (timeouts not yet run or cleared, intervals not cleared, animation
// frames not yet given). What a document still does after its load is only
// ever started by such work or by a reply from the network.
QString scriptWorkWatch();

// The work left in `frame` and the frames inside it; -1 when a frame cannot
// tell (its scripts are off, or replaced the count), which counts as work.
int pendingScriptWork(QWebFrame *frame);

} // namespace quirex::engine
