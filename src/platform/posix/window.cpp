#include "platform/window.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/platform.h"

namespace ledview {

struct PaletteBitmap {
  SDL_Surface* surface;    // 8-bit, over the caller's pixels
  SDL_Surface* converted;  // the same picture in the window's format
};

namespace {

// SDL stretches sources of at most this many pixels a side.
constexpr int32_t kMaxStretchSide = 0xFFFF;

bool VideoRunning() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

bool HeadlessDriver(const char* driver) {
  return driver != nullptr &&
         (SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0);
}

// True when a message box could reach a person: a display exists and the
// video driver draws on it.
bool DisplayAvailable() {
  if (VideoRunning()) return !HeadlessDriver(SDL_GetCurrentVideoDriver());
  if (HeadlessDriver(std::getenv("SDL_VIDEODRIVER"))) return false;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && x11[0] != '\0') || (wayland != nullptr && wayland[0] != '\0');
}

}  // namespace

uint32_t WindowIdOf(void* handle) {
  if (handle == nullptr || !VideoRunning()) return 0;
  return SDL_GetWindowID(static_cast<SDL_Window*>(handle));
}

void* WindowFromId(uint32_t id) {
  if (id == 0 || !VideoRunning()) return nullptr;
  return SDL_GetWindowFromID(id);
}

bool WindowDrawingArea(void* window, WindowRect* out) {
  if (window == nullptr || out == nullptr) return false;
  int width = 0;
  int height = 0;
  SDL_GetWindowSizeInPixels(static_cast<SDL_Window*>(window), &width, &height);
  if (width <= 0 || height <= 0) return false;
  *out = WindowRect{0, 0, width, height};
  return true;
}

PaletteBitmap* BitmapCreate(void* /*window*/, uint8_t* pixels, int32_t width, int32_t height,
                            int32_t pitch, const PaletteColour (&palette)[kPaletteEntries]) {
  if (pixels == nullptr || width < 1 || height < 1 || width > kMaxStretchSide ||
      height > kMaxStretchSide || pitch < width) {
    return nullptr;
  }
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormatFrom(pixels, width, height, 8, pitch, SDL_PIXELFORMAT_INDEX8);
  if (surface == nullptr) return nullptr;
  SDL_Color colours[kPaletteEntries];
  for (uint32_t i = 0; i < kPaletteEntries; ++i) {
    colours[i] = SDL_Color{palette[i].red, palette[i].green, palette[i].blue, 0xFF};
  }
  auto* bitmap = new (std::nothrow) PaletteBitmap{surface, nullptr};
  if (bitmap == nullptr ||
      SDL_SetPaletteColors(surface->format->palette, colours, 0, kPaletteEntries) != 0) {
    delete bitmap;
    SDL_FreeSurface(surface);
    return nullptr;
  }
  return bitmap;
}

void BitmapDestroy(PaletteBitmap* bitmap) {
  if (bitmap == nullptr) return;
  SDL_FreeSurface(bitmap->converted);
  SDL_FreeSurface(bitmap->surface);
  delete bitmap;
}

bool PaintStretched(void* window, const WindowRect& dest, PaletteBitmap* bitmap,
                    int32_t srcwidth, int32_t srcheight) {
  if (window == nullptr || bitmap == nullptr) return false;
  const int64_t destwidth = static_cast<int64_t>(dest.right) - dest.left;
  const int64_t destheight = static_cast<int64_t>(dest.bottom) - dest.top;
  if (destwidth <= 0 || destheight <= 0) return false;
  SDL_Surface* source = bitmap->surface;
  if (srcwidth > source->w) srcwidth = source->w;
  if (srcheight > source->h) srcheight = source->h;
  if (srcwidth < 1 || srcheight < 1) return false;

  auto* sdlwindow = static_cast<SDL_Window*>(window);
  SDL_Surface* target = SDL_GetWindowSurface(sdlwindow);
  if (target == nullptr) return false;
  // SDL stretches only between surfaces of one format, so the palettised
  // picture is first turned into the window's format at its own size.
  SDL_Surface*& converted = bitmap->converted;
  if (converted != nullptr && converted->format->format != target->format->format) {
    SDL_FreeSurface(converted);
    converted = nullptr;
  }
  if (converted == nullptr) {
    converted = SDL_CreateRGBSurfaceWithFormat(0, source->w, source->h, 32, target->format->format);
    if (converted == nullptr) return false;
    SDL_SetSurfaceBlendMode(converted, SDL_BLENDMODE_NONE);
  }
  SDL_Rect whole{0, 0, source->w, source->h};
  if (SDL_BlitSurface(source, &whole, converted, &whole) != 0) return false;
  SDL_Rect from{0, 0, srcwidth, srcheight};
  SDL_Rect to{dest.left, dest.top, static_cast<int>(destwidth), static_cast<int>(destheight)};
  if (SDL_BlitScaled(converted, &from, target, &to) != 0) return false;
  return SDL_UpdateWindowSurface(sdlwindow) == 0;
}

void ShowWindowMessage(void* owner, const char* caption, const char* text) {
  if (text == nullptr) return;
  if (DisplayAvailable() &&
      SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption != nullptr ? caption : "",
                               text, static_cast<SDL_Window*>(owner)) == 0) {
    return;
  }
  ShowErrorMessage(text);
}

}  // namespace ledview
