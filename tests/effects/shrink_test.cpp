#include <gtest/gtest.h>

#include <vector>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::EffectBench;

class Shrinks : public EffectBench {};

// The part still hidden after `step` for a 10 x 7 visible image.
struct Corner {
  const char* name;
  EffectFunction effect;
  std::vector<int32_t> steps;  // `step` after each drawing call at s = 3
  bool (*hidden)(int32_t u, int32_t v, int32_t k);
};

const Corner kCorners[] = {
    // A last step shorter than s.
    {"ShrinkToBottomLeft", ShrinkToBottomLeft, {3, 6, 7},
     [](int32_t u, int32_t v, int32_t k) { return u < 10 - k && v >= k; }},
    // The remainder of 1 joins the step before it.
    {"ShrinkToTopLeft", ShrinkToTopLeft, {3, 7},
     [](int32_t u, int32_t v, int32_t k) { return u < 10 - k && v < 7 - k; }},
    {"ShrinkToTopRight", ShrinkToTopRight, {3, 7},
     [](int32_t u, int32_t v, int32_t k) { return u >= k && v < 7 - k; }},
    {"ShrinkToBottomRight", ShrinkToBottomRight, {3, 6, 7},
     [](int32_t u, int32_t v, int32_t k) { return u >= k && v >= k; }},
};

// The hidden rectangle shrinks into its corner by s = 3 rows and columns a
// step until min(W', H') = 7 is reached; an image smaller than the rectangle.
TEST_P(Shrinks, HiddenPartShrinksIntoItsCorner) {
  for (const Corner& c : kCorners) {
    SCOPED_TRACE(c.name);
    SetImage(10, 7);
    SetRect(5, 12, 12, 9);
    SetSpeed(5);
    Reset();
    EXPECT_EQ(Call(c.effect), 1);
    EXPECT_TRUE(ShowsImage([](int32_t, int32_t) { return false; }));
    for (const int32_t k : c.steps) {
      EXPECT_EQ(Call(c.effect), 1);
      EXPECT_EQ(static_cast<int32_t>(node.step), k);
      EXPECT_TRUE(ShowsImage([&](int32_t u, int32_t v) { return !c.hidden(u, v, k); })) << k;
    }
    EXPECT_EQ(Call(c.effect), -1);
    EXPECT_TRUE(ShowsImage());
    EXPECT_TRUE(OutsideUntouched());
  }
}

// Speed 0 on a wide image: one line a step, min(W', H') steps, FirstDelay
// ticks apart.
TEST_P(Shrinks, SlowestSpeed) {
  SetImage(30, 4);
  SetRect(5, 12, 20, 6);
  SetSpeed(0);
  EXPECT_EQ(Run(ShrinkToTopRight), (std::vector<int32_t>{4, 4, 4, 4, 4, -1}));
  EXPECT_TRUE(ShowsImage());
}

INSTANTIATE_TEST_SUITE_P(Modes, Shrinks, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
