// quirexdesk: sets up the process and hands over to the main window or to the
// command line. Everything else lives in quirexdesk_core, quirexdesk_ui and
// quirexdesk_pipe.
#include "batchmodes.h"
#include "commandline.h"
#include "commandlinerun.h"
#include "conversionrunner.h"
#include "converter.h"
#include "headlessplatform.h"
#include "helpviewer.h"
#include "interruption.h"
#include "messagebox.h"
#include "pipeserverthread.h"
#include "registryreport.h"
#include "settingsstore.h"
#include "userfolders.h"
#include "windowmode.h"
#include "workermain.h"

#include <QApplication>
#include <QFile>
#include <QStringList>
#include <QTimer>

#include <cstring>

int main(int argc, char **argv)
{
    using namespace quirex;

    // The application object comes first, on a platform that works here
    // (offscreen without a reachable display): the engine component and the
    // message boxes use this one and never make their own. Qt is shown the
    // program's name only, so that it never takes one of the program's own
    // arguments ("-title", "-display", ...) for an option of its own.
    // SIGINT and SIGTERM cancel a conversion in order (its temporary files
    // removed) instead of killing the process.
    app::installInterruptionHandlers();
    // A worker process of another quirexdesk: no hand-off server, no
    // command line, only conversions asked for on its standard input.
    if (argc == 2 && std::strcmp(argv[1], app::kWorkerArgument) == 0) {
        platform::prepareApplicationEnvironment();
        int workerArgc = 1;
        QApplication application(workerArgc, argv);
        return app::runWorker();
    }
    app::reportRegistryDamage();
    platform::prepareApplicationEnvironment();
    int qtArgc = 1;
    QApplication application(qtArgc, argv);

    // The hand-off server thread starts before anything else and serves in
    // every mode. Its destructor, the last thing main() runs before the
    // application object goes, is the stop sequence (5 s bound). A thread
    // that cannot start has said so on stderr; the program then goes on
    // without a server.
    app::PipeServerThread handOffServer;
    handOffServer.start();

    if (platform::programFolder().isEmpty())
        return -100;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));

    // The settings store makes its folders now; the converter writes the
    // log's start record.
    app::SettingsStore settings = app::makeApplicationSettingsStore();
    app::CConverter converter({}, &app::ui::showMessageBox);
    app::logArguments(arguments);

    const app::CommandLine line = app::parseCommandLine(arguments);
    app::applyGlobalSwitches(line, converter);
    // Every conversion of the program runs in worker processes.
    app::RunnerOptions runnerOptions;
    runnerOptions.workers = line.jobs;
    runnerOptions.timeoutSeconds = line.timeoutSeconds;
    runnerOptions.keepGoing = line.keepGoing;
    app::ConversionRunner runner(runnerOptions);
    app::setBatchRunner(&runner);
    if (line.mode == app::CommandMode::Window) {
        // Without a display nobody could see the window or close it: the
        // program would wait forever.
        if (platform::isHeadlessPlatform())
            return app::runWithoutWindow();
        // A signal cancels a running conversion through the converter; the
        // window closes once none runs.
        QTimer interruption;
        QObject::connect(&interruption, &QTimer::timeout, [&] {
            if (app::interruptionSignal() != 0 && !converter.isBusy())
                application.exit(app::interruptedExitCode(app::interruptionSignal()));
        });
        interruption.start(200);
        const int result =
            app::ui::runWindowMode(application, converter, settings, &handOffServer.callback());
        return app::interruptionSignal() != 0 ? app::interruptedExitCode(app::interruptionSignal())
                                              : result;
    }
    return app::runCommandLine(
        line, converter, settings,
        [](const QString &helpFile, const QString &topic) { app::ui::openHelp(helpFile, topic); });
}
