// Outline reveals: rectangular frames closing in from the edges or growing
// from the centre, a diamond and a cross widening from the middle. Each keeps
// the visible size from its first call.
#include <algorithm>

#include "effects/reveal.h"

namespace ledview {

namespace {

constexpr int32_t kDiamondStep = 3;
constexpr int32_t kDiamondPiece = 3;

// One frame per step, inset by `step` from the edges.
int32_t InwardSetUp(ElementNode* e, const RevealArea& a, int32_t) {
  return SetUpKeptExtent(e, a, std::min(a.vw, a.vh) / 2 + 1);
}

int32_t InwardStep(ElementNode* e, const RevealArea& a, const VisibleSize& size, int32_t) {
  const int32_t k = e->step;
  if (k >= e->extent) return -1;
  const int32_t w = size.vw, h = size.vh;
  DrawPart(a, k, k, w - 2 * k, 1);
  DrawPart(a, k, h - 1 - k, w - 2 * k, 1);
  DrawPart(a, k, k, 1, h - 2 * k);
  DrawPart(a, w - 1 - k, k, 1, h - 2 * k);
  e->step = k + 1;
  return e->stepDelay;
}

// One frame per step around the centre pixel, each side stopping at the
// image edge once it gets there. An image of one pixel (or none) is all
// centre and shows at once.
int32_t OutwardSetUp(ElementNode* e, const RevealArea& a, int32_t) {
  const int32_t wait = SetUpKeptExtent(e, a, std::max(a.vw >> 1, a.vh >> 1));
  if (wait > 0) DrawPart(a, a.vw >> 1, a.vh >> 1, 1, 1);
  return wait;
}

int32_t OutwardStep(ElementNode* e, const RevealArea& a, const VisibleSize& size, int32_t) {
  const int32_t step = e->step;
  if (step >= e->extent) return -1;
  const int32_t k = step + 1;
  e->step = k;
  const int32_t w = size.vw, h = size.vh;
  const int32_t cx = w >> 1, cy = h >> 1;
  const int32_t dx = std::min(k, cx), dy = std::min(k, cy);
  DrawPart(a, cx - dx, cy - dy, 1, 2 * dy + 1);
  DrawPart(a, cx - dx, cy - dy, 2 * dx + 1, 1);
  if (cy + dy < h) DrawPart(a, cx - dx, cy + dy, 2 * dx + 1, 1);
  if (cx + dx < w) DrawPart(a, cx + dx, cy - dy, 1, 2 * dy + 1);
  return e->stepDelay;
}

// `step` is the diamond's width d along the middle rows; each step traces its
// edge with short pieces and fills the band next to its tip.
int32_t DiamondSetUp(ElementNode* e, const RevealArea& a, int32_t) {
  return SetUpKeptExtent(e, a, std::max(a.vw, a.vh));
}

int32_t DiamondStep(ElementNode* e, const RevealArea& a, const VisibleSize& size, int32_t) {
  const int32_t d = e->step;
  if (d >= e->extent || d < 0) return ShowAndFinish(a);
  const int32_t w = size.vw, h = size.vh;
  const int32_t cx = w >> 1, cy = h >> 1;
  const int32_t n = std::min(d, h) >> 1;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t span = d - i;
    if (span >= w) continue;
    const int32_t left = cx - (span >> 1);
    const int32_t right = cx + (span >> 1) - kDiamondPiece;
    const bool tip = i == n - 1;
    const int32_t above = cy - i;
    const int32_t below = cy + i - 1;
    for (const int32_t row : {above, below}) {
      if (row == below && row >= h) continue;
      if (tip) {
        DrawPart(a, left, row, span, 2);
      } else {
        DrawPart(a, left, row, kDiamondPiece, 1);
      }
      DrawPart(a, right, row, kDiamondPiece, 1);
    }
  }
  e->step = d + kDiamondStep;
  return e->stepDelay;
}

// A plus-shaped band around the middle row and column, one line wider on
// each side per step. A line one pixel thin (or an empty image) has no cross
// to widen and shows at once.
int32_t CrossSetUp(ElementNode* e, const RevealArea& a, int32_t) {
  return SetUpKeptExtent(e, a, std::min(a.vw, a.vh) >> 1);
}

int32_t CrossStep(ElementNode* e, const RevealArea& a, const VisibleSize& size, int32_t) {
  const int32_t k = e->step;
  if (k >= e->extent || k < 0) return ShowAndFinish(a);
  const int32_t w = size.vw, h = size.vh;
  const int32_t cx = w >> 1, cy = h >> 1;
  DrawPart(a, 0, cy - k - 1, w, 1);
  DrawPart(a, cx - k, 0, 1, h);
  if (cx + k - 1 < w) DrawPart(a, cx + k - 1, 0, 1 + (w & 1), h);
  if (cy + k < h) DrawPart(a, 0, cy + k, w, 1 + (h & 1));
  e->step = k + 1;
  return e->stepDelay;
}

}  // namespace

int32_t FramesInward(ElementNode* e, DestRect* r) { return DriveSizedReveal(e, r, InwardSetUp, InwardStep); }
int32_t FramesOutward(ElementNode* e, DestRect* r) { return DriveSizedReveal(e, r, OutwardSetUp, OutwardStep); }
int32_t DiamondOutward(ElementNode* e, DestRect* r) { return DriveSizedReveal(e, r, DiamondSetUp, DiamondStep); }
int32_t CrossOutward(ElementNode* e, DestRect* r) { return DriveSizedReveal(e, r, CrossSetUp, CrossStep); }

}  // namespace ledview
