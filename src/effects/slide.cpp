// Slides (entry slots 8 to 15): the image is pushed in from an edge or a
// corner, moving the picture already on the sign ahead of it, and stops with
// its first column and row at the rectangle's top-left corner (or, when it is
// longer than the rectangle along the motion of slots 9 and 11, with its far
// end at the far edge).
#include <algorithm>

#include "effects/effectarea.h"
#include "effects/effects.h"
#include "effects/motion.h"

namespace ledview {

namespace {

// Slots 8 to 11. A forward slide travels the image's length; a backward one
// at least the rectangle's, so that a short image goes on until its first
// column (row) reaches the near edge.
int32_t StraightSlide(ElementNode* e, DestRect* r, const Straight& m) {
  EffectCall c;
  if (!BeginEffect(e, r, &c) || c.iw == 0 || c.ih == 0) return -1;
  const int32_t il = ImageAlong(c, m);
  const int32_t len = AreaAlong(c, m);
  if (e->extent == 0) {
    const int32_t extent = m.forward ? il : std::max(il, len);
    if (extent <= c.s) {
      // One step covers the whole travel: the final picture at once.
      const int32_t skip = m.forward ? 0 : std::max(il - len, 0);
      AreaBlit(c, m.vertical ? 0 : skip, m.vertical ? skip : 0, c.a.x, c.a.y, c.a.w, c.a.h);
      return -1;
    }
    e->extent = extent;
    e->stepDelay = FirstDelay[c.speed];
    StraightStep(c, m, 0, c.s);
    e->step = c.s;
    return e->stepDelay;
  }
  const int32_t extent = e->extent;
  const int32_t p = e->step;
  if (p < 0 || p >= extent) return -1;
  const int32_t q = std::min(p + c.s, extent);
  StraightStep(c, m, p, q);
  e->step = q;
  return q >= extent ? -1 : e->stepDelay;
}

struct Corner {
  bool fromright;   // the image enters at the right edge, the content moves left
  bool frombottom;  // the image enters at the bottom edge, the content moves up
};

// Slots 12 to 15. Along each axis the image travels the image's size when it
// enters from the left or top (its far edge leads) and the rectangle's size
// when it enters from the right or bottom (its near edge leads). Both axes
// move together until the shorter travel is done, then the longer one goes
// on alone.
int32_t DiagonalSlide(ElementNode* e, DestRect* r, Corner k) {
  EffectCall c;
  if (!BeginEffect(e, r, &c) || c.iw == 0 || c.ih == 0) return -1;
  const EffectArea& a = c.a;
  const int32_t tx = k.fromright ? a.w : c.iw;
  const int32_t ty = k.frombottom ? a.h : c.ih;
  const int32_t both = std::min(tx, ty);
  if (e->extent == 0) {
    const int32_t extent = std::max(tx, ty);
    e->stepDelay = FirstDelay[c.speed];
    e->extent = extent;
    e->step = 0;
    if (c.s >= extent) {
      AreaBlit(c, 0, 0, a.x, a.y, a.w, a.h);
      return -1;
    }
    return e->stepDelay;
  }
  const int32_t extent = e->extent;
  const int32_t p = e->step;
  if (p < 0 || p >= extent) return -1;
  // A diagonal step never carries past the end of the diagonal phase.
  const int32_t q = std::min(p + c.s, p < both ? both : extent);
  const int32_t px = std::min(p, tx), qx = std::min(q, tx);
  const int32_t py = std::min(p, ty), qy = std::min(q, ty);
  const int32_t dx = qx - px, dy = qy - py;
  const int32_t mx = k.fromright ? -dx : dx;
  const int32_t my = k.frombottom ? -dy : dy;
  AreaMove(a, a.x + std::max(0, -mx), a.y + std::max(0, -my), a.x + std::max(0, mx), a.y + std::max(0, my),
           a.w - dx, a.h - dy);
  // Where the image's top-left pixel stands now.
  const int32_t ix = k.fromright ? a.x + a.w - qx : a.x + qx - c.iw;
  const int32_t iy = k.frombottom ? a.y + a.h - qy : a.y + qy - c.ih;
  if (dx > 0) AreaPaint(c, k.fromright ? a.x + a.w - dx : a.x, a.y, dx, a.h, ix, iy);
  if (dy > 0) AreaPaint(c, a.x, k.frombottom ? a.y + a.h - dy : a.y, a.w, dy, ix, iy);
  e->step = q;
  return e->stepDelay;
}

}  // namespace

int32_t SlideRight(ElementNode* e, DestRect* r) { return StraightSlide(e, r, {false, true, true}); }
int32_t SlideLeft(ElementNode* e, DestRect* r) { return StraightSlide(e, r, {false, false, true}); }
int32_t SlideDown(ElementNode* e, DestRect* r) { return StraightSlide(e, r, {true, true, true}); }
int32_t SlideUp(ElementNode* e, DestRect* r) { return StraightSlide(e, r, {true, false, true}); }

int32_t SlideDownRight(ElementNode* e, DestRect* r) { return DiagonalSlide(e, r, {false, false}); }
int32_t SlideUpRight(ElementNode* e, DestRect* r) { return DiagonalSlide(e, r, {false, true}); }
int32_t SlideUpLeft(ElementNode* e, DestRect* r) { return DiagonalSlide(e, r, {true, true}); }
int32_t SlideDownLeft(ElementNode* e, DestRect* r) { return DiagonalSlide(e, r, {true, false}); }

}  // namespace ledview
