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
#include "display/ledconfig.h"
#include "ledview.h"
#include "platform/platform.h"
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

class PreviewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Real windows without a display: CI has none.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    // The driver's own framebuffer: no GL renderer behind the window surface.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  static void TearDownTestSuite() { SDL_Quit(); }

  void SetUp() override { LEDPreview_ReleasePreview(); }
  void TearDown() override {
    LEDPreview_ReleasePreview();
    HeapBlockFailAfter(UINT32_MAX);
    for (SDL_Window* w : windows_) SDL_DestroyWindow(w);
  }

  // A window whose drawing area shows kMarker everywhere.
  SDL_Window* MakeWindow(int width, int height) {
    SDL_Window* w = SDL_CreateWindow("preview test", 0, 0, width, height, SDL_WINDOW_HIDDEN);
    EXPECT_NE(w, nullptr) << SDL_GetError();
    if (w == nullptr) return nullptr;
    windows_.push_back(w);
    Fill(w, kMarker);
    return w;
  }

  static void Fill(SDL_Window* w, uint32_t rgb) {
    SDL_Surface* s = SDL_GetWindowSurface(w);
    ASSERT_NE(s, nullptr) << SDL_GetError();
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
  }

  static uint32_t Pixel(SDL_Window* w, int x, int y) {
    SDL_Surface* s = SDL_GetWindowSurface(w);
    if (s == nullptr || x < 0 || y < 0 || x >= s->w || y >= s->h) return 0xFFFFFFFF;
    const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch +
                       x * s->format->BytesPerPixel;
    uint32_t value = 0;
    std::memcpy(&value, p, s->format->BytesPerPixel);
    uint8_t r, g, b;
    SDL_GetRGB(value, s->format, &r, &g, &b);
    return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
  }

  // Pixels inside (or outside) the rectangle [left, right) x [top, bottom)
  // that are not rgb.
  static int Differ(SDL_Window* w, uint32_t rgb, bool inside, int left, int top, int right,
                    int bottom) {
    int width = 0, height = 0;
    SDL_GetWindowSizeInPixels(w, &width, &height);
    int count = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const bool in = x >= left && x < right && y >= top && y < bottom;
        if (in == inside && Pixel(w, x, y) != rgb) ++count;
      }
    }
    return count;
  }
  static int DifferInside(SDL_Window* w, uint32_t rgb, int left, int top, int right, int bottom) {
    return Differ(w, rgb, true, left, top, right, bottom);
  }
  static int DifferOutside(SDL_Window* w, uint32_t rgb, int left, int top, int right, int bottom) {
    return Differ(w, rgb, false, left, top, right, bottom);
  }
  static int CountNot(SDL_Window* w, uint32_t rgb) { return Differ(w, rgb, false, 0, 0, 0, 0); }

  // Initialises on w and plays the colour picture until it shows.
  void Play(SDL_Window* w, int32_t width, int32_t height, int32_t mode) {
    ASSERT_EQ(LEDPreview_InitLedConfigure(w, width, height, mode, LEDVIEW_TEST_FONT), 0);
    const std::vector<uint8_t> bytes =
        ColourBill(static_cast<uint16_t>(width), static_cast<uint16_t>(height));
    ASSERT_EQ(LEDPreview_SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), 0);
    LEDPreview_NotifySecond();
    for (int i = 0; i < 40; ++i) LEDPreview_NotifyActtion();
  }

  std::vector<SDL_Window*> windows_;
};

TEST(PreviewPitch, RowsAreWholeWordsOrWholeBytes) {
  EXPECT_EQ(RowPitch(8, 61), 64);
  EXPECT_EQ(RowPitch(8, 64), 64);
  EXPECT_EQ(RowPitch(8, 1), 4);
  EXPECT_EQ(RowPitch(1, 9), 2);
  EXPECT_EQ(RowPitch(1, 8), 1);
  EXPECT_EQ(RowPitch(4, 9), 8);
  EXPECT_EQ(RowPitch(24, 3), 12);
  // Too wide for an i32 row; no wrap to a small pitch.
  EXPECT_EQ(RowPitch(32, INT32_MAX), -1);
}

TEST(PreviewWithoutVideo, NoHandleIsAWindow) {
  // The window suites start SDL's video for themselves and stop it again.
  ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  int notawindow = 0;
  EXPECT_EQ(LEDPreview_InitLedConfigure(&notawindow, 16, 8, 1, LEDVIEW_TEST_FONT), -1);
  EXPECT_EQ(status.enginestate, kStateNone);
  LEDPreview_NotifyActtion();
  EXPECT_EQ(LEDPreview_ReleasePreview(), 0);
}

