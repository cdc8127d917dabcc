#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::EffectBench;

class Wipes : public EffectBench {};

// At speed 8 a 20-pixel-wide image comes in strips of 6, 6, 6 and 2 columns,
// one tick apart, and the fourth strip finishes.
TEST_P(Wipes, WipeRightAtTopSpeed) {
  SetImage(20, 5);
  SetRect(5, 13, 24, 5);
  SetSpeed(8);
  EXPECT_EQ(Call(WipeRight), 1);
  EXPECT_TRUE(ShowsImage([](int32_t, int32_t) { return false; }));
  for (const int32_t shown : {6, 12, 18}) {
    EXPECT_EQ(Call(WipeRight), 1);
    EXPECT_TRUE(ShowsImage([shown](int32_t u, int32_t) { return u < shown; })) << shown;
  }
  EXPECT_EQ(Call(WipeRight), -1);
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// Speed 0: one column per step, four ticks apart; speeds above 8 wipe as 8.
TEST_P(Wipes, SpeedSetsStripAndWait) {
  SetImage(5, 3);
  SetRect(5, 13, 5, 3);
  SetSpeed(0);
  const std::vector<int32_t> slow = Run(WipeRight);
  EXPECT_EQ(slow, (std::vector<int32_t>{4, 4, 4, 4, 4, -1}));

  SetImage(20, 3);
  SetRect(5, 13, 20, 3);
  SetSpeed(200);
  Reset();
  EXPECT_EQ(Call(WipeRight), 1);
  EXPECT_EQ(Call(WipeRight), 1);
  EXPECT_TRUE(ShowsImage([](int32_t u, int32_t) { return u < 6; }));
  EXPECT_EQ(Run(WipeRight), (std::vector<int32_t>{1, 1, -1}));
}

// From the right edge; the last strip is the first s columns again.
TEST_P(Wipes, WipeLeftCountsDownFromTheRightEdge) {
  SetImage(20, 4);
  SetRect(5, 13, 20, 4);
  SetSpeed(8);
  EXPECT_EQ(Call(WipeLeft), 1);
  for (const int32_t from : {14, 8, 2}) {
    EXPECT_EQ(Call(WipeLeft), 1);
    EXPECT_TRUE(ShowsImage([from](int32_t u, int32_t) { return u >= from; })) << from;
  }
  EXPECT_EQ(Call(WipeLeft), -1);
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// The vertical pair on an image taller than the rectangle: rows of the
// visible height only, three rows per step at speed 5.
TEST_P(Wipes, VerticalWipesStopAtTheVisibleHeight) {
  SetImage(6, 30);
  SetRect(9, 10, 6, 12);
  SetSpeed(5);
  EXPECT_EQ(Call(WipeDown), 1);
  for (const int32_t shown : {3, 6, 9}) {
    EXPECT_EQ(Call(WipeDown), 1);
    EXPECT_TRUE(ShowsImage([shown](int32_t, int32_t v) { return v < shown; })) << shown;
  }
  EXPECT_EQ(Call(WipeDown), -1);
  EXPECT_TRUE(ShowsImage());

  SetRect(9, 10, 6, 12);
  Reset();
  EXPECT_EQ(Call(WipeUp), 1);
  for (const int32_t from : {9, 6, 3}) {
    EXPECT_EQ(Call(WipeUp), 1);
    EXPECT_TRUE(ShowsImage([from](int32_t, int32_t v) { return v >= from; })) << from;
  }
  EXPECT_EQ(Call(WipeUp), -1);
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// Rows are drawn across the whole rectangle width, columns down its whole
// height, but never past the image: what lies beyond it stays as it was.
TEST_P(Wipes, StripsLeaveTheRectangleBeyondTheImageAlone) {
  SetImage(4, 3, test::AllLit);
  SetRect(5, 13, 7, 5);
  FillInside(7);
  Run(WipeDown);
  EXPECT_TRUE(Shows(R"(
    ####777
    ####777
    ####777
    7777777
    7777777)"));
}

INSTANTIATE_TEST_SUITE_P(Modes, Wipes, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
