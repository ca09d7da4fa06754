#pragma once

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

// Everything the process needs before it creates its application object:
// chooseHeadlessPlatformIfNoDisplay, and a private runtime folder when
// XDG_RUNTIME_DIR is not set (Qt would warn about its own on stderr). Changes
// nothing once the application object exists.
void prepareApplicationEnvironment();

// True when an X11 connection to `display` (as in DISPLAY, e.g. ":0") can be
// made and is accepted. False also when the X11 client library is missing.
bool x11DisplayReachable(const QByteArray &display);

// True when the chosen platform shows no windows to anybody (offscreen or
// minimal); message boxes must then not block.
bool isHeadlessPlatform();

} // namespace quirex::platform
