#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/framebuffer.h"
#include "effects/effects.h"
#include "support/effect_driver.h"
#include "support/picture.h"

namespace ledview {
namespace {

using test::EffectLayouts;

class ExitTest : public EffectLayouts {
 protected:
  // Calls `f` once per picture and compares the rectangle after each call.
  void Steps(EffectFunction f, int32_t result, const std::vector<std::string>& pictures) {
    for (size_t i = 0; i < pictures.size(); ++i) {
      EXPECT_EQ(Call(f), result) << "call " << i + 1;
      EXPECT_TRUE(Shows(pictures[i])) << "call " << i + 1;
    }
  }
};

std::string Rows(const std::string& row, int32_t n) {
  std::string out;
  for (int32_t i = 0; i < n; ++i) out += (i > 0 ? "\n" : "") + row;
  return out;
}

TEST_P(ExitTest, EraseRightClearsStripsOfPixelStepThenFinishes) {
  SetRect(3, 2, 20, 2);
  SetSpeed(8);
  PaintOld();
  Steps(EraseRight, 1,
         {Rows("......oooooooooooooo", 2), Rows("............oooooooo", 2), Rows("..................oo", 2),
          Rows("....................", 2)});
  EXPECT_EQ(Call(EraseRight), -1);
}

TEST_P(ExitTest, OneSidedErasesKeepTheEntryDelay) {
  SetRect(0, 0, 3, 3);
  PaintOld();
  element.stepDelay = 6;
  Steps(EraseLeft, 6, {Rows("oo.", 3), Rows("o..", 3), Rows("...", 3)});
  EXPECT_EQ(Call(EraseLeft), -1);
  Restart();
  PaintOld();
  element.stepDelay = 0;
  Steps(EraseDown, 4, {"...\nooo\nooo", "...\n...\nooo", "...\n...\n..."});
  EXPECT_EQ(Call(EraseDown), -1);
  Restart();
  PaintOld();
  SetSpeed(4);
  element.stepDelay = 0;
  Steps(EraseUp, 1, {"ooo\n...\n...", "...\n...\n..."});
  EXPECT_EQ(Call(EraseUp), -1);
}

TEST_P(ExitTest, EraseFromMiddleColumnGrowsFromTheOddMiddle) {
  SetRect(1, 1, 7, 2);
  PaintOld();
  element.stepDelay = 6;  // not kept by the centre-symmetric erases
  Steps(EraseFromMiddleColumn, 4,
         {Rows("ooo.ooo", 2), Rows("oo...oo", 2), Rows("o.....o", 2), Rows(".......", 2)});
  EXPECT_EQ(Call(EraseFromMiddleColumn), -1);
}

TEST_P(ExitTest, EraseToMiddleColumnClosesInFromBothEdges) {
  SetRect(1, 1, 7, 1);
  PaintOld();
  Steps(EraseToMiddleColumn, 4, {"oooooo.", ".oooo..", "..oo...", "......."});
  EXPECT_EQ(Call(EraseToMiddleColumn), -1);
}

TEST_P(ExitTest, RowErasesTakeHalfAStepPlusOnePerSide) {
  SetRect(5, 5, 2, 5);
  SetSpeed(8);  // 6 / 2 + 1 = 4 rows a side, cut at the middle
  PaintOld();
  Steps(EraseFromMiddleRow, 1, {"oo\noo\n..\noo\noo", Rows("..", 5)});
  EXPECT_EQ(Call(EraseFromMiddleRow), -1);
  Restart();
  SetRect(5, 5, 2, 4);
  SetSpeed(4);
  PaintOld();
  Steps(EraseToMiddleRow, 1, {Rows("oo", 4), Rows("..", 4)});
  EXPECT_EQ(Call(EraseToMiddleRow), -1);
}

// A one-pixel line has no half to travel: the first call clears it and the
// next one finishes instead of setting the effect up again.
TEST_P(ExitTest, CentreErasesFinishOnASinglePixelLine) {
  const std::pair<EffectFunction, DestRect> cases[] = {
      {EraseFromMiddleColumn, {2, 2, 1, 4}}, {EraseToMiddleColumn, {2, 2, 1, 4}},
      {EraseFromMiddleRow, {2, 2, 4, 1}},    {EraseToMiddleRow, {2, 2, 4, 1}},
      {EraseToMiddleColumn, {2, 2, 1, 1}},   {EraseFromMiddleRow, {2, 2, 1, 1}}};
  for (const auto& [f, r] : cases) {
    Restart();
    rect = r;
    PaintOld();
    EXPECT_EQ(Call(f), 4);
    EXPECT_TRUE(Shows(Rows(std::string(r.width, '.'), r.height)));
    EXPECT_EQ(Call(f), -1);
  }
}

TEST_P(ExitTest, ClearInstantClearsEverythingAtOnce) {
  SetRect(10, 3, 5, 4);
  PaintOld();
  EXPECT_EQ(Call(ClearInstant), -1);
  EXPECT_TRUE(Shows(Rows(".....", 4)));
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
          element = ElementNode{};
          element.header = header;
          SetSpeed(speed);
          SetRect(static_cast<uint16_t>(corner == 0 ? 0 : fbw - w), static_cast<uint16_t>(corner == 0 ? 0 : fbh - h),
                  static_cast<uint16_t>(w), static_cast<uint16_t>(h));
          PaintOld();
          const std::vector<int32_t> results = Run(ExitEffects[slot], 100);
          EXPECT_EQ(results.back(), -1);
          EXPECT_LE(results.size(), static_cast<size_t>(std::max(w, h) + 2));
          EXPECT_TRUE(Shows(Rows(std::string(static_cast<size_t>(w), '.'), h)));
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ExitTest, testing::Values(1, 4), test::LayoutName);

}  // namespace
}  // namespace ledview
