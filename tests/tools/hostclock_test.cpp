// Real time turned into ticks: a stall is made up only so far, a pause owes
// nothing, and a fresh start may owe a tick at once.
#include <gtest/gtest.h>

#include "ledview/hostclock.h"

namespace ledview::tool {
namespace {

int32_t TicksTaken(HostClock* clock, double tickms) {
  int32_t n = 0;
  while (HostClockTakeTick(clock, tickms)) ++n;
  return n;
}

TEST(HostClock, AStallIsMadeUpOnlyAQuarterSecond) {
  HostClock clock;
  HostClockReset(&clock, 0);
  EXPECT_EQ(TicksTaken(&clock, 10), 0);
  clock.last -= std::chrono::seconds(10);
  HostClockRead(&clock, 10, false);
  // The tick that was due and kMaxCatchUpMs more, not ten seconds' worth.
  EXPECT_EQ(TicksTaken(&clock, 10), 26);
  EXPECT_GT(HostClockWaitMs(clock, 10), 0.0);

  clock.last -= std::chrono::seconds(10);
  HostClockRead(&clock, 10, true);
  EXPECT_EQ(TicksTaken(&clock, 10), 0) << "a paused show owes nothing for the time it stood";
}

TEST(HostClock, AStartCanOweATickAtOnce) {
  HostClock clock;
  HostClockReset(&clock, 10);
  EXPECT_EQ(HostClockWaitMs(clock, 10), 0.0);
  EXPECT_EQ(TicksTaken(&clock, 10), 1);
  HostClockReset(&clock, 3);
  EXPECT_DOUBLE_EQ(HostClockWaitMs(clock, 10), 7.0);
}

}  // namespace
}  // namespace ledview::tool
