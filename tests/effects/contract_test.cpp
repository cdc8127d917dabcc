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

// The in-place entry slots: all but the slides (8..15), the two extra
// Instant slots (26, 27) and the scrolls (45..52).
std::vector<int32_t> InPlaceSlots() {
  std::vector<int32_t> slots;
  for (int32_t slot = 0; slot < 45; ++slot) {
    if ((slot < 8 || slot > 15) && slot != 26 && slot != 27) slots.push_back(slot);
  }
  return slots;
}

// Slots that take a work buffer from the arena.
bool TakesBuffer(int32_t slot) { return slot == 7 || slot >= 30; }

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
  for (const int32_t slot : InPlaceSlots()) {
    for (const Case& c : kCases) {
      for (const uint32_t speed : {0u, 8u}) {
        // Built only when an assertion fails.
        const auto where = [&] {
          return testing::Message() << "slot " << slot << ": image " << c.iw << "x" << c.ih << ", rectangle " << c.w << "x"
                                    << c.h << " at (" << c.x << ", " << c.y << "), speed " << speed;
        };
        SetImage(c.iw, c.ih);
        SetRect(c.x, c.y, c.w, c.h);
        SetSpeed(speed);
        node.stepDelay = 0;
        Reset();
        const std::vector<int32_t> results = Run(EntryEffects[slot]);
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
  for (const int32_t slot : InPlaceSlots()) {
    if (!TakesBuffer(slot)) continue;
    SCOPED_TRACE(slot);
    SetRect(4, 9, 17, 11);
    Reset();
    EXPECT_EQ(Call(EntryEffects[slot]), 0);
    EXPECT_EQ(node.workBuffer, nullptr);
    EXPECT_TRUE(Shows(ExpectWhole()));
    EXPECT_TRUE(OutsideUntouched());
  }
}

// Effects whose end value would come out 0 (which reads as "not set up") show
// what there is and finish on their first call, taking no work buffer.
TEST_P(EveryEffect, AnEndValueOfZeroFinishesOnTheFirstCall) {
  struct Degenerate {
    int32_t slot, iw, ih;
  };
  const Degenerate cases[] = {
      {1, 0, 0},  {2, 0, 0},  {3, 0, 0},  {4, 0, 0},  {5, 0, 0},  {6, 0, 0},  {16, 0, 0},
      {17, 0, 0}, {18, 0, 0}, {19, 0, 0}, {20, 0, 0}, {21, 0, 0}, {22, 0, 0}, {22, 7, 1},
      {23, 0, 0}, {23, 1, 7}, {30, 0, 0}, {31, 0, 0}, {33, 0, 0}, {34, 0, 0}, {35, 0, 0},
      {36, 0, 0}, {38, 1, 1}, {38, 0, 0}, {39, 0, 0}, {40, 1, 9}, {40, 9, 1}, {40, 0, 0},
  };
  for (const Degenerate& c : cases) {
    SCOPED_TRACE(testing::Message() << "slot " << c.slot << " with a " << c.iw << "x" << c.ih << " image");
    SetImage(c.iw, c.ih, test::AllLit);
    SetRect(5, 10, 11, 9);
    Reset();
    EXPECT_EQ(Call(EntryEffects[c.slot]), -1);
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
