#include "effects/effectarea.h"

#include <algorithm>

#include "display/drawops.h"
#include "display/framebuffer.h"
#include "effects/effects.h"

namespace ledview {

namespace {

// The half-open span [lo, hi) of offsets k in [0, n) that keep every
// start + k inside its own [min, max).
struct Span {
  int32_t lo;
  int32_t hi;
};

// Computed in 64 bits: effects may pass strips far larger than any area.
Span Cut(int32_t n, int32_t start1, int32_t min1, int32_t max1, int32_t start2, int32_t min2, int32_t max2) {
  const int64_t lo = std::max<int64_t>({0, int64_t{min1} - start1, int64_t{min2} - start2});
  const int64_t hi = std::min<int64_t>({n, int64_t{max1} - start1, int64_t{max2} - start2});
  if (hi <= lo) return {0, 0};
  return {static_cast<int32_t>(lo), static_cast<int32_t>(hi)};
}

void Fill(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (w <= 0 || h <= 0) return;
  const DestRect d{static_cast<uint16_t>(x), static_cast<uint16_t>(y), static_cast<uint16_t>(w),
                   static_cast<uint16_t>(h)};
  drawops.FillRect(&d, 0);
}

}  // namespace

bool BeginEffect(const ElementNode* e, const DestRect* r, EffectCall* c) {
  const int32_t fbw = static_cast<int32_t>(framebuffer.fbwidth);
  const int32_t fbh = static_cast<int32_t>(framebuffer.fbheight);
  c->a.x = r->x;
  c->a.y = r->y;
  c->a.w = std::max(0, std::min<int32_t>(r->width, fbw - c->a.x));
  c->a.h = std::max(0, std::min<int32_t>(r->height, fbh - c->a.y));
  c->image = &e->image;
  const Bitmap& b = e->image;
  c->iw = 0;
  c->ih = 0;
  if (b.pixels != nullptr && b.pitch > 0 && b.width > 0 && b.height > 0) {
    c->iw = std::min<int32_t>(b.width, b.pitch * static_cast<int32_t>(8 / PictureBits(b.format)));
    c->ih = b.height;
  }
  c->speed = EffectSpeed(e);
  c->s = PixelStep[c->speed];
  return c->a.w > 0 && c->a.h > 0;
}

void AreaClear(const EffectArea& a, int32_t x, int32_t y, int32_t w, int32_t h) {
  const Span cx = Cut(w, x, a.x, a.x + a.w, x, a.x, a.x + a.w);
  const Span cy = Cut(h, y, a.y, a.y + a.h, y, a.y, a.y + a.h);
  Fill(x + cx.lo, y + cy.lo, cx.hi - cx.lo, cy.hi - cy.lo);
}

void AreaMove(const EffectArea& a, int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h) {
  const Span cx = Cut(w, sx, a.x, a.x + a.w, dx, a.x, a.x + a.w);
  const Span cy = Cut(h, sy, a.y, a.y + a.h, dy, a.y, a.y + a.h);
  if (cx.hi <= cx.lo || cy.hi <= cy.lo) return;
  const BlitRect m{static_cast<int16_t>(sx + cx.lo), static_cast<int16_t>(sy + cy.lo),
                   static_cast<int16_t>(dx + cx.lo), static_cast<int16_t>(dy + cy.lo),
                   static_cast<int16_t>(cx.hi - cx.lo), static_cast<int16_t>(cy.hi - cy.lo)};
  drawops.MoveRect(&m);
}

void AreaBlit(const EffectCall& c, int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h) {
  const EffectArea& a = c.a;
  const Span cx = Cut(w, dx, a.x, a.x + a.w, sx, 0, c.iw);
  const Span cy = Cut(h, dy, a.y, a.y + a.h, sy, 0, c.ih);
  if (cx.hi <= cx.lo || cy.hi <= cy.lo) return;
  const BlitRect m{static_cast<int16_t>(sx + cx.lo), static_cast<int16_t>(sy + cy.lo),
                   static_cast<int16_t>(dx + cx.lo), static_cast<int16_t>(dy + cy.lo),
                   static_cast<int16_t>(cx.hi - cx.lo), static_cast<int16_t>(cy.hi - cy.lo)};
  drawops.BlitBitmap(&m, c.image);
}

void AreaPaint(const EffectCall& c, int32_t x, int32_t y, int32_t w, int32_t h, int32_t ix, int32_t iy) {
  const EffectArea& a = c.a;
  const Span cx = Cut(w, x, a.x, a.x + a.w, x, a.x, a.x + a.w);
  const Span cy = Cut(h, y, a.y, a.y + a.h, y, a.y, a.y + a.h);
  if (cx.hi <= cx.lo || cy.hi <= cy.lo) return;
  const int32_t rx0 = x + cx.lo;
  const int32_t ry0 = y + cy.lo;
  const int32_t rx1 = x + cx.hi;
  const int32_t ry1 = y + cy.hi;
  const int32_t jx0 = std::max(rx0, ix);
  const int32_t jy0 = std::max(ry0, iy);
  const int32_t jx1 = std::min(rx1, ix + c.iw);
  const int32_t jy1 = std::min(ry1, iy + c.ih);
  if (jx1 <= jx0 || jy1 <= jy0) {
    Fill(rx0, ry0, rx1 - rx0, ry1 - ry0);
    return;
  }
  Fill(rx0, ry0, rx1 - rx0, jy0 - ry0);
  Fill(rx0, jy1, rx1 - rx0, ry1 - jy1);
  Fill(rx0, jy0, jx0 - rx0, jy1 - jy0);
  Fill(jx1, jy0, rx1 - jx1, jy1 - jy0);
  AreaBlit(c, jx0 - ix, jy0 - iy, jx0, jy0, jx1 - jx0, jy1 - jy0);
}

}  // namespace ledview
