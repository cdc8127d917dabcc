#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "api/engine.h"
#include "content/fontface.h"
#include "display/ledconfig.h"
#include "ledview.h"
#include "memory/arena.h"
#include "memory/lock.h"
#include "platform/platform.h"
#include "support/engine_fixture.h"

namespace ledview {
namespace {

using test::EngineTest;

bool AllZero(const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  for (size_t i = 0; i < n; ++i) {
    if (b[i] != 0) return false;
  }
  return true;
}

std::string TempFile(const char* name, const char* text) {
  const auto path = std::filesystem::temp_directory_path() / name;
  std::ofstream(path) << text;
  return path.string();
}

TEST_F(EngineTest, InitClampsColourModeAndHeight) {
  EXPECT_EQ(InitLedConfigure(64, 200, 9), 0);
  EXPECT_EQ(ledconfig.depth, 4);
  EXPECT_EQ(ledconfig.height, 128);
  EXPECT_EQ(status.enginestate, kStateConfigured);
  ReleasePreview();

  EXPECT_EQ(InitLedConfigure(64, 600, 2), 0);
  EXPECT_EQ(ledconfig.height, 512);
  EXPECT_EQ(ledconfig.depth, 2);
}

TEST_F(EngineTest, InitRefusesBadArgumentsAndSecondCall) {
  EXPECT_EQ(InitLedConfigure(0, 32, 1), -1);
  EXPECT_EQ(InitLedConfigure(64, 0, 1), -1);
  EXPECT_EQ(InitLedConfigure(64, 32, 0), -1);
  EXPECT_EQ(InitLedConfigure(-5, 32, 1), -1);
  EXPECT_EQ(status.enginestate, kStateNone);
  EXPECT_EQ(ptrledconfig, &ledconfig);

  EXPECT_EQ(InitLedConfigure(64, 32, 1), 0);
  EXPECT_EQ(InitLedConfigure(64, 32, 1), -4);
  EXPECT_EQ(ReleasePreview(), 0);
  EXPECT_EQ(InitLedConfigure(64, 32, 1), 0);
}

TEST_F(EngineTest, InitWithoutArenaMemoryFailsAndStaysUnconfigured) {
  HeapBlockFailNext();
  EXPECT_EQ(InitLedConfigure(64, 32, 2), -1);
  EXPECT_EQ(status.enginestate, kStateNone);
  EXPECT_EQ(status.arenablock, nullptr);
  // The record was filled before the allocation failed.
  EXPECT_STREQ(ledconfig.name, "ledctrl1");
  EXPECT_EQ(InitLedConfigure(64, 32, 2), 0);
}

TEST_F(EngineTest, HugeWidthSaturatesInsteadOfWrapping) {
  ASSERT_EQ(InitLedConfigure(70000, 16, 1), 0);
  // 70000 would wrap to 4464 in 16 bits; the framebuffer holds 4096.
  EXPECT_EQ(ledconfig.width, 4096);
}

TEST_F(EngineTest, InitSetsUpArenaLocksAndTearsThemDown) {
  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  EXPECT_NE(main_arena.base, nullptr);
  EXPECT_EQ(main_arena.size, kArenaBlockSize);
  // Arena, live strings and the play lock.
  EXPECT_EQ(lockregistry.count, 3u);
  void* p = ArenaAlloc(100);
  EXPECT_NE(p, nullptr);

  ReleasePreview();
  EXPECT_EQ(lockregistry.count, 0u);
  EXPECT_EQ(main_arena.base, nullptr);
  EXPECT_EQ(ArenaAlloc(100), nullptr);
  EXPECT_TRUE(AllZero(&ledconfig, sizeof ledconfig));
  EXPECT_TRUE(AllZero(&status, sizeof status));
}

TEST_F(EngineTest, FontAndBufferInEitherOrderMakeTheEngineReady) {
  static uint8_t picture[64 * 32];
  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  EXPECT_EQ(SetBmpBuffer(64, 32, 64, picture), 0);
  EXPECT_EQ(status.enginestate, kStateConfigured);
  EXPECT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
  EXPECT_EQ(status.enginestate, kStateReady);
  EXPECT_NE(fontstate.face, nullptr);
  ReleasePreview();
  EXPECT_EQ(fontstate.face, nullptr);

  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  EXPECT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
  EXPECT_EQ(status.enginestate, kStateConfigured);
  EXPECT_EQ(SetBmpBuffer(64, 32, 64, picture), 0);
  EXPECT_EQ(status.enginestate, kStateReady);
  // A second font replaces the first and the engine stays ready.
  EXPECT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
  EXPECT_EQ(status.enginestate, kStateReady);
}

TEST_F(EngineTest, FontPathFaults) {
  EXPECT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), -4);
  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  EXPECT_EQ(SetFontPathname(nullptr), -1);

