#pragma once

class QApplication;

namespace quirex::platform {

// Chooses Qt's "offscreen" platform when the process has no display
// (neither DISPLAY nor WAYLAND_DISPLAY) and QT_QPA_PLATFORM names none, so a
// batch run on a headless machine never aborts for want of a display.
// Must run before the application object exists; changes nothing afterwards.
void chooseHeadlessPlatformIfNoDisplay();

// True when the chosen platform shows no windows to anybody (offscreen or
// minimal); message boxes must then not block.
bool isHeadlessPlatform();

// Returns the process's application object, creating a QApplication (after
// chooseHeadlessPlatformIfNoDisplay) on the calling thread when none exists.
// The created object lives until the process ends.
QApplication *ensureApplication();

} // namespace quirex::platform
