// Codes and states of the exported calls in any order are the calls fuzz
// target's; these are what it cannot know.
#include <gtest/gtest.h>

#include <vector>

#include "content/fontface.h"
#include "display/ledconfig.h"
#include "ledview.h"
#include "memory/lock.h"
#include "support/engine_fixture.h"

namespace ledview {
namespace {

using test::EngineTest;

TEST_F(EngineTest, InitClampsTheSignToWhatTheColourModeCanHold) {
  const int32_t cases[][6] = {
      {64, 200, 9, 64, 128, 4}, {64, 600, 2, 64, 512, 2}, {70000, 16, 1, 4096, 16, 1}};  // no wrap to 4464
  for (const auto& c : cases) {
    ASSERT_EQ(InitLedConfigure(c[0], c[1], c[2]), 0);
    EXPECT_EQ(std::vector<int32_t>({ledconfig.width, ledconfig.height, ledconfig.depth}),
              std::vector<int32_t>({c[3], c[4], c[5]}));
    ReleasePreview();
  }
}

TEST_F(EngineTest, AMissingFontIsReportedAndReleaseTakesEverythingDown) {
  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(SetFontPathname("/nonexistent/font.ttf"), -3);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Create file failure!\n");
  ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
  EXPECT_EQ(lockregistry.count, 3u);  // arena, live strings, play
  EXPECT_EQ(ReleasePreview(), 0);
  EXPECT_EQ(fontstate.face, nullptr);
  EXPECT_EQ(lockregistry.count, 0u);
}

}  // namespace
}  // namespace ledview
