// The window family on SDL's offscreen video driver, surfaces read back: exact paints, messages and misuse.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "api/engine.h"
#include "api/preview.h"
#include "ledview.h"
#include "platform/platform.h"
#include "support/billbuilder.h"

namespace ledview {
namespace {

constexpr uint32_t kMarker = 0x336699;  // where nothing was painted
constexpr uint32_t kRgb[8] = {0x000000, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

uint32_t Led(int32_t x, int32_t y) { return kRgb[(x + 3 * y) & 7]; }  // the test picture's LED (x, y)

std::vector<uint8_t> ColourBill(uint16_t width, uint16_t height) {  // Led colours, four bits, low nibble first
  bill::BmpBlock p{width, height, 9, (width + 1u) / 2u, {}};
  p.rows.resize(size_t{p.pitch} * height);
  for (int32_t i = 0; i < width * height; ++i) {
    const int32_t x = i % width, y = i / width;
    p.rows[y * p.pitch + x / 2] |= static_cast<uint8_t>(((x + 3 * y) & 7) << (x % 2 * 4));
  }
  test::Bill bill;
  bill.AddPage().AddArea(0, 0, width, height).AddComponent(0, 0, width, height).AddElement(1, bill::BmpBlockBytes(p));
  return bill.Bytes();
}

TEST(PreviewWithoutVideo, NoHandleIsAWindowAndRowsDoNotWrap) {
  ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);  // the window suite starts it and stops it again
  int notawindow = 0;
  EXPECT_EQ(LEDPreview_InitLedConfigure(&notawindow, 16, 8, 1, LEDVIEW_TEST_FONT), -1);
  EXPECT_EQ(RowPitch(32, INT32_MAX), -1);  // no row wraps
}

class PreviewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);  // CI has no display
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");  // the driver's own surface
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  static void TearDownTestSuite() { SDL_Quit(); }
  void TearDown() override {
    LEDPreview_ReleasePreview();
    if (w != nullptr) SDL_DestroyWindow(w);
  }

  // Plays the colour picture of a sign of the given size, on a fresh hidden window when a size is given.
  void Play(int32_t signwidth, int32_t signheight, int width = 0, int height = 0, int32_t mode = 4) {
    if (width > 0) {
      TearDown();
      w = SDL_CreateWindow("preview test", 0, 0, width, height, SDL_WINDOW_HIDDEN);
      ASSERT_NE(w, nullptr) << SDL_GetError();
    }
    Fill();
    ASSERT_EQ(LEDPreview_InitLedConfigure(w, signwidth, signheight, mode, LEDVIEW_TEST_FONT), 0);
    const std::vector<uint8_t> bytes = ColourBill(static_cast<uint16_t>(signwidth), static_cast<uint16_t>(signheight));
    ASSERT_EQ(LEDPreview_SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), 0);
    LEDPreview_NotifySecond();
  }
  void Fill() {
    SDL_Surface* s = SDL_GetWindowSurface(w);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, kMarker >> 16, (kMarker >> 8) & 0xFF, kMarker & 0xFF));
  }
  uint32_t Pixel(int x, int y) const {
    SDL_Surface* s = SDL_GetWindowSurface(w);
    uint8_t r, g, b;
    SDL_GetRGB(static_cast<const uint32_t*>(s->pixels)[y * s->pitch / 4 + x], s->format, &r, &g, &b);  // 32-bit
    return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
  }
  int PaintedAfterTicks() {  // pixels of the 100 x 40 window that are not the marker after ticks and a second
    Fill();
    for (int i = 0; i < 30; ++i) LEDPreview_NotifyActtion();
    LEDPreview_NotifySecond();
    int count = 0;
    for (int i = 0; i < 100 * 40; ++i) count += Pixel(i % 100, i / 100) != kMarker;
    return count;
  }

  SDL_Window* w = nullptr;
};

TEST_F(PreviewTest, TheSignIsStretchedOrShrunkInsideTheInset) {
  Play(16, 4, 28, 22);  // 16 x 4 LEDs into 8 x 2 pixels: the LED under each centre
  for (int i = 0; i < 16; ++i) EXPECT_EQ(Pixel(10 + i % 8, 10 + i / 8), Led(2 * (i % 8) + 1, 2 * (i / 8) + 1)) << i;
  Play(61, 3, 81, 23);  // 61 LEDs a row in 64-byte rows do not shear
  for (int i = 0; i < 61 * 3; ++i) ASSERT_EQ(Pixel(10 + i % 61, 10 + i / 61), Led(i % 61, i / 61)) << i;
  Play(16, 2, 36, 22, 1);  // one colour: bit 0 of each value lights a LED, in red
  for (int x = 0; x < 16; ++x) EXPECT_EQ(Pixel(10 + x, 11), (x + 3) & 1 ? 0xFF0000u : 0u) << x;
}

TEST_F(PreviewTest, MisuseIsRefusedAndSaidAndNothingIsPaintedAmiss) {
  Play(8, 2, 100, 40);
  const std::vector<uint8_t> bytes = ColourBill(8, 2);
  testing::internal::CaptureStderr();
  EXPECT_EQ(LEDPreview_SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), -3);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: 节目文件内容错误!\n");
  EXPECT_EQ(PaintedAfterTicks(), 0);
  LEDPreview_ReleasePreview();
  for (const char* font : {"/nonexistent/font.ttf", "/proc/self/status"}) {  // the second opens
    testing::internal::CaptureStderr();
    EXPECT_EQ(LEDPreview_InitLedConfigure(w, 16, 8, 2, font), font[1] == 'n' ? -3 : -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Error: 内码字体错误!\n"), std::string::npos);
  }
  // The engine released under the wrapper: a refused set-up drops the stale picture, a good one paints its own.
  Play(8, 2);
  ASSERT_EQ(ReleasePreview(), 0);
  HeapBlockFailNext();
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 8, 2, 4, LEDVIEW_TEST_FONT), -1);
  EXPECT_EQ(PaintedAfterTicks(), 0);
  Play(4, 2);  // twenty pixels a LED inside the 10-pixel inset: the far corner of the far LED
  EXPECT_EQ(Pixel(89, 29), Led(3, 1));
  EXPECT_EQ(Pixel(70, 20), Led(3, 1));
}

}  // namespace
}  // namespace ledview
