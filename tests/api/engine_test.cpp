#include <gtest/gtest.h>

#include <vector>

#include "api/engine.h"
#include "content/fontface.h"
#include "display/ledconfig.h"
#include "ledview.h"
#include "memory/arena.h"
#include "memory/lock.h"
#include "support/engine_fixture.h"

namespace ledview {
namespace {

using test::EngineTest;

TEST_F(EngineTest, InitClampsTheSignToWhatTheColourModeCanHold) {
  const struct {
    int32_t width, height, mode;
    int32_t wantwidth, wantheight, wantdepth;
  } cases[] = {
      {64, 200, 9, 64, 128, 4},
      {64, 600, 2, 64, 512, 2},
      {70000, 16, 1, 4096, 16, 1},  // saturates instead of wrapping to 4464
  };
  for (const auto& c : cases) {
    ASSERT_EQ(InitLedConfigure(c.width, c.height, c.mode), 0);
    EXPECT_EQ(ledconfig.width, c.wantwidth);
    EXPECT_EQ(ledconfig.height, c.wantheight);
    EXPECT_EQ(ledconfig.depth, c.wantdepth);
    ReleasePreview();
  }
}

TEST_F(EngineTest, AMissingFontIsReportedAndReleaseTakesEverythingDown) {
  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(SetFontPathname("/nonexistent/font.ttf"), -3);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Create file failure!\n");
  ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
  EXPECT_NE(fontstate.face, nullptr);
  EXPECT_EQ(lockregistry.count, 3u);  // arena, live strings, play

  EXPECT_EQ(ReleasePreview(), 0);
  EXPECT_EQ(fontstate.face, nullptr);
  EXPECT_EQ(lockregistry.count, 0u);
  EXPECT_EQ(main_arena.base, nullptr);
  EXPECT_EQ(ArenaAlloc(100), nullptr);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&status);
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + sizeof status), std::vector<uint8_t>(sizeof status, 0));
}

}  // namespace
}  // namespace ledview
