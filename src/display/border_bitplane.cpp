// Border painters for colour mode 1: a non-zero tile digit lights its pixel,
// 0 darkens it.
#include "display/border.h"
#include "display/borderband.h"

namespace ledview {

namespace {

constexpr bool kBitPlane = true;

constexpr BorderTile kType1[2] = {
    {4, 4, {"0000", "0110", "0110", "0000"}},
    {4, 4, {"0110", "1001", "1001", "0110"}},
};
constexpr uint8_t kType2Chain[2][2] = {{1, 0}, {0, 1}};
constexpr BorderTile kType3H[6] = {
    {3, 4, {"1000", "0000", "0000"}}, {3, 4, {"0000", "0000", "1000"}}, {3, 4, {"0000", "0000", "0010"}},
    {3, 4, {"0010", "0000", "0000"}}, {3, 4, {"0010", "0101", "1000"}}, {3, 4, {"1000", "0101", "0010"}},
};
constexpr BorderTile kType3V[6] = {
    {4, 4, {"1000", "0000", "0000", "0000"}}, {4, 4, {"0010", "0000", "0000", "0000"}},
    {4, 4, {"0000", "0000", "0010", "0000"}}, {4, 4, {"0000", "0000", "1000", "0000"}},
    {4, 4, {"0010", "0100", "1000", "0100"}}, {4, 4, {"1000", "0100", "0010", "0100"}},
};
// Lit, dark, lit, dark.
constexpr BorderTile kType4[4] = {{1, 1, {"1"}}, {1, 1, {"0"}}, {1, 1, {"1"}}, {1, 1, {"0"}}};
constexpr BorderTile kType6[2] = {
    {4, 4, {"0110", "1001", "1001", "0110"}},
    {4, 4, {"0000", "0000", "0000", "0000"}},
};
constexpr BorderTile kType7H[4] = {
    {3, 8, {"11110000", "01000000", "11110000"}},
    {3, 8, {"00001111", "00000010", "00001111"}},
    {3, 8, {"00001111", "00000100", "00001111"}},
    {3, 8, {"11110000", "00100000", "11110000"}},
};
constexpr BorderTile kType7V[4] = {
    {8, 4, {"0000", "0000", "0000", "0000", "1010", "1010", "1110", "1010"}},
    {8, 4, {"1010", "1110", "1010", "1010", "0000", "0000", "0000", "0000"}},
    {8, 4, {"1010", "1010", "1110", "1010", "0000", "0000", "0000", "0000"}},
    {8, 4, {"0000", "0000", "0000", "0000", "1010", "1110", "1010", "1010"}},
};
constexpr BorderTile kType8[2] = {
    {3, 4, {"0111", "0101", "1101"}},
    {3, 4, {"1110", "1010", "1011"}},
};

// Types 1 and 5. The side bands leave out the corners' rows.
void Border1(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 || y1 == 0) return;
  const uintptr_t p = *phase & 1;
  *phase = p ^ 1;
  const BorderTile& t = kType1[p];
  TileHBand(kBitPlane, t, y0, x0, x1 - 1, x0, 1);
  TileHBand(kBitPlane, t, y1 - 4, x0, x1 - 1, x0, 1);
  TileVBand(kBitPlane, t, x0, 4, y0 + 3, y1 - 6);
  TileVBand(kBitPlane, t, x1 - 4, 4, y0 + 3, y1 - 6);
}

// Lit and dark alternating around the border.
void Border2(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 || y1 == 0) return;
  const uintptr_t p = *phase & 1;
  const uint8_t* chain = kType2Chain[p];
  uint32_t k = 0;
  for (int32_t x = x0; x < x1; ++x) BorderPixel(kBitPlane, x, y0, chain[k++ & 1]);
  for (int32_t y = y0; y < y1; ++y) BorderPixel(kBitPlane, x1 - 1, y, chain[k++ & 1]);
  for (int32_t x = x1 - 1; x >= x0; --x) BorderPixel(kBitPlane, x, y1 - 1, chain[k++ & 1]);
  for (int32_t y = y1 - 2; y > y0; --y) BorderPixel(kBitPlane, x0, y, chain[k++ & 1]);
  *phase = p ^ 1;
}

void Border3(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 || y1 == 0) return;
  const uintptr_t p = *phase % 3;
  *phase = (p + 1) % 3;
  TileHBand(kBitPlane, kType3H[2 * p], y0, x0, x1 - 3, x0, 1);
  TileHBand(kBitPlane, kType3H[2 * p + 1], y1 - 3, x0, x1 - 3, x0, 1);
  TileVBand(kBitPlane, kType3V[2 * p], x0, 3, y0 + 3, y1 - 4);
  TileVBand(kBitPlane, kType3V[2 * p + 1], x1 - 3, 3, y0 + 3, y1 - 4);
}

void Border4(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 || y1 == 0) return;
  const uintptr_t p = (*phase % 4 + 1) % 4;
  *phase = p;
  const BorderTile& t = kType4[p];
  TileHBand(kBitPlane, t, y0, x0, x1 - 2, x0, 1);
  TileHBand(kBitPlane, t, y1 - 1, x0, x1 - 2, x0, 1);
  TileVBand(kBitPlane, t, x0, 1, y0, y1 - 1);
  TileVBand(kBitPlane, t, x1 - 1, 1, y0, y1 - 1);
}

void Border6(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  WalkBorder(kBitPlane, kType6, x0, y0, x1, y1, phase);
}

void Border7(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 || y1 == 0) return;
  const uintptr_t p = *phase & 1;
  *phase = p ^ 1;
  TileHBand(kBitPlane, kType7H[2 * p], y0, x0, x1 - 1, x0, 1);
  TileHBand(kBitPlane, kType7H[2 * p + 1], y1 - 3, x0, x1 - 1, x0, 1);
  TileVBand(kBitPlane, kType7V[2 * p], x0, 3, y0 + 3, y1 - 4);
  TileVBand(kBitPlane, kType7V[2 * p + 1], x1 - 3, 3, y0 + 3, y1 - 4);
}

// The edge columns are always lit.
void Border8(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 || y1 == 0) return;
  const uintptr_t p = *phase & 1;
  *phase = p ^ 1;
  TileHBand(kBitPlane, kType8[p], y0, x0, x1 - 1, x0, 1);
  TileHBand(kBitPlane, kType8[p], y1 - 3, x0, x1 - 1, x0, 1);
  FillBorderColumns(x0, y0, y1 - 1, 1);
  FillBorderColumns(x1 - 2, y0, y1 - 1, 1);
}

}  // namespace

constinit const BorderType bitplaneborders[kBorderTypes] = {
    {4, Border1}, {1, Border2}, {3, Border3}, {1, Border4}, {4, Border1}, {4, Border6}, {3, Border7}, {3, Border8},
};

}  // namespace ledview
