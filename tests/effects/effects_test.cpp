// The effects, by slot as playbills name them. The effects fuzz target checks
// that they stay inside the rectangle, end and give the arena back.
#include "platform/platform.h"
#include "effects/random.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::AllLit, test::NoPixel;
using Ints = std::vector<int32_t>;
using After = std::vector<std::pair<size_t, std::string>>;

class Effects : public test::EffectBench {
 protected:
  // Calls `f` once per result, checking chosen calls' pictures (image masks if `masked`).
  void Script(EffectFunction f, const Ints& results, const After& after, bool masked = false) {
    Ints got;
    // Not a structured binding: clang 14 (emscripten's) cannot capture one.
    for (const auto& entry : after) {
      const size_t n = entry.first;
      const std::string& picture = entry.second;
      while (got.size() < n) got.push_back(Call(f));
      const auto mask = [&](int32_t u, int32_t v) { return picture.at(static_cast<size_t>(v * (rw + 1) + u)) == '#'; };
      EXPECT_TRUE(Shows(masked ? Expect(mask) : picture)) << "after " << n << " calls";
    }
    while (got.size() < results.size()) got.push_back(Call(f));
    EXPECT_EQ(got, results);
  }
  void SetRows(const std::vector<std::string>& rows) {
    SetImage(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()), [&](int32_t u, int32_t v) { return rows[v][u] == '#'; });
  }
  bool PassEnded() const { return node.step == 0 && node.extent == 0; }
};

// Each reveal on a speckled image: its results (a set-up wait, `steps` waits,
// -1), the part shown after chosen calls, and the visible image at the end.
TEST_P(Effects, EachRevealShowsItsShapeOnTheWay) {
  struct Reveal { int32_t slot, iw, ih, w, h, speed, first, each, steps; After after; };
  const Reveal reveals[] = {
      // VerticalBlinds
      {1, 40, 1, 44, 1, 3, 1, 5, 16,
       {{2, "#...............#...............#..........."},
        {16, "###############.###############.########...."}}},
      // HorizontalBlinds
      {2, 3, 20, 3, 20, 8, 1, 4, 16,
       {{3, "### ### ... ... ... ... ... ... ... ... ... ... ... ... ... ... ### ### ... ..."}}},
      {3, 20, 1, 24, 1, 8, 1, 1, 3, {{2, "######.................."}, {3, "############............"}}},  // WipeRight
      {5, 1, 30, 1, 12, 5, 1, 1, 3, {{2, "# # # . . . . . . . . ."}}},  // WipeDown, visible height only
      {6, 1, 30, 1, 12, 5, 1, 1, 3, {{3, ". . . . . . # # # # # #"}}},  // WipeUp
      // CombWipeHorizontal: band 0 from the right
      {16, 6, 18, 6, 18, 4, 1, 1, 3,
       {{2, "....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ....## ##.... ##...."}}},
      // CombWipeVertical: band 0 from the bottom
      {17, 18, 6, 18, 6, 4, 1, 1, 3,
       {{2, "................## ................## .................. .................. ################.. ################.."}}},
      // OpenFromMiddleRow, odd height
      {20, 5, 7, 5, 7, 0, 4, 4, 3,
       {{1, "..... ..... ..... ##### ..... ..... ....."},
        {3, "..... ##### ##### ##### ##### ##### ....."}}},
      // OpenFromMiddleColumn, a short last step
      {21, 12, 4, 9, 4, 6, 1, 1, 2,
       {{1, "....#.... ....#.... ....#.... ....#...."},
        {2, ".#######. .#######. .#######. .#######."}}},
      // CloseToMiddleRow: the odd last row first
      {22, 5, 7, 5, 7, 0, 4, 4, 3,
       {{1, "..... ..... ..... ..... ..... ..... #####"},
        {2, "##### ..... ..... ..... ..... ##### #####"}}},
      // CheckerWipeRight: the odd cell at once
      {30, 34, 2, 34, 2, 2, 2, 2, 32,
       {{1, "................................## ................................##"},
        {11, "##########......................## ##########......................##"}}},
      // FanSweep
      {32, 9, 7, 9, 7, 0, 4, 4, 36,
       {{10, ".#######. ..#####.. ...###... ....#.... ......... ......... ........."},
        {28, "######### ######### ######### ######### ######### ###..#### ##....###"}}},
      // ShrinkToBottomLeft
      {33, 10, 7, 12, 9, 5, 1, 1, 3,
       {{2, "############ ############ ############ .......##### .......##### .......##### .......##### .......##### .......#####"}}},
      // ShrinkToTopLeft: a short last step joins the one before
      {34, 10, 7, 12, 9, 5, 1, 1, 2,
       {{2, ".......##### .......##### .......##### .......##### ############ ############ ############ ############ ############"}}},
      // FramesInward
      {37, 9, 6, 9, 6, 0, 4, 4, 4,
       {{3, "######### ######### ##.....## ##.....## ######### #########"}}},
      // FramesOutward
      {38, 10, 5, 10, 5, 8, 1, 1, 5,
       {{1, ".......... .......... .....#.... .......... .........."},
        {3, "...#####.. ...#####.. ...#####.. ...#####.. ...#####.."}}},
      // DiamondOutward
      {39, 12, 8, 12, 8, 0, 4, 4, 4,
       {{2, "............ ............ ............ ............ ............ ............ ............ ............"},
        {3, "............ ............ ............ ....####.... ....####.... .....###.... ............ ............"},
        {4, "............ ............ ....####.... ...######... ...######... ....####.... ....####.... ............"}}},
      // CrossOutward
      {40, 9, 7, 9, 7, 0, 4, 4, 3,
       {{2, "...##.... ...##.... ######### ######### ######### ...##.... ...##...."},
        {3, "...###... ######### ######### ######### ######### ######### ...###..."}}},
      {41, 11, 8, 13, 9, 8, 1, 4, 18, {}},  // TwinSweep
      {42, 11, 8, 13, 9, 8, 1, 4, 73, {}},  // ClockSweep
      {43, 11, 8, 13, 9, 0, 4, 6, 73, {}},  // ClockSweepReverse
      // SpiralBox: a quadrant of a ring a step
      {44, 16, 8, 16, 8, 8, 1, 4, 16,
       {{7, "................ ................ ........####.... ......######.... ......######.... ........####.... ................ ................"}}},
  };
  for (const Reveal& r : reveals) {
    SCOPED_TRACE(testing::Message() << "slot " << r.slot << " at speed " << r.speed);
    SetImage(r.iw, r.ih);
    Start(3, 9, r.w, r.h, static_cast<uint32_t>(r.speed));
    Ints want(static_cast<size_t>(r.steps) + 2, r.each);
    want.front() = r.first, want.back() = -1;
    Script(EntryEffects[r.slot], want, r.after, true);
    EXPECT_TRUE(Shows(Expect())) << "at the end";
  }
  SetImage(20, 1);
  Start(5, 13, 20, 1, 0x100);  // a 16-bit speed, clamped to 8
  EXPECT_EQ(Run(EntryEffects[3]), (Ints{1, 1, 1, 1, -1}));
  SetImage(4, 3, AllLit);
  Start(5, 13, 7, 5, 0, 7);
  Run(EntryEffects[5]);  // strips never reach past the image
  EXPECT_TRUE(Shows("####777 ####777 ####777 7777777 7777777"));
}

