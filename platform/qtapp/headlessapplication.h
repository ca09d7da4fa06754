#pragma once

class QApplication;
class QByteArray;

namespace quirex::platform
{

// Chooses Qt's "offscreen" platform when QT_QPA_PLATFORM names none and the
// process has no display: neither DISPLAY nor WAYLAND_DISPLAY, or a DISPLAY
// that cannot be reached (a stale variable over ssh, a server that has gone),
// on which Qt's X11 platform would abort the process. A batch run on a
// headless machine thus never aborts for want of a display. Must run before
// the application object exists; changes nothing afterwards.
void chooseHeadlessPlatformIfNoDisplay();

// True when an X11 connection to `display` (as in DISPLAY, e.g. ":0") can be
// made and is accepted. False also when the X11 client library is missing.
bool x11DisplayReachable(const QByteArray &display);

// True when the chosen platform shows no windows to anybody (offscreen or
// minimal); message boxes must then not block.
bool isHeadlessPlatform();

// Returns the process's application object, creating a QApplication (after
// chooseHeadlessPlatformIfNoDisplay) on the calling thread when none exists.
// The created object lives until the process ends. It is given no command-line
// arguments but `programName`, so Qt never takes a program's own arguments
// ("-title", "-display", ...) for its options.
QApplication *ensureApplication(const char *programName = "quirex");

} // namespace quirex::platform
