// ledview play on SDL's offscreen driver, keys queued as events: space pauses, right arrow and
// '.' step one tick, r restarts, q, Escape and the close button (key 0) quit; the duration ends.
#include "ledview/play.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "ledview.h"
#include "support/billbuilder.h"

using namespace ledview::tool;

TEST(PlayWindow, KeysStepRestartAndQuit) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");  // no GL renderer behind the surface
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  ledview::test::Bill bill;
  bill.AddPage().AddArea(0, 0, 16, 8).AddComponent(0, 0, 16, 8).AddElement(1, ledview::test::BitmapPayload(16, 8, 1));
  const struct { std::vector<SDL_Keycode> keys; int32_t tickms, secondms, durationms; std::vector<int64_t> stats; } runs[] = {
      {{SDLK_SPACE, SDLK_PERIOD, SDLK_RIGHT, SDLK_PERIOD, SDLK_q}, 10, 1000, 60000, {3, 0, 0}},  // ticks, seconds, restarts
      {{SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT, SDLK_ESCAPE}, 400, 1000, 60000, {3, 1, 0}},  // 1200 ms of play
      {{}, 20, 100, 200, {10, 2, 0}},
      {{SDLK_SPACE, SDLK_PERIOD, SDLK_r, 0}, 10, 1000, 60000, {1, 0, 1}},
  };
  for (const auto& r : runs) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    for (SDL_Event e{}; SDL_Keycode key : r.keys) {
      e.type = key != 0 ? SDL_KEYDOWN : SDL_QUIT, e.key.keysym.sym = key;
      ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }
    PlayStats s;  std::string error;
    ASSERT_TRUE(PlayWindow(bill.Bytes(), {.width = 16, .height = 8, .font = LEDVIEW_TEST_FONT, .tickms = r.tickms,
                                          .secondms = r.secondms, .durationms = r.durationms}, &s, &error)) << error;
    EXPECT_EQ(std::vector<int64_t>({s.ticks, s.seconds, s.restarts}), r.stats);
    EXPECT_EQ(InitLedConfigure(8, 8, 1), 0) << "the engine is released afterwards";
    ReleasePreview();
  }
  SDL_Quit();
}
