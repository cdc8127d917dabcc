// The window family on SDL's offscreen video driver: real windows without a
// display, whose surfaces the tests read back.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "api/engine.h"
#include "api/preview.h"
#include "ledview.h"
#include "platform/platform.h"
#include "platform/window.h"
#include "support/billbuilder.h"

namespace ledview {
namespace {

// What the window shows where nothing was painted.
constexpr uint32_t kMarker = 0x336699;

constexpr uint32_t kColourRgb[8] = {0x000000, 0xFF0000, 0x00FF00, 0xFFFF00,
                                    0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// The colour value the test picture gives LED (x, y).
uint8_t ColourAt(int32_t x, int32_t y) { return static_cast<uint8_t>((x + 3 * y) & 7); }

// One picture element covering a width x height sign, four bits a pixel
// (first pixel in the low nibble), LED (x, y) in ColourAt(x, y).
std::vector<uint8_t> ColourBill(uint16_t width, uint16_t height) {
  bill::BmpBlock picture;
  picture.width = width;
  picture.height = height;
  picture.format = 9;
  picture.pitch = (width + 1u) / 2u;
  picture.rows.assign(static_cast<size_t>(picture.pitch) * height, 0);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      picture.rows[static_cast<size_t>(y) * picture.pitch + x / 2] |=
          static_cast<uint8_t>(ColourAt(x, y) << (x % 2 == 0 ? 0 : 4));
    }
  }
  test::Bill bill;
  bill.AddPage().AddArea(0, 0, width, height).AddComponent(0, 0, width, height).AddElement(
      1, bill::BmpBlockBytes(picture));
  return bill.Bytes();
}

TEST(PreviewPitch, RowsAreWholeWordsOrWholeBytes) {
  EXPECT_EQ(RowPitch(8, 61), 64);
  EXPECT_EQ(RowPitch(8, 64), 64);
  EXPECT_EQ(RowPitch(1, 9), 2);
  EXPECT_EQ(RowPitch(4, 9), 8);
  EXPECT_EQ(RowPitch(24, 3), 12);
  EXPECT_EQ(RowPitch(32, INT32_MAX), -1);  // too wide for an i32 row: no wrap
}

TEST(PreviewWithoutVideo, NoHandleIsAWindow) {
  // The window suite starts SDL's video for itself and stops it again.
  ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  int notawindow = 0;
  EXPECT_EQ(LEDPreview_InitLedConfigure(&notawindow, 16, 8, 1, LEDVIEW_TEST_FONT), -1);
  EXPECT_EQ(status.enginestate, kStateNone);
  LEDPreview_NotifyActtion();
  EXPECT_EQ(LEDPreview_ReleasePreview(), 0);
}

class PreviewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);  // CI has no display
    // The driver's own framebuffer: no GL renderer behind the window surface.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  static void TearDownTestSuite() { SDL_Quit(); }

  void SetUp() override { LEDPreview_ReleasePreview(); }
  void TearDown() override {
    LEDPreview_ReleasePreview();
    for (SDL_Window* w : windows_) SDL_DestroyWindow(w);
  }

  // A hidden window whose drawing area shows kMarker everywhere.
  SDL_Window* MakeWindow(int width, int height) {
    SDL_Window* w = SDL_CreateWindow("preview test", 0, 0, width, height, SDL_WINDOW_HIDDEN);
    EXPECT_NE(w, nullptr) << SDL_GetError();
    if (w != nullptr) windows_.push_back(w), Fill(w);
    return w;
  }
  static void Fill(SDL_Window* w) {
    SDL_Surface* s = SDL_GetWindowSurface(w);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, kMarker >> 16, (kMarker >> 8) & 0xFF, kMarker & 0xFF));
  }
  static uint32_t Pixel(SDL_Window* w, int x, int y) {
    SDL_Surface* s = SDL_GetWindowSurface(w);
    uint32_t value = 0;
    std::memcpy(&value, static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel,
                s->format->BytesPerPixel);
    uint8_t r, g, b;
    SDL_GetRGB(value, s->format, &r, &g, &b);
    return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
  }
  // Pixels outside [left, right) x [top, bottom) that are not the marker.
  static int PaintedOutside(SDL_Window* w, int left, int top, int right, int bottom) {
    int width = 0, height = 0, count = 0;
    SDL_GetWindowSizeInPixels(w, &width, &height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const bool in = x >= left && x < right && y >= top && y < bottom;
        count += !in && Pixel(w, x, y) != kMarker;
      }
    }
    return count;
  }
  static int Painted(SDL_Window* w) { return PaintedOutside(w, 0, 0, 0, 0); }

  // Initialises on w and plays the colour picture until it shows.
  void Play(SDL_Window* w, int32_t width, int32_t height) {
    ASSERT_EQ(LEDPreview_InitLedConfigure(w, width, height, 4, LEDVIEW_TEST_FONT), 0);
    const std::vector<uint8_t> bytes = ColourBill(static_cast<uint16_t>(width), static_cast<uint16_t>(height));
    ASSERT_EQ(LEDPreview_SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), 0);
    LEDPreview_NotifySecond();
    for (int i = 0; i < 40; ++i) LEDPreview_NotifyActtion();
  }

  std::vector<SDL_Window*> windows_;
};

