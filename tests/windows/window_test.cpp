// The window family on GDI in a real window (Wine under Xvfb): the client
// area is read back after every paint and compared, pixel by pixel, with
// the engine's buffer (the wrapper's pixel array) through the palette.
//
//   ledview_window_test [--hold SECONDS FILE]
//
// --hold keeps the last window up (painting every tick) for a screenshot,
// and creates FILE when it is up.
// Exits 77 (skipped) when Wine has no display to make windows on.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "api/preview.h"
#include "ledview.h"
#include "support/billbuilder.h"

namespace ledview {
namespace {

int failures = 0;

#define EXPECT(cond, ...)                                     \
  do {                                                        \
    if (!(cond)) {                                            \
      std::fprintf(stderr, "%s:%d: %s: ", __FILE__, __LINE__, #cond); \
      std::fprintf(stderr, __VA_ARGS__);                      \
      std::fputc('\n', stderr);                               \
      ++failures;                                             \
    }                                                         \
  } while (0)

constexpr COLORREF kMarker = RGB(0x33, 0x66, 0x99);  // the window's background: nothing painted
constexpr uint32_t kMarkerRgb = 0x336699;

// The test picture: LED (x, y) has colour value (x + 3y) & 7.
std::vector<uint8_t> ColourBill(uint16_t width, uint16_t height) {
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

// A green string over the colour picture's bottom half.
std::vector<uint8_t> TextBill(uint16_t width, uint16_t height) {
  test::Bill bill;
  auto& area = bill.AddPage().AddArea(0, 0, width, height);
  bill::BmpBlock p{width, static_cast<uint16_t>(height / 2), 9, (width + 1u) / 2u, {}};
  p.rows.resize(size_t{p.pitch} * p.height);
  for (int32_t i = 0; i < width * p.height; ++i) {
    const int32_t x = i % width, y = i / width;
    p.rows[y * p.pitch + x / 2] |= static_cast<uint8_t>((((x / 4) + y) % 7 + 1) << (x % 2 * 4));
  }
  area.AddComponent(0, 0, width, static_cast<uint16_t>(height / 2)).AddElement(1, bill::BmpBlockBytes(p));
  area.AddComponent(0, static_cast<uint16_t>(height / 2), width, static_cast<uint16_t>(height / 2))
      .AddElement(2, test::StringPayload(0, "GDI ok", 16, 2));
  return bill.Bytes();
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcA(hwnd, message, w, l);
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// A visible pop-up window (no frame, so no smallest size a caption would
// impose) with a client area of width x height, its background the marker
// colour.
HWND MakeWindow(int width, int height) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = CreateSolidBrush(kMarker);
    wc.lpszClassName = "ledview_window_test";
    registered = RegisterClassA(&wc) != 0;
  }
  HWND hwnd = CreateWindowA("ledview_window_test", "ledview window family", WS_POPUP, 20, 20, width, height,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (hwnd == nullptr) return nullptr;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  Pump();
  return hwnd;
}

// The client area read back as 0xRRGGBB values, row by row.
std::vector<uint32_t> ReadClient(HWND hwnd, int* width, int* height) {
  RECT client{};
  GetClientRect(hwnd, &client);
  *width = client.right;
  *height = client.bottom;
  std::vector<uint32_t> pixels;
  if (*width < 1 || *height < 1) return pixels;
  HDC dc = GetDC(hwnd);
  HDC mem = CreateCompatibleDC(dc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = *width;
  info.bmiHeader.biHeight = -*height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (section != nullptr) {
    HGDIOBJ old = SelectObject(mem, section);
    BitBlt(mem, 0, 0, *width, *height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    pixels.assign(p, p + size_t(*width) * size_t(*height));
    for (uint32_t& v : pixels) v &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(section);
  }
  DeleteDC(mem);
  ReleaseDC(hwnd, dc);
  return pixels;
}

uint32_t PaletteRgb(uint8_t value) {
  const PaletteColour c = PreviewPalette[value];
  return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
}

// Compares the client area with the engine's buffer: every pixel of the
// inset rectangle shows the LED under it (the sign scaled up by a whole
// factor, so each LED is a block of scale x scale pixels), every pixel of
// the 10-pixel margin is untouched. The number of mismatches.
int CompareWithBuffer(HWND hwnd, int32_t signwidth, int32_t signheight, int scale) {
  int width = 0, height = 0;
  const std::vector<uint32_t> shown = ReadClient(hwnd, &width, &height);
  if (shown.empty() || preview.pixels == nullptr) return -1;
  int mismatches = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int lx = x - kPreviewInset, ly = y - kPreviewInset;
      const bool inside = lx >= 0 && ly >= 0 && lx < signwidth * scale && ly < signheight * scale;
      const uint32_t want =
          inside ? PaletteRgb(preview.pixels[(ly / scale) * preview.pitch + lx / scale]) : kMarkerRgb;
      if (shown[size_t(y) * width + x] != want) {
        if (mismatches < 5) {
          std::fprintf(stderr, "pixel (%d, %d): shown %06x, want %06x\n", x, y,
                       unsigned(shown[size_t(y) * width + x]), unsigned(want));
        }
        ++mismatches;
      }
    }
  }
  return mismatches;
}

// Plays bill on a sign of signwidth x signheight in a window whose inset
// rectangle is the sign scaled by scale.
HWND Play(const std::vector<uint8_t>& bill, int32_t signwidth, int32_t signheight, int32_t mode, int scale) {
  HWND hwnd = MakeWindow(signwidth * scale + 2 * kPreviewInset, signheight * scale + 2 * kPreviewInset);
  EXPECT(hwnd != nullptr, "no window");
  if (hwnd == nullptr) return nullptr;
  EXPECT(LEDPreview_InitLedConfigure(hwnd, signwidth, signheight, mode, LEDVIEW_TEST_FONT) == 0, "init");
  EXPECT(LEDPreview_SetPlayBill(bill.data(), static_cast<int32_t>(bill.size())) == 0, "playbill");
  LEDPreview_NotifySecond();
  return hwnd;
}

void ColourPictureIsPaintedScaled() {
  HWND hwnd = Play(ColourBill(16, 4), 16, 4, 4, 8);
  if (hwnd == nullptr) return;
  // The engine's buffer holds the picture itself...
  for (int i = 0; i < 16 * 4; ++i) {
    EXPECT(preview.pixels[(i / 16) * preview.pitch + i % 16] == ((i % 16 + 3 * (i / 16)) & 7), "LED %d", i);
  }
  // ...and the window shows exactly the buffer, scaled, inside the inset.
  const int mismatches = CompareWithBuffer(hwnd, 16, 4, 8);
  EXPECT(mismatches == 0, "%d pixels differ from the buffer", mismatches);
  LEDPreview_ReleasePreview();
  DestroyWindow(hwnd);
}

void OneColourSignShowsRed() {
  HWND hwnd = Play(ColourBill(16, 2), 16, 2, 1, 5);
  if (hwnd == nullptr) return;
  int lit = 0;
  for (int x = 0; x < 16; ++x) lit += preview.pixels[x] != 0;
  EXPECT(lit > 0, "nothing lit");
  const int mismatches = CompareWithBuffer(hwnd, 16, 2, 5);
  EXPECT(mismatches == 0, "%d pixels differ from the buffer", mismatches);
  LEDPreview_ReleasePreview();
  DestroyWindow(hwnd);
}

void TicksRepaintWhatTheEngineDraws(double holdseconds, const char* holdfile) {
  HWND hwnd = Play(TextBill(64, 32), 64, 32, 4, 6);
  if (hwnd == nullptr) return;
  for (int i = 0; i < 400; ++i) {
    LEDPreview_NotifyActtion();
    if (i % 100 == 99) LEDPreview_NotifySecond();
  }
  Pump();
  int lit = 0;
  for (int i = 0; i < 64 * 32; ++i) lit += preview.pixels[(i / 64) * preview.pitch + i % 64] == 2;
  EXPECT(lit > 20, "the green text is missing (%d green LEDs)", lit);
  // Painted again after the window was covered up: the next tick repaints.
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateWindow(hwnd);
  LEDPreview_NotifyActtion();
  const int mismatches = CompareWithBuffer(hwnd, 64, 32, 6);
  EXPECT(mismatches == 0, "%d pixels differ from the buffer", mismatches);
  // Held up for a screenshot, still ticking.
  if (holdseconds > 0 && holdfile != nullptr) {
    if (FILE* f = std::fopen(holdfile, "w")) std::fclose(f);
  }
  const DWORD until = GetTickCount() + static_cast<DWORD>(holdseconds * 1000);
  while (holdseconds > 0 && static_cast<int32_t>(until - GetTickCount()) > 0) {
    LEDPreview_NotifyActtion();
    Pump();
    Sleep(10);
  }
  LEDPreview_ReleasePreview();
  DestroyWindow(hwnd);
}

void NarrowAndDestroyedWindowsAreNotPaintedOn() {
  // A client area 20 pixels wide leaves no width inside the inset.
  HWND narrow = MakeWindow(20, 60);
  EXPECT(narrow != nullptr, "no window");
  if (narrow == nullptr) return;
  EXPECT(LEDPreview_InitLedConfigure(narrow, 8, 2, 4, LEDVIEW_TEST_FONT) == 0, "init");
  const std::vector<uint8_t> bill = ColourBill(8, 2);
  EXPECT(LEDPreview_SetPlayBill(bill.data(), static_cast<int32_t>(bill.size())) == 0, "playbill");
  LEDPreview_NotifySecond();
  int width = 0, height = 0;
  std::vector<uint32_t> shown = ReadClient(narrow, &width, &height);
  int painted = 0;
  for (uint32_t v : shown) painted += v != kMarkerRgb;
  EXPECT(width == 20 && painted == 0, "%d pixels painted in a %d-pixel-wide window", painted, width);
  // Destroyed under the wrapper: ticks go on without painting or failing.
  DestroyWindow(narrow);
  LEDPreview_NotifyActtion();
  LEDPreview_NotifySecond();
  EXPECT(LEDPreview_ReleasePreview() == 0, "release");
  // A handle that is no window is refused like none.
  EXPECT(LEDPreview_InitLedConfigure(narrow, 8, 2, 4, LEDVIEW_TEST_FONT) == -1, "a dead window accepted");
  EXPECT(LEDPreview_InitLedConfigure(reinterpret_cast<void*>(~uintptr_t{0}), 8, 2, 4, LEDVIEW_TEST_FONT) == -1,
         "an all-ones handle accepted");
}

void RefusalsAreSaidOnStandardErrorWhenUnattended() {
  // scripts/run-windows-tests sets LEDVIEW_UNATTENDED=1: a box here would
  // hang the run.
  HWND hwnd = MakeWindow(100, 40);
  if (hwnd == nullptr) return;
  EXPECT(LEDPreview_InitLedConfigure(hwnd, 16, 8, 2, "Z:/nonexistent/font.ttf") == -3, "missing font");
  EXPECT(LEDPreview_InitLedConfigure(hwnd, 16, 8, 2, LEDVIEW_TEST_FONT) == 0, "init");
  const std::vector<uint8_t> bad = {1, 2, 3, 4};
  EXPECT(LEDPreview_SetPlayBill(bad.data(), 4) == -3, "bad playbill");
  LEDPreview_NotifySecond();
  int width = 0, height = 0;
  std::vector<uint32_t> shown = ReadClient(hwnd, &width, &height);
  int painted = 0;
  for (uint32_t v : shown) painted += v != kMarkerRgb;
  EXPECT(painted == 0, "%d pixels painted after a refused playbill", painted);
  LEDPreview_ReleasePreview();
  DestroyWindow(hwnd);
}

}  // namespace
}  // namespace ledview

int main(int argc, char** argv) {
  using namespace ledview;
  double hold = 0;
  const char* holdfile = nullptr;
  if (argc == 4 && std::strcmp(argv[1], "--hold") == 0) {
    hold = std::atof(argv[2]);
    holdfile = argv[3];
  }
  // No desktop to make windows on: Wine without a display.
  HWND probe = CreateWindowA("STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  if (probe == nullptr || GetSystemMetrics(SM_CXSCREEN) <= 0) {
    std::printf("window test: no display, skipped\n");
    return 77;
  }
  DestroyWindow(probe);
  ColourPictureIsPaintedScaled();
  OneColourSignShowsRed();
  NarrowAndDestroyedWindowsAreNotPaintedOn();
  RefusalsAreSaidOnStandardErrorWhenUnattended();
  TicksRepaintWhatTheEngineDraws(hold, holdfile);
  std::printf("window test: %s\n", failures == 0 ? "ok" : "FAILED");
  return failures == 0 ? 0 : 1;
}
