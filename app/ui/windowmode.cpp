#include "windowmode.h"

#include "maindlg.h"

#include <QApplication>

namespace quirex::app::ui
{

int runWindowMode(CConverter &converter, SettingsStore &store)
{
    CMainDlg window(converter, store);
    // The loop ends with the window, whatever else is still open.
    QObject::connect(&window, &QDialog::finished, qApp, &QCoreApplication::quit);
    window.show();
    QApplication::exec();
    return 0;
}

} // namespace quirex::app::ui
