// Effects that move the picture: slides (entry slots 8..15), endless scrolls
// (45..52) and the exits. The effects fuzz target checks that they stay
// inside their rectangle and end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/drawops.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::NoPixel;
using Ints = std::vector<int32_t>;
using After = std::vector<std::pair<size_t, std::string>>;

class Motion : public test::EffectBench {
 protected:
  // Calls `f` once per expected result, from the picture `before` ('7' lit,
  // '.' clear; rows split by spaces), with the rectangle after chosen calls.
  void Script(EffectFunction f, const std::string& before, const Ints& results, const After& after) {
    for (size_t i = 0; i < before.size(); ++i) {
      const int32_t u = static_cast<int32_t>(i) % (rw + 1), v = static_cast<int32_t>(i) / (rw + 1);
      if (before[i] != ' ') drawops.SetPixel(rx + u, ry + v, before[i] == '7' ? 7 : 0);
    }
    Ints got;
    for (const auto& [n, picture] : after) {
      while (got.size() < n) got.push_back(Call(f));
      EXPECT_TRUE(Shows(picture)) << "after " << n << " calls";
    }
    while (got.size() < results.size()) got.push_back(Call(f));
    EXPECT_EQ(got, results);
  }
  bool PassEnded() const { return node.step == 0 && node.extent == 0; }
};

// A slide pushes the earlier picture ahead, centres a narrower image across
// its motion and draws at once when one step covers the travel: forward the
// image's length, backward the longer of it and W (showing the far end);
// diagonally max(iw, ih) (12), max(iw, H) (13), max(W, H) (14), max(W, ih)
// (15), where only 12 leaves some of the earlier picture.
TEST_P(Motion, Slides) {
  struct Slide {
    int32_t slot;
    std::vector<std::string> image;
    int32_t w, h;
    uint32_t speed;
    Ints results;
    After after;
  };
  const std::vector<std::string> bar(5, "##");
  const Slide slides[] = {
      {8, {"#.#", "##."}, 6, 2, 0, {4, 4, -1}, {{1, "#77... .7...."}, {2, ".#77.. #.7..."}, {3, "#.#77. ##.7.."}}},
      {8, {"##.#", "#..#"}, 6, 5, 4, {1, -1}, {{1, "..7777 .#7777 .#7777 ..7777 ..7777"}, {2, "....77 ##.#77 #..#77 ....77 ....77"}}},
      {8, {"#...#", ".###."}, 8, 3, 8, {-1}, {{1, "#...#777 .###.777 77777777"}}},
      {10, {"#.", ".#", "##"}, 8, 3, 8, {-1}, {{1, "#.777777 .#777777 ##777777"}}},
      {8, {"##..#"}, 3, 1, 0, {4, 4, 4, 4, -1}, {{5, "##."}}},
      {9, {"##..#"}, 3, 1, 0, {4, 4, 4, 4, -1}, {{5, "..#"}}},
      {9, {"#.#", "##."}, 6, 2, 0, {4, 4, 4, 4, 4, -1}, {{6, "#.#... ##...."}}},
      {11, {"#.", "##", "#."}, 4, 5, 0, {4, 4, 4, 4, -1}, {{5, ".#.. .##. .#.. .... ...."}}},
      {12, {"#.", "##"}, 4, 3, 0, {4, 4, 4, -1}, {{1, "7777 7777 7777"}, {2, "#... .777 .777"}, {3, "#... ##.. ..77"}, {4, "#... ##.. ..77"}}},
      {13, bar, 6, 3, 0, {4, 4, 4, 4, -1}, {{5, "##.... ##.... ##...."}}},
      {14, bar, 6, 3, 0, {4, 4, 4, 4, 4, 4, 4, -1}, {{8, "##.... ##.... ##...."}}},
      {15, bar, 6, 3, 0, {4, 4, 4, 4, 4, 4, 4, -1}, {{8, "##.... ##.... ##...."}}},
      {14, bar, 6, 3, 4, {1, 1, 1, 1, 1, -1}, {}},  // 2 a step: the diagonal part ends at 2
  };
  for (const Slide& s : slides) {
    SCOPED_TRACE(testing::Message() << "slot " << s.slot << " into " << s.w << "x" << s.h << " at speed " << s.speed);
    Start(5, 3, s.w, s.h, s.speed, 7);
    SetRows(s.image);
    Script(EntryEffects[s.slot], &s == slides ? "77.... 7....." : "", s.results, s.after);
  }
  for (int32_t slot = 8; slot < 53; slot = slot == 15 ? 45 : slot + 1) {  // and scrolls: no pixels, no drawing
    SetImage(7, 5);
    node.image.pixels = nullptr;
    Start(3, 3, 10, 6, 0, 7);
    EXPECT_EQ(Call(EntryEffects[slot]), -1) << slot;
    EXPECT_TRUE(Shows(Expect(NoPixel, '7'))) << slot;
  }
}

