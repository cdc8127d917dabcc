#include <gtest/gtest.h>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::EffectBench;

// Images of two bands: lines 0..15 (offset 0) and 16..19 (offset 16).
class Combs : public EffectBench {};

// Each step draws the image and clears what is still hidden (so the picture
// that was in the rectangle goes); band 0 opens from the right, band 16 from
// the left. Speed 6: 4 columns per step.
TEST_P(Combs, CombWipeHorizontalOpensBandsFromAlternateSides) {
  SetImage(10, 20);
  SetRect(5, 10, 10, 20);
  FillInside(7);
  SetSpeed(6);
  EXPECT_EQ(Call(CombWipeHorizontal), 1);
  for (const int32_t p : {4, 8, 10}) {
    EXPECT_EQ(Call(CombWipeHorizontal), 1);
    EXPECT_TRUE(ShowsImage([p](int32_t u, int32_t v) { return v < 16 ? u >= 10 - p : u < p; })) << p;
  }
  // The finishing call draws the image once more.
  FillInside(0);
  EXPECT_EQ(Call(CombWipeHorizontal), -1);
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// Band 0 (columns 0..15) opens from the bottom, band 16 from the top; the
// step that reaches the end has shown everything and the next call only
// finishes.
TEST_P(Combs, CombWipeVerticalOpensBandsFromAlternateEnds) {
  SetImage(20, 10);
  SetRect(5, 10, 20, 10);
  SetSpeed(6);
  EXPECT_EQ(Call(CombWipeVertical), 1);
  for (const int32_t p : {4, 8, 10}) {
    EXPECT_EQ(Call(CombWipeVertical), 1);
    EXPECT_TRUE(ShowsImage([p](int32_t u, int32_t v) { return u < 16 ? v >= 10 - p : v < p; })) << p;
  }
  FillInside(0);
  EXPECT_EQ(Call(CombWipeVertical), -1);
  EXPECT_TRUE(ShowsImage([](int32_t, int32_t) { return false; }));
  EXPECT_TRUE(OutsideUntouched());
}

// Band 0 slides in from the left (its right part shows first, at the left
// edge), band 16 from the right.
TEST_P(Combs, CombSlideHorizontalMovesBandsIn) {
  SetImage(10, 20);
  SetRect(5, 10, 10, 20);
  SetSpeed(6);
  EXPECT_EQ(Call(CombSlideHorizontal), 1);
  for (const int32_t p : {4, 8, 10}) {
    EXPECT_EQ(Call(CombSlideHorizontal), 1);
    EXPECT_TRUE(Shows(ExpectFrom([p](int32_t u, int32_t v, int32_t* su, int32_t* sv) {
      *sv = v;
      if (v < 16) {
        *su = u + 10 - p;
        return u < p;
      }
      *su = u - (10 - p);
      return u >= 10 - p;
    }))) << p;
  }
  EXPECT_EQ(Call(CombSlideHorizontal), -1);
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// Band 0 slides down from the top, band 16 up from the bottom; the visible
// width is cut to the rectangle.
TEST_P(Combs, CombSlideVerticalMovesBandsIn) {
  SetImage(24, 10);
  SetRect(5, 10, 20, 10);
  SetSpeed(6);
  EXPECT_EQ(Call(CombSlideVertical), 1);
  for (const int32_t p : {4, 8, 10}) {
    EXPECT_EQ(Call(CombSlideVertical), 1);
    EXPECT_TRUE(Shows(ExpectFrom([p](int32_t u, int32_t v, int32_t* su, int32_t* sv) {
      *su = u;
      if (u < 16) {
        *sv = v + 10 - p;
        return v < p;
      }
      *sv = v - (10 - p);
      return v >= 10 - p;
    }))) << p;
  }
  EXPECT_EQ(Call(CombSlideVertical), -1);
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// Speed 0: one line per step, FirstDelay ticks apart, W' + 1 calls after the
// set-up.
TEST_P(Combs, SlowestSpeedTakesOneLinePerStep) {
  SetImage(7, 18);
  SetRect(5, 10, 7, 18);
  SetSpeed(0);
  EXPECT_EQ(Run(CombSlideHorizontal).size(), 1u + 7u + 1u);
  Reset();
  EXPECT_EQ(Run(CombWipeVertical).size(), 1u + 18u + 1u);
}

INSTANTIATE_TEST_SUITE_P(Modes, Combs, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
