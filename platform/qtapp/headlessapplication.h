#pragma once

#include "headlessplatform.h"

class QApplication;

namespace quirex::platform
{

// Returns the process's application object, creating a QApplication (after
// prepareApplicationEnvironment) on the calling thread when none exists. For
// code that runs without a main() of ours: a component library inside a
// foreign process, tests. The created object lives until the process ends.
// It is given no command-line arguments but `programName`, so Qt never takes
// a program's own arguments ("-title", "-display", ...) for its options.
QApplication *ensureApplication(const char *programName = "quirex");

} // namespace quirex::platform
