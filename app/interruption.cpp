#include "interruption.h"

#include <csignal>
#include <unistd.h>

namespace quirex::app
{

namespace
{

volatile std::sig_atomic_t received = 0;

void onSignal(int signal)
{
    if (received != 0) {
        // Asked twice: the user wants the process gone now.
        ::_exit(interruptedExitCode(signal));
    }
    received = signal;
}

} // namespace

void installInterruptionHandlers()
{
    struct sigaction action {
    };
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    // System calls resume: the converter reads the flag between its steps.
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

int interruptionSignal()
{
    return int(received);
}

int interruptedExitCode(int signal)
{
    return 128 + signal;
}

void resetInterruption()
{
    received = 0;
}

} // namespace quirex::app
