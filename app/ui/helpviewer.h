#pragma once

#include "helppages.h"

#include <QString>

namespace quirex::app::ui
{

// Opens help at `topic` (empty: the start page; see helpPagePath) with the
// desktop's opener (platform/shell), without waiting for it. When the help
// file cannot be read, shows error 3022 with its full path (title 2001) and
// returns false. A viewer that cannot be started is not reported.
bool openHelp(const QString &helpFilePath, const QString &topic = QString());

} // namespace quirex::app::ui