TEST(PreviewPalette, ColourValuesAndBlackBeyond) {
  for (uint32_t i = 0; i < 8; ++i) {
    const PaletteColour c = PreviewPalette[i];
    EXPECT_EQ((uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue, kColourRgb[i]) << i;
  }
  for (uint32_t i = 8; i < kPaletteEntries; ++i) {
    EXPECT_EQ(PreviewPalette[i].red | PreviewPalette[i].green | PreviewPalette[i].blue, 0) << i;
  }
}

TEST_F(PreviewTest, PaintsTheSignStretchedInsideTheInset) {
  // An 8 x 2 sign in a 100 x 40 window: ten pixels a LED inside the inset.
  SDL_Window* w = MakeWindow(100, 40);
  ASSERT_NE(w, nullptr);
  Play(w, 8, 2, 4);
  EXPECT_EQ(preview.destrect.left, 10);
  EXPECT_EQ(preview.destrect.top, 10);
  EXPECT_EQ(preview.destrect.right, 90);
  EXPECT_EQ(preview.destrect.bottom, 30);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 8; ++x) {
      const uint32_t want = kColourRgb[ColourAt(x, y)];
      // Every corner of the LED's 10 x 10 block.
      for (int dy : {0, 9}) {
        for (int dx : {0, 9}) {
          EXPECT_EQ(Pixel(w, 10 + 10 * x + dx, 10 + 10 * y + dy), want)
              << "LED " << x << "," << y << " corner " << dx << "," << dy;
        }
      }
    }
  }
  // The inset is the host's.
  EXPECT_EQ(DifferOutside(w, kMarker, 10, 10, 90, 30), 0);
}

TEST_F(PreviewTest, PaddedRowsDoNotShearThePicture) {
  // 61 LEDs a row in 64-byte rows, painted one pixel a LED.
  SDL_Window* w = MakeWindow(81, 23);
  ASSERT_NE(w, nullptr);
  Play(w, 61, 3, 4);
  EXPECT_EQ(preview.pitch, 64);
  int wrong = 0;
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 61; ++x) {
      if (Pixel(w, 10 + x, 10 + y) != kColourRgb[ColourAt(x, y)]) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(DifferOutside(w, kMarker, 10, 10, 71, 13), 0);
}

TEST_F(PreviewTest, ShrinksByDroppingWholeLeds) {
  // 16 LEDs into 8 pixels: nearest neighbour keeps pure palette colours.
  SDL_Window* w = MakeWindow(28, 22);
  ASSERT_NE(w, nullptr);
  Play(w, 16, 2, 4);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 8; ++x) {
      const uint32_t got = Pixel(w, 10 + x, 10 + y);
      bool known = false;
      for (uint32_t c : kColourRgb) known = known || c == got;
      EXPECT_TRUE(known) << std::hex << got;
    }
  }
}

TEST_F(PreviewTest, OneColourSignsShowLitLedsInRed) {
  SDL_Window* w = MakeWindow(36, 22);
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(LEDPreview_InitLedConfigure(w, 16, 2, 1, LEDVIEW_TEST_FONT), 0);
  test::Bill bill;
  // 0xA5 rows: LEDs 0, 2, 5 and 7 of every byte lit.
  bill.AddPage().AddArea(0, 0, 16, 2).AddComponent(0, 0, 16, 2).AddElement(
      1, test::BitmapPayload(16, 2, 1));
  const std::vector<uint8_t> bytes = bill.Bytes();
  ASSERT_EQ(LEDPreview_SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), 0);
  LEDPreview_NotifySecond();
  for (int x = 0; x < 16; ++x) {
    const bool lit = (0xA5 >> (7 - x % 8)) & 1;
    EXPECT_EQ(Pixel(w, 10 + x, 11), lit ? 0xFF0000u : 0x000000u) << x;
  }
}

TEST_F(PreviewTest, NothingIsPaintedBeforeInitialisation) {
  SDL_Window* w = MakeWindow(60, 40);
  ASSERT_NE(w, nullptr);
  LEDPreview_NotifyActtion();
  LEDPreview_NotifySecond();
  EXPECT_EQ(CountNot(w, kMarker), 0);
  EXPECT_EQ(status.enginestate, kStateNone);
  EXPECT_EQ(LEDPreview_EndPreview(), 0);
}