TEST_F(PreviewTest, TheSignIsStretchedOrShrunkInsideTheInset) {
  // 8 x 2 LEDs in a 100 x 40 window: ten pixels a LED inside the inset.
  SDL_Window* w = MakeWindow(100, 40);
  Play(w, 8, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 8; ++x) {
      for (int corner : {0, 9, 90, 99}) {
        EXPECT_EQ(Pixel(w, 10 + 10 * x + corner % 10, 10 + 10 * y + corner / 10), kColourRgb[ColourAt(x, y)])
            << "LED " << x << "," << y << " corner " << corner;
      }
    }
  }
  EXPECT_EQ(PaintedOutside(w, 10, 10, 90, 30), 0);
  LEDPreview_ReleasePreview();

  // 16 x 4 LEDs into 8 x 2 pixels: the LED under each pixel's centre.
  SDL_Window* small = MakeWindow(28, 22);
  Play(small, 16, 4);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(Pixel(small, 10 + x, 10 + y), kColourRgb[ColourAt(2 * x + 1, 2 * y + 1)]) << x << "," << y;
    }
  }
  EXPECT_EQ(PaintedOutside(small, 10, 10, 18, 12), 0);
}

TEST_F(PreviewTest, PaddedRowsDoNotShearThePicture) {
  // 61 LEDs a row in 64-byte rows, painted one pixel a LED.
  SDL_Window* w = MakeWindow(81, 23);
  Play(w, 61, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 61; ++x) ASSERT_EQ(Pixel(w, 10 + x, 10 + y), kColourRgb[ColourAt(x, y)]) << x << "," << y;
  }
  EXPECT_EQ(PaintedOutside(w, 10, 10, 71, 13), 0);
}

TEST_F(PreviewTest, OneColourSignsShowLitLedsInRed) {
  SDL_Window* w = MakeWindow(36, 22);
  ASSERT_EQ(LEDPreview_InitLedConfigure(w, 16, 2, 1, LEDVIEW_TEST_FONT), 0);
  test::Bill bill;  // rows of 0xA5: LEDs 0, 2, 5 and 7 of every byte lit
  bill.AddPage().AddArea(0, 0, 16, 2).AddComponent(0, 0, 16, 2).AddElement(1, test::BitmapPayload(16, 2, 1));
  const std::vector<uint8_t> bytes = bill.Bytes();
  ASSERT_EQ(LEDPreview_SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), 0);
  LEDPreview_NotifySecond();
  for (int x = 0; x < 16; ++x) {
    EXPECT_EQ(Pixel(w, 10 + x, 11), (0xA5 >> (7 - x % 8)) & 1 ? 0xFF0000u : 0x000000u) << x;
  }
}

