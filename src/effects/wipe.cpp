// Wipes: the image is revealed strip by strip from one edge, PixelStep
// columns (rows) per step.
#include "effects/reveal.h"

namespace ledview {

namespace {

int32_t VisibleLength(const RevealArea& a, int32_t lines) { return lines == kColumns ? a.vw : a.vh; }

// Columns (or rows) [from, from + n): full rectangle height (width).
void Strip(const RevealArea& a, int32_t lines, int32_t from, int32_t n) {
  if (lines == kColumns) {
    DrawPart(a, from, 0, n, a.h);
  } else {
    DrawPart(a, 0, from, a.w, n);
  }
}

// From the left (top) edge; the step that reaches the far edge finishes.
int32_t ForwardSetUp(ElementNode* e, const RevealArea& a, int32_t lines) {
  return SetUpExtent(e, a, VisibleLength(a, lines));
}

int32_t ForwardStep(ElementNode* e, const RevealArea& a, int32_t lines) {
  const int32_t step = e->step;
  const int32_t end = e->extent;
  const int32_t next = step + PixelStep[a.speed];
  if (next >= end) {
    Strip(a, lines, step, end - step);
    return -1;
  }
  Strip(a, lines, step, PixelStep[a.speed]);
  e->step = next;
  return e->stepDelay;
}

// From the right (bottom) edge: `step` counts down from the visible size and
// the last strip is the first s columns (rows).
int32_t BackwardSetUp(ElementNode* e, const RevealArea& a, int32_t lines) {
  const int32_t end = VisibleLength(a, lines);
  const int32_t wait = SetUpExtent(e, a, end);
  if (wait > 0) e->step = end;
  return wait;
}

int32_t BackwardStep(ElementNode* e, const RevealArea& a, int32_t lines) {
  const int32_t s = PixelStep[a.speed];
  const int32_t step = e->step - s;
  e->step = step;
  if (step < 1) {
    Strip(a, lines, 0, s);
    return -1;
  }
  Strip(a, lines, step, s);
  return e->stepDelay;
}

}  // namespace

int32_t WipeRight(ElementNode* e, DestRect* r) { return DriveReveal(e, r, ForwardSetUp, ForwardStep, kColumns); }
int32_t WipeLeft(ElementNode* e, DestRect* r) { return DriveReveal(e, r, BackwardSetUp, BackwardStep, kColumns); }
int32_t WipeDown(ElementNode* e, DestRect* r) { return DriveReveal(e, r, ForwardSetUp, ForwardStep, kRows); }
int32_t WipeUp(ElementNode* e, DestRect* r) { return DriveReveal(e, r, BackwardSetUp, BackwardStep, kRows); }

}  // namespace ledview
