// Drawing operations for colour modes 2 and 4: one byte per pixel holding its
// colour value, rows curfbpitch bytes apart.
#include <cstring>

#include "display/drawops.h"
#include "display/drawsource.h"
#include "display/framebuffer.h"

namespace ledview {

namespace {

uint8_t* RowStart(int32_t x, int32_t y) {
  return framebuffer.pixels + static_cast<uint32_t>(y) * framebuffer.curfbpitch + static_cast<uint32_t>(x);
}

// Source values times `scale` (the colour for 1-bit sources, 1 otherwise).
struct StoreSink {
  uint8_t* d;
  uint64_t scale;
  template <int N>
  void Put(const uint8_t* v) {
    StoreRun<N>(d, LoadRun<N>(v) * scale);
    d += N;
  }
};

struct OrSink {
  uint8_t* d;
  uint64_t scale;
  template <int N>
  void Put(const uint8_t* v) {
    StoreRun<N>(d, LoadRun<N>(d) | LoadRun<N>(v) * scale);
    d += N;
  }
};

// 1-bit sources only: set pixels take the colour, clear ones stay.
struct InkSink {
  uint8_t* d;
  uint64_t colour;
  template <int N>
  void Put(const uint8_t* v) {
    const uint64_t set = LoadRun<N>(v);
    StoreRun<N>(d, (LoadRun<N>(d) & ~(set * 0xFF)) | set * colour);
    d += N;
  }
};

// A 1-bit source takes its format value as the colour of its set pixels.
uint64_t SourceScale(uint32_t bits, uint32_t format) { return bits == 1 ? format : 1; }

template <class Sink>
void CopyBlock(const SourceBlock& b, uint64_t scale) {
  const uint8_t* row = b.row;
  for (int32_t k = 0; k < b.h; ++k, row += b.pitch) {
    Sink sink{RowStart(b.dx, b.dy + k), scale};
    WalkRow(b, row, sink);
  }
}

void BlitBitmap(const BlitRect* r, const Bitmap* b) {
  SourceBlock blk;
  if (!ClipBitmap(r, b, &blk)) return;
  CopyBlock<StoreSink>(blk, SourceScale(blk.bits, b->format));
}

void BlitBitmapOver(const BlitRect* r, const Bitmap* b) {
  SourceBlock blk;
  if (!ClipBitmap(r, b, &blk)) return;
  CopyBlock<OrSink>(blk, SourceScale(blk.bits, b->format));
}

// Every pixel of the clipped rectangle is stored, so the rectangle needs no
// clearing first.
void BlitFrame(int32_t n, const DestRect* d, const FrameStrip* s) {
  SourceBlock blk;
  if (s == nullptr || !ClipFrame(n, 0, 0, d, s, PictureBits(s->format), &blk)) return;
  CopyBlock<StoreSink>(blk, SourceScale(blk.bits, s->format));
}

void BlitFrameOver(int32_t n, const DestRect* d, const FrameStrip* s) {
  SourceBlock blk;
  if (s == nullptr || !ClipFrame(n, 0, 0, d, s, PictureBits(s->format), &blk)) return;
  CopyBlock<OrSink>(blk, SourceScale(blk.bits, s->format));
}

void BlitFramePart(int32_t n, int32_t sx, int32_t sy, const DestRect* d, const FrameStrip* s) {
  SourceBlock blk;
  if (s == nullptr || !ClipFrame(n, sx, sy, d, s, PictureBits(s->format), &blk)) return;
  CopyBlock<StoreSink>(blk, SourceScale(blk.bits, s->format));
}

void DrawText(int32_t size, const uint8_t* text, int32_t len, const DestRect* d, uint8_t colour) {
  LayoutText(size, text, len, d, [colour](const SourceBlock& b) { CopyBlock<InkSink>(b, colour); });
}

void DrawHLine(int32_t y, int32_t x0, int32_t x1, uint8_t colour) {
  if (x1 > x0) std::memset(RowStart(x0, y), colour, static_cast<size_t>(x1 - x0));
}

void DrawVLine(int32_t x, int32_t y0, int32_t y1, uint8_t colour) {
  if (y1 <= y0) return;
  uint8_t* p = RowStart(x, y0);
  for (int32_t y = y0; y < y1; ++y, p += framebuffer.curfbpitch) *p = colour;
}

void FillRect(const DestRect* d, uint8_t colour) {
  if (d == nullptr || d->width == 0) return;
  uint8_t* p = RowStart(d->x, d->y);
  for (uint32_t k = 0; k < d->height; ++k, p += framebuffer.curfbpitch) std::memset(p, colour, d->width);
}

void SetPixel(int32_t x, int32_t y, uint8_t colour) { *RowStart(x, y) = colour; }

void BlitBytes(const DestRect* d, const uint8_t* bytes) {
  if (d == nullptr || bytes == nullptr || d->width == 0) return;
  const size_t stride = (size_t{d->width} + 3) & ~size_t{3};
  uint8_t* p = RowStart(d->x, d->y);
  for (uint32_t k = 0; k < d->height; ++k, p += framebuffer.curfbpitch, bytes += stride) {
    std::memcpy(p, bytes, d->width);
  }
}

// Rows go from the far end when the block moves down; memmove takes care of
// overlap within a row in either direction.
void MoveRect(const BlitRect* r) {
  if (r == nullptr || r->width <= 0 || r->height <= 0) return;
  const int32_t h = r->height;
  const bool upwards = r->dy > r->sy;
  for (int32_t i = 0; i < h; ++i) {
    const int32_t k = upwards ? h - 1 - i : i;
    std::memmove(RowStart(r->dx, r->dy + k), RowStart(r->sx, r->sy + k), static_cast<size_t>(r->width));
  }
}

}  // namespace

constinit const DrawOps bytedrawops = {
    .BlitBitmap = BlitBitmap,
    .BlitFrame = BlitFrame,
    .DrawText = DrawText,
    .DrawHLine = DrawHLine,
    .DrawVLine = DrawVLine,
    .FillRect = FillRect,
    .SetPixel = SetPixel,
    .BlitBytes = BlitBytes,
    .MoveRect = MoveRect,
    .BlitBitmapOver = BlitBitmapOver,
    .BlitFrameOver = BlitFrameOver,
    .BlitFramePart = BlitFramePart,
};

}  // namespace ledview
