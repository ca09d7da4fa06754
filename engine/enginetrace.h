#pragma once

#include <QLoggingCategory>

// Trace lines of the engine: off by default, so command-line users never see
// them; QT_LOGGING_RULES="quirex.engine.trace.debug=true" turns them on.
Q_DECLARE_LOGGING_CATEGORY(lcEngineTrace)

#define QUIREX_TRACE() qCDebug(lcEngineTrace).noquote()