TEST_F(PreviewTest, InitialisedWithoutPlaybillPaintsTheDarkPicture) {
  SDL_Window* w = MakeWindow(60, 40);
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(LEDPreview_InitLedConfigure(w, 20, 10, 2, LEDVIEW_TEST_FONT), 0);
  EXPECT_EQ(status.enginestate, kStateReady);
  EXPECT_EQ(CountNot(w, kMarker), 0);  // initialising paints nothing
  LEDPreview_NotifyActtion();
  EXPECT_EQ(DifferInside(w, 0x000000, 10, 10, 50, 30), 0);
  EXPECT_EQ(DifferOutside(w, kMarker, 10, 10, 50, 30), 0);
}

TEST_F(PreviewTest, TwentyPixelWideWindowPaintsNothing) {
  SDL_Window* w = MakeWindow(20, 60);
  ASSERT_NE(w, nullptr);
  Play(w, 8, 2, 4);
  EXPECT_EQ(preview.destrect.right - preview.destrect.left, 0);
  EXPECT_EQ(CountNot(w, kMarker), 0);
  // Narrower still: no mirrored picture either.
  LEDPreview_ReleasePreview();
  SDL_Window* narrow = MakeWindow(12, 60);
  ASSERT_NE(narrow, nullptr);
  Play(narrow, 8, 2, 4);
  EXPECT_EQ(CountNot(narrow, kMarker), 0);
}

TEST_F(PreviewTest, ColourModeFiveIsFourAndSixIsRefused) {
  SDL_Window* w = MakeWindow(60, 40);
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(LEDPreview_InitLedConfigure(w, 16, 200, 5, LEDVIEW_TEST_FONT), 0);
  EXPECT_EQ(ledconfig.depth, 4);
  EXPECT_EQ(ledconfig.height, 128);
  // The picture keeps the size the host asked for.
  EXPECT_EQ(preview.signheight, 200);
  EXPECT_EQ(status.bufheight, 200);
  LEDPreview_ReleasePreview();

  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 16, 8, 6, LEDVIEW_TEST_FONT), -1);
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 16, 8, 0, LEDVIEW_TEST_FONT), -1);
  EXPECT_EQ(status.enginestate, kStateNone);
  EXPECT_EQ(preview.pixels, nullptr);
}

TEST_F(PreviewTest, BadArgumentsAreRefusedBeforeAnythingHappens) {
  SDL_Window* w = MakeWindow(60, 40);
  ASSERT_NE(w, nullptr);
  void* allones = reinterpret_cast<void*>(UINTPTR_MAX);
  EXPECT_EQ(LEDPreview_InitLedConfigure(nullptr, 16, 8, 1, LEDVIEW_TEST_FONT), -1);
  EXPECT_EQ(LEDPreview_InitLedConfigure(allones, 16, 8, 1, LEDVIEW_TEST_FONT), -1);
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 16, 8, 1, nullptr), -1);
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 0, 8, 1, LEDVIEW_TEST_FONT), -1);
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 16, -1, 1, LEDVIEW_TEST_FONT), -1);
  EXPECT_EQ(status.enginestate, kStateNone);
  EXPECT_EQ(preview.windowid, 0u);
  LEDPreview_NotifyActtion();
  EXPECT_EQ(CountNot(w, kMarker), 0);
}

TEST_F(PreviewTest, FontFailureReleasesTheEngineAndSaysSo) {
  SDL_Window* w = MakeWindow(60, 40);
  ASSERT_NE(w, nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 16, 8, 2, "/nonexistent/font.ttf"), -3);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("Error: 内码字体错误!\n"), std::string::npos) << said;
  EXPECT_EQ(status.enginestate, kStateNone);
  EXPECT_EQ(preview.pixels, nullptr);
  EXPECT_EQ(preview.windowid, 0u);

  // A file that opens but is no font.
  testing::internal::CaptureStderr();
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 16, 8, 2, "/proc/self/status"), -1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("内码字体错误!"), std::string::npos);
  EXPECT_EQ(status.enginestate, kStateNone);
  LEDPreview_NotifyActtion();
  EXPECT_EQ(CountNot(w, kMarker), 0);
}

