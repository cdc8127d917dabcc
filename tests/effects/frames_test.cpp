#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::AllLit;
using test::EffectBench;

class Frames : public EffectBench {};

// One frame a step from the edges in: after k steps every pixel less than k
// from an edge shows. 9 x 6: min / 2 + 1 = 4 steps, then the finishing call.
TEST_P(Frames, FramesInwardClosesOnTheMiddle) {
  SetImage(9, 6);
  SetRect(5, 12, 9, 6);
  SetSpeed(0);
  EXPECT_EQ(Call(FramesInward), FirstDelay[0]);
  for (int32_t k = 1; k <= 4; ++k) {
    EXPECT_EQ(Call(FramesInward), FirstDelay[0]);
    EXPECT_TRUE(ShowsImage([k](int32_t u, int32_t v) { return std::min({u, v, 8 - u, 5 - v}) < k; })) << k;
  }
  EXPECT_EQ(Call(FramesInward), -1);
  EXPECT_TRUE(OutsideUntouched());
}

// The centre pixel first, then frames around it; each half-size stops at
// the edge. 10 x 5 (centre (5, 2)): max(5, 2) = 5 steps.
TEST_P(Frames, FramesOutwardGrowsFromTheCentre) {
  SetImage(12, 5);
  SetRect(5, 12, 10, 7);
  SetSpeed(8);
  EXPECT_EQ(Call(FramesOutward), 1);
  EXPECT_TRUE(ShowsImage([](int32_t u, int32_t v) { return u == 5 && v == 2; }));
  for (int32_t k = 1; k <= 5; ++k) {
    EXPECT_EQ(Call(FramesOutward), 1);
    EXPECT_TRUE(ShowsImage([k](int32_t u, int32_t v) {
      return std::abs(u - 5) <= std::min(k, 5) && std::abs(v - 2) <= std::min(k, 2);
    })) << k;
  }
  EXPECT_TRUE(ShowsImage());
  EXPECT_EQ(Call(FramesOutward), -1);
  EXPECT_TRUE(OutsideUntouched());
}

// The diamond's width grows by 3 a step from the middle rows of a 12 x 8
// image; the call at max(W', H') = 12 shows the whole image.
TEST_P(Frames, DiamondOutwardWidensFromTheMiddle) {
  SetImage(12, 8, AllLit);
  SetRect(5, 12, 12, 8);
  EXPECT_EQ(Call(DiamondOutward), FirstDelay[0]);
  EXPECT_EQ(Call(DiamondOutward), FirstDelay[0]);  // width 0: nothing yet
  EXPECT_TRUE(ShowsImage([](int32_t, int32_t) { return false; }));
  EXPECT_EQ(Call(DiamondOutward), FirstDelay[0]);
  EXPECT_TRUE(Shows(R"(
    ............
    ............
    ............
    ....####....
    ....####....
    .....###....
    ............
    ............)"));
  EXPECT_EQ(Call(DiamondOutward), FirstDelay[0]);
  EXPECT_TRUE(Shows(R"(
    ............
    ............
    ....####....
    ...######...
    ...######...
    ....####....
    ....####....
    ............)"));
  EXPECT_EQ(Call(DiamondOutward), FirstDelay[0]);
  EXPECT_EQ(Call(DiamondOutward), -1);
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// A band along the middle row and column, one line wider a side each step;
// on odd sizes the column and row after the middle are two wide.
TEST_P(Frames, CrossOutwardWidensAPlus) {
  SetImage(9, 7, AllLit);
  SetRect(5, 12, 9, 7);
  EXPECT_EQ(Call(CrossOutward), FirstDelay[0]);
  EXPECT_EQ(Call(CrossOutward), FirstDelay[0]);
  EXPECT_TRUE(Shows(R"(
    ...##....
    ...##....
    #########
    #########
    #########
    ...##....
    ...##....)"));
  EXPECT_EQ(Call(CrossOutward), FirstDelay[0]);
  EXPECT_TRUE(Shows(R"(
    ...###...
    #########
    #########
    #########
    #########
    #########
    ...###...)"));
  EXPECT_EQ(Run(CrossOutward), (std::vector<int32_t>{FirstDelay[0], -1}));
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

INSTANTIATE_TEST_SUITE_P(Modes, Frames, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
