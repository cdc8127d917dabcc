// The twelve drawing operations. Two tables implement them, one per
// framebuffer layout; Init2DEnv copies the one matching the colour mode into
// `drawops`, and every caller draws through `drawops` without knowing the
// layout.
//
// Operations trust their destination: rectangles, rows and columns must lie
// inside fbwidth x fbheight. They never read outside a source image: the copy
// shrinks to the source's width, height and pitch.
//
// A colour is a colour value (bit 0 red, bit 1 green, bit 2 blue); in colour
// mode 1 any non-zero colour lights a pixel and 0 darkens it.
#pragma once
#include <cstdint>

#include "display/drawtypes.h"

namespace ledview {

struct DrawOps {
  // Opaque copy of r.width x r.height source pixels from (r.sx, r.sy) to
  // (r.dx, r.dy).
  void (*BlitBitmap)(const BlitRect* r, const Bitmap* b);
  // Opaque copy of frame n of s to (d.x, d.y), at most d.width x d.height.
  void (*BlitFrame)(int32_t n, const DestRect* d, const FrameStrip* s);
  // Up to len bytes of GB2312 text in the bitmap font of that size from
  // (d.x, d.y). Colour mode 1 draws the glyph cells opaquely and ignores the
  // colour; colour modes 2/4 write only the set pixels, in that colour.
  void (*DrawText)(int32_t size, const uint8_t* text, int32_t len, const DestRect* d, uint8_t colour);
  // Pixels x0 .. x1 - 1 of row y.
  void (*DrawHLine)(int32_t y, int32_t x0, int32_t x1, uint8_t colour);
  // Pixels y0 .. y1 - 1 of column x.
  void (*DrawVLine)(int32_t x, int32_t y0, int32_t y1, uint8_t colour);
  void (*FillRect)(const DestRect* d, uint8_t colour);
  void (*SetPixel)(int32_t x, int32_t y, uint8_t colour);
  // One source byte per pixel, rows d.width rounded up to 4 bytes apart; in
  // colour mode 1 bit 0 of the byte lights the pixel.
  void (*BlitBytes)(const DestRect* d, const uint8_t* bytes);
  // Framebuffer to framebuffer, correct for overlap in every direction.
  void (*MoveRect)(const BlitRect* r);
  // As BlitBitmap, but unlit / zero source pixels leave the framebuffer as it
  // is and the others are ORed in.
  void (*BlitBitmapOver)(const BlitRect* r, const Bitmap* b);
  void (*BlitFrameOver)(int32_t n, const DestRect* d, const FrameStrip* s);
  // As BlitBitmap with frame n of s as the source, from (sx, sy).
  void (*BlitFramePart)(int32_t n, int32_t sx, int32_t sy, const DestRect* d, const FrameStrip* s);
};

extern const DrawOps bitplanedrawops;  // colour mode 1
extern const DrawOps bytedrawops;      // colour modes 2 and 4
extern DrawOps drawops;                // the slots every caller uses
extern GlyphSource glyphsource;        // DrawText draws nothing while it is null

}  // namespace ledview
