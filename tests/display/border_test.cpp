#include <gtest/gtest.h>

#include <algorithm>
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

class BorderTest : public test::EngineTest {
 protected:
  // Colour mode 1 starts lit all over, so that darkened pixels show.
  void Start(int32_t mode) {
    ReleasePreview();
    testing::internal::CaptureStdout();
    const int32_t rc = InitLedConfigure(64, 64, mode);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(rc, 0);
    ClearFrameBuffer();
    if (mode == 1) test::FillFrameBuffer(1);
    phase = 0;
  }
  void Paint(int32_t t, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    bordertable[t - 1].painter(x0, y0, x1, y1, &phase);
  }
  uintptr_t phase = 0;
};

// A picture written row after row, separated by spaces.
std::string Rows(std::string s) {
  std::replace(s.begin(), s.end(), ' ', '\n');
  return s;
}

// Each border type around (0, 0) .. (w, h) after a number of calls, one column beyond; and the number of
// calls after which its phase is 0 again. Colour mode 1 where its bands differ; its chain of type 2 and
// its type 8 repeat the logic of the others in one colour.
TEST_F(BorderTest, EveryTypeInEachLayout) {
  const struct {
    int32_t mode, type, w, h, calls, cycle;
    const char* picture;
  } cases[] = {
      // The side bands, drawn last, take the corners; the bottom band repeats the tile from its own first row.
      {2, 1, 10, 9, 1, 2, ".11..1.11.. 1331131331. 1331131331. .11..1.11.. .11....11.. 1331.11331. "
                          "1331131331. .11.13.11.. .11..1.11.."},
      {2, 2, 7, 3, 2, 3, "1123123. 3.....1. 2132132."},  // a three-colour chain clockwise back onto (0, 0)
      // The phase advances before drawing; horizontal tiles from the right.
      {2, 3, 10, 7, 1, 3, "2....2...2. ........... ..11...1... ........... 2..1.....2. ........... ..1..2.1..."},
      {2, 4, 5, 3, 2, 4, "33333. 3...3. 33333."},
      {2, 5, 8, 4, 1, 2, "......... .33..33.. .33..33.. ........."},
      {2, 7, 12, 8, 1, 2, "...1111...... ....1........ ...1111...... .........1.1. .........111. "
                          ".......11.... ............. .......11...."},  // corners stay as they were
      {2, 8, 10, 6, 2, 2, "222.222.22. 222.2.2.22. 22222.2222. 222.222.22. 222.2.2.22. 22222.2222."},
      // The side bands run over rows y0 + 3 .. y1 - 6 only.
      {1, 1, 10, 10, 1, 2, "..........# .##..##..## .##..##..## ..........# .##.##.##.# ########### "
                           "..........# .##..##..## .##..##..## ..........#"},
      // Drawn before the phase advances; bands from the left, shortened.
      {1, 3, 10, 8, 1, 3, "#...#...### ........### ........### #..####..## ...####...# ........### "
                          "........### #...#...###"},
      {1, 4, 5, 3, 1, 4, ".....# .###.# .....#"},
      {1, 7, 12, 8, 1, 2, "####....##### .#.......#..# ####....##### ...#######.## ...########## "
                          "....####....# ......#.....# ....####....#"},
  };
  for (const auto& c : cases) {
    Start(c.mode);
    for (int i = 0; i < c.calls; ++i) Paint(c.type, 0, 0, c.w, c.h);
    EXPECT_TRUE(test::PictureAt(0, 0, Rows(c.picture))) << "type " << c.type << " mode " << c.mode;
    int calls = c.calls;
    for (; phase != 0 && calls < 10; ++calls) Paint(c.type, 0, 0, c.w, c.h);
    EXPECT_EQ(calls, c.cycle) << "type " << c.type << " mode " << c.mode;
  }
}

// Type 6 lays one tile a call around the border, then as many blank ones, then starts again; its walker
// state comes from the arena and goes back on release. Without arena room it draws nothing and tries again
// on the next call.
TEST_F(BorderTest, Type6WaitsWalksErasesAndReleases) {
  const std::string ring = Rows(".11..11..11.. 133113311331. 133113311331. .11..11..11.. .11......11.. 1331....1331. "
                                "1331....1331. .11......11.. .11..11..11.. 133113311331. 133113311331. .11..11..11..");
  Start(2);
  std::vector<void*> held;
  for (size_t n : {size_t{65536}, size_t{1024}, size_t{8}}) {
    while (void* p = ArenaAlloc(n)) held.push_back(p);
  }
  Paint(6, 0, 0, 12, 12);
  EXPECT_EQ(phase, 0u);
  EXPECT_TRUE(test::PictureAt(0, 0, "....\n...."));
  ArenaFree(held.back());
  held.pop_back();
  Paint(6, 0, 0, 12, 12);
  EXPECT_TRUE(test::PictureAt(0, 0, ".11.\n1331"));
  for (int i = 1; i < 9; ++i) Paint(6, 0, 0, 12, 12);
  EXPECT_TRUE(test::PictureAt(0, 0, ring));
  for (int i = 0; i < 9; ++i) Paint(6, 0, 0, 12, 12);
  for (int32_t y = 0; y < 12; ++y) EXPECT_TRUE(test::PictureAt(0, y, std::string(13, '.'))) << y;
  for (int i = 0; i < 9; ++i) Paint(6, 0, 0, 12, 12);
  EXPECT_TRUE(test::PictureAt(0, 0, ring));
  const uintptr_t state = phase;
  Paint(6, 0, 0, 0, 0);
  EXPECT_EQ(phase, 0u);
  void* again = ArenaAlloc(12);  // the freed block is the first handed out
  EXPECT_EQ(reinterpret_cast<uintptr_t>(again), state);
  ArenaFree(again);
  for (void* p : held) ArenaFree(p);

  Start(1);
  for (int i = 0; i < 9; ++i) Paint(6, 0, 0, 12, 12);
  EXPECT_TRUE(test::PictureAt(0, 0, Rows(".##..##..##.# #..##..##..## #..##..##..## .##..##..##.# .##.####.##.#")));
  Paint(6, 0, 0, 0, 0);
  EXPECT_EQ(phase, 0u);
}

// The release call draws nothing and leaves every phase but type 6's alone. Objects smaller than their
// border at the framebuffer's edges: bands are cut off there, so the descriptor before the pixels stays intact.
TEST_F(BorderTest, ReleaseAndBandsStayInsideTheFrameBuffer) {
  for (int32_t mode : {1, 2}) {
    Start(mode);
    ClearFrameBuffer();
    for (int32_t t = 1; t <= kBorderTypes; ++t) {
      phase = t == 6 ? 0 : 1;
      Paint(t, 0, 0, 0, 0);
      EXPECT_EQ(phase, t == 6 ? 0u : 1u) << "type " << t << " mode " << mode;
    }
    EXPECT_TRUE(test::PictureAt(0, 0, "....\n....\n....\n...."));
    FrameBuffer head;
    std::memcpy(&head, &framebuffer, offsetof(FrameBuffer, pixels));
    const int32_t w = static_cast<int32_t>(framebuffer.fbwidth), h = static_cast<int32_t>(framebuffer.fbheight);
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
  }
}

}  // namespace
}  // namespace ledview
