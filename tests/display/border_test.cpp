#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "display/border.h"
#include "display/framebuffer.h"
#include "ledview.h"
#include "memory/arena.h"
#include "support/engine_fixture.h"
#include "support/picture.h"

namespace ledview {
namespace {

using test::EngineTest;
using test::FillFrameBuffer;
using test::PictureAt;

class BorderTest : public EngineTest {
 protected:
  void Start(int32_t mode) {
    testing::internal::CaptureStdout();
    const int32_t rc = InitLedConfigure(64, 64, mode);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(rc, 0);
    ClearFrameBuffer();
  }
  // One painter call of border type t.
  void Paint(int32_t t, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    bordertable[t - 1].painter(x0, y0, x1, y1, &phase);
  }
  uintptr_t phase = 0;
};

TEST_F(BorderTest, TheColourModePicksThePainterSet) {
  Start(1);
  EXPECT_EQ(bordertable, bitplaneborders);
  ReleasePreview();
  Start(4);
  EXPECT_EQ(bordertable, byteborders);
}

// 12 x 10: the side bands, drawn last, take the corners; the bottom band
// repeats the tile from its own first row.
TEST_F(BorderTest, Type1AlternatesItsTwoTiles) {
  Start(2);
  Paint(1, 2, 1, 14, 11);
  EXPECT_EQ(phase, 1u);
  EXPECT_TRUE(PictureAt(1, 0, R"(
    ..............
    ..11..11..11..
    .133113311331.
    .133113311331.
    ..11..11..11..
    ..11......11..
    .1331....1331.
    .1331.11.1331.
    ..11.1331.11..
    ..11.1331.11..
    .1331.11.1331.
    ..............)"));
  Paint(1, 2, 1, 14, 11);
  EXPECT_EQ(phase, 0u);
  EXPECT_TRUE(PictureAt(1, 0, R"(
    ..............
    ..11..11..11..
    .1..11..11..1.
    .1..11..11..1.
    ..11..11..11..
    ..11......11..
    .1..1....1..1.
    .1..1.11.1..1.
    ..11.1..1.11..
    ..11.1..1.11..
    .1..1.11.1..1.
    ..............)"));
}

// Colour mode 1: the side bands run over rows y0 + 3 .. y1 - 6 only; tile
// zeros darken.
TEST_F(BorderTest, Type1InTheBitPlaneLayout) {
  Start(1);
  FillFrameBuffer(1);
  Paint(1, 2, 1, 14, 11);
  EXPECT_TRUE(PictureAt(1, 0, R"(
    ##############
    #............#
    #.##..##..##.#
    #.##..##..##.#
    #............#
    #.##.####.##.#
    ##############
    #............#
    #.##..##..##.#
    #.##..##..##.#
    #............#
    ##############)"));
}

TEST_F(BorderTest, Type5HasItsOwnTileInTheByteLayout) {
  Start(4);
  Paint(5, 0, 0, 8, 8);
  EXPECT_TRUE(PictureAt(0, 0, R"(
    ........
    .33..33.
    .33..33.
    ........
    ........
    .33..33.
    .33..33.
    ........)"));
}

// 10 x 5: 9 + 4 + 9 + 5 = 27 pixels, the last on (x0, y0) again with
// element 26 mod 3 = 2 of the sequence.
TEST_F(BorderTest, Type2RunsAThreeColourChain) {
  Start(4);
  Paint(2, 0, 0, 10, 5);
  EXPECT_TRUE(PictureAt(0, 0, R"(
    3231231231.
    2........2.
    1........3.
    3........1.
    2132132132.
    ...........)"));
  EXPECT_EQ(phase, 1u);
  Paint(2, 0, 0, 10, 5);
  EXPECT_TRUE(PictureAt(0, 0, "2123123123"));
  EXPECT_EQ(phase, 2u);
  Paint(2, 0, 0, 10, 5);
  EXPECT_TRUE(PictureAt(0, 0, "1312312312"));
  EXPECT_EQ(phase, 0u);
}

TEST_F(BorderTest, Type2InTheBitPlaneLayout) {
  Start(1);
  Paint(2, 1, 1, 7, 5);
  EXPECT_TRUE(PictureAt(0, 0, R"(
    ........
    .#.#.##.
    ........
    .#....#.
    ..#.#.#.
    ........)"));
  Paint(2, 1, 1, 7, 5);
  EXPECT_TRUE(PictureAt(0, 0, R"(
    ........
    ..#.#...
    .#....#.
    ........
    .#.#.#..
    ........)"));
  EXPECT_EQ(phase, 0u);
}

// The phase advances first: the first call shows tiles 2 and 3. The
// horizontal tiles are laid from the right end.
TEST_F(BorderTest, Type3AdvancesBeforeDrawing) {
  Start(2);
  Paint(3, 0, 0, 10, 8);
  EXPECT_EQ(phase, 1u);
  EXPECT_TRUE(PictureAt(0, 0, R"(
    2....2...2.
    ...........
    ..11...1...
    ...........
    2........2.
    ...1.......
    ..1....1...
    .....2.....
    ...........)"));
}

// Colour mode 1 draws the phase before it advances, the horizontal bands
// over x0 .. x1 - 3 from the left and the side bands over y0 + 3 .. y1 - 4.
TEST_F(BorderTest, Type3InTheBitPlaneLayout) {
  Start(1);
  FillFrameBuffer(1);
  Paint(3, 0, 0, 10, 8);
  EXPECT_EQ(phase, 1u);
  EXPECT_TRUE(PictureAt(0, 0, R"(
    #...#...###
    ........###
    ........###
    #..####..##
    ...####...#
    ........###
    ........###
    #...#...###
    ###########)"));
}

TEST_F(BorderTest, Type4ChangesColourEveryCall) {
  Start(2);
  for (const char colour : std::string("23.1")) {
    Paint(4, 1, 1, 6, 4);
    std::string want = ".......\n.xxxxx.\n.x...x.\n.xxxxx.\n.......";
    for (char& c : want) {
      if (c == 'x') c = colour;
    }
    EXPECT_TRUE(PictureAt(0, 0, want)) << "colour " << colour;
  }
}

TEST_F(BorderTest, Type4InTheBitPlaneLayout) {
  Start(1);
  FillFrameBuffer(1);
  for (const char shown : std::string(".#.#")) {
    Paint(4, 1, 1, 6, 4);
    std::string want = "#######\n#xxxxx#\n#x###x#\n#xxxxx#\n#######";
    for (char& c : want) {
      if (c == 'x') c = shown;
    }
    EXPECT_TRUE(PictureAt(0, 0, want)) << "call showing " << shown;
  }
}

// 16 x 16: four tiles along the top, three down, three along the bottom and
// three up in 13 calls; the next 13 lay the blank tile over them.
TEST_F(BorderTest, Type6WalksAroundAndErases) {
  Start(2);
  for (int i = 0; i < 4; ++i) Paint(6, 0, 0, 16, 16);
  EXPECT_TRUE(PictureAt(0, 0, ".11..11..11..11.\n1331133113311331\n1331133113311331\n.11..11..11..11.\n................"));
  for (int i = 4; i < 13; ++i) Paint(6, 0, 0, 16, 16);
  const std::string ring = R"(
    .11..11..11..11..
    1331133113311331.
    1331133113311331.
    .11..11..11..11..
    .11..........11..
    1331........1331.
    1331........1331.
    .11..........11..
    .11..........11..
    1331........1331.
    1331........1331.
    .11..........11..
    .11..11..11..11..
    1331133113311331.
    1331133113311331.
    .11..11..11..11..
    .................)";
  EXPECT_TRUE(PictureAt(0, 0, ring));
  // Six erasing calls take the top and two tiles down the right side.
  for (int i = 0; i < 6; ++i) Paint(6, 0, 0, 16, 16);
  EXPECT_TRUE(PictureAt(0, 3, "................\n.11............."));
  EXPECT_TRUE(PictureAt(0, 11, ".11.............\n.11..11..11..11."));
  for (int i = 0; i < 7; ++i) Paint(6, 0, 0, 16, 16);
  for (int32_t y = 0; y < 16; ++y) EXPECT_TRUE(PictureAt(0, y, std::string(16, '.'))) << y;
  for (int i = 0; i < 13; ++i) Paint(6, 0, 0, 16, 16);
  EXPECT_TRUE(PictureAt(0, 0, ring));
  Paint(6, 0, 0, 0, 0);
  EXPECT_EQ(phase, 0u);
}

// Sides that are not a multiple of 4 end in cut tiles: the tile's first
// columns or rows.
TEST_F(BorderTest, Type6CutsTheLastTileOfASide) {
  Start(4);
  for (int i = 0; i < 12; ++i) Paint(6, 1, 1, 19, 15);
  EXPECT_TRUE(PictureAt(0, 0, R"(
    ....................
    ..11..11..11..11..1.
    .133113311331133113.
    ..11.13311331133113.
    .1331.11..11..11..1.
    .1331...........11..
    ..11...........1331.
    ..11...........1331.
    .1331...........11..
    .1331...........11..
    ..11...........1331.
    ..1.11..11..11.1331.
    .13133113311331.11..
    .13133113311331.11..
    ..1.11..11..11.1331.
    ....................)"));
  // The walk is back at the top, now with the blank tile.
  Paint(6, 1, 1, 19, 15);
  EXPECT_TRUE(PictureAt(1, 1, ".....1\n....13"));
  Paint(6, 0, 0, 0, 0);
}

TEST_F(BorderTest, Type6InTheBitPlaneLayout) {
  Start(1);
  for (int i = 0; i < 13; ++i) Paint(6, 0, 8, 16, 24);
  const std::string top = ".##..##..##..##.\n#..##..##..##..#\n#..##..##..##..#\n.##..##..##..##.";
  const std::string side = ".##..........##.\n#..#........#..#\n#..#........#..#\n.##..........##.";
  EXPECT_TRUE(PictureAt(0, 8, top));
  EXPECT_TRUE(PictureAt(0, 12, side));
  EXPECT_TRUE(PictureAt(0, 16, side));
  EXPECT_TRUE(PictureAt(0, 20, top));
  Paint(6, 0, 0, 0, 0);
  EXPECT_EQ(phase, 0u);
}

// The walker state comes from the arena and goes back on release; a release
// before the first drawing has nothing to free.
TEST_F(BorderTest, Type6WalkerStateLifecycle) {
  Start(2);
  Paint(6, 0, 0, 0, 0);
  EXPECT_EQ(phase, 0u);
  Paint(6, 0, 0, 16, 16);
  ASSERT_NE(phase, 0u);
  EXPECT_GT(ArenaChunkSize(reinterpret_cast<void*>(phase)), 0u);
  const uintptr_t first = phase;
  Paint(6, 0, 0, 0, 0);
  EXPECT_EQ(phase, 0u);
  // The freed block is the first one the arena hands out again.
  void* again = ArenaAlloc(12);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(again), first);
  ArenaFree(again);
}

// Without arena room nothing is drawn and the next call tries again.
TEST_F(BorderTest, Type6WaitsForItsState) {
  Start(2);
  std::vector<void*> held;
  for (size_t n : {size_t{65536}, size_t{1024}, size_t{8}}) {
    while (void* p = ArenaAlloc(n)) held.push_back(p);
  }
  Paint(6, 0, 0, 16, 16);
  EXPECT_EQ(phase, 0u);
  EXPECT_TRUE(PictureAt(0, 0, "....\n...."));
  ArenaFree(held.back());
  held.pop_back();
  Paint(6, 0, 0, 16, 16);
  EXPECT_NE(phase, 0u);
  EXPECT_TRUE(PictureAt(0, 0, ".11.\n1331"));
  Paint(6, 0, 0, 0, 0);
  for (void* p : held) ArenaFree(p);
}

// Corners stay as they were; the first call shows tiles 0 and 1.
TEST_F(BorderTest, Type7LeavesTheCorners) {
  Start(2);
  Paint(7, 0, 0, 20, 10);
  EXPECT_TRUE(PictureAt(0, 0, R"(
    ...1111....1111.....
    ....1.......1.......
    ...1111....1111.....
    .................1.1
    .................111
    .................1.1
    .................1.1
    .......1111....11...
    .........1..........
    .......1111....11...)"));
  Paint(7, 0, 0, 20, 10);
  EXPECT_EQ(phase, 0u);
  EXPECT_TRUE(PictureAt(0, 3, "2.2..............\n2.2..............\n222..............\n2.2.............."));
}

TEST_F(BorderTest, Type7InTheBitPlaneLayout) {
  Start(1);
  Paint(7, 0, 0, 20, 10);
  EXPECT_TRUE(PictureAt(0, 0, R"(
    ####....####....####
    .#.......#.......#..
    ####....####....####
    .................#.#
    .................###
    .................#.#
    .................#.#
    ....####....####....
    ......#.......#.....
    ....####....####....)"));
}

// The edge columns are filled last, colour 1 then colour 2.
TEST_F(BorderTest, Type8TilesAndEdges) {
  Start(4);
  Paint(8, 0, 0, 10, 6);
  EXPECT_TRUE(PictureAt(0, 0, R"(
    1111.11111.
    11.1.1.111.
    11.111.111.
    1111.11111.
    11.1.1.111.
    11.111.111.
    ...........)"));
  Paint(8, 0, 0, 10, 6);
  EXPECT_TRUE(PictureAt(0, 0, R"(
    222.222.22.
    222.2.2.22.
    22222.2222.)"));
}

TEST_F(BorderTest, Type8InTheBitPlaneLayout) {
  Start(1);
  Paint(8, 0, 0, 10, 6);
  Paint(8, 0, 0, 10, 6);
  EXPECT_TRUE(PictureAt(0, 0, R"(
    ###.###.##.
    ###.#.#.##.
    #####.####.
    ###.###.##.
    ###.#.#.##.
    #####.####.
    ...........)"));
}

// The release call draws nothing and leaves every phase but type 6's alone.
TEST_F(BorderTest, ReleaseDrawsNothing) {
  for (int32_t mode : {1, 2}) {
    Start(mode);
    for (int32_t t = 1; t <= kBorderTypes; ++t) {
      phase = 1;
      if (t == 6) phase = 0;
      Paint(t, 0, 0, 0, 0);
      EXPECT_EQ(phase, t == 6 ? 0u : 1u) << "type " << t << " mode " << mode;
    }
    EXPECT_TRUE(PictureAt(0, 0, "....\n....\n....\n...."));
    ReleasePreview();
  }
}

// Objects smaller than their border, at the framebuffer's edges: bands that
// reach outside the framebuffer are cut off there, so the descriptor before
// the pixel area and whatever follows it stay intact.
TEST_F(BorderTest, BandsStayInsideTheFrameBuffer) {
  for (int32_t mode : {1, 2}) {
    Start(mode);
    FrameBuffer head;
    std::memcpy(&head, &framebuffer, offsetof(FrameBuffer, pixels));
    const int32_t w = static_cast<int32_t>(framebuffer.fbwidth);
    const int32_t h = static_cast<int32_t>(framebuffer.fbheight);
    for (int32_t t = 1; t <= kBorderTypes; ++t) {
      for (int call = 0; call < 14; ++call) {
        Paint(t, 0, 0, 2, 2);
        Paint(t, w - 2, h - 2, w, h);
        Paint(t, 0, h - 1, 3, h);
      }
      Paint(t, 0, 0, 0, 0);
      phase = 0;
    }
    EXPECT_EQ(std::memcmp(&head, &framebuffer, offsetof(FrameBuffer, pixels)), 0) << "mode " << mode;
    ReleasePreview();
  }
}

}  // namespace
}  // namespace ledview
