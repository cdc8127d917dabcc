// Real time turned into engine ticks, for the commands that play a show as
// it happens (play's window, serve's engine thread): the host's steady clock
// is read between ticks, and the time since the last reading is owed to the
// show until a tick pays for it.
#pragma once
#include <chrono>

namespace ledview::tool {

using HostClockTime = std::chrono::steady_clock::time_point;

struct HostClock {
  HostClockTime last;  // the latest reading
  double owedms = 0;   // real time not yet played
};

// Play time the clock makes up at most after a stall (a suspended process,
// a busy machine); anything longer is skipped rather than replayed fast.
inline constexpr double kMaxCatchUpMs = 250;

// Counts from now on, owing `owedms` already: a whole tick to tick at once,
// 0 to wait a tick first.
void HostClockReset(HostClock* clock, double owedms);
// Reads the clock. The time since the last reading is owed unless the show
// was paused, at most a tick and kMaxCatchUpMs in all.
void HostClockRead(HostClock* clock, double tickms, bool paused);
// True, and the tick paid, when a tick of tickms is owed.
bool HostClockTakeTick(HostClock* clock, double tickms);
// Milliseconds of real time until a tick is owed; 0 when one is.
double HostClockWaitMs(const HostClock& clock, double tickms);

}  // namespace ledview::tool
