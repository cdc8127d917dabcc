#include <gtest/gtest.h>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::EffectBench;

// Images of two bands: lines 0..15 (offset 0) and 16..19 (offset 16).
class Combs : public EffectBench {};

// Speed 6: 4 lines a step, the band at line 0 (lines 0..15) from one side,
// the band at 16 from the other. After p lines, pixel (u, v) shows image
// pixel *su, *sv, or is dark when `from` says false. The wipes draw the
// image and clear what is still hidden (so an earlier picture goes); the
// slides move the bands in.
struct Comb {
  const char* name;
  EffectFunction effect;
  int32_t iw, ih, w, h;
  bool (*from)(int32_t p, int32_t u, int32_t v, int32_t* su, int32_t* sv);
};

const Comb kCombs[] = {
    {"CombWipeHorizontal", CombWipeHorizontal, 10, 20, 10, 20,
     [](int32_t p, int32_t u, int32_t v, int32_t* su, int32_t* sv) {
       *su = u, *sv = v;
       return v < 16 ? u >= 10 - p : u < p;  // band 0 opens from the right
     }},
    {"CombWipeVertical", CombWipeVertical, 20, 10, 20, 10,
     [](int32_t p, int32_t u, int32_t v, int32_t* su, int32_t* sv) {
       *su = u, *sv = v;
       return u < 16 ? v >= 10 - p : v < p;  // band 0 opens from the bottom
     }},
    {"CombSlideHorizontal", CombSlideHorizontal, 10, 20, 10, 20,
     [](int32_t p, int32_t u, int32_t v, int32_t* su, int32_t* sv) {
       *sv = v;
       *su = v < 16 ? u + 10 - p : u - (10 - p);  // band 0 comes in from the left
       return v < 16 ? u < p : u >= 10 - p;
     }},
    {"CombSlideVertical", CombSlideVertical, 24, 10, 20, 10,  // visible width cut to 20
     [](int32_t p, int32_t u, int32_t v, int32_t* su, int32_t* sv) {
       *su = u;
       *sv = u < 16 ? v + 10 - p : v - (10 - p);  // band 0 comes down from the top
       return u < 16 ? v < p : v >= 10 - p;
     }},
};

TEST_P(Combs, BandsComeInFromAlternateSides) {
  for (const Comb& c : kCombs) {
    SCOPED_TRACE(c.name);
    SetImage(c.iw, c.ih);
    SetRect(5, 10, c.w, c.h);
    FillInside(7);
    SetSpeed(6);
    Reset();
    EXPECT_EQ(Call(c.effect), 1);
    for (const int32_t p : {4, 8, 10}) {
      EXPECT_EQ(Call(c.effect), 1);
      EXPECT_TRUE(Shows(ExpectFrom([&](int32_t u, int32_t v, int32_t* su, int32_t* sv) {
        return c.from(p, u, v, su, sv);
      }))) << p;
    }
    // The horizontal wipe's finishing call draws the image once more; the
    // vertical wipe's last step has shown everything and its finishing call
    // draws nothing.
    const bool wipe = c.effect == CombWipeHorizontal || c.effect == CombWipeVertical;
    if (wipe) FillInside(0);
    EXPECT_EQ(Call(c.effect), -1);
    EXPECT_TRUE(ShowsImage([&](int32_t, int32_t) { return c.effect != CombWipeVertical; }));
    EXPECT_TRUE(OutsideUntouched());
  }
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
