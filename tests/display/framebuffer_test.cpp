#include <gtest/gtest.h>

#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "ledview.h"
#include "support/engine_fixture.h"

namespace ledview {
namespace {

using test::EngineTest;

struct Shape {
  int32_t width, height, mode;
  uint32_t fbwidth, fbheight;
  uint16_t signwidth, signheight;
  uint8_t depth;
};

class FrameBufferShape : public EngineTest, public testing::WithParamInterface<Shape> {};

TEST_P(FrameBufferShape, GeometryAndClamps) {
  const Shape s = GetParam();
  testing::internal::CaptureStdout();
  ASSERT_EQ(InitLedConfigure(s.width, s.height, s.mode), 0);
  testing::internal::GetCapturedStdout();
  const FrameBuffer& fb = framebuffer;
  EXPECT_EQ(fb.fbwidth, s.fbwidth);
  EXPECT_EQ(fb.fbheight, s.fbheight);
  EXPECT_EQ(fb.curfbpitch, fb.fbwidth);
  EXPECT_EQ(ledconfig.width, s.signwidth);
  EXPECT_EQ(ledconfig.height, s.signheight);
  EXPECT_EQ(ledconfig.depth, s.depth);
  EXPECT_EQ(fb.halfshift, 4u);
  EXPECT_EQ(fb.bandshift, 5u);
  EXPECT_EQ(fb.rowmask, 15u);
  EXPECT_EQ(fb.bandoffset[3], 3 * 16 * fb.curfbpitch);
  EXPECT_EQ(fb.rowoffset[15], 15 * fb.curfbpitch);
  // Every pixel of the framebuffer lies inside the pixel area.
  const uint8_t* last = PixelAddress(fb.fbwidth - 1, fb.fbheight - 1, ledconfig.depth);
  EXPECT_LT(last, fb.pixels + kFrameBufferBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, FrameBufferShape,
    testing::Values(Shape{320, 64, 1, 4096, 512, 320, 64, 1},
                    Shape{100, 600, 1, 2048, 1024, 100, 600, 1},
                    Shape{3000, 600, 1, 2048, 1024, 2048, 600, 1},
                    Shape{100, 2000, 1, 2048, 1024, 100, 1024, 1},
                    Shape{64, 32, 2, 4096, 256, 64, 32, 2},
                    Shape{64, 300, 2, 2048, 512, 64, 300, 2},
                    Shape{64, 600, 2, 2048, 512, 64, 512, 2},
                    Shape{64, 128, 4, 4096, 128, 64, 128, 4},
                    Shape{5000, 100, 4, 4096, 128, 4096, 100, 4},
                    Shape{100, 200, 3, 2048, 256, 100, 200, 4},
                    Shape{100, 300, 3, 2048, 256, 100, 256, 4}));

TEST_F(EngineTest, BitPlanePixelRule) {
  testing::internal::CaptureStdout();
  ASSERT_EQ(InitLedConfigure(320, 64, 1), 0);
  testing::internal::GetCapturedStdout();
  const uint8_t* base = framebuffer.pixels;
  EXPECT_EQ(PixelAddress(5, 20, 1) - base, 4 * 4096 + 5);
  EXPECT_EQ(PixelBit(20), 2);
  EXPECT_EQ(PixelAddress(5, 4, 1) - base, 4 * 4096 + 5);
  EXPECT_EQ(PixelBit(4), 1);
  EXPECT_EQ(PixelAddress(5, 36, 1) - base, 16 * 4096 + 4 * 4096 + 5);
  EXPECT_EQ(PixelBit(36), 1);
  EXPECT_EQ(PixelBit(63), 2);
}

TEST_F(EngineTest, BytePixelRuleAndClear) {
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
