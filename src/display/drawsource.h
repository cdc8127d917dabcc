// What the two drawing-operation tables share: clipping a copy to its source
// image, walking a source row in its pixel format, and laying out text.
//
// A source row is walked whole byte at a time once its bit position is at a
// byte boundary; each byte is expanded through a table into one value byte
// per pixel and handed to a sink, which writes a run of N destination bytes
// (`Put<N>`) in its layout's way. Only the pixels before the first boundary
// and after the last whole byte go one at a time.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "display/drawtypes.h"
#include "display/framebuffer.h"
#include "format/playbill.h"

namespace ledview {

// A copy clipped to its source: w x h pixels from pixel sx of `row` and the
// rows `pitch` bytes after it, to (dx, dy).
struct SourceBlock {
  const uint8_t* row;
  int64_t pitch;
  int32_t sx;
  int32_t dx;
  int32_t dy;
  int32_t w;
  int32_t h;
  uint32_t bits;
};

// Clips a copy of width x height pixels at (sx, sy) of an image of imgw x imgh
// pixels to (dx, dy). The image is only as wide as its pitch holds; a negative
// source offset drops the destination pixels it would have covered. False
// when nothing is left to copy.
inline bool ClipSource(const uint8_t* pixels, int64_t imgw, int64_t imgh, int64_t pitch, uint32_t bits,
                       int64_t sx, int64_t sy, int64_t dx, int64_t dy, int64_t width, int64_t height,
                       SourceBlock* out) {
  if (pixels == nullptr || pitch <= 0) return false;
  if (sx < 0) {
    dx -= sx;
    width += sx;
    sx = 0;
  }
  if (sy < 0) {
    dy -= sy;
    height += sy;
    sy = 0;
  }
  const int64_t usable = std::min(imgw, pitch * (8 / bits));
  const int64_t w = std::min(width, usable - sx);
  const int64_t h = std::min(height, imgh - sy);
  if (w <= 0 || h <= 0) return false;
  out->row = pixels + sy * pitch;
  out->pitch = pitch;
  out->sx = static_cast<int32_t>(sx);
  out->dx = static_cast<int32_t>(dx);
  out->dy = static_cast<int32_t>(dy);
  out->w = static_cast<int32_t>(w);
  out->h = static_cast<int32_t>(h);
  out->bits = bits;
  return true;
}

inline bool ClipBitmap(const BlitRect* r, const Bitmap* b, SourceBlock* out) {
  if (r == nullptr || b == nullptr) return false;
  return ClipSource(b->pixels, b->width, b->height, b->pitch, PictureBits(b->format), r->sx, r->sy, r->dx, r->dy,
                    r->width, r->height, out);
}

// Frame n of a strip, from (sx, sy), to d; `bits` as the caller reads the
// strip's format. Frames outside the strip's count draw nothing.
inline bool ClipFrame(int32_t n, int32_t sx, int32_t sy, const DestRect* d, const FrameStrip* s, uint32_t bits,
                      SourceBlock* out) {
  if (d == nullptr || s == nullptr || n < 0 || static_cast<uint32_t>(n) >= s->count) return false;
  const int64_t pitch = s->pitch;
  const auto* frame = reinterpret_cast<const uint8_t*>(s) + sizeof(FrameStrip) + n * int64_t{s->height} * pitch;
  return ClipSource(frame, s->width, s->height, pitch, bits, sx, sy, d->x, d->y, d->width, d->height, out);
}

// One value byte per pixel for each source byte.
inline constexpr auto kBits1 = [] {
  std::array<std::array<uint8_t, 8>, 256> t{};
  for (int b = 0; b < 256; ++b)
    for (int k = 0; k < 8; ++k) t[b][k] = static_cast<uint8_t>((b >> (7 - k)) & 1);
  return t;
}();
inline constexpr auto kBits2 = [] {
  std::array<std::array<uint8_t, 4>, 256> t{};
  for (int b = 0; b < 256; ++b)
    for (int k = 0; k < 4; ++k) t[b][k] = static_cast<uint8_t>((b >> (2 * k)) & 3);
  return t;
}();
// Both nibbles as colour values.
inline constexpr auto kNibbles = [] {
  std::array<std::array<uint8_t, 2>, 256> t{};
  for (int b = 0; b < 256; ++b) t[b] = {static_cast<uint8_t>(b & 7), static_cast<uint8_t>((b >> 4) & 7)};
  return t;
}();
// 1-bit row: first pixel in bit 7. Values 0 or 1.
template <class Sink>
inline void Walk1(const uint8_t* s, int32_t sx, int32_t w, Sink& k) {
  int32_t i = 0;
  for (; i < w && (sx & 7) != 0; ++i, ++sx) {
    const uint8_t v = (s[sx >> 3] >> (7 - (sx & 7))) & 1;
    k.template Put<1>(&v);
  }
  const uint8_t* p = s + (sx >> 3);
  for (; i + 8 <= w; i += 8) k.template Put<8>(kBits1[*p++].data());
  for (int32_t bit = 7; i < w; ++i, --bit) {
    const uint8_t v = (*p >> bit) & 1;
    k.template Put<1>(&v);
  }
}

// 2-bit row: first pixel in bits 0-1. Values 0..3.
template <class Sink>
inline void Walk2(const uint8_t* s, int32_t sx, int32_t w, Sink& k) {
  int32_t i = 0;
  for (; i < w && (sx & 3) != 0; ++i, ++sx) {
    const uint8_t v = (s[sx >> 2] >> ((sx & 3) * 2)) & 3;
    k.template Put<1>(&v);
  }
  const uint8_t* p = s + (sx >> 2);
  for (; i + 8 <= w; i += 8, p += 2) {
    uint8_t run[8];
    std::memcpy(run, kBits2[p[0]].data(), 4);
    std::memcpy(run + 4, kBits2[p[1]].data(), 4);
    k.template Put<8>(run);
  }
  for (; i + 4 <= w; i += 4) k.template Put<4>(kBits2[*p++].data());
  for (int32_t shift = 0; i < w; ++i, shift += 2) {
    const uint8_t v = (*p >> shift) & 3;
    k.template Put<1>(&v);
  }
}

// 4-bit row: first pixel in the low nibble; both nibbles AND 7, so that a
// damaged picture still yields colour values.
template <class Sink>
inline void Walk4(const uint8_t* s, int32_t sx, int32_t w, Sink& k) {
  const auto& table = kNibbles;
  const uint8_t* p = s + (sx >> 1);
  int32_t i = 0;
  if ((sx & 1) != 0 && w > 0) {
    const uint8_t v = table[*p++][1];
    k.template Put<1>(&v);
    i = 1;
  }
  for (; i + 8 <= w; i += 8, p += 4) {
    uint8_t run[8];
    for (int j = 0; j < 4; ++j) std::memcpy(run + 2 * j, table[p[j]].data(), 2);
    k.template Put<8>(run);
  }
  for (; i + 2 <= w; i += 2) k.template Put<2>(table[*p++].data());
  if (i < w) k.template Put<1>(&table[*p][0]);
}

// Walks one source row of a block in its format.
template <class Sink>
inline void WalkRow(const SourceBlock& b, const uint8_t* row, Sink& k) {
  if (b.bits == 1) {
    Walk1(row, b.sx, b.w, k);
  } else if (b.bits == 2) {
    Walk2(row, b.sx, b.w, k);
  } else {
    Walk4(row, b.sx, b.w, k);
  }
}

// Loads and stores N bytes of a run; the values never carry across bytes, so
// byte-wise arithmetic on the word is independent of byte order.
template <int N>
inline uint64_t LoadRun(const uint8_t* p) {
  uint64_t v = 0;
  std::memcpy(&v, p, N);
  return v;
}
template <int N>
inline void StoreRun(uint8_t* p, uint64_t v) {
  std::memcpy(p, &v, N);
}
inline constexpr uint64_t kOnes = 0x0101010101010101ull;

// Lays text out as DrawText does and hands each glyph, clipped to the
// framebuffer, to draw(block) as a 1-bit source block.
template <class Draw>
inline void LayoutText(int32_t size, const uint8_t* text, int32_t len, const DestRect* d, Draw draw) {
  if (text == nullptr || d == nullptr || size < 1 || glyphsource == nullptr) return;
  const int64_t fbwidth = framebuffer.fbwidth;
  const int64_t fbheight = framebuffer.fbheight;
  const int64_t right = int64_t{d->x} + d->width;
  int64_t x = d->x;
  int64_t y = d->y;
  for (int32_t i = 0; i < len && text[i] != 0; ++i) {
    uint16_t code = text[i];
    if (code == 10) {
      x = d->x;
      y += size;
      if (y >= fbheight) return;
      continue;
    }
    if (code == 13) continue;
    if (code == 9 || code == 32) {
      x += size / 2;
      continue;
    }
    if (code >= 161) {
      // A lead byte without its trail byte ends the text.
      if (i + 1 >= len || text[i + 1] == 0) return;
      code = static_cast<uint16_t>(code | text[++i] << 8);
    }
    if (x >= right) continue;
    const GlyphCell* cell = glyphsource(size, code, 1);
    if (cell->rows != nullptr && x < fbwidth && y < fbheight) {
      SourceBlock b;
      const int64_t cols = std::min<int64_t>(cell->width, fbwidth - x);
      const int64_t rows = std::min<int64_t>(cell->height, fbheight - y);
      if (ClipSource(cell->rows, cell->width, cell->height, cell->pitch, 1, 0, 0, x, y, cols, rows, &b)) draw(b);
    }
    x += cell->width;
  }
}

}  // namespace ledview
