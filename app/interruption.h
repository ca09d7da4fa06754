#pragma once

namespace quirex::app
{

// SIGINT and SIGTERM during a conversion: instead of killing the process
// with its temporary files in place, the handlers installed here record the
// signal, and the converter reads it as Cancel at its next step (before the
// next page at the latest), abandons the PDF under way and removes its
// temporary files. A second signal of either kind ends the process at once.

// Installs the handlers (for the rest of the process).
void installInterruptionHandlers();

// The signal received (SIGINT or SIGTERM), or 0 when none came.
int interruptionSignal();

// The exit code of a run ended by `signal`: 128 + signal, as the shell reports a program the
// signal killed.
int interruptedExitCode(int signal);

// Forgets a signal received, for tests.
void resetInterruption();

} // namespace quirex::app