// A loop (49..52) wraps without a gap, a crossing scroll (45..48) pushes
// blank strips in after the image, cutting its last step; neither ends, and
// a new pass starts after exactly the pass's steps, a loop's with the image
// at rest. An image shorter than a step stands still, a pass every call.
TEST_P(Motion, ScrollsPassForEver) {
  SetRows({"#.#", "##."});
  Start(7, 1, 5, 2, 0, 7);
  Script(EntryEffects[49], "", {4, 4, 4, 4, 4}, {{1, "#7777 .7777"}, {3, "#.#77 ##.77"}, {5, ".##.# #.##."}});
  Start(2, 2, 4, 3, 0, 7);
  SetRows({"#."});
  Script(EntryEffects[45], "", Ints(7, 4), {{1, ".777 .777 .777"}, {3, "#..7 ...7 ...7"}, {6, "...# .... ...."}, {7, ".... .... ...."}});
  EXPECT_TRUE(PassEnded());
  SetRows({"##"});
  Start(0, 0, 5, 1, 8, 7);
  Script(EntryEffects[46], "", {1, 1, 1}, {{1, "77777"}, {2, "#...."}, {3, "....."}});
  const int32_t passes[][2] = {{45, 7}, {46, 7}, {47, 5}, {48, 5}, {49, 3}, {50, 3}, {51, 2}, {52, 2}};
  SetImage(6, 4);
  for (const auto& [slot, pass] : passes) {
    Start(40, 2, 6, 4, 4, 7);
    for (int32_t n = 1; n <= 2 * pass; ++n) {
      ASSERT_EQ(Call(EntryEffects[slot]), 1) << slot;
      ASSERT_EQ(PassEnded(), n % pass == 0) << slot << " call " << n;
    }
    EXPECT_TRUE(ShowsImage([slot = slot](int32_t, int32_t) { return slot >= 49; })) << slot;
  }
  for (const int32_t slot : {49, 50}) {
    SetRows({"#..#", ".##."});
    Start(4, 4, 8, 3, 8, 7);
    for (int32_t i = 0; i < 10; ++i) {
      node.stepDelay = 0;  // as an effect that ended without a delay leaves it
      ASSERT_EQ(Call(EntryEffects[slot]), 1);
      ASSERT_TRUE(PassEnded());
    }
    EXPECT_TRUE(Shows("#..#7777 .##.7777 77777777"));
  }
}

// Exits clear strips of the speed's step, the one-sided ones (1..4) at the
// entry's wait. Column erases meet or part at an odd middle; row erases take
// half a step plus one a side; a one-pixel line, with no half to travel,
// finishes on the next call instead of setting up again.
TEST_P(Motion, ExitsClearTheRectangle) {
  struct Exit {
    int32_t slot, w, h;
    uint32_t speed, delay;
    Ints results;
    After after;
  };
  const Exit exits[] = {
      {0, 3, 2, 0, 0, {-1}, {}},
      {1, 20, 1, 8, 0, {1, 1, 1, 1, -1}, {{1, "......77777777777777"}, {3, "..................77"}, {4, "...................."}}},
      {2, 3, 2, 0, 6, {6, 6, 6, -1}, {{1, "77. 77."}, {2, "7.. 7.."}}},
      {3, 3, 3, 0, 0, {4, 4, 4, -1}, {{1, "... 777 777"}, {2, "... ... 777"}}},
      {4, 3, 3, 4, 0, {1, 1, -1}, {{1, "777 ... ..."}}},
      {5, 7, 2, 0, 6, {4, 4, 4, 4, -1}, {{1, "777.777 777.777"}, {2, "77...77 77...77"}, {3, "7.....7 7.....7"}}},
      {6, 7, 1, 0, 0, {4, 4, 4, 4, -1}, {{1, "777777."}, {2, ".7777.."}, {3, "..77..."}}},
      {7, 2, 5, 8, 0, {1, 1, -1}, {{1, "77 77 .. 77 77"}}},
      {8, 2, 4, 4, 0, {1, 1, -1}, {{1, "77 77 77 77"}}},
      {5, 1, 4, 0, 0, {4, -1}, {}},  {6, 1, 4, 0, 0, {4, -1}, {}},  {7, 4, 1, 0, 0, {4, -1}, {}},
      {8, 4, 1, 0, 0, {4, -1}, {}},  {6, 1, 1, 0, 0, {4, -1}, {}},  {7, 1, 1, 0, 0, {4, -1}, {}},
  };
  for (const Exit& e : exits) {
    SCOPED_TRACE(testing::Message() << "exit " << e.slot << " on " << e.w << "x" << e.h);
    Start(3, 2, e.w, e.h, e.speed, 7);
    node.stepDelay = e.delay;
    Script(ExitEffects[e.slot], "", e.results, e.after);
    EXPECT_TRUE(Shows(Expect(NoPixel)));
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, Motion, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
