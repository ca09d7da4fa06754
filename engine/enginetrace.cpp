#include "enginetrace.h"

Q_LOGGING_CATEGORY(lcEngineTrace, "quirex.engine.trace", QtInfoMsg)
