// Argument records of the drawing operations.
#pragma once
#include <cstdint>

namespace ledview {

// One character's pixels: 1 bit per pixel, rows of pitch bytes; rows is
// null when there are none.
struct GlyphCell {
  uint32_t width;
  uint32_t height;
  uint32_t pitch;
  uint8_t* rows;
};
// Where DrawText finds a character (a single byte below 0xA1, or lead |
// trail << 8) at a size: the engine binds its glyph access at set-up. The
// cell stays valid until the next call.
using GlyphSource = GlyphCell* (*)(int32_t size, uint16_t code, int32_t render);

// A source image. format 0..7: 1 bit per pixel (a set bit takes the format
// value as its colour); 8: 2 bits per pixel; above 8: 4 bits per pixel.
struct Bitmap {
  int16_t width;
  int16_t height;
  uint16_t format;
  int16_t pitch;
  const uint8_t* pixels;
};

// Equally sized frames stored one after the other behind this header.
// Strips sit at any byte offset inside a playbill, so the header is read
// without assuming alignment.
struct [[gnu::packed]] FrameStrip {
  uint32_t count;
  uint16_t width;
  uint16_t height;
  uint32_t format;
  uint32_t pitch;
};

struct BlitRect {
  int16_t sx;
  int16_t sy;
  int16_t dx;
  int16_t dy;
  int16_t width;
  int16_t height;
};

struct DestRect {
  uint16_t x;
  uint16_t y;
  uint16_t width;
  uint16_t height;
};

// Draws the border of x0 <= x < x1, y0 <= y < y1 and advances *phase; the
// call with all four zero releases what the phase word holds.
using BorderPainter = void (*)(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase);

}  // namespace ledview
