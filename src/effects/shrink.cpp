// Shrinks: the part not yet shown is a rectangle in one corner of the visible
// image that loses PixelStep columns and rows per step, as an L-shaped strip
// (one column strip and one row strip) is drawn along its two open sides.
#include <algorithm>

#include "effects/reveal.h"

namespace ledview {

namespace {

enum class Corner { BottomLeft, TopLeft, TopRight, BottomRight };

int32_t Shrink(ElementNode* e, DestRect* r, Corner corner) {
  RevealArea a;
  if (!RevealBegin(e, r, &a)) return -1;
  if (e->extent == 0) {
    e->stepDelay = Word(FirstDelay[a.speed]);
    const int32_t end = std::min(a.vw, a.vh);
    if (end == 0) return ShowAndFinish(a);
    if (KeepVisibleSize(e, a) == nullptr) return ShowWithoutBuffer(a);
    e->extent = Word(end);
    return Signed(e->stepDelay);
  }
  const auto* size = static_cast<const VisibleSize*>(e->workBuffer);
  if (size == nullptr) return ShowWithoutBuffer(a);
  const int32_t w = size->vw, h = size->vh;
  const int32_t end = Signed(e->extent);
  const int32_t step = Signed(e->step);
  if (step >= end) return -1;
  const int32_t s = PixelStep[a.speed];
  int32_t next = step + s;
  if (corner == Corner::TopLeft || corner == Corner::TopRight) {
    // A remainder smaller than a step joins this one.
    if (end - next < s) next = end;
  } else {
    next = std::min(next, end);
  }
  const int32_t n = next - step;
  switch (corner) {
    case Corner::BottomLeft:  // hidden: [0, w - step) x [step, h)
      DrawPart(a, w - next, step, n, h - step);
      DrawPart(a, 0, step, w - step, n);
      break;
    case Corner::TopLeft:  // hidden: [0, w - step) x [0, h - step)
      DrawPart(a, w - next, 0, n, h - step);
      DrawPart(a, 0, h - next, w - step, n);
      break;
    case Corner::TopRight:  // hidden: [step, w) x [0, h - step)
      DrawPart(a, step, 0, n, h - step);
      DrawPart(a, step, h - next, w - step, n);
      break;
    case Corner::BottomRight:  // hidden: [step, w) x [step, h)
      DrawPart(a, step, step, n, h - step);
      DrawPart(a, step, step, w - step, n);
      break;
  }
  e->step = Word(next);
  return Signed(e->stepDelay);
}

}  // namespace

int32_t ShrinkToBottomLeft(ElementNode* e, DestRect* r) { return Shrink(e, r, Corner::BottomLeft); }
int32_t ShrinkToTopLeft(ElementNode* e, DestRect* r) { return Shrink(e, r, Corner::TopLeft); }
int32_t ShrinkToTopRight(ElementNode* e, DestRect* r) { return Shrink(e, r, Corner::TopRight); }
int32_t ShrinkToBottomRight(ElementNode* e, DestRect* r) { return Shrink(e, r, Corner::BottomRight); }

}  // namespace ledview
