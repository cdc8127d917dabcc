#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::AllLit;
using test::EffectBench;

class Sweeps : public EffectBench {
 protected:
  // The picture one step at `angle` draws on a clear rectangle, after the
  // set-up call.
  testing::AssertionResult StepShows(EffectFunction f, int32_t angle, const std::string& picture) {
    FillInside(0);
    node.step = static_cast<uint32_t>(angle);
    if (Call(f) <= 0) return testing::AssertionFailure() << "the step at " << angle << " finished";
    return Shows(picture) << " at " << angle << " degrees";
  }

  // Results of a whole run, checked against the set-up delay, the number of
  // steps with their delay, and the finishing -1.
  void ExpectRun(EffectFunction f, uint32_t speed, int32_t first, size_t steps, int32_t each) {
    SetSpeed(speed);
    Reset();
    std::vector<int32_t> want{first};
    want.insert(want.end(), steps, each);
    want.push_back(-1);
    EXPECT_EQ(Run(f), want) << "speed " << speed;
    EXPECT_TRUE(ShowsImage());
  }
};

// The fan opens upward from the centre of a 9 x 7 image: after 45 degrees
// the region above the two lines is a triangle; after 135 the upper half is
// full and the lower half is filling from the middle outward.
TEST_P(Sweeps, FanSweepOpensDownward) {
  SetImage(9, 7, AllLit);
  SetRect(5, 12, 9, 7);
  EXPECT_EQ(Call(FanSweep), FirstDelay[0]);
  for (int32_t a = 5; a <= 45; a += 5) ASSERT_EQ(Call(FanSweep), FirstDelay[0]);
  EXPECT_TRUE(Shows(R"(
    .#######.
    ..#####..
    ...###...
    ....#....
    .........
    .........
    .........)"));
  for (int32_t a = 50; a <= 135; a += 5) ASSERT_EQ(Call(FanSweep), FirstDelay[0]);
  EXPECT_TRUE(Shows(R"(
    #########
    #########
    #########
    #########
    #########
    ###..####
    ##....###)"));
  EXPECT_TRUE(OutsideUntouched());
}

TEST_P(Sweeps, StepCountsAndDelays) {
  SetImage(11, 8);
  SetRect(5, 12, 13, 9);
  for (const uint32_t speed : {0u, 8u}) {
    ExpectRun(FanSweep, speed, FirstDelay[speed], 36, FirstDelay[speed]);
    ExpectRun(TwinSweep, speed, FirstDelay[speed], 18, BandDelay[speed]);
    ExpectRun(ClockSweep, speed, FirstDelay[speed], 73, BandDelay[speed]);
    ExpectRun(ClockSweepReverse, speed, FirstDelay[speed], 73, BandDelay[speed]);
  }
  EXPECT_TRUE(OutsideUntouched());
}

// Each half of an 8 x 8 image opens from the top, column pairs reaching
// down by their distance from the half's left edge times tan a; at 85 the
// pairs at the two left edges are drawn whole.
TEST_P(Sweeps, TwinSweepSingleSteps) {
  SetImage(8, 8, AllLit);
  SetRect(5, 12, 8, 8);
  Call(TwinSweep);
  const std::string dark = "\n........\n........\n........\n........\n........\n........";
  EXPECT_TRUE(StepShows(TwinSweep, 45, "..##..##\n..##..##" + dark));
  EXPECT_TRUE(StepShows(TwinSweep, 0, "........\n........" + dark));
  EXPECT_TRUE(StepShows(TwinSweep, 85, ExpectWhole()));
}

// The hand at 12 o'clock turning clockwise over an 8 x 8 image: one 2-pixel
// strip in the first and the last quadrant at 45 degrees past the axis.
TEST_P(Sweeps, ClockSweepQuadrants) {
  SetImage(8, 8, AllLit);
  SetRect(5, 12, 8, 8);
  Call(ClockSweep);
  EXPECT_TRUE(StepShows(ClockSweep, 45, R"(
    ....##..
    ....##..
    ........
    ........
    ........
    ........
    ........
    ........)"));
  EXPECT_TRUE(StepShows(ClockSweep, 315, R"(
    ........
    ........
    ##......
    ##......
    ........
    ........
    ........
    ........)"));
}

// On each axis the step draws one band beside it, b = 6 x T[10] >> 15 = 1
// line thick for a 12 x 12 image.
TEST_P(Sweeps, ClockSweepAxisBands) {
  SetImage(12, 12, AllLit);
  SetRect(5, 12, 12, 12);
  Call(ClockSweep);
  const auto only = [this](int32_t u0, int32_t v0, int32_t w, int32_t h) {
    return Expect([=](int32_t u, int32_t v) { return u >= u0 && u < u0 + w && v >= v0 && v < v0 + h; });
  };
  EXPECT_TRUE(StepShows(ClockSweep, 90, only(6, 5, 6, 1)));
  EXPECT_TRUE(StepShows(ClockSweep, 180, only(6, 6, 1, 6)));
  EXPECT_TRUE(StepShows(ClockSweep, 270, only(0, 6, 6, 1)));
  EXPECT_TRUE(StepShows(ClockSweep, 360, only(5, 0, 1, 6)));

  SetRect(5, 12, 12, 12);
  Reset();
  Call(ClockSweepReverse);
  EXPECT_TRUE(StepShows(ClockSweepReverse, 90, only(6, 0, 1, 6)));
  EXPECT_TRUE(StepShows(ClockSweepReverse, 180, only(0, 5, 6, 1)));
  EXPECT_TRUE(StepShows(ClockSweepReverse, 270, only(5, 6, 1, 6)));
  EXPECT_TRUE(StepShows(ClockSweepReverse, 360, only(6, 6, 6, 1)));
}

// Upper left quadrant with an odd half-height (cy = 7): strips of two rows,
// and three from the one that starts on row 3, so the last ends on row 0.
TEST_P(Sweeps, ClockSweepReverseOddHalfHeight) {
  SetImage(16, 14, AllLit);
  SetRect(5, 12, 16, 14);
  Call(ClockSweepReverse);
  EXPECT_TRUE(StepShows(ClockSweepReverse, 135, R"(
    .#######........
    .#######........
    .#######........
    ....####........
    ....####........
    ....####........
    ......##........
    ................
    ................
    ................
    ................
    ................
    ................
    ................)"));
}

INSTANTIATE_TEST_SUITE_P(Modes, Sweeps, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
