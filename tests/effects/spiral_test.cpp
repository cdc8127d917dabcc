#include <gtest/gtest.h>

#include <vector>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::EffectBench;

class Spiral : public EffectBench {
 protected:
  // After n steps on a box of centre (cx, cy) growing by (dx, dy) a ring:
  // quadrant q of ring j is shown once 4 (j - 1) + q < n.
  static bool Shown(int32_t u, int32_t v, int32_t n, int32_t cx, int32_t cy, int32_t dx, int32_t dy) {
    for (int32_t i = 0; i < n; ++i) {
      const int32_t rx = (i / 4 + 1) * dx, ry = (i / 4 + 1) * dy;
      const bool right = u >= cx && u < cx + rx, left = u >= cx - rx && u < cx;
      const bool up = v >= cy - ry && v < cy, down = v >= cy && v < cy + ry;
      const bool in[4] = {right && up, right && down, left && down, left && up};
      if (in[i % 4]) return true;
    }
    return false;
  }
};

// W' = 100: rings of cx >> 2 = 12 columns a side, so after 16 steps the box
// spans columns 2..97; the finishing call shows the two outer columns on
// each side too.
TEST_P(Spiral, RingsAQuadrantAtATime) {
  SetImage(100, 16);
  SetRect(10, 30, 100, 16);
  SetSpeed(8);
  EXPECT_EQ(Call(SpiralBox), FirstDelay[8]);
  EXPECT_TRUE(ShowsImage([](int32_t, int32_t) { return false; }));
  for (int32_t n = 1; n <= 16; ++n) {
    ASSERT_EQ(Call(SpiralBox), BandDelay[8]);
    EXPECT_TRUE(ShowsImage([n](int32_t u, int32_t v) { return Shown(u, v, n, 50, 8, 12, 2); })) << n;
  }
  EXPECT_TRUE(ShowsImage([](int32_t u, int32_t) { return u >= 2 && u < 98; }));
  EXPECT_EQ(Call(SpiralBox), -1);
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// Half-sizes under 4 give rings of no width: nothing shows during the 16
// steps, and the image comes with the finishing call.
TEST_P(Spiral, SmallImageAppearsAtTheEnd) {
  SetImage(7, 20, test::AllLit);
  SetRect(10, 30, 9, 20);
  SetSpeed(0);
  std::vector<int32_t> want{FirstDelay[0]};
  want.insert(want.end(), 16, BandDelay[0]);
  for (size_t i = 0; i < want.size(); ++i) ASSERT_EQ(Call(SpiralBox), want[i]) << i;
  EXPECT_TRUE(ShowsImage([](int32_t, int32_t) { return false; }));
  EXPECT_EQ(Call(SpiralBox), -1);
  EXPECT_TRUE(ShowsImage());
}

INSTANTIATE_TEST_SUITE_P(Modes, Spiral, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
