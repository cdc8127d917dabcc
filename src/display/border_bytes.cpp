// Border painters for colour modes 2 and 4: tile digits are colour values.
#include "display/border.h"
#include "display/borderband.h"

namespace ledview {

namespace {

constexpr bool kBytes = false;

constexpr BorderTile kType1[2] = {
    {4, 4, {"0110", "1331", "1331", "0110"}},
    {4, 4, {"0110", "1001", "1001", "0110"}},
};
constexpr BorderTile kType5[2] = {
    {4, 4, {"0000", "0330", "0330", "0000"}},
    {4, 4, {"0110", "1001", "1001", "0110"}},
};
constexpr uint8_t kType2Chain[3][3] = {{1, 2, 3}, {3, 1, 2}, {2, 3, 1}};
constexpr BorderTile kType3H[6] = {
    {3, 4, {"1000", "0000", "0020"}}, {3, 4, {"0020", "0000", "1000"}}, {3, 4, {"2000", "0000", "0010"}},
    {3, 4, {"0010", "0000", "2000"}}, {3, 4, {"0030", "0303", "3000"}}, {3, 4, {"3000", "0303", "0030"}},
};
constexpr BorderTile kType3V[6] = {
    {4, 4, {"1000", "0000", "0020", "0000"}}, {4, 4, {"0010", "0000", "2000", "0000"}},
    {4, 4, {"2000", "0000", "0010", "0000"}}, {4, 4, {"0020", "0000", "1000", "0000"}},
    {4, 4, {"0030", "0300", "3000", "0300"}}, {4, 4, {"3000", "0300", "0030", "0300"}},
};
// Red, green, yellow, dark.
constexpr BorderTile kType4[4] = {{1, 1, {"1"}}, {1, 1, {"2"}}, {1, 1, {"3"}}, {1, 1, {"0"}}};
constexpr BorderTile kType6[2] = {
    {4, 4, {"0110", "1331", "1331", "0110"}},
    {4, 4, {"0000", "0000", "0000", "0000"}},
};
constexpr BorderTile kType7H[4] = {
    {3, 8, {"11110000", "01000000", "11110000"}},
    {3, 8, {"00001111", "00000010", "00001111"}},
    {3, 8, {"00002222", "00000200", "00002222"}},
    {3, 8, {"22220000", "00200000", "22220000"}},
};
constexpr BorderTile kType7V[4] = {
    {8, 4, {"0000", "0000", "0000", "0000", "1010", "1010", "1110", "1010"}},
    {8, 4, {"1010", "1110", "1010", "1010", "0000", "0000", "0000", "0000"}},
    {8, 4, {"2020", "2020", "2220", "2020", "0000", "0000", "0000", "0000"}},
    {8, 4, {"0000", "0000", "0000", "0000", "2020", "2220", "2020", "2020"}},
};
constexpr BorderTile kType8[2] = {
    {3, 4, {"0111", "0101", "1101"}},
    {3, 4, {"2220", "2020", "2022"}},
};

// Types 1 and 5: one 4 x 4 tile all round, alternating.
void PaintRing(const BorderTile* tiles, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  const uintptr_t p = *phase & 1;
  *phase = p ^ 1;
  const BorderTile& t = tiles[p];
  TileHBand(kBytes, t, y0, x0, x1 - 1, x0, 1);
  TileHBand(kBytes, t, y1 - 4, x0, x1 - 1, x0, 1);
  TileVBand(kBytes, t, x0, 4, y0, y1 - 1);
  TileVBand(kBytes, t, x1 - 4, 4, y0, y1 - 1);
}

void Border1(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 || y1 == 0) return;
  PaintRing(kType1, x0, y0, x1, y1, phase);
}

void Border5(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 && y1 == 0) return;
  PaintRing(kType5, x0, y0, x1, y1, phase);
}

// A chain of three colours walked clockwise from (x0, y0) back onto it.
void Border2(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 || y1 == 0) return;
  const uintptr_t p = *phase % 3;
  const uint8_t* chain = kType2Chain[p];
  uint32_t k = 0;
  for (int32_t x = x0; x < x1 - 1; ++x) BorderPixel(kBytes, x, y0, chain[k++ % 3]);
  for (int32_t y = y0; y < y1 - 1; ++y) BorderPixel(kBytes, x1 - 1, y, chain[k++ % 3]);
  for (int32_t x = x1 - 1; x > x0; --x) BorderPixel(kBytes, x, y1 - 1, chain[k++ % 3]);
  for (int32_t y = y1 - 1; y >= y0; --y) BorderPixel(kBytes, x0, y, chain[k++ % 3]);
  *phase = (p + 1) % 3;
}

void Border3(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 || y1 == 0) return;
  const uintptr_t p = (*phase % 3 + 1) % 3;
  *phase = p;
  TileHBand(kBytes, kType3H[2 * p], y0, x0, x1 - 1, x1 - 1, -1);
  TileHBand(kBytes, kType3H[2 * p + 1], y1 - 3, x0, x1 - 1, x1 - 1, -1);
  TileVBand(kBytes, kType3V[2 * p], x0, 3, y0, y1 - 1);
  TileVBand(kBytes, kType3V[2 * p + 1], x1 - 3, 3, y0, y1 - 1);
}

void Border4(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 || y1 == 0) return;
  const uintptr_t p = (*phase % 4 + 1) % 4;
  *phase = p;
  const BorderTile& t = kType4[p];
  TileHBand(kBytes, t, y0, x0, x1 - 1, x0, 1);
  TileHBand(kBytes, t, y1 - 1, x0, x1 - 1, x0, 1);
  TileVBand(kBytes, t, x0, 1, y0, y1 - 1);
  TileVBand(kBytes, t, x1 - 1, 1, y0, y1 - 1);
}

void Border6(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  WalkBorder(kBytes, kType6, x0, y0, x1, y1, phase);
}

// Corners are left alone.
void Border7(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 || y1 == 0) return;
  const uintptr_t p = *phase & 1;
  *phase = p ^ 1;
  TileHBand(kBytes, kType7H[2 * p], y0, x0 + 3, x1 - 4, x0 + 3, 1);
  TileHBand(kBytes, kType7H[2 * p + 1], y1 - 3, x0 + 3, x1 - 4, x0 + 3, 1);
  TileVBand(kBytes, kType7V[2 * p], x0, 3, y0 + 3, y1 - 4);
  TileVBand(kBytes, kType7V[2 * p + 1], x1 - 3, 3, y0 + 3, y1 - 4);
}

void Border8(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  if (x1 == 0 || y1 == 0) return;
  const uintptr_t p = *phase & 1;
  *phase = p ^ 1;
  TileHBand(kBytes, kType8[p], y0, x0, x1 - 1, x0, 1);
  TileHBand(kBytes, kType8[p], y1 - 3, x0, x1 - 1, x0, 1);
  const uint8_t edge = p == 1 ? 2 : 1;
  FillBorderColumns(x0, y0, y1 - 1, edge);
  FillBorderColumns(x1 - 2, y0, y1 - 1, edge);
}

}  // namespace

constinit const BorderType byteborders[kBorderTypes] = {
    {4, Border1}, {1, Border2}, {3, Border3}, {1, Border4}, {4, Border5}, {4, Border6}, {3, Border7}, {3, Border8},
};

}  // namespace ledview
