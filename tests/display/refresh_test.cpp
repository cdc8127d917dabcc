#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "api/engine.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "display/refresh.h"
#include "ledview.h"
#include "support/play_fixture.h"

namespace ledview {
namespace {

using test::Bill;
using test::PlayTest;

constexpr uint8_t kUntouched = 0xEE;

class RefreshTest : public PlayTest {
 protected:
  // A playing engine whose output goes to a buffer of the given figures,
  // filled with kUntouched.
  void PlayInto(int32_t signw, int32_t signh, int32_t mode, int32_t bufw, int32_t bufh,
                int32_t pitch) {
    Start(signw, signh, mode);
    const size_t rows = bufh > 0 ? static_cast<size_t>(bufh) : 16;
    buffer.assign(rows * static_cast<size_t>(pitch > 0 ? pitch : 64), kUntouched);
    ASSERT_EQ(SetBmpBuffer(bufw, bufh, pitch, buffer.data()), 0);
    Bill bill;
    bill.AddPage().AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8).AddElement(
        4, test::ClockPayload(1, 1, 1, 1, 1));
    ASSERT_EQ(Play(bill), 0);
  }
  void FillFrameBuffer(uint32_t seed) {
    std::mt19937 rng(seed);
    for (uint8_t& b : framebuffer.pixels) b = static_cast<uint8_t>(rng());
  }
  std::vector<uint8_t> buffer;
};

// What the host should see at (x, y), by the pixel rule.
uint8_t Expected(uint32_t x, uint32_t y) {
  if (ledconfig.depth == 1) return (*PixelAddress(x, y, 1) & PixelBit(y)) != 0 ? 1 : 0;
  return *PixelAddress(x, y, ledconfig.depth);
}

void ExpectCopied(const std::vector<uint8_t>& buffer, uint32_t w, uint32_t h, uint32_t pitch,
                  uint32_t copiedw, uint32_t copiedh) {
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < pitch; ++x) {
      const uint8_t got = buffer[static_cast<size_t>(y) * pitch + x];
      if (y < copiedh && x < copiedw) {
        ASSERT_EQ(got, Expected(x, y)) << x << "," << y;
      } else {
        ASSERT_EQ(got, kUntouched) << x << "," << y << " of " << w << "x" << h;
      }
    }
  }
}

TEST_F(RefreshTest, ColourModeFourCopiesRowsAndLeavesTheRestAlone) {
  PlayInto(64, 32, 4, 4101, 131, 4107);  // larger than the 4096 x 128 framebuffer
  FillFrameBuffer(1);
  RefreshBuffer();
  ExpectCopied(buffer, 4101, 131, 4107, 4096, 128);
}

TEST_F(RefreshTest, ColourModeTwoWithAnOddBufferAndPitch) {
  PlayInto(64, 32, 2, 37, 5, 41);
  FillFrameBuffer(2);
  RefreshBuffer();
  ExpectCopied(buffer, 37, 5, 41, 37, 5);
}

TEST_F(RefreshTest, ColourModeOneLargestFramebuffer) {
  PlayInto(3000, 600, 1, 2045, 1024, 2051);
  ASSERT_EQ(framebuffer.fbwidth, 2048u);
  ASSERT_EQ(framebuffer.fbheight, 1024u);
  FillFrameBuffer(3);
  RefreshBuffer();
  ExpectCopied(buffer, 2045, 1024, 2051, 2045, 1024);
}

TEST_F(RefreshTest, ColourModeOneBandsAreIndependent) {
  PlayInto(320, 64, 1, 4093, 70, 4099);
  ASSERT_EQ(framebuffer.fbwidth, 4096u);
  ClearFrameBuffer();
  *PixelAddress(5, 20, 1) |= PixelBit(20);
  *PixelAddress(4092, 47, 1) |= PixelBit(47);
  RefreshBuffer();
  EXPECT_EQ(buffer[20 * 4099 + 5], 1);
  EXPECT_EQ(buffer[4 * 4099 + 5], 0);  // same byte, the other band's bit
  EXPECT_EQ(buffer[47 * 4099 + 4092], 1);
  EXPECT_EQ(buffer[31 * 4099 + 4092], 0);
  FillFrameBuffer(4);
  RefreshBuffer();
  ExpectCopied(buffer, 4093, 70, 4099, 4093, 70);
}

TEST_F(RefreshTest, NegativeSizesWriteNothing) {
  PlayInto(64, 32, 4, 64, -32, 64);
  FillFrameBuffer(5);
  RefreshBuffer();
  for (uint8_t b : buffer) ASSERT_EQ(b, kUntouched);
  EXPECT_EQ(EndPreview(), 0);
  for (uint8_t b : buffer) ASSERT_EQ(b, kUntouched);
  ReleasePreview();

  PlayInto(64, 32, 1, -64, 16, -64);
  FillFrameBuffer(6);
  RefreshBuffer();
  for (uint8_t b : buffer) ASSERT_EQ(b, kUntouched);
}

TEST_F(RefreshTest, LinkIndicatorCyclesItsFramesOverTheCopyOnly) {
  PlayInto(64, 32, 4, 64, 32, 64);
  ledconfig.linkshow = 1;
  ShowLink();
  ASSERT_EQ(linkflag, 1);
  linkindicator.frame = 0;
  linkindicator.counter = 0;
  std::memset(framebuffer.pixels, 0x44, 64);
  for (int refresh = 0; refresh < 34; ++refresh) {
    RefreshBuffer();
    const uint32_t frame = static_cast<uint32_t>(refresh / 8) % 4;
    for (uint32_t y = 0; y < 8; ++y) {
      for (uint32_t x = 0; x < 8; ++x) {
        ASSERT_EQ(buffer[y * 64 + x], LinkFrames[frame][y * 8 + x]) << refresh;
      }
      // The framebuffer keeps its own picture.
      ASSERT_EQ(framebuffer.pixels[y * framebuffer.curfbpitch], y == 0 ? 0x44 : 0);
    }
    ASSERT_EQ(buffer[8], 0x44);
  }
  // Hidden, it stops where it was and the output is the framebuffer's again.
  HideLink();
  RefreshBuffer();
  EXPECT_EQ(buffer[0], 0x44);
  EXPECT_EQ(linkindicator.frame, 0u);
  EXPECT_EQ(linkindicator.counter, 2u);
}

TEST_F(RefreshTest, LinkIndicatorInColourModeOneLightsRedOnly) {
  PlayInto(64, 32, 1, 64, 32, 64);
  ledconfig.linkshow = 1;
  ShowLink();
  linkindicator.frame = 0;
  linkindicator.counter = 0;
  // Every corner byte lit in both bands.
  for (uint32_t r = 0; r < 8; ++r) std::memset(framebuffer.pixels + r * framebuffer.curfbpitch, 3, 8);
  RefreshBuffer();
  for (uint32_t y = 0; y < 8; ++y) {
    for (uint32_t x = 0; x < 8; ++x) {
      EXPECT_EQ(buffer[y * 64 + x], LinkFrames[0][y * 8 + x] == 1 ? 1 : 0) << x << "," << y;
      EXPECT_EQ(buffer[(y + 16) * 64 + x], 1);  // rows 16..23 share the bytes
    }
    EXPECT_EQ(framebuffer.pixels[y * framebuffer.curfbpitch + 3], 3);
  }
}

}  // namespace
}  // namespace ledview
