#pragma once

namespace quirex::app
{

// The argument that starts quirexdesk as a worker process of another
// quirexdesk (not listed in the usage).
inline constexpr char kWorkerArgument[] = "--worker";

// The worker's loop: reads one request per line on standard input, runs it
// through a converter of this process (one engine object per PDF, as the
// program itself does) and writes one reply per request on standard output,
// which carries nothing else. Returns 0 at the end of its input. The worker
// ends with the process that started it. Needs the application object.
int runWorker();

} // namespace quirex::app
