#include "display/borderband.h"

#include <algorithm>

#include "display/drawops.h"
#include "display/framebuffer.h"
#include "memory/arena.h"

namespace ledview {

namespace {

int32_t Mod(int64_t a, int32_t n) {
  const int32_t r = static_cast<int32_t>(a % n);
  return r < 0 ? r + n : r;
}

uint8_t Digit(const BorderTile& t, int32_t r, int32_t c) { return static_cast<uint8_t>(t.row[r][c] - '0'); }

// The first byte of row y at column x, and the row's bit in colour mode 1 (0
// in the byte layout).
uint8_t* RowAt(bool bitplane, int32_t x, int32_t y, uint8_t* bit) {
  *bit = bitplane ? PixelBit(static_cast<uint32_t>(y)) : 0;
  return PixelAddress(static_cast<uint32_t>(x), static_cast<uint32_t>(y), bitplane ? 1 : 2);
}

void Ink(uint8_t* p, uint8_t bit, uint8_t value) {
  if (bit == 0) {
    *p = value;
  } else if (value != 0) {
    *p |= bit;
  } else {
    *p &= static_cast<uint8_t>(~bit);
  }
}

int32_t FbWidth() { return static_cast<int32_t>(framebuffer.fbwidth); }
int32_t FbHeight() { return static_cast<int32_t>(framebuffer.fbheight); }

// Writes w x h tile pixels at (x, y), clipped to the framebuffer.
void PutBlock(bool bitplane, const BorderTile& t, int32_t x, int32_t y, int32_t w, int32_t h) {
  const int32_t c0 = std::max(0, -x);
  const int32_t c1 = std::min(w, FbWidth() - x);
  const int32_t r0 = std::max(0, -y);
  const int32_t r1 = std::min(h, FbHeight() - y);
  for (int32_t r = r0; r < r1; ++r) {
    uint8_t bit = 0;
    uint8_t* p = RowAt(bitplane, x + c0, y + r, &bit);
    for (int32_t c = c0; c < c1; ++c, ++p) {
      const uint8_t v = Digit(t, r, c);
      Ink(p, bit, bitplane ? v & 1 : v);
    }
  }
}

struct BorderWalker {
  uint32_t side;  // 0 top, 1 right, 2 bottom, 3 left
  uint32_t tile;  // 0 lays the dots, 1 erases them
  int32_t pos;
};

}  // namespace

void TileHBand(bool bitplane, const BorderTile& t, int32_t y, int32_t xa, int32_t xb, int32_t origin,
               int32_t dir) {
  xa = std::max(xa, 0);
  xb = std::min(xb, FbWidth() - 1);
  if (xa > xb) return;
  for (int32_t r = 0; r < t.rows; ++r) {
    const int32_t yy = y + r;
    if (yy < 0 || yy >= FbHeight()) continue;
    uint8_t bit = 0;
    uint8_t* p = RowAt(bitplane, xa, yy, &bit);
    int32_t c = Mod((int64_t{xa} - origin) * dir, t.cols);
    for (int32_t x = xa; x <= xb; ++x, ++p) {
      Ink(p, bit, Digit(t, r, c));
      c = dir > 0 ? (c + 1 == t.cols ? 0 : c + 1) : (c == 0 ? t.cols - 1 : c - 1);
    }
  }
}

void TileVBand(bool bitplane, const BorderTile& t, int32_t x, int32_t cols, int32_t ya, int32_t yb) {
  const int32_t c0 = std::max(0, -x);
  const int32_t c1 = std::min(cols, FbWidth() - x);
  const int32_t first = std::max(ya, 0);
  const int32_t last = std::min(yb, FbHeight() - 1);
  for (int32_t y = first; y <= last && c0 < c1; ++y) {
    const int32_t r = Mod(int64_t{y} - ya, t.rows);
    uint8_t bit = 0;
    uint8_t* p = RowAt(bitplane, x + c0, y, &bit);
    for (int32_t c = c0; c < c1; ++c, ++p) Ink(p, bit, Digit(t, r, c));
  }
}

void TileBlock(bool bitplane, const BorderTile& t, int32_t x, int32_t y, int32_t w, int32_t h) {
  PutBlock(bitplane, t, x, y, std::min(w, t.cols), std::min(h, t.rows));
}

void BorderPixel(bool bitplane, int32_t x, int32_t y, uint8_t value) {
  if (x < 0 || y < 0 || x >= FbWidth() || y >= FbHeight()) return;
  uint8_t bit = 0;
  Ink(RowAt(bitplane, x, y, &bit), bit, value);
}

void FillBorderColumns(int32_t x, int32_t ya, int32_t yb, uint8_t colour) {
  const int32_t xs = std::max(x, 0);
  const int32_t xe = std::min(x + 2, FbWidth());
  const int32_t ys = std::max(ya, 0);
  const int32_t ye = std::min(yb + 1, FbHeight());
  if (xs >= xe || ys >= ye) return;
  const DestRect d{static_cast<uint16_t>(xs), static_cast<uint16_t>(ys), static_cast<uint16_t>(xe - xs),
                   static_cast<uint16_t>(ye - ys)};
  drawops.FillRect(&d, colour);
}

void WalkBorder(bool bitplane, const BorderTile* tiles, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                uintptr_t* phase) {
  if (x1 == 0 && y1 == 0) {
    ArenaFree(reinterpret_cast<void*>(*phase));
    *phase = 0;
    return;
  }
  if (x1 == 0 || y1 == 0) return;
  auto* walker = reinterpret_cast<BorderWalker*>(*phase);
  if (walker == nullptr) {
    // Without its state the border stays undrawn; the next call tries again.
    walker = static_cast<BorderWalker*>(ArenaAlloc(sizeof(BorderWalker)));
    if (walker == nullptr) return;
    *walker = BorderWalker{0, 0, x0};
    *phase = reinterpret_cast<uintptr_t>(walker);
  }
  const BorderTile& t = tiles[walker->tile & 1];
  int32_t& pos = walker->pos;
  switch (walker->side) {
    case 0:
      TileBlock(bitplane, t, pos, y0, 4, 4);
      if (pos + 8 <= x1) {
        pos += 4;
      } else {
        if (pos + 4 < x1) TileBlock(bitplane, t, pos + 4, y0, x1 - pos - 4, 4);
        walker->side = 1;
        pos = y0 + 4;
      }
      break;
    case 1:
      TileBlock(bitplane, t, x1 - 4, pos, 4, 4);
      if (pos + 8 <= y1) {
        pos += 4;
      } else {
        if (pos + 4 < y1) TileBlock(bitplane, t, x1 - 4, pos + 4, 4, y1 - pos - 4);
        walker->side = 2;
        pos = x1 - 4;
      }
      break;
    case 2:
      TileBlock(bitplane, t, pos - 4, y1 - 4, 4, 4);
      if (pos - 8 >= x0) {
        pos -= 4;
      } else {
        if (pos - 4 > x0) TileBlock(bitplane, t, x0, y1 - 4, pos - 4 - x0, 4);
        walker->side = 3;
        pos = y1 - 4;
      }
      break;
    default:
      if (pos - 4 > y0) {
        TileBlock(bitplane, t, x0, pos - 4, 4, 4);
        pos -= 4;
      } else {
        if (pos >= y0) TileBlock(bitplane, t, x0, y0, 4, pos - y0);
        walker->side = 0;
        pos = x0;
        walker->tile ^= 1;
      }
      break;
  }
}

}  // namespace ledview
