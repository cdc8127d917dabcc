#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/platform.h"

namespace ledview {
namespace {

// Runs with the zone set to UTC and puts the caller's zone and the real
// clock back afterwards.
class ClockTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    hadtz_ = tz != nullptr;
    if (hadtz_) oldtz_ = tz;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (hadtz_) setenv("TZ", oldtz_.c_str(), 1); else unsetenv("TZ");
    tzset();
    ClockUseReal();
  }
  bool hadtz_ = false;
  std::string oldtz_;
};

TEST_F(ClockTest, SimulatedClockStartsWhereToldAndMovesOnlyWhenAdvanced) {
  ClockSimulate(1700000000);
  EXPECT_EQ(ClockNow(), 1700000000);
  EXPECT_EQ(ClockNow(), 1700000000);
  ClockAdvance(59);
  ClockAdvance(1);
  EXPECT_EQ(ClockNow(), 1700000060);
  ClockUseReal();
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  EXPECT_GE(ClockNow(), now);
  EXPECT_LE(ClockNow(), now + 5);
}

TEST_F(ClockTest, LocalTimeBreaksTheInstantDown) {
  std::tm t{};
  ASSERT_TRUE(ClockLocalTime(1700000000, &t));  // 2023-11-14 22:13:20 UTC, a Tuesday
  EXPECT_EQ(t.tm_year, 123);
  EXPECT_EQ(t.tm_mon, 10);
  EXPECT_EQ(t.tm_mday, 14);
  EXPECT_EQ(t.tm_hour, 22);
  EXPECT_EQ(t.tm_min, 13);
  EXPECT_EQ(t.tm_sec, 20);
  EXPECT_EQ(t.tm_wday, 2);
  // Midnight rolls the date over.
  ASSERT_TRUE(ClockLocalTime(1700000000 + 6400, &t));
  EXPECT_EQ(t.tm_mday, 15);
  EXPECT_EQ(t.tm_hour, 0);
  EXPECT_EQ(t.tm_min, 0);
  EXPECT_FALSE(ClockLocalTime(1700000000, nullptr));
}

}  // namespace
}  // namespace ledview
