#include "windowmode.h"

#include "handoffcallback.h"
#include "maindlg.h"

#include <QApplication>

namespace quirex::app::ui
{

int runWindowMode(QApplication &application, CConverter &converter, SettingsStore &store,
                  HandOffCallback *handOff)
{
    CMainDlg window(converter, store);
    if (handOff)
        handOff->setReceiver(&window);
    // The loop ends with the window, whatever else is still open.
    QObject::connect(&window, &QDialog::finished, &application, &QCoreApplication::quit);
    window.show();
    application.exec();
    // No hand-off may reach the window once it is being torn down.
    if (handOff)
        handOff->clearReceiver();
    return 0;
}

} // namespace quirex::app::ui
