// Rules every in-place entry effect keeps, over images larger, smaller and
// as large as the rectangle, odd and even, down to a single pixel and to no
// pixel at all, at the slowest and the fastest speed: it finishes, every
// result before the last asks for a wait, it ends with the whole visible
// image shown, and it never writes outside its rectangle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::ArenaHog;
using test::EffectBench;

struct Named {
  const char* name;
  EffectFunction effect;
  bool buffer;  // takes a work buffer from the arena
};

const Named kEffects[] = {
    {"Instant", Instant, false},
    {"VerticalBlinds", VerticalBlinds, false},
    {"HorizontalBlinds", HorizontalBlinds, false},
    {"WipeRight", WipeRight, false},
    {"WipeLeft", WipeLeft, false},
    {"WipeDown", WipeDown, false},
    {"WipeUp", WipeUp, false},
    {"RandomBlocks", RandomBlocks, true},
    {"CombWipeHorizontal", CombWipeHorizontal, false},
    {"CombWipeVertical", CombWipeVertical, false},
    {"CombSlideHorizontal", CombSlideHorizontal, false},
    {"CombSlideVertical", CombSlideVertical, false},
    {"OpenFromMiddleRow", OpenFromMiddleRow, false},
    {"OpenFromMiddleColumn", OpenFromMiddleColumn, false},
    {"CloseToMiddleRow", CloseToMiddleRow, false},
    {"CloseToMiddleColumn", CloseToMiddleColumn, false},
    {"RotateIn", RotateIn, false},
    {"FlipIn", FlipIn, false},
    {"DotOverlay", DotOverlay, false},
    {"Blink", Blink, false},
    {"CheckerWipeRight", CheckerWipeRight, true},
    {"CheckerWipeDown", CheckerWipeDown, true},
    {"FanSweep", FanSweep, true},
    {"ShrinkToBottomLeft", ShrinkToBottomLeft, true},
    {"ShrinkToTopLeft", ShrinkToTopLeft, true},
    {"ShrinkToTopRight", ShrinkToTopRight, true},
    {"ShrinkToBottomRight", ShrinkToBottomRight, true},
    {"FramesInward", FramesInward, true},
    {"FramesOutward", FramesOutward, true},
    {"DiamondOutward", DiamondOutward, true},
    {"CrossOutward", CrossOutward, true},
    {"TwinSweep", TwinSweep, true},
    {"ClockSweep", ClockSweep, true},
    {"ClockSweepReverse", ClockSweepReverse, true},
    {"SpiralBox", SpiralBox, true},
};

struct Case {
  int32_t iw, ih;          // image
  int32_t x, y, w, h;      // rectangle
};

const Case kCases[] = {
    {13, 9, 5, 10, 13, 9},     // as large as the rectangle, odd
    {20, 12, 5, 10, 13, 9},    // larger both ways
    {6, 4, 5, 10, 13, 9},      // smaller, even
    {7, 5, 5, 10, 12, 8},      // smaller, odd, in an even rectangle
    {40, 36, 3, 9, 40, 36},    // several 16-line bands and 32-pixel cells
    {70, 20, 2, 14, 66, 19},   // larger: even visible width, odd height
    {100, 16, 10, 30, 100, 16},
    {9, 40, 60, 12, 9, 33},    // tall
    {1, 1, 5, 10, 13, 9},
    {1, 9, 5, 10, 13, 9},
    {13, 1, 5, 10, 13, 9},
    {2, 2, 5, 10, 13, 9},
    {3, 2, 5, 10, 13, 9},
    {5, 5, 20, 20, 1, 1},      // a one-pixel rectangle
    {9, 2, 3, 0, 9, 2},        // at the top edge of the sign
    {10, 20, 50, 20, 2, 20},   // a rectangle narrower than the dot pattern
    {0, 5, 5, 10, 13, 9},      // no columns
    {5, 0, 5, 10, 13, 9},      // no rows
    {0, 0, 5, 10, 13, 9},
    {5, 5, 20, 20, 0, 5},      // rectangles with no area
    {5, 5, 20, 20, 5, 0},
};

class EveryEffect : public EffectBench {};

