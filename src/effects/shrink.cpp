// Shrinks: the part not yet shown is a rectangle in one corner of the visible
// image that loses PixelStep columns and rows per step, as an L-shaped strip
// (one column strip and one row strip) is drawn along its two open sides.
#include <algorithm>

#include "effects/reveal.h"

namespace ledview {

namespace {

// The corner the hidden part shrinks to: the effect's variant.
enum Corner : int32_t { BottomLeft, TopLeft, TopRight, BottomRight };

int32_t ShrinkSetUp(ElementNode* e, const RevealArea& a, int32_t) {
  return SetUpKeptExtent(e, a, std::min(a.vw, a.vh));
}

int32_t ShrinkStep(ElementNode* e, const RevealArea& a, const VisibleSize& size, int32_t variant) {
  const auto corner = static_cast<Corner>(variant);
  const int32_t w = size.vw, h = size.vh;
  const int32_t end = e->extent;
  const int32_t step = e->step;
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
  e->step = next;
  return e->stepDelay;
}

}  // namespace

int32_t ShrinkToBottomLeft(ElementNode* e, DestRect* r) {
  return DriveSizedReveal(e, r, ShrinkSetUp, ShrinkStep, Corner::BottomLeft);
}
int32_t ShrinkToTopLeft(ElementNode* e, DestRect* r) {
  return DriveSizedReveal(e, r, ShrinkSetUp, ShrinkStep, Corner::TopLeft);
}
int32_t ShrinkToTopRight(ElementNode* e, DestRect* r) {
  return DriveSizedReveal(e, r, ShrinkSetUp, ShrinkStep, Corner::TopRight);
}
int32_t ShrinkToBottomRight(ElementNode* e, DestRect* r) {
  return DriveSizedReveal(e, r, ShrinkSetUp, ShrinkStep, Corner::BottomRight);
}

}  // namespace ledview
