#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/platform.h"

namespace ledview {
namespace {

TEST(Clock, SimulatedClockMovesOnlyWhenAdvanced) {
  ClockSimulate(1700000000);
  EXPECT_EQ(ClockNow(), 1700000000);
  ClockAdvance(59);
  ClockAdvance(1);
  EXPECT_EQ(ClockNow(), 1700000060);
  ClockUseReal();
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  EXPECT_GE(ClockNow(), now);
  EXPECT_LE(ClockNow(), now + 5);
}

TEST(Clock, LocalTimeInTheCallersZone) {
  const char* tz = std::getenv("TZ");
  const std::string old = tz != nullptr ? tz : "";
  setenv("TZ", "UTC", 1);
  tzset();
  std::tm t{};
  const bool ok = ClockLocalTime(1700000000 + 6400, &t);  // 2023-11-15 00:00:00 UTC
  if (tz != nullptr) setenv("TZ", old.c_str(), 1); else unsetenv("TZ");
  tzset();
  ASSERT_TRUE(ok);
  EXPECT_EQ(t.tm_year * 10000 + t.tm_mon * 100 + t.tm_mday, 123 * 10000 + 10 * 100 + 15);
  EXPECT_EQ(t.tm_hour * 3600 + t.tm_min * 60 + t.tm_sec, 0);
  EXPECT_EQ(t.tm_wday, 3);
  EXPECT_FALSE(ClockLocalTime(1700000000, nullptr));
}

}  // namespace
}  // namespace ledview