TEST_P(EveryEffect, FinishesShowingTheVisibleImageInsideItsRectangle) {
  for (const Named& fx : kEffects) {
    for (const Case& c : kCases) {
      for (const uint32_t speed : {0u, 8u}) {
        // Built only when an assertion fails.
        const auto where = [&] {
          return testing::Message() << fx.name << ": image " << c.iw << "x" << c.ih << ", rectangle " << c.w << "x"
                                    << c.h << " at (" << c.x << ", " << c.y << "), speed " << speed;
        };
        SetImage(c.iw, c.ih);
        SetRect(c.x, c.y, c.w, c.h);
        SetSpeed(speed);
        node.stepDelay = 0;
        Reset();
        const std::vector<int32_t> results = Run(fx.effect);
        ASSERT_FALSE(results.empty()) << where();
        ASSERT_EQ(results.back(), -1) << where() << ", after " << results.size() << " calls";
        for (size_t i = 0; i + 1 < results.size(); ++i) EXPECT_GT(results[i], 0) << where() << ", call " << i;
        EXPECT_TRUE(ShowsImage()) << where();
        ASSERT_TRUE(OutsideUntouched()) << where();
      }
    }
  }
}

// The first call, with no work buffer to be had, shows the image and reports
// finished with 0.
TEST_P(EveryEffect, WithoutArenaRoomShowsTheImageAtOnce) {
  SetImage(21, 13);
  ArenaHog hog;
  for (const Named& fx : kEffects) {
    if (!fx.buffer) continue;
    SCOPED_TRACE(fx.name);
    SetRect(4, 9, 17, 11);
    Reset();
    EXPECT_EQ(Call(fx.effect), 0);
    EXPECT_EQ(node.workBuffer, nullptr);
    EXPECT_TRUE(Shows(ExpectWhole()));
    EXPECT_TRUE(OutsideUntouched());
  }
}

// Effects whose end value would come out 0 (which reads as "not set up") show
// what there is and finish on their first call, taking no work buffer.
TEST_P(EveryEffect, AnEndValueOfZeroFinishesOnTheFirstCall) {
  struct Degenerate {
    const char* name;
    EffectFunction effect;
    int32_t iw, ih;
  };
  const Degenerate cases[] = {
      {"VerticalBlinds", VerticalBlinds, 0, 0},
      {"HorizontalBlinds", HorizontalBlinds, 0, 0},
      {"WipeRight", WipeRight, 0, 0},
      {"WipeLeft", WipeLeft, 0, 0},
      {"WipeDown", WipeDown, 0, 0},
      {"WipeUp", WipeUp, 0, 0},
      {"CombWipeHorizontal", CombWipeHorizontal, 0, 0},
      {"CombWipeVertical", CombWipeVertical, 0, 0},
      {"CombSlideHorizontal", CombSlideHorizontal, 0, 0},
      {"CombSlideVertical", CombSlideVertical, 0, 0},
      {"OpenFromMiddleRow", OpenFromMiddleRow, 0, 0},
      {"OpenFromMiddleColumn", OpenFromMiddleColumn, 0, 0},
      {"CloseToMiddleRow", CloseToMiddleRow, 0, 0},
      {"CloseToMiddleRow", CloseToMiddleRow, 7, 1},
      {"CloseToMiddleColumn", CloseToMiddleColumn, 0, 0},
      {"CloseToMiddleColumn", CloseToMiddleColumn, 1, 7},
      {"CheckerWipeRight", CheckerWipeRight, 0, 0},
      {"CheckerWipeDown", CheckerWipeDown, 0, 0},
      {"ShrinkToBottomLeft", ShrinkToBottomLeft, 0, 0},
      {"ShrinkToTopLeft", ShrinkToTopLeft, 0, 0},
      {"ShrinkToTopRight", ShrinkToTopRight, 0, 0},
      {"ShrinkToBottomRight", ShrinkToBottomRight, 0, 0},
      {"FramesOutward", FramesOutward, 1, 1},
      {"FramesOutward", FramesOutward, 0, 0},
      {"DiamondOutward", DiamondOutward, 0, 0},
      {"CrossOutward", CrossOutward, 1, 9},
      {"CrossOutward", CrossOutward, 9, 1},
      {"CrossOutward", CrossOutward, 0, 0},
  };
  for (const Degenerate& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << " with a " << c.iw << "x" << c.ih << " image");
    SetImage(c.iw, c.ih, test::AllLit);
    SetRect(5, 10, 11, 9);
    Reset();
    EXPECT_EQ(Call(c.effect), -1);
    EXPECT_EQ(node.workBuffer, nullptr);
    EXPECT_TRUE(ShowsImage());
    EXPECT_TRUE(OutsideUntouched());
  }
  // DotOverlay's end row is absolute: y + H' - 2 is 0 only at the top of the
  // sign.
  SetImage(9, 2, test::AllLit);
  SetRect(3, 0, 9, 2);
  Reset();
  EXPECT_EQ(Call(DotOverlay), -1);
  EXPECT_TRUE(ShowsImage());
}

INSTANTIATE_TEST_SUITE_P(Modes, EveryEffect, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
