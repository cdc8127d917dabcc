#include <gtest/gtest.h>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::EffectBench;

class Checkers : public EffectBench {};

// A 40 x 40 image: 2 x 2 cells of 32. Cells (1, 0) and (0, 1) appear at
// once, cut at the image edge; cell (0, 0) and cell (1, 1), moved back to
// (8, 8) so that it is whole, wipe in one column per step. 32 steps, then
// the finishing call.
TEST_P(Checkers, CheckerWipeRight) {
  SetImage(40, 40);
  SetRect(3, 9, 40, 40);
  SetSpeed(2);
  EXPECT_EQ(Call(CheckerWipeRight), FirstDelay[2]);
  const auto odd = [](int32_t u, int32_t v) { return (u >= 32) != (v >= 32); };
  EXPECT_TRUE(ShowsImage(odd));
  for (const int32_t k : {1, 10, 32}) {
    while (static_cast<int32_t>(node.step) < k) ASSERT_EQ(Call(CheckerWipeRight), FirstDelay[2]);
    EXPECT_TRUE(ShowsImage([&](int32_t u, int32_t v) {
      return odd(u, v) || (u < k && v < 32) || (u >= 8 && u < 8 + k && v >= 8);
    })) << k;
  }
  EXPECT_EQ(Call(CheckerWipeRight), -1);
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// A 20-pixel-wide visible part makes one column of cells 20 wide; the tall
// image is cut at the rectangle, so the lower cell is 13 rows and appears at
// once.
TEST_P(Checkers, CheckerWipeDownNarrowImage) {
  SetImage(20, 50);
  SetRect(3, 9, 22, 45);
  EXPECT_GT(Call(CheckerWipeDown), 0);
  EXPECT_TRUE(ShowsImage([](int32_t, int32_t v) { return v >= 32; }));
  for (int32_t k = 1; k <= 32; ++k) ASSERT_GT(Call(CheckerWipeDown), 0);
  EXPECT_TRUE(ShowsImage());
  EXPECT_EQ(Call(CheckerWipeDown), -1);
  EXPECT_TRUE(OutsideUntouched());
}

// A cell smaller than 32: the steps follow the visible size.
TEST_P(Checkers, SmallImageTakesOneStepPerColumn) {
  SetImage(5, 3);
  SetRect(3, 9, 9, 9);
  EXPECT_EQ(Run(CheckerWipeRight).size(), 1u + 5u + 1u);
  Reset();
  EXPECT_EQ(Run(CheckerWipeDown).size(), 1u + 3u + 1u);
}

INSTANTIATE_TEST_SUITE_P(Modes, Checkers, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
