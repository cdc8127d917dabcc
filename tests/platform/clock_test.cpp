#include <gtest/gtest.h>

#include <ctime>

#include "platform/platform.h"

namespace ledview {
namespace {

TEST(Clock, SimulatedClockMovesOnlyWhenAdvanced) {
  ClockSimulate(1700000000);
  ClockAdvance(59);
  ClockAdvance(1);
  EXPECT_EQ(ClockNow(), 1700000060);
  EXPECT_EQ(ClockNow(), 1700000060);
  ClockUseReal();
  EXPECT_LE(std::abs(ClockNow() - static_cast<int64_t>(std::time(nullptr))), 2);
  EXPECT_FALSE(ClockLocalTime(1700000000, nullptr));
}

}  // namespace
}  // namespace ledview