  testing::internal::CaptureStderr();
  EXPECT_EQ(SetFontPathname("/nonexistent/font.ttf"), -3);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Create file failure!\n");

  testing::internal::CaptureStderr();
  EXPECT_EQ(SetFontPathname(std::filesystem::temp_directory_path().c_str()), -3);
  testing::internal::GetCapturedStderr();

  const std::string notafont = TempFile("ledview_notafont.ttf", "plain text, not a font");
  EXPECT_EQ(SetFontPathname(notafont.c_str()), -1);
  EXPECT_EQ(status.fontloaded, 0);
  EXPECT_EQ(fontstate.face, nullptr);
}

TEST_F(EngineTest, FailedFontLoadInReadyStateKeepsStateButDropsFont) {
  static uint8_t picture[16 * 16];
  ASSERT_EQ(InitLedConfigure(16, 16, 2), 0);
  ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
  ASSERT_EQ(SetBmpBuffer(16, 16, 16, picture), 0);
  const std::string notafont = TempFile("ledview_notafont2.ttf", "still not a font");
  EXPECT_EQ(SetFontPathname(notafont.c_str()), -1);
  EXPECT_EQ(status.enginestate, kStateReady);
  EXPECT_EQ(status.fontloaded, 0);
}

TEST_F(EngineTest, BufferArguments) {
  static uint8_t picture[64 * 32];
  EXPECT_EQ(SetBmpBuffer(64, 32, 64, picture), -4);
  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  EXPECT_EQ(SetBmpBuffer(64, 32, 63, picture), -1);
  EXPECT_EQ(SetBmpBuffer(0, 32, 64, picture), -1);
  EXPECT_EQ(SetBmpBuffer(64, 0, 64, picture), -1);
  EXPECT_EQ(SetBmpBuffer(64, 32, 64, nullptr), -1);
  EXPECT_EQ(status.buffer, nullptr);
  // Negative sizes are accepted; nothing is ever written through them.
  EXPECT_EQ(SetBmpBuffer(64, -32, 64, picture), 0);
  EXPECT_EQ(status.bufheight, -32);
}

TEST_F(EngineTest, EndPreviewOutsidePlayChangesNothing) {
  std::vector<uint8_t> picture(64 * 32, 0x5A);
  EXPECT_EQ(EndPreview(), 0);
  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
  ASSERT_EQ(SetBmpBuffer(64, 32, 64, picture.data()), 0);
  EXPECT_EQ(EndPreview(), 0);
  EXPECT_EQ(status.enginestate, kStateReady);
  EXPECT_EQ(status.buffer, picture.data());
  for (uint8_t b : picture) ASSERT_EQ(b, 0x5A);
}

TEST_F(EngineTest, ReleaseInEveryStateReturnsToZero) {
  EXPECT_EQ(ReleasePreview(), 0);
  EXPECT_EQ(status.enginestate, kStateNone);
  EXPECT_TRUE(AllZero(&ledconfig, sizeof ledconfig));

  static uint8_t picture[8 * 8];
  ASSERT_EQ(InitLedConfigure(8, 8, 4), 0);
  ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
  ASSERT_EQ(SetBmpBuffer(8, 8, 8, picture), 0);
  EXPECT_EQ(ReleasePreview(), 0);
  EXPECT_TRUE(AllZero(&status, sizeof status));
  EXPECT_EQ(lockregistry.count, 0u);
  EXPECT_EQ(ReleasePreview(), 0);
}

TEST_F(EngineTest, LinkIndicatorFollowsLinkshow) {
  ShowLink();  // before any set-up: no configuration, no indicator
  EXPECT_EQ(linkflag, 0);
  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  ShowLink();
  EXPECT_EQ(linkflag, 0);  // linkshow defaults to 0
  ledconfig.linkshow = 1;
  ShowLink();
  EXPECT_EQ(linkflag, 1);
  HideLink();
  EXPECT_EQ(linkflag, 0);
}

}  // namespace
}  // namespace ledview