// Every in-place entry (all but the slides 8..15, the Instant twins 26 and 27
// and the scrolls 45..52) ends with the whole visible image, whatever the
// image's size against the rectangle and at either speed limit.
TEST_P(Effects, EveryInPlaceEntryEndsWithTheWholeImage) {
  const int32_t shapes[][4] = {{20, 12, 13, 9}, {7, 5, 12, 8}, {40, 36, 40, 36}};  // image, rectangle
  for (int32_t slot = 0; slot < 45; ++slot) {
    if ((slot >= 8 && slot <= 15) || slot == 26 || slot == 27) continue;
    for (const auto& [iw, ih, w, h] : shapes) {
      for (const uint32_t speed : {0u, 8u}) {
        SetImage(iw, ih);
        Start(5, 10, w, h, speed);
        EXPECT_EQ(Run(EntryEffects[slot]).back(), -1) << slot;
        EXPECT_TRUE(Shows(Expect())) << "slot " << slot << ", " << iw << "x" << ih << " in " << w << "x" << h << " at speed " << speed;
      }
    }
  }
}

// Without a work buffer, or with an end value of 0 (read as "not set up"), the
// first call shows the image and finishes.
TEST_P(Effects, NoArenaRoomOrAZeroEndValueFinishesOnTheFirstCall) {
  SetImage(21, 13);
  {
    test::ArenaHog hog;
    for (const int32_t slot : {7, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44}) {
      Start(4, 9, 17, 11);
      EXPECT_EQ(Call(EntryEffects[slot]), 0) << slot;
      EXPECT_EQ(node.workBuffer, nullptr) << slot;
      EXPECT_TRUE(Shows(Expect())) << slot;
    }
  }
  const int32_t cases[][4] = {{22, 7, 1, 10}, {23, 1, 7, 10}, {38, 1, 1, 10}, {40, 1, 9, 10}, {40, 9, 1, 10},
                              {3, 0, 0, 10},  {39, 0, 0, 10}, {28, 9, 2, 0}};  // DotOverlay ends on y + H' - 2
  for (const auto& [slot, iw, ih, y] : cases) {
    SetImage(iw, ih, AllLit);
    Start(3, y, 11, y == 0 ? 2 : 9);
    SCOPED_TRACE(testing::Message() << "slot " << slot << ", " << iw << "x" << ih);
    EXPECT_EQ(Call(EntryEffects[slot]), -1);
    EXPECT_EQ(node.workBuffer, nullptr);
    EXPECT_TRUE(Shows(Expect()));
  }
}

