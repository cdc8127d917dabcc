// Tile laying shared by the two border painter sets. Every helper takes the
// layout (bit-plane or byte per pixel) of the set that calls it and drops the
// pixels that fall outside the framebuffer, so a border around an object
// smaller than the border itself cannot write outside the pixel area.
#pragma once
#include <cstdint>

namespace ledview {

// rows x cols pixels, one digit per pixel, top row first. In colour modes 2/4
// a digit is the colour value stored; in colour mode 1 non-zero lights.
struct BorderTile {
  int32_t rows;
  int32_t cols;
  const char* row[8];
};

// Tile rows 0 .. rows - 1 on rows y .. y + rows - 1, over columns xa .. xb;
// column x takes tile column ((x - origin) * dir) mod cols.
void TileHBand(bool bitplane, const BorderTile& t, int32_t y, int32_t xa, int32_t xb, int32_t origin,
               int32_t dir);

// Tile columns 0 .. cols - 1 on columns x .. x + cols - 1, over rows ya .. yb;
// row y takes tile row (y - ya) mod rows.
void TileVBand(bool bitplane, const BorderTile& t, int32_t x, int32_t cols, int32_t ya, int32_t yb);

// The first w columns of the first h rows of the tile at (x, y); colour mode 1
// lights a pixel when bit 0 of its digit is 1.
void TileBlock(bool bitplane, const BorderTile& t, int32_t x, int32_t y, int32_t w, int32_t h);

// One pixel of a chain.
void BorderPixel(bool bitplane, int32_t x, int32_t y, uint8_t value);

// A two-pixel-wide column over rows ya .. yb, filled through FillRect.
void FillBorderColumns(int32_t x, int32_t ya, int32_t yb, uint8_t colour);

// Type 6: one tile of tiles[0] or tiles[1] per call along a walk around the
// border, whose state lives in an arena block the phase word points to.
void WalkBorder(bool bitplane, const BorderTile* tiles, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                uintptr_t* phase);

}  // namespace ledview
