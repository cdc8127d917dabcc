#include <gtest/gtest.h>

#include <string>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::AllLit;
using test::EffectBench;

class Blinds : public EffectBench {};

// A 40-pixel-wide image behind a 44-pixel rectangle: the set-up call draws
// nothing, step 0 opens columns 0, 16 and 32, step 15 columns 15 and 31, and
// the call after step 15 finishes. The columns beyond the image stay clear.
TEST_P(Blinds, VerticalBlindsOpenOneColumnOfEveryBandPerStep) {
  SetImage(40, 3, AllLit);
  SetRect(5, 14, 44, 3);
  SetSpeed(3);
  EXPECT_EQ(Call(VerticalBlinds), FirstDelay[3]);
  EXPECT_TRUE(Shows(Expect([](int32_t, int32_t) { return false; })));

  EXPECT_EQ(Call(VerticalBlinds), BandDelay[3]);
  const std::string first = "#...............#...............#...........";
  EXPECT_TRUE(Shows(first + "\n" + first + "\n" + first));

  for (int32_t step = 1; step < 15; ++step) ASSERT_EQ(Call(VerticalBlinds), BandDelay[3]);
  EXPECT_TRUE(ShowsImage([](int32_t u, int32_t) { return u % 16 < 15; }));
  EXPECT_FALSE(Lit(15, 0));
  EXPECT_FALSE(Lit(31, 2));

  EXPECT_EQ(Call(VerticalBlinds), BandDelay[3]);
  EXPECT_TRUE(ShowsImage());
  EXPECT_EQ(Call(VerticalBlinds), -1);
  EXPECT_TRUE(ShowsImage());
  EXPECT_TRUE(OutsideUntouched());
}

// Rows of width W' from an image taller and wider than the rectangle; 16
// steps whatever the height, only the waits follow the speed.
TEST_P(Blinds, HorizontalBlindsOpenRowsOfTheVisiblePart) {
  SetImage(12, 40);
  SetRect(7, 9, 10, 34);
  for (const uint32_t speed : {0u, 8u}) {
    SCOPED_TRACE(speed);
    SetRect(7, 9, 10, 34);
    SetSpeed(speed);
    Reset();
    EXPECT_EQ(Call(HorizontalBlinds), FirstDelay[speed]);
    EXPECT_EQ(Call(HorizontalBlinds), BandDelay[speed]);
    EXPECT_EQ(Call(HorizontalBlinds), BandDelay[speed]);
    EXPECT_TRUE(ShowsImage([](int32_t, int32_t v) { return v % 16 < 2; }));
    int32_t calls = 3;
    while (Call(HorizontalBlinds) > 0) ++calls;
    EXPECT_EQ(calls + 1, 18);
    EXPECT_TRUE(ShowsImage());
    EXPECT_TRUE(OutsideUntouched());
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, Blinds, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
