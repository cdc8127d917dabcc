// What the effect modules share: the rectangle an effect may draw in, the
// part of the element's image that can be read, and drawing calls clipped to
// both. An effect computes its strips freely and these calls drop whatever
// would fall outside its rectangle or outside the image, so no effect writes
// beyond the component or reads beyond the picture it was given.
#pragma once
#include <cstdint>

#include "display/drawtypes.h"
#include "effects/element.h"

namespace ledview {

// The rectangle in signed framebuffer coordinates, cut to the framebuffer.
struct EffectArea {
  int32_t x;
  int32_t y;
  int32_t w;
  int32_t h;
};

// One effect call's view of its element.
struct EffectCall {
  EffectArea a;
  const Bitmap* image;
  int32_t iw;     // image columns that can be read (0 when there is no picture)
  int32_t ih;     // image rows
  uint32_t speed; // 0..8
  int32_t s;      // PixelStep[speed]
};

// Fills `c`; false when the rectangle is empty.
bool BeginEffect(const ElementNode* e, const DestRect* r, EffectCall* c);

// Clears the part of the w x h rectangle at (x, y) that lies in the area.
void AreaClear(const EffectArea& a, int32_t x, int32_t y, int32_t w, int32_t h);

// Moves the w x h block at (sx, sy) to (dx, dy), both cut to the area.
void AreaMove(const EffectArea& a, int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h);

// Copies image pixels (sx, sy) .. (sx + w, sy + h) to (dx, dy), cut to the
// area and to the image.
void AreaBlit(const EffectCall& c, int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h);

// Paints the region (x, y, w, h) as the image placed with its top-left pixel
// at (ix, iy) shows it: image pixels where the image covers the region, colour
// 0 everywhere else in the region.
void AreaPaint(const EffectCall& c, int32_t x, int32_t y, int32_t w, int32_t h, int32_t ix, int32_t iy);

}  // namespace ledview
