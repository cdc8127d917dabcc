#include <gtest/gtest.h>

#include <vector>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::AllLit;
using test::EffectBench;

class Turns : public EffectBench {
 protected:
  // n drawing calls, 10 degrees each.
  void Steps(EffectFunction f, int32_t n) {
    for (int32_t i = 0; i < n; ++i) ASSERT_GT(Call(f), 0) << i;
  }
};

// Upright at 0 degrees: every second pixel of every second row, without the
// first column and row (they land on the rectangle's edge, which is left
// out). At 90 degrees the dotted 7 x 5 image lies turned anticlockwise.
TEST_P(Turns, RotateInTurnsADottedImage) {
  SetImage(7, 5, AllLit);
  SetRect(5, 12, 7, 5);
  FillInside(7);
  Steps(RotateIn, 1);  // 0 degrees
  EXPECT_TRUE(Shows(R"(
    .......
    .......
    ..#.#.#
    .......
    ..#.#.#)"));
  Steps(RotateIn, 9);  // up to 90 degrees
  EXPECT_TRUE(Shows(R"(
    .......
    .#.#.#.
    .......
    .#.#.#.
    .......)"));
  EXPECT_TRUE(OutsideUntouched());
}

// 36 drawing calls (0 to 350 degrees), then the whole image and the end. The
// wait is the one left by the previous effect, else FirstDelay.
TEST_P(Turns, FullTurnThenWholeImage) {
  SetImage(9, 6);
  SetRect(5, 12, 11, 8);
  SetSpeed(0);
  const std::vector<int32_t> own = Run(RotateIn);
  ASSERT_EQ(own.size(), 37u);
  EXPECT_EQ(own.front(), FirstDelay[0]);
  EXPECT_EQ(own[35], FirstDelay[0]);
  EXPECT_EQ(own.back(), -1);
  EXPECT_TRUE(ShowsImage());

  Reset();
  node.stepDelay = 6;
  const std::vector<int32_t> kept = Run(FlipIn);
  ASSERT_EQ(kept.size(), 37u);
  EXPECT_EQ(kept.front(), 6);
  EXPECT_EQ(kept[35], 6);
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// FlipIn squeezes the dotted image onto the middle row at 0 degrees and
// mirrors it left to right at 180; at 90 it stands on the middle column,
// upside down.
TEST_P(Turns, FlipInMirrorsAtHalfTurn) {
  SetImage(7, 5, [](int32_t u, int32_t) { return u == 4; });
  SetRect(5, 12, 7, 5);
  Steps(FlipIn, 1);
  EXPECT_TRUE(Shows(".......\n.......\n....#..\n.......\n......."));
  Steps(FlipIn, 18);  // up to 180 degrees
  EXPECT_TRUE(Shows(".......\n.......\n..#....\n.......\n......."));

  SetImage(7, 5, [](int32_t, int32_t v) { return v == 0; });
  SetRect(5, 12, 7, 5);
  Reset();
  Steps(FlipIn, 10);  // 0 to 90 degrees
  // Image row 0 lands on row 4, row 2 on row 2; row 4 would land on row 0,
  // the edge, and is left out.
  EXPECT_TRUE(Shows(".......\n.......\n.......\n.......\n...#..."));
}

INSTANTIATE_TEST_SUITE_P(Modes, Turns, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