TEST_F(PreviewTest, SecondInitialisationIsRefusedAndTheFirstPlaysOn) {
  SDL_Window* w = MakeWindow(100, 40);
  ASSERT_NE(w, nullptr);
  Play(w, 8, 2, 4);
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 400, 300, 4, LEDVIEW_TEST_FONT), -4);
  // Still the 8 x 2 picture, painted from its own bitmap.
  EXPECT_EQ(preview.signwidth, 8);
  Fill(w, kMarker);
  LEDPreview_NotifyActtion();
  EXPECT_EQ(Pixel(w, 10 + 10 * 7 + 5, 10 + 10 + 5), kColourRgb[ColourAt(7, 1)]);
}

TEST_F(PreviewTest, BitmapFailureLeavesTheEngineConfigured) {
  SDL_Window* w = MakeWindow(60, 40);
  ASSERT_NE(w, nullptr);
  HeapBlockFailAfter(1);  // the arena is allocated, the pixel array not
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 16, 8, 2, LEDVIEW_TEST_FONT), -2);
  EXPECT_EQ(status.enginestate, kStateConfigured);
  EXPECT_EQ(status.fontloaded, 1);
  EXPECT_EQ(status.buffer, nullptr);
  EXPECT_EQ(preview.pixels, nullptr);
  EXPECT_EQ(preview.bitmap, nullptr);
  EXPECT_EQ(preview.windowid, 0u);
  LEDPreview_NotifyActtion();
  EXPECT_EQ(CountNot(w, kMarker), 0);
  // Configured, so a new initialisation waits for the release.
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 16, 8, 2, LEDVIEW_TEST_FONT), -4);
  LEDPreview_ReleasePreview();
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 16, 8, 2, LEDVIEW_TEST_FONT), 0);
  LEDPreview_ReleasePreview();

  // Wider than a picture can be painted.
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 70000, 1, 1, LEDVIEW_TEST_FONT), -2);
  EXPECT_EQ(status.enginestate, kStateConfigured);
}

TEST_F(PreviewTest, PlaybillArgumentsAreChecked) {
  SDL_Window* w = MakeWindow(100, 40);
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(LEDPreview_InitLedConfigure(w, 8, 2, 4, LEDVIEW_TEST_FONT), 0);
  const std::vector<uint8_t> bytes = ColourBill(8, 2);
  EXPECT_EQ(LEDPreview_SetPlayBill(nullptr, 100), -1);
  EXPECT_EQ(LEDPreview_SetPlayBill(bytes.data(), 0), -1);
  EXPECT_EQ(LEDPreview_SetPlayBill(bytes.data(), -5), -1);
  // Nothing was freed: the playbill still plays.
  EXPECT_NE(preview.pixels, nullptr);
  ASSERT_EQ(LEDPreview_SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), 0);
  EXPECT_EQ(status.enginestate, kStatePlaying);
}

TEST_F(PreviewTest, RejectedPlaybillFreesThePictureAndTheEngineForgetsIt) {
  SDL_Window* w = MakeWindow(100, 40);
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(LEDPreview_InitLedConfigure(w, 8, 2, 4, LEDVIEW_TEST_FONT), 0);
  const uint8_t junk[16] = {1, 2, 3, 4};
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  EXPECT_EQ(LEDPreview_SetPlayBill(junk, sizeof junk), -3);
  testing::internal::GetCapturedStdout();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, "Error: 节目文件内容错误!\n");
  EXPECT_EQ(preview.pixels, nullptr);
  EXPECT_EQ(preview.bitmap, nullptr);
  // The engine holds no pointer into the freed array and is no longer
  // ready to play into it.
  EXPECT_EQ(status.buffer, nullptr);
  EXPECT_EQ(status.enginestate, kStateConfigured);
  LEDPreview_NotifyActtion();
  LEDPreview_NotifySecond();
  EXPECT_EQ(CountNot(w, kMarker), 0);
  // A good playbill now is refused too: nothing to show it in.
  const std::vector<uint8_t> bytes = ColourBill(8, 2);
  testing::internal::CaptureStderr();
  EXPECT_EQ(LEDPreview_SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), -3);
  testing::internal::GetCapturedStderr();
  LEDPreview_NotifyActtion();
  EXPECT_EQ(CountNot(w, kMarker), 0);
  // A release and a new initialisation bring the window back.
  LEDPreview_ReleasePreview();
  Play(w, 8, 2, 4);
  EXPECT_EQ(Pixel(w, 15, 15), kColourRgb[ColourAt(0, 0)]);
  EXPECT_EQ(Pixel(w, 85, 25), kColourRgb[ColourAt(7, 1)]);
}

