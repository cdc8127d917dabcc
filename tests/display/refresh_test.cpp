#include <gtest/gtest.h>

#include <cstring>
#include <random>
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
  PlayInto(64, 32, 4, 64, -32, 64);
  std::memset(framebuffer.pixels, 3, sizeof framebuffer.pixels);
  RefreshBuffer();
  EXPECT_EQ(EndPreview(), 0);
  for (uint8_t b : buffer) ASSERT_EQ(b, kUntouched);
  ReleasePreview();
  PlayInto(64, 32, 1, -64, 16, -64);
  std::memset(framebuffer.pixels, 3, sizeof framebuffer.pixels);
  RefreshBuffer();
  for (uint8_t b : buffer) ASSERT_EQ(b, kUntouched);
}

// The indicator is laid over the copy only, a new frame every 8 refreshes;
// hidden, it stops where it was. Colour mode 1 shows its red pixels only.
TEST_F(RefreshTest, LinkIndicatorCyclesOverTheCopyOnly) {
  for (int32_t mode : {4, 1}) {
    PlayInto(64, 32, mode, 64, 32, 64);
    ledconfig.linkshow = 1;
    ShowLink();
    ASSERT_EQ(linkflag, 1);
    linkindicator = LinkIndicator{};
    for (uint32_t r = 0; r < 24; ++r) std::memset(framebuffer.pixels + r * framebuffer.curfbpitch, 3, 9);
    for (int refresh = 0; refresh < 34; ++refresh) {
      RefreshBuffer();
      const uint8_t* frame = LinkFrames[mode == 1 ? 0 : refresh / 8 % 4];
      for (uint32_t y = 0; y < 8; ++y) {
        for (uint32_t x = 0; x < 8; ++x) {
          const uint8_t want = mode == 1 ? frame[y * 8 + x] == 1 : frame[y * 8 + x];
          ASSERT_EQ(buffer[y * 64 + x], want) << x << "," << y << " refresh " << refresh << " mode " << mode;
        }
        ASSERT_EQ(framebuffer.pixels[y * framebuffer.curfbpitch + 3], 3) << "the framebuffer keeps its picture";
        ASSERT_EQ(buffer[y * 64 + 8], mode == 1 ? 1 : 3);
        if (mode == 1) ASSERT_EQ(buffer[(y + 16) * 64], 1) << "rows 16..23 share the bytes";
      }
      if (mode == 1) break;
    }
    HideLink();
    RefreshBuffer();
    EXPECT_EQ(buffer[0], mode == 1 ? 1 : 3);
    if (mode == 4) {
      EXPECT_EQ(linkindicator.frame, 0u);
      EXPECT_EQ(linkindicator.counter, 2u);
    }
    ReleasePreview();
  }
}

}  // namespace
}  // namespace ledview
