#include <gtest/gtest.h>

#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "ledview.h"
#include "support/engine_fixture.h"

namespace ledview {
namespace {

using test::EngineTest;

// The framebuffer's shape per colour mode, with signs larger than it cut to
// its size; every pixel of it lies inside the pixel area.
TEST_F(EngineTest, FrameBufferShapesAndClamps) {
  const struct {
    int32_t width, height, mode;
    uint32_t fbwidth, fbheight;
    uint16_t signwidth, signheight;
    uint8_t depth;
  } shapes[] = {
      {320, 64, 1, 4096, 512, 320, 64, 1},      {100, 600, 1, 2048, 1024, 100, 600, 1},
      {3000, 600, 1, 2048, 1024, 2048, 600, 1}, {100, 2000, 1, 2048, 1024, 100, 1024, 1},
      {64, 32, 2, 4096, 256, 64, 32, 2},        {64, 600, 2, 2048, 512, 64, 512, 2},
      {5000, 100, 4, 4096, 128, 4096, 100, 4},  {100, 300, 3, 2048, 256, 100, 256, 4},
  };
  for (const auto& s : shapes) {
    testing::internal::CaptureStdout();
    ASSERT_EQ(InitLedConfigure(s.width, s.height, s.mode), 0);
    testing::internal::GetCapturedStdout();
    const FrameBuffer& fb = framebuffer;
    EXPECT_EQ(fb.fbwidth, s.fbwidth) << s.width << "x" << s.height << " mode " << s.mode;
    EXPECT_EQ(fb.fbheight, s.fbheight) << s.width << "x" << s.height << " mode " << s.mode;
    EXPECT_EQ(ledconfig.width, s.signwidth) << s.width << "x" << s.height << " mode " << s.mode;
    EXPECT_EQ(ledconfig.height, s.signheight) << s.width << "x" << s.height << " mode " << s.mode;
    EXPECT_EQ(ledconfig.depth, s.depth);
    EXPECT_LT(PixelAddress(fb.fbwidth - 1, fb.fbheight - 1, s.depth), fb.pixels + kFrameBufferBytes);
    ReleasePreview();
  }
  // Release forgets the configuration.
  const auto* bytes = reinterpret_cast<const uint8_t*>(&ledconfig);
  for (size_t i = 0; i < sizeof ledconfig; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

// Colour mode 1: rows 16 apart share a byte, bit 0 for the upper row and bit
// 1 for the lower, in bands of 32 rows.
TEST_F(EngineTest, PixelRules) {
  testing::internal::CaptureStdout();
  ASSERT_EQ(InitLedConfigure(320, 64, 1), 0);
  testing::internal::GetCapturedStdout();
  const uint8_t* base = framebuffer.pixels;
  EXPECT_EQ(PixelAddress(5, 4, 1) - base, 4 * 4096 + 5);
  EXPECT_EQ(PixelAddress(5, 20, 1) - base, 4 * 4096 + 5);
  EXPECT_EQ(PixelAddress(5, 36, 1) - base, 16 * 4096 + 4 * 4096 + 5);
  EXPECT_EQ(PixelBit(4), 1);
  EXPECT_EQ(PixelBit(20), 2);
  EXPECT_EQ(PixelBit(36), 1);
  EXPECT_EQ(PixelBit(63), 2);
  ReleasePreview();
  testing::internal::CaptureStdout();
  ASSERT_EQ(InitLedConfigure(64, 32, 2), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(PixelAddress(10, 3, 2) - framebuffer.pixels, 3 * 4096 + 10);
  *PixelAddress(10, 3, 2) = 3;
  framebuffer.pixels[kFrameBufferBytes - 1] = 7;
  ClearFrameBuffer();
  EXPECT_EQ(*PixelAddress(10, 3, 2), 0);
  EXPECT_EQ(framebuffer.pixels[kFrameBufferBytes - 1], 0);
}

}  // namespace
}  // namespace ledview
