// Window services of the preview wrapper: an 8-bit palettised bitmap over a
// caller's pixel array, painted stretched into a window's drawing area, and
// message boxes. Windows: GDI, and handles are the host's HWNDs. Linux:
// SDL2, and handles are SDL_Window pointers. Both pass as void* so that
// callers need no system header.
#pragma once
#include <cstdint>

namespace ledview {

// Edges of a rectangle in window pixels; right and bottom are exclusive.
struct WindowRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

struct PaletteColour {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};

inline constexpr uint32_t kPaletteEntries = 256;

// The window's id, or 0 when handle is no window. SDL: the video subsystem
// is not running, or SDL does not know it; the handle itself is read only
// when video is running and must then be a window the caller made.
// Windows: the handle is no live window.
uint32_t WindowIdOf(void* handle);
// The live window with this id, or null once it has been destroyed, so a
// stale id never reaches freed memory (SDL never reuses ids; Windows may
// give a later window the same handle).
void* WindowFromId(uint32_t id);
// The drawing area as a rectangle at 0, 0 in pixels; false when it cannot
// be read.
bool WindowDrawingArea(void* window, WindowRect* out);

struct PaletteBitmap;

// An 8-bit bitmap of width x height over pixels (rows top-down, pitch bytes
// apart, owned by the caller and outliving the bitmap), showing index i as
// palette[i], made for window. Null when it cannot be made.
PaletteBitmap* BitmapCreate(void* window, uint8_t* pixels, int32_t width, int32_t height,
                            int32_t pitch, const PaletteColour (&palette)[kPaletteEntries]);
void BitmapDestroy(PaletteBitmap* bitmap);

// Paints the bitmap's top-left srcwidth x srcheight pixels into dest,
// nearest-neighbour, and shows the window's surface. A destination with no
// width or height paints nothing. False when nothing could be painted.
bool PaintStretched(void* window, const WindowRect& dest, PaletteBitmap* bitmap,
                    int32_t srcwidth, int32_t srcheight);

// A modal error box with caption and text (UTF-8) owned by owner (may be
// null), with the stop icon. Where none can be shown (SDL: no display, a
// headless video driver, or SDL fails; Windows: no visible window station,
// or the box fails) or none should be (Windows: the environment variable
// LEDVIEW_UNATTENDED is 1), the text goes to standard error as one line
// "Error: TEXT", so an unattended run never blocks.
void ShowWindowMessage(void* owner, const char* caption, const char* text);

}  // namespace ledview
