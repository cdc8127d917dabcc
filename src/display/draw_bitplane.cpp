// Drawing operations for colour mode 1: one bit per pixel, two rows sigheight
// apart sharing a byte. Each row's first byte and bit are found once; the
// byte's other bit belongs to the partner row and is never changed.
#include "display/drawops.h"
#include "display/drawsource.h"
#include "display/framebuffer.h"

namespace ledview {

namespace {

uint8_t* RowStart(int32_t x, int32_t y) {
  return PixelAddress(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 1);
}
uint8_t RowBit(int32_t y) { return PixelBit(static_cast<uint32_t>(y)); }

// Opaque: bit 0 of each value lights the pixel, a clear bit 0 darkens it.
struct LightSink {
  uint8_t* d;
  uint64_t bit;
  template <int N>
  void Put(const uint8_t* v) {
    const uint64_t lit = (LoadRun<N>(v) & kOnes) * bit;
    StoreRun<N>(d, (LoadRun<N>(d) & ~(kOnes * bit)) | lit);
    d += N;
  }
};

// Transparent: only values with bit 0 set light their pixel.
struct OrSink {
  uint8_t* d;
  uint64_t bit;
  template <int N>
  void Put(const uint8_t* v) {
    StoreRun<N>(d, LoadRun<N>(d) | (LoadRun<N>(v) & kOnes) * bit);
    d += N;
  }
};

template <class Sink>
void CopyBlock(const SourceBlock& b) {
  const uint8_t* row = b.row;
  for (int32_t k = 0; k < b.h; ++k, row += b.pitch) {
    Sink sink{RowStart(b.dx, b.dy + k), RowBit(b.dy + k)};
    WalkRow(b, row, sink);
  }
}

// Frames have no 4-bit form here: everything but format 8 is one bit.
uint32_t FrameBits(const FrameStrip* s) { return s->format == 8 ? 2 : 1; }

void LightRun(uint8_t* p, uint32_t n, uint8_t bit, bool lit) {
  if (lit) {
    for (uint32_t i = 0; i < n; ++i) p[i] |= bit;
  } else {
    const uint8_t keep = static_cast<uint8_t>(~bit);
    for (uint32_t i = 0; i < n; ++i) p[i] &= keep;
  }
}

void BlitBitmap(const BlitRect* r, const Bitmap* b) {
  SourceBlock blk;
  if (ClipBitmap(r, b, &blk)) CopyBlock<LightSink>(blk);
}

void BlitBitmapOver(const BlitRect* r, const Bitmap* b) {
  SourceBlock blk;
  if (ClipBitmap(r, b, &blk)) CopyBlock<OrSink>(blk);
}

void BlitFrame(int32_t n, const DestRect* d, const FrameStrip* s) {
  SourceBlock blk;
  if (s != nullptr && ClipFrame(n, 0, 0, d, s, FrameBits(s), &blk)) CopyBlock<LightSink>(blk);
}

void BlitFrameOver(int32_t n, const DestRect* d, const FrameStrip* s) {
  SourceBlock blk;
  if (s != nullptr && ClipFrame(n, 0, 0, d, s, FrameBits(s), &blk)) CopyBlock<OrSink>(blk);
}

void BlitFramePart(int32_t n, int32_t sx, int32_t sy, const DestRect* d, const FrameStrip* s) {
  SourceBlock blk;
  if (s != nullptr && ClipFrame(n, sx, sy, d, s, PictureBits(s->format), &blk)) CopyBlock<LightSink>(blk);
}

void DrawText(int32_t size, const uint8_t* text, int32_t len, const DestRect* d, uint8_t /*colour*/) {
  LayoutText(size, text, len, d, [](const SourceBlock& b) { CopyBlock<LightSink>(b); });
}

void DrawHLine(int32_t y, int32_t x0, int32_t x1, uint8_t colour) {
  if (x1 > x0) LightRun(RowStart(x0, y), static_cast<uint32_t>(x1 - x0), RowBit(y), colour != 0);
}

void DrawVLine(int32_t x, int32_t y0, int32_t y1, uint8_t colour) {
  for (int32_t y = y0; y < y1; ++y) LightRun(RowStart(x, y), 1, RowBit(y), colour != 0);
}

void FillRect(const DestRect* d, uint8_t colour) {
  if (d == nullptr || d->width == 0) return;
  for (int32_t y = d->y; y < d->y + d->height; ++y) LightRun(RowStart(d->x, y), d->width, RowBit(y), colour != 0);
}

void SetPixel(int32_t x, int32_t y, uint8_t colour) { LightRun(RowStart(x, y), 1, RowBit(y), colour != 0); }

void BlitBytes(const DestRect* d, const uint8_t* bytes) {
  if (d == nullptr || bytes == nullptr) return;
  const uint32_t w = d->width;
  const size_t stride = (size_t{w} + 3) & ~size_t{3};
  for (uint32_t k = 0; k < d->height; ++k, bytes += stride) {
    LightSink sink{RowStart(d->x, d->y + static_cast<int32_t>(k)), RowBit(d->y + static_cast<int32_t>(k))};
    uint32_t i = 0;
    for (; i + 8 <= w; i += 8) sink.Put<8>(bytes + i);
    for (; i < w; ++i) sink.Put<1>(bytes + i);
  }
}

// Moves up to N pixels of a row from bit `from` of s to bit `to` of d. The
// source run is read whole before the destination run is written.
template <int N>
void MoveRun(uint8_t* d, const uint8_t* s, uint8_t from, uint8_t to) {
  uint64_t v = LoadRun<N>(s) & (kOnes * from);
  if (to > from) v <<= 1;
  if (to < from) v >>= 1;
  StoreRun<N>(d, (LoadRun<N>(d) & ~(kOnes * to)) | v);
}

// Each pixel is read at its own row's bit and written at its destination
// row's bit. Rows go from the far end when the block moves down, columns from
// the far end when it moves right, so an overlapping block is read before it
// is overwritten; runs of 8 keep that order because each run is read whole
// before it is written.
void MoveRect(const BlitRect* r) {
  if (r == nullptr || r->width <= 0 || r->height <= 0) return;
  const int32_t w = r->width;
  const int32_t h = r->height;
  const bool upwards = r->dy > r->sy;
  const bool leftwards = r->dx > r->sx;
  for (int32_t i = 0; i < h; ++i) {
    const int32_t k = upwards ? h - 1 - i : i;
    const uint8_t* s = RowStart(r->sx, r->sy + k);
    uint8_t* d = RowStart(r->dx, r->dy + k);
    const uint8_t from = RowBit(r->sy + k);
    const uint8_t to = RowBit(r->dy + k);
    if (leftwards) {
      int32_t x = w;
      for (; x >= 8; x -= 8) MoveRun<8>(d + x - 8, s + x - 8, from, to);
      while (x > 0) {
        --x;
        MoveRun<1>(d + x, s + x, from, to);
      }
    } else {
      int32_t x = 0;
      for (; x + 8 <= w; x += 8) MoveRun<8>(d + x, s + x, from, to);
      for (; x < w; ++x) MoveRun<1>(d + x, s + x, from, to);
    }
  }
}

}  // namespace

constinit const DrawOps bitplanedrawops = {
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
