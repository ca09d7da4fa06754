#pragma once

#include <QIcon>

namespace quirex::app::ui
{

// The program's window icon: a page with a folded corner and a red "PDF"
// band, drawn at the usual icon sizes.
QIcon applicationIcon();

} // namespace quirex::app::ui