TEST_F(PreviewTest, PlaybillRefusedWhilePlayingStopsBeforeFreeing) {
  SDL_Window* w = MakeWindow(100, 40);
  ASSERT_NE(w, nullptr);
  Play(w, 8, 2, 4);
  const std::vector<uint8_t> bytes = ColourBill(8, 2);
  testing::internal::CaptureStderr();
  EXPECT_EQ(LEDPreview_SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), -3);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(status.buffer, nullptr);
  EXPECT_NE(status.enginestate, kStatePlaying);
  Fill(w, kMarker);
  for (int i = 0; i < 30; ++i) LEDPreview_NotifyActtion();
  LEDPreview_NotifySecond();
  EXPECT_EQ(CountNot(w, kMarker), 0);
}

TEST_F(PreviewTest, EndPreviewLeavesTheClearedPicture) {
  SDL_Window* w = MakeWindow(100, 40);
  ASSERT_NE(w, nullptr);
  Play(w, 8, 2, 4);
  EXPECT_EQ(LEDPreview_EndPreview(), 0);
  EXPECT_EQ(status.enginestate, kStateReady);
  // The array was zeroed and is no longer written: a dark picture.
  for (int i = 0; i < 30; ++i) LEDPreview_NotifyActtion();
  LEDPreview_NotifySecond();
  EXPECT_EQ(DifferInside(w, 0x000000, 10, 10, 90, 30), 0);
  EXPECT_EQ(DifferOutside(w, kMarker, 10, 10, 90, 30), 0);
  EXPECT_EQ(LEDPreview_EndPreview(), 0);
}

TEST_F(PreviewTest, ReleaseForgetsTheWindow) {
  SDL_Window* w = MakeWindow(100, 40);
  ASSERT_NE(w, nullptr);
  Play(w, 8, 2, 4);
  EXPECT_EQ(LEDPreview_ReleasePreview(), 0);
  EXPECT_EQ(preview.windowid, 0u);
  EXPECT_EQ(preview.pixels, nullptr);
  EXPECT_EQ(status.enginestate, kStateNone);
  Fill(w, kMarker);
  LEDPreview_NotifyActtion();
  LEDPreview_NotifySecond();
  EXPECT_EQ(CountNot(w, kMarker), 0);
  EXPECT_EQ(LEDPreview_ReleasePreview(), 0);
}

TEST_F(PreviewTest, EngineReleasedUnderneathGivesWayToANewInitialisation) {
  SDL_Window* w = MakeWindow(100, 40);
  ASSERT_NE(w, nullptr);
  Play(w, 8, 2, 4);
  ASSERT_EQ(ReleasePreview(), 0);  // the engine family, behind the wrapper's back
  // A refused set-up drops the stale picture too (the sanitizer sees a leak
  // otherwise), and a good one paints its own.
  HeapBlockFailNext();
  EXPECT_EQ(LEDPreview_InitLedConfigure(w, 8, 2, 4, LEDVIEW_TEST_FONT), -1);
  EXPECT_EQ(preview.pixels, nullptr);
  EXPECT_EQ(preview.windowid, 0u);
  Fill(w, kMarker);
  LEDPreview_NotifyActtion();
  EXPECT_EQ(CountNot(w, kMarker), 0);
  Play(w, 4, 2, 4);
  EXPECT_NE(preview.pixels, nullptr);
  EXPECT_EQ(preview.signwidth, 4);
  EXPECT_EQ(Pixel(w, 15, 15), kColourRgb[ColourAt(0, 0)]);
}

TEST_F(PreviewTest, DestroyedWindowIsNoLongerPainted) {
  SDL_Window* w = SDL_CreateWindow("gone", 0, 0, 100, 40, SDL_WINDOW_HIDDEN);
  ASSERT_NE(w, nullptr);
  Play(w, 8, 2, 4);
  const uint32_t id = preview.windowid;
  ASSERT_NE(WindowFromId(id), nullptr);
  SDL_DestroyWindow(w);
  EXPECT_EQ(WindowFromId(id), nullptr);
  // The engine plays on; nothing reaches the destroyed window.
  for (int i = 0; i < 30; ++i) LEDPreview_NotifyActtion();
  LEDPreview_NotifySecond();
  EXPECT_EQ(status.enginestate, kStatePlaying);
}

}  // namespace
}  // namespace ledview
