// The window family: the engine family driven for a host that has only a
// window. The wrapper owns the output buffer (an 8-bit palettised bitmap of
// the sign) and paints it into the window after every tick.
#include "api/preview.h"

#include "api/engine.h"
#include "ledview.h"
#include "platform/platform.h"

namespace ledview {

PreviewState preview;

const PaletteColour PreviewPalette[kPaletteEntries] = {
    {0, 0, 0},     {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

int32_t RowPitch(int32_t bits, int32_t width) {
  const int64_t w = width;
  const int64_t pitch = bits == 1 ? (w + 7) / 8 : ((bits * w + 31) / 32) * 4;
  return pitch < 0 || pitch > INT32_MAX ? -1 : static_cast<int32_t>(pitch);
}

namespace {

// Texts of the two error boxes (UTF-8).
constexpr const char* kErrorCaption = "错误";
constexpr const char* kFontErrorText = "内码字体错误!";
constexpr const char* kPlayBillErrorText = "节目文件内容错误!";

// Window handles a host may pass for "no window".
bool NoWindow(void* window) {
  return window == nullptr || reinterpret_cast<uintptr_t>(window) == UINTPTR_MAX;
}

// The pixel array and its bitmap, or a null pixel array when either cannot
// be made.
void CreatePreviewBitmap(void* window) {
  const int32_t pitch = RowPitch(8, preview.signwidth);
  const int64_t bytes = static_cast<int64_t>(pitch) * preview.signheight;
  preview.pitch = pitch;
  if (pitch < 1 || bytes > kPreviewMaxBitmapBytes) return;
  preview.pixels = static_cast<uint8_t*>(HeapBlockAlloc(static_cast<size_t>(bytes)));
  if (preview.pixels == nullptr) return;
  preview.bitmap = BitmapCreate(window, preview.pixels, preview.signwidth, preview.signheight,
                                pitch, PreviewPalette);
  if (preview.bitmap == nullptr) {
    HeapBlockFree(preview.pixels);
    preview.pixels = nullptr;
  }
}

// The engine must never copy into the pixel array once it is gone.
void FreePreviewBitmap() {
  ForgetBmpBuffer(preview.pixels);
  BitmapDestroy(preview.bitmap);
  preview.bitmap = nullptr;
  if (preview.pixels != nullptr) HeapBlockFree(preview.pixels);
  preview.pixels = nullptr;
}

// After a tick: bring the picture up to date and paint it.
void RefreshAndPaint() {
  RefreshBuffer();
  // Skipped once the bitmap is freed or the host has destroyed the window.
  void* window = WindowFromId(preview.windowid);
  if (window == nullptr || preview.bitmap == nullptr) return;
  PaintStretched(window, preview.destrect, preview.bitmap, preview.signwidth, preview.signheight);
}

}  // namespace

}  // namespace ledview

using namespace ledview;

extern "C" {

int32_t LEDVIEW_CALL LEDPreview_InitLedConfigure(void* window, int32_t width, int32_t height,
                                                 int32_t colourmode, const char* fontpath) {
  if (NoWindow(window) || fontpath == nullptr || width < 1 || height < 1 || colourmode < 1 ||
      colourmode > 5) {
    return -1;
  }
  // Anything the platform does not know as a live window is as good as none.
  const uint32_t windowid = WindowIdOf(window);
  if (windowid == 0) return -1;
  int32_t r = InitLedConfigure(width, height, colourmode);
  if (r == -4) return r;
  // The engine was not set up, so a picture still here is stale: the host
  // released the engine through the engine family. It goes now rather than
  // leak or be painted on.
  FreePreviewBitmap();
  preview = PreviewState{};
  if (r != 0) return r;
  preview.signwidth = width;
  preview.signheight = height;
  r = SetFontPathname(fontpath);
  if (r != 0) {
    LEDPreview_ReleasePreview();
    ShowWindowMessage(window, kErrorCaption, kFontErrorText);
    return r;
  }
  CreatePreviewBitmap(window);
  if (SetBmpBuffer(width, height, preview.pitch, preview.pixels) == 0) {
    WindowRect area{};
    if (!WindowDrawingArea(window, &area)) area = WindowRect{};
    preview.destrect = WindowRect{area.left + kPreviewInset, area.top + kPreviewInset,
                                  area.right - kPreviewInset, area.bottom - kPreviewInset};
    preview.windowid = windowid;
    return 0;
  }
  FreePreviewBitmap();
  return -2;
}

int32_t LEDVIEW_CALL LEDPreview_SetPlayBill(const uint8_t* data, int32_t length) {
  if (data == nullptr || length < 1) return -1;
  if (SetPlayBill(data, length) == 0) return 0;
  ShowWindowMessage(nullptr, kErrorCaption, kPlayBillErrorText);
  // A playing engine still writes into the pixel array: stop it first.
  EndPreview();
  FreePreviewBitmap();
  return -3;
}

void LEDVIEW_CALL LEDPreview_NotifyActtion(void) {
  if (preview.windowid == 0) return;
  NotifyActtion();
  RefreshAndPaint();
}

void LEDVIEW_CALL LEDPreview_NotifySecond(void) {
  if (preview.windowid == 0) return;
  NotifySecond();
  RefreshAndPaint();
}

int32_t LEDVIEW_CALL LEDPreview_EndPreview(void) { return EndPreview(); }

int32_t LEDVIEW_CALL LEDPreview_ReleasePreview(void) {
  ReleasePreview();
  FreePreviewBitmap();
  preview = PreviewState{};
  return 0;
}

}  // extern "C"
