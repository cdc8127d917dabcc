// Entry effects revealing the image in place, reached by slot as playbills
// name them. Staying inside the rectangle, ending and giving the arena back
// are the effects fuzz target's checks; these pin what each shows on the way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "playbill/random.h"
#include "support/effect_bench.h"
#include "support/picture.h"

namespace ledview {
namespace {

using test::AllLit;
using test::NoPixel;
using Ints = std::vector<int32_t>;

class Entry : public test::EffectBench {
 protected:
  // The image where `mask` (rows split by spaces) has '#', dark elsewhere.
  std::string Masked(const std::string& mask) const {
    return Expect([&](int32_t u, int32_t v) { return mask.at(static_cast<size_t>(v * (rw + 1) + u)) == '#'; });
  }
  // What one step at `angle` draws on a clear rectangle.
  testing::AssertionResult StepShows(int32_t slot, int32_t angle, const std::string& picture) {
    FillInside(0);
    node.step = static_cast<uint32_t>(angle);
    if (Call(EntryEffects[slot]) <= 0) return testing::AssertionFailure() << "finished at " << angle;
    return Shows(picture) << " at " << angle << " degrees";
  }
  std::string Only(int32_t u0, int32_t v0, int32_t w, int32_t h) const {
    return Expect([=](int32_t u, int32_t v) { return u >= u0 && u < u0 + w && v >= v0 && v < v0 + h; });
  }
};

// Each reveal on a speckled image: its results (a set-up wait, `steps` waits,
// -1), the part shown after chosen calls, the visible image at the end.
// Speeds 0, 2, 3, 4, 5, 6, 8 step 1, 1, 1, 2, 3, 4, 6 lines.
TEST_P(Entry, EachRevealShowsItsShapeOnTheWay) {
  struct Reveal {
    int32_t slot, iw, ih, w, h;
    uint32_t speed;
    int32_t first, each, steps;
    std::vector<std::pair<size_t, std::string>> after;
  };
  const Reveal reveals[] = {
      {1, 40, 1, 44, 1, 3, 1, 5, 16, {{2, "#...............#...............#..........."}, {16, "###############.###############.########...."}}},  // VerticalBlinds
      {2, 3, 20, 3, 20, 8, 1, 4, 16, {{3, "### ### ... ... ... ... ... ... ... ... ... ... ... ... ... ... ### ### ... ..."}}},  // HorizontalBlinds
      {3, 20, 1, 24, 1, 8, 1, 1, 3, {{2, "######.................."}, {3, "############............"}}},  // WipeRight
      {4, 20, 1, 20, 1, 8, 1, 1, 3, {{2, "..............######"}}},  // WipeLeft
      {5, 1, 30, 1, 12, 5, 1, 1, 3, {{2, "# # # . . . . . . . . ."}}},  // WipeDown, visible height only
      {6, 1, 30, 1, 12, 5, 1, 1, 3, {{3, ". . . . . . # # # # # #"}}},  // WipeUp
      {16, 6, 18, 6, 18, 4, 1, 1, 3, {{2, "....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ##.... ##...."}}},  // CombWipeHorizontal: band 0 from the right
      {17, 18, 6, 18, 6, 4, 1, 1, 3, {{2, "................## ................## .................. .................. ################.. ################.."}}},  // CombWipeVertical: band 0 from the bottom
      {20, 5, 7, 5, 7, 0, 4, 4, 3, {{1, "..... ..... ..... ##### ..... ..... ....."}, {3, "..... ##### ##### ##### ##### ##### ....."}}},  // OpenFromMiddleRow, odd height
      {21, 12, 4, 9, 4, 6, 1, 1, 2, {{1, "....#.... ....#.... ....#.... ....#...."}, {2, ".#######. .#######. .#######. .#######."}}},  // OpenFromMiddleColumn, a short last step
      {22, 5, 7, 5, 7, 0, 4, 4, 3, {{1, "..... ..... ..... ..... ..... ..... #####"}, {2, "##### ..... ..... ..... ..... ##### #####"}}},  // CloseToMiddleRow: the odd last row first
      {23, 7, 5, 7, 5, 0, 4, 4, 3, {{2, "#....## #....## #....## #....## #....##"}}},  // CloseToMiddleColumn
      {30, 34, 2, 34, 2, 2, 2, 2, 32, {{1, "................................## ................................##"}, {11, "##########......................## ##########......................##"}}},  // CheckerWipeRight: the odd cell at once
      {32, 9, 7, 9, 7, 0, 4, 4, 36, {{10, ".#######. ..#####.. ...###... ....#.... ......... ......... ........."}, {28, "######### ######### ######### ######### ######### ###..#### ##....###"}}},  // FanSweep
      {33, 10, 7, 12, 9, 5, 1, 1, 3, {{2, "############ ############ ############ .......##### .......##### .......##### .......##### .......##### .......#####"}}},  // ShrinkToBottomLeft
      {34, 10, 7, 12, 9, 5, 1, 1, 2, {{2, ".......##### .......##### .......##### .......##### ############ ############ ############ ############ ############"}}},  // ShrinkToTopLeft
      {37, 9, 6, 9, 6, 0, 4, 4, 4, {{3, "######### ######### ##.....## ##.....## ######### #########"}}},  // FramesInward
      {38, 10, 5, 10, 5, 8, 1, 1, 5, {{1, ".......... .......... .....#.... .......... .........."}, {3, "...#####.. ...#####.. ...#####.. ...#####.. ...#####.."}}},  // FramesOutward
      {39, 12, 8, 12, 8, 0, 4, 4, 4, {{2, "............ ............ ............ ............ ............ ............ ............ ............"}, {3, "............ ............ ............ ....####.... ....####.... .....###.... ............ ............"}, {4, "............ ............ ....####.... ...######... ...######... ....####.... ....####.... ............"}}},  // DiamondOutward
      {40, 9, 7, 9, 7, 0, 4, 4, 3, {{2, "...##.... ...##.... ######### ######### ######### ...##.... ...##...."}, {3, "...###... ######### ######### ######### ######### ######### ...###..."}}},  // CrossOutward
      {41, 11, 8, 13, 9, 8, 1, 4, 18, {}},  // TwinSweep
      {42, 11, 8, 13, 9, 8, 1, 4, 73, {}},  // ClockSweep
      {43, 11, 8, 13, 9, 0, 4, 6, 73, {}},  // ClockSweepReverse
      {44, 16, 8, 16, 8, 8, 1, 4, 16, {{7, "................ ................ ........####.... ......######.... ......######.... ........####.... ................ ................"}}},  // SpiralBox: a quadrant of a ring a step
  };
  for (const Reveal& r : reveals) {
    SCOPED_TRACE(testing::Message() << "slot " << r.slot << " at speed " << r.speed);
    SetImage(r.iw, r.ih);
    Start(3, 9, r.w, r.h, r.speed);
    Ints results;
    for (const auto& [n, mask] : r.after) {
      while (results.size() < n) results.push_back(Call(EntryEffects[r.slot]));
      EXPECT_TRUE(Shows(Masked(mask))) << "after " << n << " calls";
    }
    for (const int32_t result : Run(EntryEffects[r.slot])) results.push_back(result);
    EXPECT_TRUE(ShowsImage()) << "at the end";
    Ints want(static_cast<size_t>(r.steps) + 2, r.each);
    want.front() = r.first;
    want.back() = -1;
    EXPECT_EQ(results, want);
  }
  SetImage(20, 1);
  for (const uint32_t speed : {9u, 0x100u, 0xFFFFu}) {  // a 16-bit speed, clamped to 8
    Start(5, 13, 20, 1, speed);
    EXPECT_EQ(Run(EntryEffects[3]), (Ints{1, 1, 1, 1, -1})) << speed;
  }
  SetImage(4, 3, AllLit);
  Start(5, 13, 7, 5, 0, 7);
  Run(EntryEffects[5]);  // strips never reach past the image
  EXPECT_TRUE(Shows("####777 ####777 ####777 7777777 7777777"));
}

// With no work buffer to be had the first call shows the image and reports 0.
// An end value of 0 (read as "not set up") shows the image and finishes at once.
TEST_P(Entry, NoArenaRoomOrAZeroEndValueFinishesOnTheFirstCall) {
  SetImage(21, 13);
  {
    test::ArenaHog hog;
    for (const int32_t slot : {7, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44}) {
      Start(4, 9, 17, 11);
      EXPECT_EQ(Call(EntryEffects[slot]), 0) << slot;
      EXPECT_TRUE(node.workBuffer == nullptr && ShowsImage()) << slot;
    }
  }
  const int32_t cases[][4] = {{22, 7, 1, 10}, {23, 1, 7, 10}, {38, 1, 1, 10}, {40, 1, 9, 10}, {40, 9, 1, 10},
                              {3, 0, 0, 10},  {39, 0, 0, 10}, {28, 9, 2, 0}};  // DotOverlay ends on y + H' - 2
  for (const auto& [slot, iw, ih, y] : cases) {
    SetImage(iw, ih, AllLit);
    Start(3, y, 11, y == 0 ? 2 : 9);
    EXPECT_EQ(Call(EntryEffects[slot]), -1) << slot;
    EXPECT_TRUE(node.workBuffer == nullptr && ShowsImage()) << slot << " with " << iw << "x" << ih;
  }
}

// Blink (29): 21 steps of 20 ticks, shown and cleared in turn, ending shown
// with no delay left. DotOverlay (28): colour 2 dots on every fifth row from
// the third, 7 apart, 3 in on odd sign rows, at the wait it finds.
TEST_P(Entry, BlinkAndDotOverlay) {
  SetImage(6, 4);
  Start(5, 12, 10, 6, 8, 7);
  EXPECT_EQ(Call(EntryEffects[29]), 20);
  EXPECT_TRUE(Shows(ExpectFrom([](int32_t u, int32_t v, int32_t* su, int32_t* sv) { return *su = u, *sv = v, u < 6 && v < 4; }, '7')));
  EXPECT_EQ(Call(EntryEffects[29]), 20);
  EXPECT_TRUE(ShowsImage(NoPixel));
  for (int32_t step = 2; step <= 20; ++step) ASSERT_EQ(Call(EntryEffects[29]), 20) << step;
  EXPECT_TRUE(ShowsImage());
  EXPECT_EQ(Call(EntryEffects[29]), -1);
  EXPECT_EQ(node.stepDelay, 0u);
  SetImage(12, 14, AllLit);
  Start(5, 10, 12, 14, 0, 7);
  EXPECT_EQ(Run(EntryEffects[28], 3), (Ints{6, 6, 6}));  // rows 12 (even) and 17 (odd) dotted
  EXPECT_TRUE(Shows("############ ############ o######o#### o######o#### ############ ############ ############ "
                    "###o######o# ###o######o# ############ ############ ############ ############ ############"));
  EXPECT_EQ(Call(EntryEffects[28]), -1);  // row 22 is the end row
  Start(5, 10, 12, 14, 0, 7);
  node.stepDelay = 9;
  EXPECT_EQ(Run(EntryEffects[28]), (Ints{9, 9, 9, -1}));
}

// RandomBlocks (7): the first call clears and shows 7 of 8 x 8 cells of
// W' >> 3 by H' >> 3, each later one 8 more; the rest comes with the ninth.
// Reseeded from the clock: the same second gives the same cells.
TEST_P(Entry, RandomBlocks) {
  ClockSimulate(1700000000);
  SetImage(20, 12, AllLit);
  Start(5, 10, 20, 12, 4, 7);
  std::string second;
  for (int32_t call = 1; call <= 8; ++call) {
    EXPECT_EQ(Call(EntryEffects[7]), 5);
    int32_t cells = 0;
    for (int32_t v = 0; v < 12; ++v) {
      for (int32_t u = 0; u < 20; ++u) {
        const bool lit = Lit(u, v);
        EXPECT_TRUE(u < 16 && v < 8 ? lit == Lit(u & ~1, v) : !lit) << u << ", " << v;
        cells += lit && u % 2 == 0 ? 1 : 0;
      }
    }
    EXPECT_EQ(cells, call * 8 - 1) << "call " << call;
    if (call == 2) second = test::ReadPicture(rx, ry, rw, rh);
  }
  EXPECT_EQ(Call(EntryEffects[7]), -1);
  for (int i = 0; i < 17; ++i) RandomNext();
  Start(5, 10, 20, 12, 4, 7);
  Run(EntryEffects[7], 2);
  EXPECT_EQ(test::ReadPicture(rx, ry, rw, rh), second);
  ClockUseReal();
}

// RotateIn (24) turns a dotted image, every second pixel of every second
// row, leaving out what lands on the edge; FlipIn (25) squeezes it onto the
// middle row, mirrored at 180 degrees; 36 steps at the wait it finds.
TEST_P(Entry, RotateAndFlip) {
  SetImage(7, 5, AllLit);
  Start(5, 12, 7, 5, 0, 7);
  EXPECT_EQ(Run(EntryEffects[24], 1), (Ints{4}));
  EXPECT_TRUE(Shows("....... ....... ..#.#.# ....... ..#.#.#"));
  Run(EntryEffects[24], 9);
  EXPECT_TRUE(Shows("....... .#.#.#. ....... .#.#.#. ......."));
  SetImage(7, 5, [](int32_t u, int32_t) { return u == 4; });
  Start(5, 12, 7, 5);
  node.stepDelay = 6;
  Call(EntryEffects[25]);
  EXPECT_TRUE(Shows("....... ....... ....#.. ....... ......."));
  Run(EntryEffects[25], 18);
  EXPECT_TRUE(Shows("....... ....... ..#.... ....... ......."));
  EXPECT_EQ(Run(EntryEffects[25]), (Ints{6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, -1}));
}

// Comb slides (18, 19) move bands of 16 lines in from alternate sides, four
// lines a step: after p, pixel (u, v) shows image pixel (su, sv) or is dark.
TEST_P(Entry, CombSlidesMoveBandsInFromAlternateSides) {
  using From = bool (*)(int32_t p, int32_t u, int32_t v, int32_t* su, int32_t* sv);
  const std::pair<int32_t, From> combs[] = {
      {18, [](int32_t p, int32_t u, int32_t v, int32_t* su, int32_t* sv) {  // band 0 from the left
         return *sv = v, *su = v < 16 ? u + 10 - p : u - (10 - p), v < 16 ? u < p : u >= 10 - p; }},
      {19, [](int32_t p, int32_t u, int32_t v, int32_t* su, int32_t* sv) {  // band 0 from the top
         return *su = u, *sv = u < 16 ? v + 10 - p : v - (10 - p), u < 16 ? v < p : v >= 10 - p; }},
  };
  for (const auto& [slot, from] : combs) {
    SetImage(slot == 18 ? 10 : 24, slot == 18 ? 20 : 10);
    Start(5, 10, slot == 18 ? 10 : 20, slot == 18 ? 20 : 10, 6, 7);  // 19: visible width cut to 20
    EXPECT_EQ(Run(EntryEffects[slot], 3), (Ints{1, 1, 1}));
    EXPECT_TRUE(Shows(ExpectFrom([&](int32_t u, int32_t v, int32_t* su, int32_t* sv) { return from(8, u, v, su, sv); })))
        << slot;
  }
}

// TwinSweep (41): each half opens from the top, column pairs reaching down
// by their distance from the half's left edge times tan a. ClockSweep (42),
// the hand from 12 o'clock: 2-row strips, a band beside each axis; the
// reverse (43) on an odd half-height ends a quadrant with a 3-row strip.
TEST_P(Entry, SweepSteps) {
  SetImage(8, 8, AllLit);
  Start(5, 12, 8, 8);
  Call(EntryEffects[41]);
  EXPECT_TRUE(StepShows(41, 45, Expect([](int32_t u, int32_t v) { return v < 2 && u % 4 >= 2; })));
  EXPECT_TRUE(StepShows(41, 85, Expect(AllLit)));
  Start(5, 12, 8, 8);
  Call(EntryEffects[42]);
  EXPECT_TRUE(StepShows(42, 45, Only(4, 0, 2, 2)));
  SetImage(12, 12, AllLit);
  Start(5, 12, 12, 12);
  Call(EntryEffects[42]);
  EXPECT_TRUE(StepShows(42, 90, Only(6, 5, 6, 1)));
  EXPECT_TRUE(StepShows(42, 180, Only(6, 6, 1, 6)));
  EXPECT_TRUE(StepShows(42, 270, Only(0, 6, 6, 1)));
  EXPECT_TRUE(StepShows(42, 360, Only(5, 0, 1, 6)));
  SetImage(16, 14, AllLit);
  Start(5, 12, 16, 14);
  Call(EntryEffects[43]);
  EXPECT_TRUE(StepShows(43, 135, Expect([](int32_t u, int32_t v) {
    return (v < 3 && u >= 1 && u < 8) || (v >= 3 && v < 6 && u >= 4 && u < 8) || (v == 6 && u >= 6 && u < 8);
  })));
}

INSTANTIATE_TEST_SUITE_P(Modes, Entry, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
