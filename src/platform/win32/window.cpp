// The window family's GDI side: an 8-bit palettised device-independent
// bitmap over the wrapper's pixel array, stretched into the host's window
// with StretchDIBits.
#include "platform/window.h"

#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/message.h"

namespace ledview {

struct PaletteBitmap {
  BITMAPINFO* info;  // 40 header bytes and 256 palette entries, process heap
  HBITMAP bitmap;    // from CreateDIBitmap, initialised from the pixels
  uint8_t* pixels;   // the caller's
};

namespace {

// Window handles are 32-bit values even in 64-bit processes (so that 32-bit
// and 64-bit programs can pass them to each other), so the id is the handle
// itself, sign-extended back.
HWND HandleOfId(uint32_t id) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(id)));
}

// The header's palette: 256 entries follow the 40-byte header.
constexpr size_t kInfoBytes = sizeof(BITMAPINFOHEADER) + kPaletteEntries * sizeof(RGBQUAD);

}  // namespace

uint32_t WindowIdOf(void* handle) {
  HWND window = static_cast<HWND>(handle);
  if (window == nullptr || !IsWindow(window)) return 0;
  const uint32_t id = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
  return HandleOfId(id) == window ? id : 0;
}

void* WindowFromId(uint32_t id) {
  if (id == 0) return nullptr;
  HWND window = HandleOfId(id);
  return IsWindow(window) ? window : nullptr;
}

bool WindowDrawingArea(void* window, WindowRect* out) {
  if (window == nullptr || out == nullptr) return false;
  RECT client{};
  if (!GetClientRect(static_cast<HWND>(window), &client)) return false;
  *out = WindowRect{client.left, client.top, client.right, client.bottom};
  return true;
}

PaletteBitmap* BitmapCreate(void* window, uint8_t* pixels, int32_t width, int32_t height,
                            int32_t pitch, const PaletteColour (&palette)[kPaletteEntries]) {
  if (pixels == nullptr || width < 1 || height < 1 || pitch < width || pitch % 4 != 0) {
    return nullptr;
  }
  auto* info = static_cast<BITMAPINFO*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kInfoBytes));
  auto* bitmap = static_cast<PaletteBitmap*>(
      HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(PaletteBitmap)));
  if (info == nullptr || bitmap == nullptr) {
    if (info != nullptr) HeapFree(GetProcessHeap(), 0, info);
    if (bitmap != nullptr) HeapFree(GetProcessHeap(), 0, bitmap);
    return nullptr;
  }
  BITMAPINFOHEADER& header = info->bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = -height;  // rows top-down
  header.biPlanes = 1;
  header.biBitCount = 8;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(pitch) * static_cast<DWORD>(height);
  header.biClrUsed = kPaletteEntries;
  for (uint32_t i = 0; i < kPaletteEntries; ++i) {
    info->bmiColors[i] = RGBQUAD{palette[i].blue, palette[i].green, palette[i].red, 0};
  }
  HDC dc = GetDC(static_cast<HWND>(window));
  HBITMAP handle = dc != nullptr ? CreateDIBitmap(dc, &header, CBM_INIT, pixels, info,
                                                  DIB_RGB_COLORS)
                                 : nullptr;
  if (dc != nullptr) ReleaseDC(static_cast<HWND>(window), dc);
  if (handle == nullptr) {
    HeapFree(GetProcessHeap(), 0, info);
    HeapFree(GetProcessHeap(), 0, bitmap);
    return nullptr;
  }
  *bitmap = PaletteBitmap{info, handle, pixels};
  return bitmap;
}

void BitmapDestroy(PaletteBitmap* bitmap) {
  if (bitmap == nullptr) return;
  DeleteObject(bitmap->bitmap);
  HeapFree(GetProcessHeap(), 0, bitmap->info);
  HeapFree(GetProcessHeap(), 0, bitmap);
}

bool PaintStretched(void* window, const WindowRect& dest, PaletteBitmap* bitmap,
                    int32_t srcwidth, int32_t srcheight) {
  if (window == nullptr || bitmap == nullptr) return false;
  const int64_t destwidth = static_cast<int64_t>(dest.right) - dest.left;
  const int64_t destheight = static_cast<int64_t>(dest.bottom) - dest.top;
  // A negative size would mirror the picture outside the inset.
  if (destwidth <= 0 || destheight <= 0) return false;
  const BITMAPINFOHEADER& header = bitmap->info->bmiHeader;
  if (srcwidth > header.biWidth) srcwidth = header.biWidth;
  if (srcheight > -header.biHeight) srcheight = -header.biHeight;
  if (srcwidth < 1 || srcheight < 1) return false;
  HWND hwnd = static_cast<HWND>(window);
  HDC dc = GetDC(hwnd);
  if (dc == nullptr) return false;
  SetStretchBltMode(dc, COLORONCOLOR);
  // MERGECOPY: the source ANDed with the context's brush, white by default,
  // so the picture shows unchanged.
  const int lines = StretchDIBits(dc, dest.left, dest.top, static_cast<int>(destwidth),
                                  static_cast<int>(destheight), 0, 0, srcwidth, srcheight,
                                  bitmap->pixels, bitmap->info, DIB_RGB_COLORS, MERGECOPY);
  ReleaseDC(hwnd, dc);
  return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

void ShowWindowMessage(void* owner, const char* caption, const char* text) {
  ShowMessageBox(owner, caption, text);
}

}  // namespace ledview
