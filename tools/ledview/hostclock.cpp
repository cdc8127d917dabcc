#include "ledview/hostclock.h"

#include <algorithm>

namespace ledview::tool {

void HostClockReset(HostClock* clock, double owedms) {
  clock->last = std::chrono::steady_clock::now();
  clock->owedms = owedms;
}

void HostClockRead(HostClock* clock, double tickms, bool paused) {
  const HostClockTime now = std::chrono::steady_clock::now();
  if (!paused) {
    clock->owedms += std::chrono::duration<double, std::milli>(now - clock->last).count();
    clock->owedms = std::min(clock->owedms, tickms + kMaxCatchUpMs);
  }
  clock->last = now;
}

bool HostClockTakeTick(HostClock* clock, double tickms) {
  if (clock->owedms < tickms) return false;
  clock->owedms -= tickms;
  return true;
}

double HostClockWaitMs(const HostClock& clock, double tickms) {
  return std::max(0.0, tickms - clock.owedms);
}

}  // namespace ledview::tool
