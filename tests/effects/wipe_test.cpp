#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::EffectBench;

class Wipes : public EffectBench {};

// The strips each step adds: at speed 8 (6 lines) a 20-wide image comes in
// strips of 6, 6, 6 and 2 columns, the fourth finishing; from the right edge
// the last strip is the first columns again. The vertical pair on an image
// taller than the rectangle wipes rows of the visible height only, at speed
// 5 three rows a step.
struct Wipe {
  const char* name;
  EffectFunction effect;
  int32_t iw, ih, w, h;
  uint32_t speed;
  std::vector<int32_t> edges;  // where the shown part ends (starts) after each step
  bool (*shown)(int32_t u, int32_t v, int32_t edge);
};

const Wipe kWipes[] = {
    {"WipeRight", WipeRight, 20, 5, 24, 5, 8, {6, 12, 18}, [](int32_t u, int32_t, int32_t e) { return u < e; }},
    {"WipeLeft", WipeLeft, 20, 4, 20, 4, 8, {14, 8, 2}, [](int32_t u, int32_t, int32_t e) { return u >= e; }},
    {"WipeDown", WipeDown, 6, 30, 6, 12, 5, {3, 6, 9}, [](int32_t, int32_t v, int32_t e) { return v < e; }},
    {"WipeUp", WipeUp, 6, 30, 6, 12, 5, {9, 6, 3}, [](int32_t, int32_t v, int32_t e) { return v >= e; }},
};

TEST_P(Wipes, StripsOfPixelStepFromEachEdge) {
  for (const Wipe& w : kWipes) {
    SCOPED_TRACE(w.name);
    SetImage(w.iw, w.ih);
    SetRect(5, 13, w.w, w.h);
    SetSpeed(w.speed);
    Reset();
    EXPECT_EQ(Call(w.effect), 1);
    EXPECT_TRUE(ShowsImage([](int32_t, int32_t) { return false; }));
    for (const int32_t edge : w.edges) {
      EXPECT_EQ(Call(w.effect), 1);
      EXPECT_TRUE(ShowsImage([&](int32_t u, int32_t v) { return w.shown(u, v, edge); })) << edge;
    }
    EXPECT_EQ(Call(w.effect), -1);
    EXPECT_TRUE(ShowsImage());
    EXPECT_TRUE(OutsideUntouched());
  }
}

// Speed 0: one column per step, four ticks apart; speeds above 8 wipe as 8.
TEST_P(Wipes, SpeedSetsStripAndWait) {
  SetImage(5, 3);
  SetRect(5, 13, 5, 3);
  SetSpeed(0);
  const std::vector<int32_t> slow = Run(WipeRight);
  EXPECT_EQ(slow, (std::vector<int32_t>{4, 4, 4, 4, 4, -1}));

  SetImage(20, 3);
  SetRect(5, 13, 20, 3);
  SetSpeed(200);
  Reset();
  EXPECT_EQ(Call(WipeRight), 1);
  EXPECT_EQ(Call(WipeRight), 1);
  EXPECT_TRUE(ShowsImage([](int32_t u, int32_t) { return u < 6; }));
  EXPECT_EQ(Run(WipeRight), (std::vector<int32_t>{1, 1, -1}));
}

// Rows are drawn across the whole rectangle width, columns down its whole
// height, but never past the image: what lies beyond it stays as it was.
TEST_P(Wipes, StripsLeaveTheRectangleBeyondTheImageAlone) {
  SetImage(4, 3, test::AllLit);
  SetRect(5, 13, 7, 5);
  FillInside(7);
  Run(WipeDown);
  EXPECT_TRUE(Shows(R"(
    ####777
    ####777
    ####777
    7777777
    7777777)"));
}

INSTANTIATE_TEST_SUITE_P(Modes, Wipes, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
