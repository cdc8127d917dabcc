#include <gtest/gtest.h>

#include <tuple>

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
    EXPECT_EQ(std::make_tuple(fb.fbwidth, fb.fbheight, ledconfig.width, ledconfig.height, ledconfig.depth),
              std::make_tuple(s.fbwidth, s.fbheight, s.signwidth, s.signheight, s.depth))
        << s.width << "x" << s.height << " mode " << s.mode;
    EXPECT_LT(PixelAddress(fb.fbwidth - 1, fb.fbheight - 1, s.depth), fb.pixels + kFrameBufferBytes);
    if (s.mode == 1) {  // rows 16 apart share a byte, in bands of 32 rows
      EXPECT_EQ(PixelAddress(5, 20, 1) - PixelAddress(5, 4, 1), 0);
      EXPECT_EQ(PixelAddress(5, 36, 1) - PixelAddress(5, 4, 1), 16 * fb.curfbpitch);
      EXPECT_EQ(PixelBit(4), 1);
      EXPECT_EQ(PixelBit(20), 2);
    }
    ReleasePreview();
  }
  // Release forgets the configuration.
  const auto* bytes = reinterpret_cast<const uint8_t*>(&ledconfig);
  for (size_t i = 0; i < sizeof ledconfig; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

}  // namespace
}  // namespace ledview
