#include <gtest/gtest.h>

#include <vector>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::AllLit;
using test::EffectBench;

class Whole : public EffectBench {};

// One call, one blit: the image where it reaches, the rectangle's old
// picture elsewhere.
TEST_P(Whole, InstantDrawsTheImageOverWhatIsThere) {
  SetImage(6, 4);
  SetRect(5, 12, 10, 6);
  FillInside(7);
  EXPECT_EQ(Call(Instant), -1);
  EXPECT_TRUE(Shows(ExpectFrom(
      [](int32_t u, int32_t v, int32_t* su, int32_t* sv) {
        *su = u;
        *sv = v;
        return u < 6 && v < 4;
      },
      '7')));
  EXPECT_TRUE(OutsideUntouched());
}

// 21 steps 20 ticks apart whatever the speed: shown, cleared, shown, ...,
// shown; the 22nd call finishes and leaves no delay behind.
TEST_P(Whole, BlinkEndsShownWithoutADelay) {
  SetImage(6, 4);
  SetRect(5, 12, 8, 5);
  for (const uint32_t speed : {0u, 8u}) {
    FillInside(7);
    SetSpeed(speed);
    Reset();
    node.stepDelay = 3;
    EXPECT_EQ(Call(Blink), 20);
    EXPECT_TRUE(Shows(ExpectFrom(
        [](int32_t u, int32_t v, int32_t* su, int32_t* sv) {
          *su = u;
          *sv = v;
          return u < 6 && v < 4;
        },
        '7')));
    EXPECT_EQ(Call(Blink), 20);
    EXPECT_TRUE(ShowsImage([](int32_t, int32_t) { return false; }));
    EXPECT_EQ(node.stepDelay, 20u);
    for (int32_t step = 2; step <= 20; ++step) ASSERT_EQ(Call(Blink), 20) << step;
    EXPECT_TRUE(ShowsImage());
    EXPECT_EQ(Call(Blink), -1);
    EXPECT_EQ(node.stepDelay, 0u);
    EXPECT_TRUE(ShowsImage());
  }
  EXPECT_TRUE(OutsideUntouched());
}

// Dots of colour 2 (dark in colour mode 1) on every fifth row from the
// rectangle's third, 7 pixels apart, starting 3 pixels in on odd framebuffer
// rows; the finishing call shows the clean image.
TEST_P(Whole, DotOverlayDotsTheImageRowByRow) {
  SetImage(12, 14, AllLit);
  SetRect(5, 10, 12, 14);
  FillInside(7);
  SetSpeed(0);
  EXPECT_EQ(Call(DotOverlay), BandDelay[0]);
  EXPECT_TRUE(ShowsImage());
  EXPECT_EQ(Call(DotOverlay), BandDelay[0]);  // row 12: even
  EXPECT_EQ(Call(DotOverlay), BandDelay[0]);  // row 17: odd
  EXPECT_TRUE(Shows(R"(
    ############
    ############
    o######o####
    o######o####
    ############
    ############
    ############
    ###o######o#
    ###o######o#
    ############
    ############
    ############
    ############
    ############)"));
  EXPECT_EQ(Call(DotOverlay), -1);  // row 22 is the end row
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// The wait left by the previous effect is kept; without one it is BandDelay.
TEST_P(Whole, DotOverlayKeepsTheWaitItFinds) {
  SetImage(12, 14);
  SetRect(5, 10, 12, 14);
  node.stepDelay = 9;
  EXPECT_EQ(Run(DotOverlay), (std::vector<int32_t>{9, 9, 9, -1}));
}

INSTANTIATE_TEST_SUITE_P(Modes, Whole, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
