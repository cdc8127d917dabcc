// Local time in the zone TZ names, read through the platform layer. POSIX
// only: the Windows C runtime knows no summer-time rules in TZ, and under
// WebAssembly the zone is the host's, whatever TZ says.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/platform.h"

namespace ledview {
namespace {

// Local time field by field on either side of a month end, a year end and a
// leap day, in UTC and in a zone an hour east with summer time (two hours
// east from the last Sunday of March).
TEST(Clock, LocalTimeAcrossMonthYearAndLeapDay) {
  const char* const saved = std::getenv("TZ");
  const std::string kept = saved != nullptr ? saved : "";
  const struct {
    const char* zone;
    int64_t when;
    int year, month, day, hour, minute, second, weekday, yearday, summer;
  } cases[] = {
      {"UTC0", 1682899199, 2023, 4, 30, 23, 59, 59, 0, 119, 0},
      {"UTC0", 1682899200, 2023, 5, 1, 0, 0, 0, 1, 120, 0},
      {"UTC0", 1704067199, 2023, 12, 31, 23, 59, 59, 0, 364, 0},
      {"UTC0", 1704067200, 2024, 1, 1, 0, 0, 0, 1, 0, 0},
      {"UTC0", 1709164799, 2024, 2, 28, 23, 59, 59, 3, 58, 0},
      {"UTC0", 1709164800, 2024, 2, 29, 0, 0, 0, 4, 59, 0},
      {"UTC0", 1709251199, 2024, 2, 29, 23, 59, 59, 4, 59, 0},
      {"UTC0", 1709251200, 2024, 3, 1, 0, 0, 0, 5, 60, 0},
      {"CET-1CEST,M3.5.0,M10.5.0/3", 1719784799, 2024, 6, 30, 23, 59, 59, 0, 181, 1},
      {"CET-1CEST,M3.5.0,M10.5.0/3", 1719784800, 2024, 7, 1, 0, 0, 0, 1, 182, 1},
      {"CET-1CEST,M3.5.0,M10.5.0/3", 1704063599, 2023, 12, 31, 23, 59, 59, 0, 364, 0},
      {"CET-1CEST,M3.5.0,M10.5.0/3", 1704063600, 2024, 1, 1, 0, 0, 0, 1, 0, 0},
      {"CET-1CEST,M3.5.0,M10.5.0/3", 1709161200, 2024, 2, 29, 0, 0, 0, 4, 59, 0},
      {"CET-1CEST,M3.5.0,M10.5.0/3", 1709247599, 2024, 2, 29, 23, 59, 59, 4, 59, 0},
      {"CET-1CEST,M3.5.0,M10.5.0/3", 1709247600, 2024, 3, 1, 0, 0, 0, 5, 60, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.zone << " at " << c.when);
    setenv("TZ", c.zone, 1);
    tzset();
    std::tm t{};
    ASSERT_TRUE(ClockLocalTime(c.when, &t));
    EXPECT_EQ(t.tm_year + 1900, c.year);
    EXPECT_EQ(t.tm_mon + 1, c.month);
    EXPECT_EQ(t.tm_mday, c.day);
    EXPECT_EQ(t.tm_hour, c.hour);
    EXPECT_EQ(t.tm_min, c.minute);
    EXPECT_EQ(t.tm_sec, c.second);
    EXPECT_EQ(t.tm_wday, c.weekday);
    EXPECT_EQ(t.tm_yday, c.yearday);
    EXPECT_EQ(t.tm_isdst, c.summer);
    // And back: the local fields name the same moment.
    EXPECT_EQ(ClockFromLocal(&t), c.when);
  }
  // Fields written out by hand say nothing of summer time: the zone's rules
  // decide it, whatever the field holds.
  setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  tzset();
  std::tm july{};
  july.tm_year = 124;
  july.tm_mon = 6;
  july.tm_mday = 1;
  EXPECT_EQ(ClockFromLocal(&july), 1719784800);
  std::tm january{};
  january.tm_year = 124;
  january.tm_mday = 1;
  january.tm_isdst = 1;
  EXPECT_EQ(ClockFromLocal(&january), 1704063600);
  if (saved != nullptr) {
    setenv("TZ", kept.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

}  // namespace
}  // namespace ledview
