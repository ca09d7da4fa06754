// quirexpdf: sets up the process and hands its command line to the
// converter. The options and the run live in quirexdesk_core.
#include "converter.h"
#include "headlessplatform.h"
#include "interruption.h"
#include "pdfcommandline.h"
#include "pdfrun.h"
#include "registryreport.h"
#include "userfolders.h"

#include <QApplication>
#include <QFile>
#include <QStringList>

#include <csignal>

int main(int argc, char **argv)
{
    using namespace quirex;

    // A reader of standard output that goes away is a failed write, reported
    // and answered with exit code 1, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    app::installInterruptionHandlers();
    app::reportRegistryDamage();
    // The engine is a widget and needs the application object; it runs on
    // the offscreen platform without a reachable display. Qt never sees the
    // program's own arguments.
    platform::prepareApplicationEnvironment();
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    if (platform::programFolder().isEmpty())
        return 1;

    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    app::CConverter converter;
    return app::runPdfCommandLine(app::parsePdfCommandLine(arguments), converter);
}
