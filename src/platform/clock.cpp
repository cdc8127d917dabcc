#include "platform/platform.h"
#include "platform/system.h"

namespace ledview {

namespace {
bool simulated = false;
int64_t simulatednow = 0;
}  // namespace

int64_t ClockNow() {
  if (simulated) return simulatednow;
  return static_cast<int64_t>(std::time(nullptr));
}

bool ClockLocalTime(int64_t when, std::tm* out) {
  if (out == nullptr) return false;
  return SystemLocalTime(when, out);
}

int64_t ClockFromLocal(std::tm* fields) {
  if (fields == nullptr) return 0;
  fields->tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(fields));
}

void ClockSimulate(int64_t start) {
  simulated = true;
  simulatednow = start;
}

void ClockAdvance(int64_t seconds) { simulatednow += seconds; }

void ClockUseReal() { simulated = false; }

}  // namespace ledview
