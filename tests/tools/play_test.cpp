// ledview play on SDL's offscreen driver: keys arrive as queued events.
#include "ledview/play.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "ledview.h"
#include "support/billbuilder.h"

namespace ledview::tool {
namespace {

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
    o.width = 16, o.height = 8, o.font = LEDVIEW_TEST_FONT;
    o.tickms = r.tickms, o.secondms = r.secondms, o.durationms = r.durationms;
    PlayStats stats;
    std::string error;
    ASSERT_TRUE(PlayWindow(bill.Bytes(), o, &stats, &error)) << error;
    EXPECT_EQ(std::make_tuple(stats.ticks, stats.seconds, stats.restarts), std::make_tuple(r.ticks, r.seconds, r.restarts))
        << r.tickms;
    EXPECT_EQ(InitLedConfigure(8, 8, 1), 0) << "the engine is released afterwards";
    ReleasePreview();
  }
  // A failure says why and releases the engine too.
  for (const auto& [bytes, mode, why] : {std::tuple{std::vector<uint8_t>(8, 1), 1, "rejects the playbill"},
                                         std::tuple{bill.Bytes(), 6, "colour mode 6"}}) {
    PlayOptions o;
    o.font = LEDVIEW_TEST_FONT, o.mode = mode;
    PlayStats stats;
    std::string error;
    EXPECT_FALSE(PlayWindow(bytes, o, &stats, &error));
    EXPECT_NE(error.find(why), std::string::npos) << error;
    EXPECT_EQ(InitLedConfigure(8, 8, 1), 0) << why;
    ReleasePreview();
  }
  SDL_Quit();
}

}  // namespace
}  // namespace ledview::tool