// Blink (29) ends shown with no delay left; DotOverlay (28) dots every fifth
// row from the third, 7 apart, 3 in on odd sign rows, at the wait it finds.
TEST_P(Effects, BlinkAndDotOverlay) {
  SetImage(6, 4);
  Start(5, 12, 10, 6, 8, 7);
  EXPECT_EQ(Call(EntryEffects[29]), 20);
  EXPECT_TRUE(Shows(Expect([](int32_t u, int32_t v) { return u < 6 && v < 4; }, '7')));
  EXPECT_EQ(Call(EntryEffects[29]), 20);
  EXPECT_TRUE(Shows(Expect(NoPixel)));
  EXPECT_EQ(Run(EntryEffects[29], 19), Ints(19, 20));
  EXPECT_EQ(Call(EntryEffects[29]), -1);
  EXPECT_EQ(node.stepDelay, 0u);
  EXPECT_TRUE(Shows(Expect()));
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

// RandomBlocks (7): 7 cells of W' >> 3 by H' >> 3, then 8 a call, the rest
// with the ninth; reseeded from the clock, so one second gives one order.
TEST_P(Effects, RandomBlocks) {
  ClockSimulate(1700000000);
  SetImage(20, 12, AllLit);
  Start(5, 10, 20, 12, 4, 7);
  std::string second;
  for (int32_t call = 1; call <= 8; ++call) {
    ASSERT_EQ(Call(EntryEffects[7]), 5);
    const std::string p = test::ReadPicture(rx, ry, rw, rh);  // 21 characters a row
    int32_t cells = 0;
    for (int32_t u = 0, v = 0, i = 0; i < 240; u = ++i % 20, v = i / 20) {
      const bool lit = p[v * 21 + u] != '.';
      if (u < 16 && v < 8) {
        EXPECT_EQ(lit, p[v * 21 + (u & ~1)] != '.') << "cell pixel " << u << ", " << v;
      } else {
        EXPECT_FALSE(lit) << "outside the cells " << u << ", " << v;
      }
      cells += lit && u % 2 == 0 ? 1 : 0;
    }
    EXPECT_EQ(cells, call * 8 - 1) << "call " << call;
    if (call == 2) second = p;
  }
  EXPECT_EQ(Call(EntryEffects[7]), -1);
  for (int i = 0; i < 17; ++i) RandomNext();
  Start(5, 10, 20, 12, 4, 7);
  Run(EntryEffects[7], 2);
  EXPECT_EQ(test::ReadPicture(rx, ry, rw, rh), second);
  ClockUseReal();
}

// RotateIn (24) turns a dotted image, leaving out what lands on the edge;
// FlipIn (25) squeezes it onto the middle row, mirrored at 180 degrees.
TEST_P(Effects, RotateAndFlip) {
  SetImage(7, 5, AllLit);
  Start(5, 12, 7, 5, 0, 7);
  EXPECT_EQ(Call(EntryEffects[24]), 4);
  EXPECT_TRUE(Shows("....... ....... ..#.#.# ....... ..#.#.#"));
  Run(EntryEffects[24], 9);
  EXPECT_TRUE(Shows("....... .#.#.#. ....... .#.#.#. ......."));
  SetImage(7, 5, [](int32_t u, int32_t) { return u == 4; });
  Start(5, 12, 7, 5);
  node.stepDelay = 6;
  EXPECT_EQ(Call(EntryEffects[25]), 6);
  EXPECT_TRUE(Shows("....... ....... ....#.. ....... ......."));
  Run(EntryEffects[25], 18);
  EXPECT_TRUE(Shows("....... ....... ..#.... ....... ......."));
  EXPECT_EQ(Run(EntryEffects[25]), (Ints{6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, -1}));
}

// Comb slides (18, 19) bring bands of 16 lines in from alternate sides: band
// 0 from the left (18) or the top (19, its visible width cut to 20).
TEST_P(Effects, CombSlidesMoveBandsInFromAlternateSides) {
  SetImage(10, 20);
  Start(5, 10, 10, 20, 6, 7);
  EXPECT_EQ(Run(EntryEffects[18], 3), (Ints{1, 1, 1}));
  EXPECT_TRUE(Shows(Expect([](int32_t& u, int32_t& v) { const bool top = v < 16, in = top ? u < 8 : u >= 2; return u += top ? 2 : -2, in; })));
  SetImage(24, 10);
  Start(5, 10, 20, 10, 6, 7);
  EXPECT_EQ(Run(EntryEffects[19], 3), (Ints{1, 1, 1}));
  EXPECT_TRUE(Shows(Expect([](int32_t& u, int32_t& v) { const bool left = u < 16, in = left ? v < 8 : v >= 2; return v += left ? 2 : -2, in; })));
}

// TwinSweep (41) opens each half from the top; ClockSweep (42) draws 2-row strips and a band beside each
// axis, its reverse (43) a 3-row strip on an odd half-height.
TEST_P(Effects, SweepSteps) {
  const auto only = [](int32_t u0, int32_t v0, int32_t w, int32_t h) {
    return [=](int32_t u, int32_t v) { return u >= u0 && u < u0 + w && v >= v0 && v < v0 + h; };
  };
  const std::tuple<int32_t, int32_t, int32_t, test::PixelTest> steps[] = {
      {41, 8, 45, [](int32_t u, int32_t v) { return v < 2 && u % 4 >= 2; }}, {42, 8, 45, only(4, 0, 2, 2)},
      {42, 12, 90, only(6, 5, 6, 1)}, {42, 12, 180, only(6, 6, 1, 6)}, {42, 12, 270, only(0, 6, 6, 1)}, {42, 12, 360, only(5, 0, 1, 6)},
      {43, 14, 135, [](int32_t u, int32_t v) { return (v < 3 && u >= 1 && u < 8) || (v >= 3 && v < 6 && u >= 4 && u < 8) || (v == 6 && u >= 6 && u < 8); }},
  };
  for (const auto& [slot, size, angle, shown] : steps) {
    SetImage(size + (slot == 43 ? 2 : 0), size, AllLit);
    Start(5, 12, size + (slot == 43 ? 2 : 0), size);
    Call(EntryEffects[slot]), node.step = static_cast<uint32_t>(angle);  // set up, then turn to the angle
    EXPECT_GT(Call(EntryEffects[slot]), 0) << slot << " at " << angle << " degrees";
    EXPECT_TRUE(Shows(Expect(shown))) << slot << " at " << angle << " degrees";
  }
}

// Slides push the earlier picture ahead, centre a narrower image across the motion and draw at once when a
// step covers the travel: forward the image's length, backward max(it, W); diagonally max(iw, ih) or max(W, H)
// (12, 14; the other corners mirror them).
TEST_P(Effects, Slides) {
  struct Slide { int32_t slot; std::vector<std::string> image; int32_t w, h, speed; Ints results; After after; };
  const std::vector<std::string> bar(5, "##");
  const Slide slides[] = {
      {8, {"#.#", "##."}, 6, 2, 0, {4, 4, -1}, {{1, "#77... .7...."}, {2, ".#77.. #.7..."}, {3, "#.#77. ##.7.."}}},
      {8, {"##.#", "#..#"}, 6, 5, 4, {1, -1}, {{1, "..7777 .#7777 .#7777 ..7777 ..7777"}, {2, "....77 ##.#77 #..#77 ....77 ....77"}}},
      {8, {"#...#", ".###."}, 8, 3, 8, {-1}, {{1, "#...#777 .###.777 77777777"}}},
      {8, {"##..#"}, 3, 1, 0, {4, 4, 4, 4, -1}, {{5, "##."}}},
      {9, {"#.#", "##."}, 6, 2, 0, {4, 4, 4, 4, 4, -1}, {{6, "#.#... ##...."}}},
      {12, {"#.", "##"}, 4, 3, 0, {4, 4, 4, -1}, {{1, "7777 7777 7777"}, {2, "#... .777 .777"}, {3, "#... ##.. ..77"}, {4, "#... ##.. ..77"}}},
      {14, bar, 6, 3, 0, {4, 4, 4, 4, 4, 4, 4, -1}, {{8, "##.... ##.... ##...."}}},
      {14, bar, 6, 3, 4, {1, 1, 1, 1, 1, -1}, {}},  // 2 a step: the diagonal part ends at 2
  };
  for (const Slide& s : slides) {
    SCOPED_TRACE(testing::Message() << "slot " << s.slot << " into " << s.w << "x" << s.h << " at speed " << s.speed);
    Start(5, 3, s.w, s.h, static_cast<uint32_t>(s.speed), &s == slides ? 0 : 7);
    if (&s == slides) drawops.SetPixel(5, 3, 7), drawops.SetPixel(6, 3, 7), drawops.SetPixel(5, 4, 7);  // the earlier picture
    SetRows(s.image);
    Script(EntryEffects[s.slot], s.results, s.after);
  }
  node.image.pixels = nullptr;  // and scrolls: no pixels, no drawing
  for (int32_t slot = 8; slot < 53; slot = slot == 15 ? 45 : slot + 1) {
    Start(3, 3, 10, 6, 0, 7);
    EXPECT_EQ(Call(EntryEffects[slot]), -1) << slot;
    EXPECT_TRUE(Shows(Expect(NoPixel, '7'))) << slot;
  }
}

// Loops (49..52) wrap without a gap, crossing scrolls (45..48) leave the rectangle blank after a pass;
// passes repeat for ever, a loop's ending at rest.
TEST_P(Effects, ScrollsPassForEver) {
  SetRows({"#.#", "##."});
  Start(7, 1, 5, 2, 0, 7);
  Script(EntryEffects[49], {4, 4, 4, 4, 4}, {{1, "#7777 .7777"}, {3, "#.#77 ##.77"}, {5, ".##.# #.##."}});
  const int32_t passes[][2] = {{45, 7}, {46, 7}, {47, 5}, {48, 5}, {49, 3}, {50, 3}, {51, 2}, {52, 2}};
  SetImage(6, 4);
  for (const auto& [slot, pass] : passes) {
    Start(40, 2, 6, 4, 4, 7);
    for (int32_t n = 1; n <= 2 * pass; ++n) {
      ASSERT_EQ(Call(EntryEffects[slot]), 1) << slot << " call " << n;
      ASSERT_EQ(PassEnded(), n % pass == 0) << slot << " call " << n;
    }
    EXPECT_TRUE(Shows(Expect([slot = slot](int32_t, int32_t) { return slot >= 49; }))) << slot;
  }
  SetRows({"#..#", ".##."});
  Start(4, 4, 8, 3, 8, 7);
  for (int32_t i = 0; i < 10; ++i) {
    node.stepDelay = 0;  // as an effect that ended without a delay leaves it
    ASSERT_EQ(Call(EntryEffects[49]), 1) << i;
    ASSERT_TRUE(PassEnded()) << i;
  }
  EXPECT_TRUE(Shows("#..#7777 .##.7777 77777777"));
}

// Exits clear strips, the one-sided ones (1..4) at the entry's wait; a
// one-pixel line finishes on the next call instead of setting up again.
TEST_P(Effects, ExitsClearTheRectangle) {
  struct Exit { int32_t slot, w, h, speed, delay; Ints results; After after; };
  const Exit exits[] = {
      {1, 20, 1, 8, 0, {1, 1, 1, 1, -1}, {{1, "......77777777777777"}, {3, "..................77"}, {4, "...................."}}},
      {2, 3, 2, 0, 6, {6, 6, 6, -1}, {{1, "77. 77."}, {2, "7.. 7.."}}},
      {5, 7, 2, 0, 6, {4, 4, 4, 4, -1}, {{1, "777.777 777.777"}, {2, "77...77 77...77"}, {3, "7.....7 7.....7"}}},
      {6, 7, 1, 0, 0, {4, 4, 4, 4, -1}, {{1, "777777."}, {2, ".7777.."}, {3, "..77..."}}},
      {7, 2, 5, 8, 0, {1, 1, -1}, {{1, "77 77 .. 77 77"}}},
      {0, 3, 2, 0, 0, {-1}, {}}, {5, 1, 4, 0, 0, {4, -1}, {}}, {6, 1, 4, 0, 0, {4, -1}, {}}, {7, 4, 1, 0, 0, {4, -1}, {}},
  };
  for (const Exit& e : exits) {
    SCOPED_TRACE(testing::Message() << "exit " << e.slot << " on " << e.w << "x" << e.h);
    Start(3, 2, e.w, e.h, static_cast<uint32_t>(e.speed), 7);
    node.stepDelay = static_cast<uint32_t>(e.delay);
    Script(ExitEffects[e.slot], e.results, e.after);
    EXPECT_TRUE(Shows(Expect(NoPixel)));
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, Effects, testing::Values(1, 4));

}  // namespace
}  // namespace ledview
