// Calendar seconds of a local date and time, for pinning the simulated clock
// to a moment whatever the machine's time zone.
#pragma once
#include <cstdint>
#include <ctime>

#include "platform/platform.h"

namespace ledview::test {

inline int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return ClockFromLocal(&t);
}

}  // namespace ledview::test
