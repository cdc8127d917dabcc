// The window wrapper's state: the sign's picture as an 8-bit palettised
// bitmap registered as the engine's output buffer and painted into a window
// after every tick.
#pragma once
#include <cstdint>

#include "platform/window.h"

namespace ledview {

// The painted rectangle is the drawing area less this much on each side.
inline constexpr int32_t kPreviewInset = 10;
// Largest pixel array the wrapper allocates; a bigger sign fails like a
// bitmap that cannot be made.
inline constexpr int64_t kPreviewMaxBitmapBytes = 0x7FFFFFFF;

struct PreviewState {
  uint32_t windowid;    // 0 until LEDPreview_InitLedConfigure succeeds
  int32_t signwidth;    // as the host gave them, before the engine clamps
  int32_t signheight;
  WindowRect destrect;  // read once at initialisation
  int32_t pitch;
  uint8_t* pixels;      // pitch x signheight bytes from the process heap
  PaletteBitmap* bitmap;
};

extern PreviewState preview;

// Colour value (bit 0 red, bit 1 green, bit 2 blue) to colour; 8..255 black.
extern const PaletteColour PreviewPalette[kPaletteEntries];

// Bytes in a row of width pixels at bits per pixel: whole bytes for 1 bit,
// else whole 32-bit words. -1 when the row does not fit in an i32.
int32_t RowPitch(int32_t bits, int32_t width);

}  // namespace ledview
