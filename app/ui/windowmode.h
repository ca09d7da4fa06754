#pragma once

class QApplication;

namespace quirex::app
{
class CConverter;
class HandOffCallback;
class SettingsStore;
} // namespace quirex::app

namespace quirex::app::ui
{

// Window mode, for a command line without arguments: shows the main window
// over `converter` and `store` and runs `application`'s event loop until the
// window is closed. Returns the program's exit code, always 0. With
// `handOff`, texts that the program's hand-off server receives reach the
// window while it is open.
int runWindowMode(QApplication &application, CConverter &converter, SettingsStore &store,
                  HandOffCallback *handOff = nullptr);

} // namespace quirex::app::ui
