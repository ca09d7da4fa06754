#pragma once

#include <QString>
#include <QVariant>

class QWebFrame;

namespace quirex::engine
{

// Runs one of the engine's own scripts in `frame` and returns its value
// (invalid when the script failed). The script runs also when the document's
// own scripts are off: the switch is turned on for the length of the call
// only, during which no script of the document can start.
QVariant evaluateEngineScript(QWebFrame *frame, const QString &script);

} // namespace quirex::engine
