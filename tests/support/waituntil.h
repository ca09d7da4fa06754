#pragma once

#include <functional>

// Bounded waits on a condition, for tests that wait for another thread or process.
namespace quirex::test
{

// True as soon as `done()` holds; false when it still does not after `timeoutMs`. Checks
// every few milliseconds and runs no events: for threads that must not run an event loop, and
// for waiting on other processes.
bool waitUntil(const std::function<bool()> &done, int timeoutMs = 10000);

// As waitUntil(), but runs this thread's events between the checks.
bool pumpUntil(const std::function<bool()> &done, int timeoutMs = 10000);

} // namespace quirex::test
