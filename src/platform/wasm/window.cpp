// WebAssembly has no windows: the window family finds no window for any
// handle, makes no bitmap and paints nothing, so its calls fail with their
// codes; its messages go to standard error (the console).
#include "platform/window.h"

#include <cstdio>

#include "platform/platform.h"

namespace ledview {

uint32_t WindowIdOf(void* /*handle*/) { return 0; }

void* WindowFromId(uint32_t /*id*/) { return nullptr; }

bool WindowDrawingArea(void* /*window*/, WindowRect* /*out*/) { return false; }

PaletteBitmap* BitmapCreate(void* /*window*/, uint8_t* /*pixels*/, int32_t /*width*/,
                            int32_t /*height*/, int32_t /*pitch*/,
                            const PaletteColour (& /*palette*/)[kPaletteEntries]) {
  return nullptr;
}

void BitmapDestroy(PaletteBitmap* /*bitmap*/) {}

bool PaintStretched(void* /*window*/, const WindowRect& /*dest*/, PaletteBitmap* /*bitmap*/,
                    int32_t /*srcwidth*/, int32_t /*srcheight*/) {
  return false;
}

void ShowWindowMessage(void* /*owner*/, const char* /*caption*/, const char* text) {
  if (text != nullptr) ShowErrorMessage(text);
}

}  // namespace ledview
