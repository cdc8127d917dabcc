#include <gtest/gtest.h>

#include <string>

#include "effects/effects.h"
#include "platform/platform.h"
#include "playbill/random.h"
#include "support/effect_bench.h"
#include "support/picture.h"

namespace ledview {
namespace {

using test::AllLit;
using test::EffectBench;

class RandomBlocksEffect : public EffectBench {
 protected:
  void TearDown() override {
    ClockUseReal();
    EffectBench::TearDown();
  }

  // Cells of cw x ch in the 8 x 8 grid that are lit all over; every pixel of
  // the rectangle is either in such a cell or dark.
  int32_t LitCells(int32_t cw, int32_t ch) const {
    int32_t cells = 0;
    for (int32_t row = 0; row < 8; ++row) {
      for (int32_t column = 0; column < 8; ++column) {
        int32_t lit = 0;
        for (int32_t v = 0; v < ch; ++v) {
          for (int32_t u = 0; u < cw; ++u) lit += Lit(column * cw + u, row * ch + v) ? 1 : 0;
        }
        EXPECT_TRUE(lit == 0 || lit == cw * ch) << "cell " << column << ", " << row << " partly drawn";
        cells += lit == cw * ch ? 1 : 0;
      }
    }
    return cells;
  }
};

// The first call clears the rectangle and shows 7 cells, each later call 8
// more, until 63 are shown; the ninth call shows the whole image.
TEST_P(RandomBlocksEffect, ShowsCellsEightAtATime) {
  ClockSimulate(1700000000);
  SetImage(16, 16, AllLit);
  SetRect(5, 10, 16, 16);
  FillInside(7);
  SetSpeed(4);
  EXPECT_EQ(Call(RandomBlocks), BandDelay[4]);
  EXPECT_EQ(LitCells(2, 2), 7);
  for (int32_t call = 2; call <= 8; ++call) {
    EXPECT_EQ(Call(RandomBlocks), BandDelay[4]);
    EXPECT_EQ(LitCells(2, 2), call * 8 - 1) << "after call " << call;
  }
  EXPECT_EQ(Call(RandomBlocks), -1);
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// The generator is reseeded from the clock when the effect starts, so the
// same second gives the same cells whatever was drawn from it before.
TEST_P(RandomBlocksEffect, CellsFollowTheClockSeed) {
  ClockSimulate(1700000123);
  SetImage(16, 16, AllLit);
  SetRect(5, 10, 16, 16);
  Call(RandomBlocks);
  Call(RandomBlocks);
  const std::string first = test::ReadPicture(5, 10, 16, 16);
  for (int i = 0; i < 17; ++i) RandomNext();
  SetRect(5, 10, 16, 16);
  Reset();
  Call(RandomBlocks);
  Call(RandomBlocks);
  EXPECT_EQ(test::ReadPicture(5, 10, 16, 16), first);
}

// Cells are W' >> 3 by H' >> 3: the columns and rows past the last whole cell
// appear only with the whole image at the end.
TEST_P(RandomBlocksEffect, TheRemainderComesWithTheWholeImage) {
  SetImage(20, 12, AllLit);
  SetRect(5, 10, 20, 12);
  for (int32_t call = 1; call <= 8; ++call) ASSERT_GT(Call(RandomBlocks), 0);
  EXPECT_EQ(LitCells(2, 1), 63);
  for (int32_t v = 0; v < 12; ++v) {
    for (int32_t u = 0; u < 20; ++u) {
      if (u >= 16 || v >= 8) {
        EXPECT_FALSE(Lit(u, v)) << u << ", " << v;
      }
    }
  }
  EXPECT_EQ(Call(RandomBlocks), -1);
  EXPECT_TRUE(ShowsImage());
}

INSTANTIATE_TEST_SUITE_P(Modes, RandomBlocksEffect, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