TEST_F(PreviewTest, FailuresSayWhy) {
  SDL_Window* w = MakeWindow(100, 40);
  for (const char* font : {"/nonexistent/font.ttf", "/proc/self/status"}) {  // opens, no font
    testing::internal::CaptureStderr();
    EXPECT_EQ(LEDPreview_InitLedConfigure(w, 16, 8, 2, font), font[1] == 'n' ? -3 : -1);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Error: 内码字体错误!\n"), std::string::npos) << said;
  }

  ASSERT_EQ(LEDPreview_InitLedConfigure(w, 8, 2, 4, LEDVIEW_TEST_FONT), 0);
  const uint8_t junk[16] = {1, 2, 3, 4};
  testing::internal::CaptureStderr();
  EXPECT_EQ(LEDPreview_SetPlayBill(junk, sizeof junk), -3);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: 节目文件内容错误!\n");
  EXPECT_EQ(status.buffer, nullptr);  // the freed picture is forgotten
  LEDPreview_NotifyActtion();
  EXPECT_EQ(Painted(w), 0);
}

TEST_F(PreviewTest, APlaybillWhilePlayingIsRefusedAndPlayStops) {
  SDL_Window* w = MakeWindow(100, 40);
  Play(w, 8, 2);
  const std::vector<uint8_t> bytes = ColourBill(8, 2);
  testing::internal::CaptureStderr();
  EXPECT_EQ(LEDPreview_SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), -3);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(status.buffer, nullptr);
  EXPECT_NE(status.enginestate, kStatePlaying);
  Fill(w);
  for (int i = 0; i < 30; ++i) LEDPreview_NotifyActtion();
  LEDPreview_NotifySecond();
  EXPECT_EQ(Painted(w), 0);
  // A release and a new initialisation bring the window back.
  LEDPreview_ReleasePreview();
  Play(w, 8, 2);
  EXPECT_EQ(Pixel(w, 85, 25), kColourRgb[ColourAt(7, 1)]);
}

TEST_F(PreviewTest, AStalePictureAfterAnEngineReleaseIsDropped) {
  SDL_Window* w = MakeWindow(100, 40);
  Play(w, 8, 2);
  ASSERT_EQ(ReleasePreview(), 0);  // the engine family, behind the wrapper's back
  // A refused set-up drops the stale picture too (the sanitizer sees a leak
  // otherwise), and a good one paints its own.
  HeapBlockFailNext();
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 8, 2, 4, LEDVIEW_TEST_FONT), -1);
  EXPECT_EQ(preview.pixels, nullptr);
  Fill(w);
  LEDPreview_NotifyActtion();
  EXPECT_EQ(Painted(w), 0);
  Play(w, 4, 2);
  EXPECT_EQ(Pixel(w, 15, 15), kColourRgb[ColourAt(0, 0)]);
  EXPECT_EQ(Pixel(w, 89, 29), kColourRgb[ColourAt(3, 1)]);
}

TEST_F(PreviewTest, ADestroyedWindowIsNoLongerPainted) {
  SDL_Window* w = SDL_CreateWindow("gone", 0, 0, 100, 40, SDL_WINDOW_HIDDEN);
  ASSERT_NE(w, nullptr);
  Play(w, 8, 2);
  const uint32_t id = preview.windowid;
  ASSERT_NE(WindowFromId(id), nullptr);
  SDL_DestroyWindow(w);
  EXPECT_EQ(WindowFromId(id), nullptr);
  for (int i = 0; i < 30; ++i) LEDPreview_NotifyActtion();  // nothing reaches it
  LEDPreview_NotifySecond();
  EXPECT_EQ(status.enginestate, kStatePlaying);
}

}  // namespace
}  // namespace ledview
