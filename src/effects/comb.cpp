// Comb effects: the image is split into bands of 16 rows (columns); the bands
// alternate in direction, one set wiping or sliding in from each side.
// Bands whose offset has bit 4 set (16, 48, ...) come from the left (top)
// in the wipes and from the right (bottom) in the slides.
#include <algorithm>

#include "effects/reveal.h"

namespace ledview {

namespace {

constexpr int32_t kBand = 16;

bool OddBand(int32_t offset) { return (offset & kBand) != 0; }

// First call of every comb effect: the bands travel the visible width
// (kColumns) or height (kRows).
int32_t CombSetUp(ElementNode* e, const RevealArea& a, int32_t lines) {
  return SetUpExtent(e, a, lines == kColumns ? a.vw : a.vh);
}

// Each step draws the image and clears, band by band, what is still hidden.
int32_t WipeHorizontalStep(ElementNode* e, const RevealArea& a, int32_t) {
  const int32_t end = e->extent;
  int32_t step = e->step;
  if (step >= end) {
    DrawPart(a, 0, 0, a.vw, a.h);
    return -1;
  }
  step += PixelStep[a.speed];
  const int32_t p = std::min(step, end);
  DrawPart(a, 0, 0, a.vw, a.vh);
  for (int32_t b = 0; b < a.vh; b += kBand) {
    const int32_t rows = std::min(kBand, a.vh - b);
    ClearPart(a, OddBand(b) ? p : 0, b, a.vw - p, rows);
  }
  e->step = step;
  return e->stepDelay;
}

int32_t WipeVerticalStep(ElementNode* e, const RevealArea& a, int32_t) {
  const int32_t end = e->extent;
  int32_t step = e->step;
  // The last step already showed everything.
  if (step >= end) return -1;
  step += PixelStep[a.speed];
  const int32_t p = std::min(step, end);
  DrawPart(a, 0, 0, a.vw, a.vh);
  for (int32_t b = 0; b < a.vw; b += kBand) {
    const int32_t columns = std::min(kBand, a.vw - b);
    ClearPart(a, b, OddBand(b) ? p : 0, columns, a.vh - p);
  }
  e->step = step;
  return e->stepDelay;
}

// Each step clears the visible part and draws every band p pixels in from
// its side.
int32_t SlideHorizontalStep(ElementNode* e, const RevealArea& a, int32_t) {
  const int32_t end = e->extent;
  const int32_t step = e->step;
  if (step >= end) return -1;
  const int32_t p = std::min(step + PixelStep[a.speed], end);
  ClearPart(a, 0, 0, a.vw, a.vh);
  for (int32_t b = 0; b < a.vh; b += kBand) {
    const int32_t rows = std::min(kBand, a.vh - b);
    if (OddBand(b)) {
      DrawPartAt(a, 0, b, a.vw - p, b, p, rows);
    } else {
      DrawPartAt(a, a.vw - p, b, 0, b, p, rows);
    }
  }
  e->step = p;
  return e->stepDelay;
}

int32_t SlideVerticalStep(ElementNode* e, const RevealArea& a, int32_t) {
  const int32_t end = e->extent;
  const int32_t step = e->step;
  if (step >= end) return -1;
  const int32_t p = std::min(step + PixelStep[a.speed], end);
  ClearPart(a, 0, 0, a.vw, a.vh);
  for (int32_t b = 0; b < a.vw; b += kBand) {
    const int32_t columns = std::min(kBand, a.vw - b);
    if (OddBand(b)) {
      DrawPartAt(a, b, 0, b, a.vh - p, columns, p);
    } else {
      DrawPartAt(a, b, a.vh - p, b, 0, columns, p);
    }
  }
  e->step = p;
  return e->stepDelay;
}

}  // namespace

int32_t CombWipeHorizontal(ElementNode* e, DestRect* r) {
  return DriveReveal(e, r, CombSetUp, WipeHorizontalStep, kColumns);
}
int32_t CombWipeVertical(ElementNode* e, DestRect* r) {
  return DriveReveal(e, r, CombSetUp, WipeVerticalStep, kRows);
}
int32_t CombSlideHorizontal(ElementNode* e, DestRect* r) {
  return DriveReveal(e, r, CombSetUp, SlideHorizontalStep, kColumns);
}
int32_t CombSlideVertical(ElementNode* e, DestRect* r) {
  return DriveReveal(e, r, CombSetUp, SlideVerticalStep, kRows);
}

}  // namespace ledview
