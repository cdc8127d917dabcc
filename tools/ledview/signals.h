// SIGINT, SIGTERM and SIGHUP, taken by one thread of their own: the command
// stops at its next step and removes its temporary files instead of ending
// where it stands.
#pragma once
#include <atomic>

namespace ledview::tool {

// The signal that asked the command to stop, or 0. Every thread reads it.
extern std::atomic<int> stopsignal;

// Blocks the stop signals in the calling thread and in every thread it
// starts from now on, before anything else runs, so that a signal at any
// moment is seen; returns at once.
void HoldStopSignals();
// Lets them end the process again, as they do by default (for the window,
// which has its own way to quit).
void ReleaseStopSignals();
// Starts the thread that waits for them and sets stopsignal. Once only;
// HoldStopSignals first.
void CatchStopSignals();
// From now on, the process ends with status 0 at most `ms` after a stop
// signal, whatever its threads are still doing (a server's guarantee).
void ExitWithinAfterStop(int ms);

}  // namespace ledview::tool
