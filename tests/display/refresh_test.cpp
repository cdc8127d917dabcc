#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "display/refresh.h"
#include "support/play_fixture.h"

namespace ledview {
namespace {

constexpr uint8_t kUntouched = 0xEE;

class RefreshTest : public test::PlayTest {
 protected:
  // A playing engine whose output goes to a buffer of the given figures filled with kUntouched.
  void PlayInto(int32_t signw, int32_t signh, int32_t mode, int32_t bufw, int32_t bufh, int32_t pitch) {
    ReleasePreview();
    Start(signw, signh, mode);
    stride = pitch > 0 ? pitch : 64;
    buffer.assign(static_cast<size_t>(bufh > 0 ? bufh : 16) * stride, kUntouched);
    ASSERT_EQ(SetBmpBuffer(bufw, bufh, pitch, buffer.data()), 0);
    test::Bill bill;
    bill.AddPage().AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8).AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
    ASSERT_EQ(Play(bill), 0);
  }
  std::vector<uint8_t> buffer;
  size_t stride = 0;
};

// Random framebuffer bytes come out by the pixel rule over the smaller of buffer and framebuffer, the rest
// (row padding too) untouched, nothing for negative sizes; a width off a multiple of 8 ends colour mode 1's
// word-wise rows. The link indicator lies over the copy only, a new frame every 8 refreshes; hidden, it stops.
TEST_F(RefreshTest, CopiesThePixelRuleAndTheLinkIndicatorOnly) {
  const struct { int32_t signw, signh, mode, bufw, bufh, pitch; uint32_t copiedw, copiedh; } cases[] = {
      {64, 32, 4, 4101, 131, 4107, 4096, 128}, {3000, 600, 1, 2045, 1024, 2051, 2045, 1024},  // from the corner
      {64, 32, 4, 64, -32, 64, 0, 0}, {64, 32, 1, -64, 16, -64, 0, 0},                       // nothing
  };
  std::mt19937 rng(1);
  for (const auto& c : cases) {
    PlayInto(c.signw, c.signh, c.mode, c.bufw, c.bufh, c.pitch);
    for (uint8_t& b : framebuffer.pixels) b = static_cast<uint8_t>(rng());
    RefreshBuffer();
    for (size_t i = 0; i < buffer.size(); ++i) {
      const uint32_t x = static_cast<uint32_t>(i % stride), y = static_cast<uint32_t>(i / stride);
      const bool copied = x < c.copiedw && y < c.copiedh;
      const uint8_t byte = copied ? *PixelAddress(x, y, ledconfig.depth) : kUntouched;
      ASSERT_EQ(buffer[i], copied && ledconfig.depth == 1 ? (byte & PixelBit(y)) != 0 : byte) << x << "," << y;
    }
  }

  PlayInto(64, 32, 4, 64, 32, 64);
  ledconfig.linkshow = 1;
  ShowLink();
  linkindicator = LinkIndicator{};
  std::memset(framebuffer.pixels, 0x44, 9);
  for (int refresh = 0; refresh < 34; ++refresh) {
    RefreshBuffer();
    for (uint32_t i = 0; i < 64; ++i) ASSERT_EQ(buffer[i / 8 * 64 + i % 8], LinkFrames[refresh / 8 % 4][i]) << refresh;
    // Beside the indicator the copy goes on; under it the framebuffer keeps its picture.
    ASSERT_EQ(std::make_tuple(buffer[8], framebuffer.pixels[0]), std::make_tuple(0x44, 0x44)) << refresh;
  }
  HideLink();
  RefreshBuffer();
  EXPECT_EQ(std::make_tuple(buffer[0], linkindicator.frame, linkindicator.counter), std::make_tuple(0x44, 0u, 2u));
}

}  // namespace
}  // namespace ledview
