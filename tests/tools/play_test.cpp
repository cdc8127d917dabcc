// ledview play on SDL's offscreen driver: keys arrive as queued events.
#include "ledview/play.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ledview.h"
#include "support/billbuilder.h"

namespace ledview::tool {
namespace {

TEST(PlayWindowSize, WholeScalesThatFitPlusTheInset) {
  const int32_t cases[][5] = {
      {128, 32, 0, 128 * 9 + 20, 32 * 9 + 20},  // 9 is the largest scale within 1200 pixels
      {8, 4, 0, 8 * 16 + 20, 4 * 16 + 20},      // no more than 16 pixels a LED
      {64, 16, 3, 64 * 3 + 20, 16 * 3 + 20},
      {4800, 32, 0, 1200 + 20, 8 + 20},  // too wide even at one pixel a LED: shrunk, shape kept
  };
  for (const auto& c : cases) {
    int32_t w = 0, h = 0;
    PlayWindowSize(c[0], c[1], c[2], &w, &h);
    EXPECT_EQ(w, c[3]) << c[0] << "x" << c[1];
    EXPECT_EQ(h, c[4]) << c[0] << "x" << c[1];
  }
}

// Space pauses, right arrow and '.' step one tick, r restarts, q, Escape and
// the window's close button quit; the duration ends a forgotten run.
TEST(PlayWindow, KeysStepRestartAndQuit) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");  // no GL renderer behind the surface
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  test::Bill bill;
  bill.AddPage().AddArea(0, 0, 16, 8).AddComponent(0, 0, 16, 8).AddElement(1, test::BitmapPayload(16, 8, 1));
  const struct {
    std::vector<SDL_Keycode> keys;  // 0: the close button
    int32_t tickms, secondms;
    int64_t durationms, ticks, seconds;
    int32_t restarts;
  } runs[] = {
      {{SDLK_SPACE, SDLK_PERIOD, SDLK_RIGHT, SDLK_PERIOD, SDLK_q}, 10, 1000, 60000, 3, 0, 0},
      {{SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT, SDLK_ESCAPE}, 400, 1000, 60000, 3, 1, 0},  // 1200 ms of play
      {{}, 20, 100, 200, 10, 2, 0},
      {{SDLK_SPACE, SDLK_PERIOD, SDLK_r, 0}, 10, 1000, 60000, 1, 0, 1},
  };
  for (const auto& r : runs) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    for (SDL_Keycode key : r.keys) {
      SDL_Event e{};
      e.type = key != 0 ? SDL_KEYDOWN : SDL_QUIT;
      e.key.keysym.sym = key;
      ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }
    PlayOptions o;
    o.width = 16;
    o.height = 8;
    o.font = LEDVIEW_TEST_FONT;
    o.tickms = r.tickms;
    o.secondms = r.secondms;
    o.durationms = r.durationms;
    PlayStats stats;
    std::string error;
    ASSERT_TRUE(PlayWindow(bill.Bytes(), o, &stats, &error)) << error;
    EXPECT_EQ(stats.ticks, r.ticks) << r.tickms;
    EXPECT_EQ(stats.seconds, r.seconds) << r.tickms;
    EXPECT_EQ(stats.restarts, r.restarts) << r.tickms;
    EXPECT_EQ(InitLedConfigure(8, 8, 1), 0) << "the engine is released afterwards";
    ReleasePreview();
  }
  PlayOptions o;
  o.font = LEDVIEW_TEST_FONT;
  PlayStats stats;
  std::string error;
  EXPECT_FALSE(PlayWindow({1, 2, 3, 4, 5, 6, 7, 8}, o, &stats, &error));
  EXPECT_NE(error.find("rejects the playbill"), std::string::npos) << error;
  EXPECT_EQ(InitLedConfigure(8, 8, 1), 0) << "the engine is released after a failure too";
  ReleasePreview();
  o.mode = 6;
  EXPECT_FALSE(PlayWindow(bill.Bytes(), o, &stats, &error));
  EXPECT_NE(error.find("colour mode 6"), std::string::npos) << error;
  SDL_Quit();
}

}  // namespace
}  // namespace ledview::tool
