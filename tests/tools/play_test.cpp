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
  int32_t w = 0, h = 0;
  PlayWindowSize(128, 32, 0, &w, &h);
  EXPECT_EQ(w, 128 * 9 + 20);  // 9 is the largest scale within 1200 pixels
  EXPECT_EQ(h, 32 * 9 + 20);
  PlayWindowSize(8, 4, 0, &w, &h);
  EXPECT_EQ(w, 8 * 16 + 20);  // no more than 16 pixels a LED
  EXPECT_EQ(h, 4 * 16 + 20);
  PlayWindowSize(64, 16, 3, &w, &h);
  EXPECT_EQ(w, 64 * 3 + 20);
  EXPECT_EQ(h, 16 * 3 + 20);
  // Wider than the screen even at one pixel a LED: shrunk, shape kept.
  PlayWindowSize(4800, 32, 0, &w, &h);
  EXPECT_EQ(w, 1200 + 20);
  EXPECT_EQ(h, 8 + 20);
}

class PlayCommandTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    // The driver's own framebuffer: no GL renderer behind the window surface.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  static void TearDownTestSuite() { SDL_Quit(); }
  void SetUp() override { SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT); }

  static void Key(SDL_Keycode key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
  }

  static std::vector<uint8_t> Bill() {
    test::Bill bill;
    bill.AddPage().AddArea(0, 0, 16, 8).AddComponent(0, 0, 16, 8).AddElement(
        1, test::BitmapPayload(16, 8, 1));
    return bill.Bytes();
  }

  static PlayOptions Options() {
    PlayOptions o;
    o.width = 16;
    o.height = 8;
    o.font = LEDVIEW_TEST_FONT;
    o.durationms = 60000;  // a forgotten quit key ends the test anyway
    return o;
  }
};

TEST_F(PlayCommandTest, PausedStepsGiveOneTickEach) {
  Key(SDLK_SPACE);
  Key(SDLK_PERIOD);
  Key(SDLK_RIGHT);
  Key(SDLK_PERIOD);
  Key(SDLK_q);
  PlayStats stats;
  std::string error;
  ASSERT_TRUE(PlayWindow(Bill(), Options(), &stats, &error)) << error;
  EXPECT_EQ(stats.ticks, 3);
  EXPECT_EQ(stats.seconds, 0);
}

TEST_F(PlayCommandTest, StepsCrossingASecondDeliverIt) {
  PlayOptions o = Options();
  o.tickms = 400;
  Key(SDLK_RIGHT);
  Key(SDLK_RIGHT);
  Key(SDLK_RIGHT);  // 1200 ms of play
  Key(SDLK_ESCAPE);
  PlayStats stats;
  std::string error;
  ASSERT_TRUE(PlayWindow(Bill(), o, &stats, &error)) << error;
  EXPECT_EQ(stats.ticks, 3);
  EXPECT_EQ(stats.seconds, 1);
}

TEST_F(PlayCommandTest, RealTimeRunsForTheDuration) {
  PlayOptions o = Options();
  o.durationms = 200;
  o.tickms = 20;
  o.secondms = 100;
  PlayStats stats;
  std::string error;
  ASSERT_TRUE(PlayWindow(Bill(), o, &stats, &error)) << error;
  EXPECT_EQ(stats.ticks, 10);
  EXPECT_EQ(stats.seconds, 2);
}

TEST_F(PlayCommandTest, RestartAndCloseTheWindow) {
  Key(SDLK_SPACE);
  Key(SDLK_PERIOD);
  Key(SDLK_r);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  PlayStats stats;
  std::string error;
  ASSERT_TRUE(PlayWindow(Bill(), Options(), &stats, &error)) << error;
  EXPECT_EQ(stats.restarts, 1);
  // The engine and the window are gone afterwards.
  EXPECT_EQ(InitLedConfigure(8, 8, 1), 0);
  ReleasePreview();
}

TEST_F(PlayCommandTest, FailuresSayWhyAndLeaveNothingOpen) {
  PlayStats stats;
  std::string error;
  std::vector<uint8_t> junk = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_FALSE(PlayWindow(junk, Options(), &stats, &error));
  EXPECT_NE(error.find("rejects the playbill"), std::string::npos) << error;

  PlayOptions o = Options();
  o.mode = 6;
  EXPECT_FALSE(PlayWindow(Bill(), o, &stats, &error));
  EXPECT_NE(error.find("colour mode 6"), std::string::npos) << error;

  o = Options();
  o.font = "/nonexistent/font.ttf";
  EXPECT_FALSE(PlayWindow(Bill(), o, &stats, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(stats.ticks, 0);
  EXPECT_EQ(InitLedConfigure(8, 8, 1), 0);
  ReleasePreview();
}

}  // namespace
}  // namespace ledview::tool
