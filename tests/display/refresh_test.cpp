#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "display/refresh.h"
#include "ledview.h"
#include "support/play_fixture.h"

namespace ledview {
namespace {

constexpr uint8_t kUntouched = 0xEE;

class RefreshTest : public test::PlayTest {
 protected:
  // A playing engine whose output goes to a buffer of the given figures,
  // filled with kUntouched.
  void PlayInto(int32_t signw, int32_t signh, int32_t mode, int32_t bufw, int32_t bufh, int32_t pitch) {
    Start(signw, signh, mode);
    buffer.assign(static_cast<size_t>(bufh > 0 ? bufh : 16) * (pitch > 0 ? pitch : 64), kUntouched);
    ASSERT_EQ(SetBmpBuffer(bufw, bufh, pitch, buffer.data()), 0);
    test::Bill bill;
    bill.AddPage().AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8).AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
    ASSERT_EQ(Play(bill), 0);
  }
  std::vector<uint8_t> buffer;
};

// Random framebuffer bytes come out by the pixel rule over the smaller of the
// buffer and the framebuffer; the rest of the buffer, row padding included,
// is left alone. Widths that are no multiple of 8 end colour mode 1's
// word-wise rows.
TEST_F(RefreshTest, CopiesThePixelRuleAndNothingElse) {
  const struct {
    int32_t signw, signh, mode, bufw, bufh, pitch;
    uint32_t copiedw, copiedh;
  } cases[] = {
      {64, 32, 4, 4101, 131, 4107, 4096, 128},  // larger than the framebuffer
      {64, 32, 2, 37, 5, 41, 37, 5},
      {3000, 600, 1, 2045, 1024, 2051, 2045, 1024},
      {320, 64, 1, 4093, 70, 4099, 4093, 70},
  };
  std::mt19937 rng(1);
  for (const auto& c : cases) {
    PlayInto(c.signw, c.signh, c.mode, c.bufw, c.bufh, c.pitch);
    for (uint8_t& b : framebuffer.pixels) b = static_cast<uint8_t>(rng());
    RefreshBuffer();
    for (uint32_t y = 0; y < static_cast<uint32_t>(c.bufh); ++y) {
      for (uint32_t x = 0; x < static_cast<uint32_t>(c.pitch); ++x) {
        uint8_t want = kUntouched;
        if (y < c.copiedh && x < c.copiedw) {
          const uint8_t byte = *PixelAddress(x, y, ledconfig.depth);
          want = ledconfig.depth == 1 ? (byte & PixelBit(y)) != 0 : byte;
        }
        ASSERT_EQ(buffer[static_cast<size_t>(y) * c.pitch + x], want) << x << "," << y << " mode " << c.mode;
      }
    }
    ReleasePreview();
  }
}

TEST_F(RefreshTest, NegativeSizesWriteNothing) {
  for (const auto& [mode, w, h, pitch] : {std::tuple{4, 64, -32, 64}, std::tuple{1, -64, 16, -64}}) {
    PlayInto(64, 32, mode, w, h, pitch);
    std::memset(framebuffer.pixels, 3, sizeof framebuffer.pixels);
    RefreshBuffer();
    for (uint8_t b : buffer) ASSERT_EQ(b, kUntouched) << mode;
    ReleasePreview();
  }
}

// The indicator is laid over the copy only, a new frame every 8 refreshes;
// hidden, it stops where it was.
TEST_F(RefreshTest, LinkIndicatorCyclesOverTheCopyOnly) {
  PlayInto(64, 32, 4, 64, 32, 64);
  ledconfig.linkshow = 1;
  ShowLink();
  ASSERT_EQ(linkflag, 1);
  linkindicator = LinkIndicator{};
  std::memset(framebuffer.pixels, 0x44, 9);
  for (int refresh = 0; refresh < 34; ++refresh) {
    RefreshBuffer();
    for (uint32_t y = 0; y < 8; ++y) {
      for (uint32_t x = 0; x < 8; ++x) ASSERT_EQ(buffer[y * 64 + x], LinkFrames[refresh / 8 % 4][y * 8 + x]) << refresh;
    }
    ASSERT_EQ(framebuffer.pixels[0], 0x44) << "the framebuffer keeps its picture";
    ASSERT_EQ(buffer[8], 0x44);
  }
  HideLink();
  RefreshBuffer();
  EXPECT_EQ(buffer[0], 0x44);
  EXPECT_EQ(linkindicator.frame, 0u);
  EXPECT_EQ(linkindicator.counter, 2u);
}

}  // namespace
}  // namespace ledview
