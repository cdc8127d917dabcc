#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::AllLit;
using test::EffectBench;

class Middle : public EffectBench {};

// H' = 7 at speed 0, four ticks a step, then the finishing call. Opening:
// the middle row 3 first, then rows 4 and 2, 5 and 1, 6 and 0. Closing: the
// odd last row first, then the two edges close in on the middle.
TEST_P(Middle, RowsOfAnOddHeight) {
  const std::pair<EffectFunction, std::vector<const char*>> cases[] = {
      {OpenFromMiddleRow,
       {".....\n.....\n.....\n#####\n.....\n.....\n.....", ".....\n.....\n#####\n#####\n#####\n.....\n.....",
        ".....\n#####\n#####\n#####\n#####\n#####\n....."}},
      {CloseToMiddleRow,
       {".....\n.....\n.....\n.....\n.....\n.....\n#####", "#####\n.....\n.....\n.....\n.....\n#####\n#####",
        "#####\n#####\n.....\n.....\n#####\n#####\n#####"}},
  };
  SetImage(5, 7, AllLit);
  for (const auto& [effect, pictures] : cases) {
    SetRect(5, 12, 5, 7);
    Reset();
    for (const char* picture : pictures) {
      EXPECT_EQ(Call(effect), 4);
      EXPECT_TRUE(Shows(picture));
    }
    EXPECT_EQ(Call(effect), 4);
    EXPECT_TRUE(ShowsImage());
    EXPECT_EQ(Call(effect), -1);
    EXPECT_TRUE(OutsideUntouched());
  }
}

// A remainder smaller than the half step joins the step before it: H' = 20
// at speed 8 (4 rows a side) opens rows 6..13, then all the rest at once.
TEST_P(Middle, OpenFromMiddleRowFoldsTheRemainder) {
  SetImage(6, 20);
  SetRect(5, 10, 6, 20);
  SetSpeed(8);
  EXPECT_EQ(Call(OpenFromMiddleRow), 1);
  EXPECT_TRUE(ShowsImage([](int32_t, int32_t) { return false; }));
  EXPECT_EQ(Call(OpenFromMiddleRow), 1);
  EXPECT_TRUE(ShowsImage([](int32_t, int32_t v) { return v >= 6 && v < 14; }));
  EXPECT_EQ(Call(OpenFromMiddleRow), 1);
  EXPECT_TRUE(ShowsImage());
  EXPECT_EQ(Call(OpenFromMiddleRow), -1);
}

// W' = 9 of a wider image, speed 6 (3 columns a side): column 4 first, then
// 1..7, then the last, shorter step 0..8.
TEST_P(Middle, OpenFromMiddleColumnCutsTheLastStep) {
  SetImage(12, 4);
  SetRect(5, 12, 9, 4);
  SetSpeed(6);
  EXPECT_EQ(Call(OpenFromMiddleColumn), 1);
  for (const int32_t reach : {0, 3, 4}) {
    if (reach > 0) {
      EXPECT_EQ(Call(OpenFromMiddleColumn), 1);
    }
    EXPECT_TRUE(ShowsImage([reach](int32_t u, int32_t) { return std::abs(u - 4) <= reach; })) << reach;
  }
  EXPECT_EQ(Call(OpenFromMiddleColumn), -1);
  EXPECT_TRUE(OutsideUntouched());
}

// W' = 8 at speed 8: half the width is within one half step, so one step
// closes it all.
TEST_P(Middle, CloseToMiddleColumnInOneStep) {
  SetImage(8, 5);
  SetRect(5, 12, 10, 5);
  SetSpeed(8);
  EXPECT_EQ(Run(CloseToMiddleColumn), (std::vector<int32_t>{1, 1, -1}));
  EXPECT_TRUE(ShowsImage());

  SetImage(7, 5, AllLit);
  SetRect(5, 12, 7, 5);
  SetSpeed(0);
  Reset();
  EXPECT_EQ(Call(CloseToMiddleColumn), 4);
  EXPECT_EQ(Call(CloseToMiddleColumn), 4);
  EXPECT_TRUE(Shows("#....##\n#....##\n#....##\n#....##\n#....##"));
  EXPECT_EQ(Run(CloseToMiddleColumn), (std::vector<int32_t>{4, 4, -1}));
  EXPECT_TRUE(ShowsImage());
}

INSTANTIATE_TEST_SUITE_P(Modes, Middle, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
