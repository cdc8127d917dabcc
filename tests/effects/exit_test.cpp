#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/framebuffer.h"
#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

class ExitTest : public test::EffectBench {
 protected:
  void SetUp() override {
    EffectBench::SetUp();
    checkEachCall = true;
  }
  void Start(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t speed, uint32_t stepDelay = 0) {
    Reset();
    SetRect(x, y, w, h);
    SetSpeed(speed);
    FillInside(7);
    node.stepDelay = stepDelay;
  }
  // Calls `f` once per picture, compares the rectangle after each call, and
  // expects the call after the last to finish.
  void Steps(EffectFunction f, int32_t result, const std::vector<std::string>& pictures) {
    for (size_t i = 0; i < pictures.size(); ++i) {
      EXPECT_EQ(Call(f), result) << "call " << i + 1;
      EXPECT_TRUE(Shows(pictures[i])) << "call " << i + 1;
    }
    EXPECT_EQ(Call(f), -1);
  }
};

std::string Rows(const std::string& row, int32_t n) {
  std::string out;
  for (int32_t i = 0; i < n; ++i) out += (i > 0 ? "\n" : "") + row;
  return out;
}

TEST_P(ExitTest, EraseRightClearsStripsOfPixelStepThenFinishes) {
  Start(3, 2, 20, 2, 8);
  Steps(EraseRight, 1,
        {Rows("......77777777777777", 2), Rows("............77777777", 2), Rows("..................77", 2),
         Rows("....................", 2)});
}

TEST_P(ExitTest, OneSidedErasesKeepTheEntryDelay) {
  Start(0, 0, 3, 3, 0, 6);
  Steps(EraseLeft, 6, {Rows("77.", 3), Rows("7..", 3), Rows("...", 3)});
  Start(0, 0, 3, 3, 0);
  Steps(EraseDown, 4, {"...\n777\n777", "...\n...\n777", "...\n...\n..."});
  Start(0, 0, 3, 3, 4);
  Steps(EraseUp, 1, {"777\n...\n...", "...\n...\n..."});
}

TEST_P(ExitTest, ColumnErasesMeetOrPartAtTheOddMiddle) {
  Start(1, 1, 7, 2, 0, 6);  // the delay is not kept by the centre-symmetric erases
  Steps(EraseFromMiddleColumn, 4, {Rows("777.777", 2), Rows("77...77", 2), Rows("7.....7", 2), Rows(".......", 2)});
  Start(1, 1, 7, 1, 0);
  Steps(EraseToMiddleColumn, 4, {"777777.", ".7777..", "..77...", "......."});
}

TEST_P(ExitTest, RowErasesTakeHalfAStepPlusOnePerSide) {
  Start(5, 5, 2, 5, 8);  // 6 / 2 + 1 = 4 rows a side, cut at the middle
  Steps(EraseFromMiddleRow, 1, {"77\n77\n..\n77\n77", Rows("..", 5)});
  Start(5, 5, 2, 4, 4);
  Steps(EraseToMiddleRow, 1, {Rows("77", 4), Rows("..", 4)});
}

// A one-pixel line has no half to travel: the first call clears it and the
// next one finishes instead of setting the effect up again.
TEST_P(ExitTest, CentreErasesFinishOnASinglePixelLine) {
  const std::pair<EffectFunction, DestRect> cases[] = {
      {EraseFromMiddleColumn, {2, 2, 1, 4}}, {EraseToMiddleColumn, {2, 2, 1, 4}},
      {EraseFromMiddleRow, {2, 2, 4, 1}},    {EraseToMiddleRow, {2, 2, 4, 1}},
      {EraseToMiddleColumn, {2, 2, 1, 1}},   {EraseFromMiddleRow, {2, 2, 1, 1}}};
  for (const auto& [f, r] : cases) {
    Start(r.x, r.y, r.width, r.height, 0);
    Steps(f, 4, {Rows(std::string(r.width, '.'), r.height)});
  }
}

// Every exit slot, rectangles from one pixel up, in the framebuffer's
// corners, at speeds 0, 8 and beyond: the rectangle ends blank, nothing
// outside it changes (checked on every call), and the number of calls is
// bounded by the rectangle's size.
TEST_P(ExitTest, EveryExitEndsWithTheRectangleBlank) {
  const int32_t fbw = static_cast<int32_t>(framebuffer.fbwidth);
  const int32_t fbh = static_cast<int32_t>(framebuffer.fbheight);
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {1, 6}, {6, 1}, {7, 5}, {20, 3}};
  for (int32_t slot = 0; slot < kExitEffectCount; ++slot) {
    for (const auto& [w, h] : sizes) {
      for (uint16_t speed : {0, 8, 1000}) {
        for (int32_t corner = 0; corner < 2; ++corner) {
          SCOPED_TRACE(testing::Message() << "slot " << slot << " rect " << w << "x" << h << " speed " << speed);
          Start(corner == 0 ? 0 : fbw - w, corner == 0 ? 0 : fbh - h, w, h, speed);
          const std::vector<int32_t> results = Run(ExitEffects[slot], 100);
          EXPECT_EQ(results.back(), -1);
          EXPECT_LE(results.size(), static_cast<size_t>(std::max(w, h) + 2));
          EXPECT_TRUE(Shows(Rows(std::string(static_cast<size_t>(w), '.'), h)));
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, ExitTest, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
